// The SysTray window glue: a hidden window per icon whose messages go to the
// SysTray logic.
#include "ui/win32/sys_tray_window.h"

#include <windowsx.h>

#include "platform/win32/win32_system.h"

namespace qw {

namespace {
// Each icon has a hidden window of its own: one timer id serves them all.
constexpr UINT_PTR kRetryTimerId = 1;
}  // namespace

struct Win32TrayHost::Window {
    Win32Timer retry{kRetryTimerId, SysTray::kRetryInterval};
    SysTray tray;
    IconHandle firstIcon;
    Window(ShellNotifyApi& shell, IconHandle icon) : tray(shell, &retry), firstIcon(icon) {}
};

namespace {
using TrayWindow = Win32TrayHost::Window;

const char kClassName[] = "QuellwatchSysTray";

UINT TaskbarCreatedMessage() {
    static const UINT message = RegisterWindowMessageA("TaskbarCreated");
    return message;
}

LRESULT CALLBACK TrayProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<TrayWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case WM_NCCREATE:
        self = static_cast<TrayWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        break;
    case WM_CREATE:
        self->retry.Bind(window);
        // Explorer runs at medium integrity: a copy running as
        // administrator must still hear that the taskbar was recreated.
        AllowFromLowerPrograms(window, TaskbarCreatedMessage());
        self->tray.Form_Load(reinterpret_cast<WindowHandle>(window), self->firstIcon);
        return 0;
    case WM_MOUSEMOVE:
        // The shell's callback: the mouse message arrives as the x coordinate.
        self->tray.Form_MouseMove(GET_X_LPARAM(lParam));
        return 0;
    case WM_TIMER:
        self->tray.RetryTimer_Timer();
        return 0;
    case WM_DESTROY:
        self->tray.Form_Unload();
        return 0;
    default:
        if (message == TaskbarCreatedMessage() && self) {
            self->tray.TaskbarCreated();
            return 0;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

Win32TrayHost::Win32TrayHost(HINSTANCE instance) : instance_(instance) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = TrayProc;
    wc.hInstance = instance_;
    wc.lpszClassName = kClassName;
    RegisterClassA(&wc);
    TaskbarCreatedMessage();
}

Win32TrayHost::~Win32TrayHost() = default;

SysTray* Win32TrayHost::LoadTrayIcon(IconHandle icon) {
    auto window = std::make_unique<Window>(shell_, icon);
    SysTray* tray = &window->tray;
    // Never shown; top-level so that it hears the shell's broadcasts.
    CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance_, window.get());
    windows_[tray] = std::move(window);
    return tray;
}

void Win32TrayHost::UnloadTrayIcon(SysTray* tray) {
    auto it = windows_.find(tray);
    if (it == windows_.end()) return;
    DestroyWindow(reinterpret_cast<HWND>(tray->Record().hWnd));
    // The icon may be unloaded from inside one of its own event handlers (a
    // menu chosen while its question box is open): the record outlives the
    // window, a few bytes per unload.
    retired_.push_back(std::move(it->second));
    windows_.erase(it);
}

}  // namespace qw
