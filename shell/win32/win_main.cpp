#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <string>

#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_system.h"
#include "shell/startup.h"
#include "shell/win32/main_frm_window.h"
#include "shell/win32/splash_window.h"
#include "ui/win32/dialog_window.h"

namespace {

std::string TrayMutexName() { return "Local\\Quellwatch.TrayProgram." + qw::UserName(); }

class Win32Startup : public qw::StartupHost {
public:
    Win32Startup(HINSTANCE instance, const qw::PublicFlags& flags) : instance_(instance), flags_(flags) {}

    std::string CommandLine() override {
        // Wide: a path with characters outside the ANSI code page (a user
        // folder "C:\Users\Łukasz" on a Japanese system) names its file.
        return qw::ArgumentsAfterProgramPath(qw::Utf8(GetCommandLineW()), qw::ModulePath());
    }

    qw::NamedObject ClaimTrayCopy() override {
        // One named object per user in this logon session, held by the tray
        // copy until it ends; an importing copy never creates it.
        qw::NamedObject made;
        qw::CreateUserMutex(TrayMutexName(), &made);
        return made;
    }

    qw::NamedObject FindTrayCopy() override { return qw::FindUserMutex(TrayMutexName()); }

    void TellTrayCopyToReload() override { PostMessageA(HWND_BROADCAST, qw::ListChangedMessage(), 0, 0); }

    void SetAppTitle(const std::string&) override {}

    qw::MainFrm& LoadMainFrm() override { return qw::LoadMainFrm(instance_, flags_); }

    void ShowSplash() override {
        qw::ShowSplash(instance_, [this] { LoadMainFrm(); });
    }

    void AskTrayCopyToExit() override { PostMessageA(HWND_BROADCAST, qw::ExitRequestMessage(), 0, 0); }

    void Pause(unsigned milliseconds) override { Sleep(milliseconds); }

private:
    HINSTANCE instance_;
    const qw::PublicFlags& flags_;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    qw::LoadDllsFromSystemOnly();
    // The shell may hand the help file and the links to COM-based handlers.
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    static qw::PublicFlags flags;
    Win32Startup host(instance, flags);
    qw::Win32Process process;
    qw::Win32Registry registry;
    qw::Main(host, process, registry, flags);
    MSG msg;
    // Wide messages: typed characters outside the ANSI code page reach the
    // text boxes as they are.
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (qw::RouteDialogMessage(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return 0;
}
