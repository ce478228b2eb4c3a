// The main window's glue: creates the controls, binds the adapters and routes
// messages to MainFrm. It decides nothing.
#include "shell/win32/main_frm_window.h"

#include <memory>

#include "platform/win32/win32_platform.h"
#include "resources/resource.h"
#include "shell/main_frm.h"

namespace qw {
namespace {

const char kClassName[] = "QuellwatchMainFrm";
constexpr UINT_PTR kTmId = 1;
constexpr UINT_PTR kReInitCloseTmrId = 2;

struct MainFrmWindow {
    Win32Registry registry;
    Win32Windows windows;
    Win32Sound sound;
    Win32Timer tm{kTmId, 15};
    Win32Timer reInitCloseTmr{kReInitCloseTmrId, 500};
    Win32ListBox lvControl;
    Win32Text numWindows;
    HWND hwnd = nullptr;
    HWND lv = nullptr;
    HWND label = nullptr;
    HFONT font = nullptr;
    std::unique_ptr<MainFrm> frm;

    MainFrmWindow() {
        frm = std::make_unique<MainFrm>(MainFrmPlatform{registry, windows, sound, tm, reInitCloseTmr, &lvControl,
                                                        &numWindows, LowerTable::System(), ThousandsSeparator()});
    }

    void OnCreate(HWND window) {
        hwnd = window;
        tm.Bind(window);
        reInitCloseTmr.Bind(window);
        NONCLIENTMETRICSA metrics{};
        metrics.cbSize = sizeof metrics;
        SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        font = CreateFontIndirectA(&metrics.lfMessageFont);
        HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
        lv = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", "",
                             WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY,
                             0, 0, 0, 0, window, reinterpret_cast<HMENU>(IDC_LV), instance, nullptr);
        label = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0, window,
                                reinterpret_cast<HMENU>(IDC_NUMWINDOWS), instance, nullptr);
        SendMessageA(lv, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        lvControl.Bind(lv);
        numWindows.Bind(label);
        frm->Attach(reinterpret_cast<WindowHandle>(window));
    }

    void OnSize(int width, int height) {
        const int margin = 8;
        MoveWindow(label, margin, margin, width - 2 * margin, 18, TRUE);
        MoveWindow(lv, margin, margin + 22, width - 2 * margin, height - 2 * margin - 22, TRUE);
    }
};

LRESULT CALLBACK MainFrmProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<MainFrmWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case WM_NCCREATE: {
        self = static_cast<MainFrmWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        break;
    }
    case WM_CREATE:
        self->OnCreate(window);
        return 0;
    case WM_SIZE:
        if (self) self->OnSize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_TIMER:
        if (wParam == kTmId) self->frm->Tm_Timer();
        else if (wParam == kReInitCloseTmrId) self->frm->ReInitCloseTmr_Timer();
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

HWND CreateMainFrm(HINSTANCE instance) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = MainFrmProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_TRACK_ON));
    RegisterClassExA(&wc);
    // Lives for the whole run; the process ends without unwinding it.
    auto* self = new MainFrmWindow();
    HWND window = CreateWindowExA(0, kClassName, "Quellwatch v1.6", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                  CW_USEDEFAULT, 440, 360, nullptr, nullptr, instance, self);
    self->frm->Form_Load();
    return window;
}

}  // namespace qw
