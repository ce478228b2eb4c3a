#include "shell/win32/splash_window.h"

#include "platform/win32/win32_platform.h"
#include "resources/resource.h"
#include "shell/splash.h"
#include "ui/win32/dpi.h"

namespace qw {
namespace {

constexpr UINT_PTR kKillTickerId = 1;

// How tall the label must be to show all its text at `width`, drawn as a
// centred static control draws it.
int NoticeHeight(HWND label, int width) {
    char text[512] = {};
    GetWindowTextA(label, text, sizeof text);
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(label, WM_GETFONT, 0, 0)));
    RECT bounds{0, 0, width, 0};
    DrawTextA(dc, text, -1, &bounds, DT_CALCRECT | DT_CENTER | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    return bounds.bottom - bounds.top;
}

class SplashWindow : public SplashView {
public:
    SplashWindow(HINSTANCE instance, std::function<void()> loadMainFrm)
        : instance_(instance), splash_(*this, killTicker_, std::move(loadMainFrm)) {}

    bool Create() {
        CreateDialogParamA(instance_, MAKEINTRESOURCEA(IDD_SPLASH), nullptr, Proc, reinterpret_cast<LPARAM>(this));
        return hwnd_ != nullptr;
    }
    Splash& Logic() { return splash_; }

    void ShowTopmost() override {
        ShowWindow(hwnd_, SW_SHOW);
        SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    void Close() override {
        if (hwnd_) DestroyWindow(hwnd_);
    }

private:
    void OnInit(HWND dialog);
    void FitToPicture();
    static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    HBITMAP picture_ = nullptr;
    Win32Timer killTicker_{kKillTickerId, kKillTickerInterval};
    Splash splash_;
};

void SplashWindow::OnInit(HWND dialog) {
    hwnd_ = dialog;
    picture_ = LoadBitmapA(instance_, MAKEINTRESOURCEA(IDB_SPLASH));
    SendDlgItemMessageA(dialog, IDC_SPLASHPICTURE, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture_));
    FitToPicture();
    killTicker_.Bind(dialog);
    splash_.Form_Load();
}

// The picture at the monitor's scale (or its own size where that would not
// fit) with the whole notice below it, the window centred on the work area.
void SplashWindow::FitToPicture() {
    BITMAP size{};
    if (!picture_ || !GetObjectA(picture_, sizeof size, &size)) return;
    RECT margin{0, 0, 4, 4};
    MapDialogRect(hwnd_, &margin);
    HWND warning = GetDlgItem(hwnd_, IDC_WARNING);
    RECT label{};
    GetWindowRect(warning, &label);
    const UINT dpi = WindowDpi(hwnd_);
    const SIZE frame = FrameForDpi(static_cast<DWORD>(GetWindowLongA(hwnd_, GWL_STYLE)),
                                   static_cast<DWORD>(GetWindowLongA(hwnd_, GWL_EXSTYLE)), false, dpi);
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const SplashLayout layout = LayoutSplash(
        {size.bmWidth, size.bmHeight}, static_cast<int>(dpi),
        {work.right - work.left - frame.cx, work.bottom - work.top - frame.cy}, {margin.right, margin.bottom},
        label.bottom - label.top, [warning](int width) { return NoticeHeight(warning, width); });
    HWND picture = GetDlgItem(hwnd_, IDC_SPLASHPICTURE);
    if (layout.picture.width != size.bmWidth || layout.picture.height != size.bmHeight) {
        HBITMAP scaled = LoadBitmapOfSize(instance_, IDB_SPLASH, layout.picture.width, layout.picture.height);
        SendMessageA(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(scaled));
        DeleteObject(picture_);
        picture_ = scaled;
    }
    MoveTo(picture, layout.picture, false);
    MoveTo(warning, layout.notice, false);
    const int width = layout.client.width + frame.cx;
    const int height = layout.client.height + frame.cy;
    SetWindowPos(hwnd_, nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK SplashWindow::Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<SplashWindow*>(GetWindowLongPtrA(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG:
        self = reinterpret_cast<SplashWindow*>(lParam);
        SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
        self->OnInit(dialog);
        return FALSE;
    case WM_TIMER:
        if (self && wParam == kKillTickerId) self->splash_.KillTicker_Timer();
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(dialog);
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) DestroyWindow(dialog);
        return TRUE;
    case WM_DESTROY:
        if (self) {
            self->hwnd_ = nullptr;
            self->splash_.Form_Unload();
            DeleteObject(self->picture_);
            self->picture_ = nullptr;
        }
        return FALSE;
    }
    return FALSE;
}

}  // namespace

void ShowSplash(HINSTANCE instance, std::function<void()> loadMainFrm) {
    // Lives for the whole run: its tick and its unload run inside its own
    // window procedure, so it is never freed under them.
    auto* window = new SplashWindow(instance, std::move(loadMainFrm));
    if (!window->Create()) {
        window->Logic().Form_Unload();
        return;
    }
    window->Logic().Show();
}

}  // namespace qw
