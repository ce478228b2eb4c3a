// The main window's glue: creates the controls, binds the adapters and routes
// messages to MainFrm. It decides nothing.
#include "shell/win32/main_frm_window.h"

#include <commctrl.h>

#include <map>
#include <memory>

#include "editing/win32/editing_windows.h"
#include "options/win32/options_window.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_system.h"
#include "resources/resource.h"
#include "shell/main_frm.h"
#include "shell/win32/about_window.h"
#include "ui/win32/sys_tray_window.h"

namespace qw {
namespace {

const char* const kClassName = kMainWindowClass;
constexpr UINT_PTR kTmId = 1;
constexpr UINT_PTR kReInitCloseTmrId = 2;
constexpr UINT kRetryTick = WM_APP + 1;
constexpr UINT kWindowEventsWaiting = WM_APP + 2;
// Answers how often the main thread was woken since the start, by what:
// wParam 0 window events, 1 the retry timer, 2 the scan's tick. For the
// measurements of what the program costs while nothing happens.
constexpr UINT kWakeupCount = WM_APP + 3;
constexpr int kButtonWidth = 112;
constexpr int kButtonHeight = 26;
constexpr int kMargin = 10;

class MainFrmWindow : public MainFrmView {
public:
    MainFrmWindow(HINSTANCE instance, const PublicFlags& flags)
        : instance_(instance), trays_(instance), addItem_(instance), edit_(instance), options_(instance),
          about_(instance),
          frm_(MainFrmPlatform{registry_, windows_, sound_, tm_, reInitCloseTmr_, &lvControl_, &numWindows_,
                               CaseFolding::System(), ansi_, ThousandsSeparator(), *this, trays_, process_,
                               flags.commandLineMode, addItem_, edit_, files_, random_, fileDialogs_,
                               &listLock_, options_, about_, pointer_, ReadProgramVersion(instance), WindowEvents(),
                               &retryTimer_}) {
        addItem_.Bind(&frm_.Adder(), &frm_.Own().addItem);
        edit_.Bind(&frm_.Editor(), &frm_.Own().edit);
        options_.Bind(&frm_.Opts(), &frm_.Own().options);
        about_.Bind(&frm_.AboutBox(), &frm_.Own().about);
    }

    MainFrm& Frm() { return frm_; }
    void RetryTick() {
        retryTimer_.Ticked();
        if (retryTimer_.IsRunning()) frm_.RetryTimer_Timer();
    }
    HWND Handle() const { return hwnd_; }
    enum Wakeup { kEventWake, kRetryWake, kTickWake };
    LRESULT Woke(Wakeup kind) { return static_cast<LRESULT>(++wakeups_[kind]); }
    LRESULT Wakeups(WPARAM kind) const { return kind < 3 ? static_cast<LRESULT>(wakeups_[kind]) : 0; }

    void OnCreate(HWND window);
    void OnSize(WPARAM kind, int width, int height);
    void OnDestroy();

    // MainFrmView
    IconHandle LoadIconResource(int id) override;
    void SetWindowIcon(IconHandle icon) override;
    void ShowNormal() override { ShowWindow(hwnd_, SW_SHOWNORMAL); }
    void Hide() override { ShowWindow(hwnd_, SW_HIDE); }
    void BringToFront() override {
        SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetWindowPos(hwnd_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    void SetStatusText(const std::string& text) override {
        SendMessageA(status_, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    void EnableMenuItem(int id, bool enabled) override {
        ::EnableMenuItem(GetMenu(hwnd_), static_cast<UINT>(id), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    }
    void PopupTrayMenu(TrayMenu menu, WindowHandle owner) override;
    int MenuItemId(int menuPosition, int itemPosition) override {
        return static_cast<int>(GetMenuItemID(GetSubMenu(GetMenu(hwnd_), menuPosition), itemPosition));
    }
    void SetMenuItemBitmaps(int id, unsigned flags, int bitmapId) override {
        HBITMAP& picture = bitmaps_[bitmapId];
        if (!picture) picture = LoadBitmapA(instance_, MAKEINTRESOURCEA(bitmapId));
        ::SetMenuItemBitmaps(GetMenu(hwnd_), static_cast<UINT>(id), flags, picture, picture);
    }
    void RemoveSystemMenuItem(int position) override {
        RemoveMenu(GetSystemMenu(hwnd_, FALSE), static_cast<UINT>(position), MF_BYPOSITION);
    }
    void CheckTrayMenuItem(int id, bool checked) override {
        CheckMenuItem(trayMenus_, static_cast<UINT>(id), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
    }

private:
    HWND Child(const char* cls, const char* text, DWORD style, int id, DWORD exStyle = 0);

    HINSTANCE instance_;
    Win32Registry registry_;
    Win32CodePage ansi_;
    Win32Windows windows_;
    Win32Sound sound_;
    Win32Process process_;
    Win32Timer tm_{kTmId, 15};
    Win32Timer reInitCloseTmr_{kReInitCloseTmrId, 500};
    Win32FastTimer retryTimer_{kRetryTick, 2};
    Win32WindowEvents windowEvents_{kWindowEventsWaiting};
    // A build for measurements scans by the tick alone.
#ifdef QW_TICK_ONLY
    WindowEventSource* WindowEvents() { return nullptr; }
#else
    WindowEventSource* WindowEvents() { return &windowEvents_; }
#endif
    Win32ListBox lvControl_;
    Win32Text numWindows_;
    Win32TrayHost trays_;
    Win32Files files_;
    SeededRandom random_;  // seeded once per run
    Win32FileDialogs fileDialogs_;
    Win32ListLock listLock_;
    AddItemWindow addItem_;
    EditWindow edit_;
    OptionsWindow options_;
    AboutWindow about_;
    Win32Pointer pointer_;
    MainFrm frm_;

    HWND hwnd_ = nullptr;
    HWND lv_ = nullptr, label_ = nullptr, status_ = nullptr, tip_ = nullptr;
    HWND buttons_[4] = {};
    HFONT font_ = nullptr;
    HMENU trayMenus_ = nullptr;
    std::map<int, HBITMAP> bitmaps_;
    std::map<IconHandle, int> iconIds_;
    unsigned long wakeups_[3] = {};
};

HWND MainFrmWindow::Child(const char* cls, const char* text, DWORD style, int id, DWORD exStyle) {
    HWND child = CreateWindowExA(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, hwnd_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return child;
}

void MainFrmWindow::OnCreate(HWND window) {
    hwnd_ = window;
    tm_.Bind(window);
    reInitCloseTmr_.Bind(window);
    retryTimer_.Bind(window);
    windowEvents_.Bind(window);
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    font_ = CreateFontIndirectA(&metrics.lfMessageFont);

    label_ = Child("STATIC", "", SS_LEFT | SS_NOPREFIX, IDC_NUMWINDOWS);
    lv_ = Child("LISTBOX", "", WS_VSCROLL | WS_TABSTOP | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY, IDC_LV, WS_EX_CLIENTEDGE);
    buttons_[0] = Child("BUTTON", "Add New Item", BS_PUSHBUTTON | WS_TABSTOP, IDC_LADD);
    buttons_[1] = Child("BUTTON", "Edit Item", BS_PUSHBUTTON | WS_TABSTOP, IDC_EDITENTRY);
    buttons_[2] = Child("BUTTON", "Remove Item", BS_PUSHBUTTON | WS_TABSTOP, IDC_LREM);
    buttons_[3] = Child("BUTTON", "Refresh List", BS_PUSHBUTTON | WS_TABSTOP, IDC_REFRESHL);
    status_ = Child(STATUSCLASSNAMEA, "", SBARS_SIZEGRIP, IDC_STATUS);

    tip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window, nullptr, instance_, nullptr);
    TOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window;
    tool.uId = reinterpret_cast<UINT_PTR>(buttons_[2]);
    tool.lpszText = const_cast<char*>("Remove Selected Item");
    SendMessageA(tip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));

    trayMenus_ = LoadMenuA(instance_, MAKEINTRESOURCEA(IDM_TRAYMENUS));
    lvControl_.Bind(lv_);
    numWindows_.Bind(label_);
    frm_.Attach(reinterpret_cast<WindowHandle>(window));
    // An importing copy that does not run as administrator must reach a tray
    // copy that does.
    AllowFromLowerPrograms(window, ListChangedMessage());
}

void MainFrmWindow::OnSize(WPARAM kind, int width, int height) {
    if (kind == SIZE_MINIMIZED) {
        frm_.Form_Resize(true);
        return;
    }
    SendMessageA(status_, WM_SIZE, 0, 0);
    RECT bar{};
    GetWindowRect(status_, &bar);
    const int statusHeight = bar.bottom - bar.top;
    const int top = kMargin + 24;
    const int listWidth = width - 3 * kMargin - kButtonWidth;
    MoveWindow(label_, kMargin, kMargin + 2, width - 2 * kMargin, 18, TRUE);
    MoveWindow(lv_, kMargin, top, listWidth, height - top - kMargin - statusHeight, TRUE);
    for (int i = 0; i < 4; ++i) {
        MoveWindow(buttons_[i], width - kMargin - kButtonWidth, top + i * (kButtonHeight + 6), kButtonWidth,
                   kButtonHeight, TRUE);
    }
    frm_.Form_Resize(false);
}

void MainFrmWindow::OnDestroy() {
    frm_.Form_Unload();
    PostQuitMessage(0);
}

IconHandle MainFrmWindow::LoadIconResource(int id) {
    // The small size, crisp in the tray; the big one joins it as the window icon.
    HANDLE icon = LoadImageA(instance_, MAKEINTRESOURCEA(id), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                             GetSystemMetrics(SM_CYSMICON), LR_SHARED);
    const auto handle = reinterpret_cast<IconHandle>(icon);
    iconIds_[handle] = id;
    return handle;
}

void MainFrmWindow::SetWindowIcon(IconHandle icon) {
    SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, static_cast<LPARAM>(icon));
    auto it = iconIds_.find(icon);
    if (it != iconIds_.end()) {
        HICON big = LoadIconA(instance_, MAKEINTRESOURCEA(it->second));
        SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    }
}

void MainFrmWindow::PopupTrayMenu(TrayMenu menu, WindowHandle owner) {
    POINT at{};
    GetCursorPos(&at);
    // The owner must be foreground or the menu stays open when the user
    // clicks elsewhere; the icon's hidden window is, so that the main window
    // keeps its place. WM_NULL afterwards lets the next click through.
    HWND host = owner ? reinterpret_cast<HWND>(owner) : hwnd_;
    SetForegroundWindow(host);
    const UINT id = static_cast<UINT>(TrackPopupMenu(GetSubMenu(trayMenus_, menu == TrayMenu::kEnabled ? 0 : 1),
                                                     TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0, host, nullptr));
    PostMessageA(host, WM_NULL, 0, 0);
    // The chosen command reaches the main window as a menu command would.
    if (id) PostMessageA(hwnd_, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

LRESULT CALLBACK MainFrmProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<MainFrmWindow*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case WM_NCCREATE:
        self = static_cast<MainFrmWindow*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        break;
    case WM_CREATE:
        self->OnCreate(window);
        return 0;
    case WM_SIZE:
        if (self) self->OnSize(wParam, LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_GETMINMAXINFO: {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = {380, 260};
        return 0;
    }
    case WM_TIMER:
        if (wParam == kTmId) {
            self->Woke(MainFrmWindow::kTickWake);
            self->Frm().Tm_Timer();
        } else if (wParam == kReInitCloseTmrId) self->Frm().ReInitCloseTmr_Timer();

        return 0;
    case kRetryTick:
        self->Woke(MainFrmWindow::kRetryWake);
        self->RetryTick();
        return 0;
    case kWindowEventsWaiting:
        self->Woke(MainFrmWindow::kEventWake);
        self->Frm().WindowEvents_Waiting();
        return 0;
    case kWakeupCount:
        return self->Wakeups(wParam);
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_LV) {
            if (HIWORD(wParam) == LBN_DBLCLK) self->Frm().lv_DblClick();
            return 0;
        }
        if (self->Frm().OnCommand(LOWORD(wParam))) return 0;
        break;
    case WM_SYSCOMMAND:
        // Close is gone from the system menu; Alt+F4 must not close the window either.
        if ((wParam & 0xFFF0) == SC_CLOSE) return 0;
        break;
    case WM_ENDSESSION:
        if (wParam) self->Frm().Form_Unload();
        return 0;
    case WM_DESTROY:
        self->OnDestroy();
        return 0;
    default:
        if (message == ListChangedMessage() && self) {
            self->Frm().ListChangedElsewhere();
            return 0;
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

UINT ListChangedMessage() {
    static const UINT message = RegisterWindowMessageA("Quellwatch.WindowListChanged");
    return message;
}

MainFrm& LoadMainFrm(HINSTANCE instance, const PublicFlags& flags) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = MainFrmProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_TRACK_ON));
    wc.lpszMenuName = MAKEINTRESOURCEA(IDM_MAINMENU);
    RegisterClassExA(&wc);
    // Lives for the whole run; the process ends without unwinding it.
    auto* self = new MainFrmWindow(instance, flags);
    CreateWindowExA(0, kClassName, "Quellwatch v1.6", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 470, 380,
                    nullptr, nullptr, instance, self);
    ListChangedMessage();
    self->Frm().Form_Load();
    return self->Frm();
}

}  // namespace qw
