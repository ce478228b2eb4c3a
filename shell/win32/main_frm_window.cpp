// The main window's glue: creates the controls, binds the adapters and routes
// messages to MainFrm. It decides nothing.
#include "shell/win32/main_frm_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <initializer_list>
#include <map>
#include <memory>
#include <string>

#include "editing/win32/editing_windows.h"
#include "history/win32/closed_windows_window.h"
#include "options/win32/options_window.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win32_system.h"
#include "resources/resource.h"
#include "shell/main_frm.h"
#include "shell/main_layout.h"
#include "shell/win32/about_window.h"
#include "store/window_list_store.h"
#include "ui/entry_look.h"
#include "ui/win32/dpi.h"
#include "ui/win32/sys_tray_window.h"

namespace qw {
namespace {

const char* const kClassName = kMainWindowClass;
constexpr UINT_PTR kTmId = 1;
constexpr UINT_PTR kReInitCloseTmrId = 2;
constexpr UINT_PTR kAddPreviewTmrId = 3;
constexpr UINT_PTR kEditPreviewTmrId = 4;
constexpr UINT_PTR kHistoryCheckTmrId = 5;
constexpr UINT kRetryTick = WM_APP + 1;
constexpr UINT kWindowEventsWaiting = WM_APP + 2;
// Answers how often the main thread was woken since the start, by what:
// wParam 0 window events, 1 the retry timer, 2 the scan's tick. For the
// measurements of what the program costs while nothing happens.
constexpr UINT kWakeupCount = WM_APP + 3;
constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW;

class MainFrmWindow : public MainFrmView {
public:
    MainFrmWindow(HINSTANCE instance, const PublicFlags& flags)
        : instance_(instance), trays_(instance), addItem_(instance), edit_(instance), options_(instance),
          about_(instance), closedWindows_(instance),
          frm_(MainFrmPlatform{registry_, windows_, sound_, tm_, reInitCloseTmr_, &lvControl_, &numWindows_,
                               CaseFolding::System(), ansi_, ThousandsSeparator(), *this, trays_, process_,
                               flags.commandLineMode, addItem_, edit_, files_, random_, fileDialogs_,
                               &listLock_, options_, about_, pointer_, ReadProgramVersion(instance), WindowEvents(),
                               &retryTimer_, &historyParts_, &addPreview_, &editPreview_, &addItem_, &edit_, &hotKeys_,
                               &power_}) {
        addItem_.Bind(&frm_.Adder(), &frm_.Own().addItem);
        edit_.Bind(&frm_.Editor(), &frm_.Own().edit);
        options_.Bind(&frm_.Opts(), &frm_.Own().options);
        about_.Bind(&frm_.AboutBox(), &frm_.Own().about);
        closedWindows_.Bind(frm_.Closed(), &frm_.Own().closedWindows);
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
    void OnDpiChanged(UINT dpi, const RECT& suggested);
    POINT MinimumSize() const;
    // Created at the primary monitor's scale; sized again if it opened on a
    // monitor of another or its text needs more room, and kept on the
    // monitor's work area.
    void FitToMonitor();
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
        SendMessageW(status_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()));
    }
    void EnableMenuItem(int id, bool enabled) override {
        ::EnableMenuItem(GetMenu(hwnd_), static_cast<UINT>(id), MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
    }
    void PopupTrayMenu(TrayMenu menu, WindowHandle owner) override;
    int MenuItemId(int menuPosition, int itemPosition) override {
        return static_cast<int>(GetMenuItemID(GetSubMenu(GetMenu(hwnd_), menuPosition), itemPosition));
    }
    // The 13 x 13 pictures at the check mark's size of the window's scale.
    void SetMenuItemBitmaps(int id, unsigned flags, int bitmapId) override {
        HBITMAP& picture = bitmaps_[bitmapId];
        if (!picture) {
            picture = LoadBitmapOfSize(instance_, bitmapId, MetricForDpi(SM_CXMENUCHECK, dpi_),
                                       MetricForDpi(SM_CYMENUCHECK, dpi_));
        }
        ::SetMenuItemBitmaps(GetMenu(hwnd_), static_cast<UINT>(id), flags, picture, picture);
    }
    void RemoveSystemMenuItem(int position) override {
        RemoveMenu(GetSystemMenu(hwnd_, FALSE), static_cast<UINT>(position), MF_BYPOSITION);
    }
    void CheckTrayMenuItem(int id, bool checked) override {
        CheckMenuItem(trayMenus_, static_cast<UINT>(id), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
    }
    void PopupEntryMenu(bool enabled) override;

    // The list box asks for each entry to be drawn: its text, greyed when it
    // is switched off, and the marks of its options after it.
    void DrawEntry(const DRAWITEMSTRUCT& item);
    int EntryHeight() const { return text_.fontHeight; }
    // WM_CONTEXTMENU of `lv`: at `at` on the screen, or (-1, -1) from the keyboard.
    void OnEntryMenu(POINT at);

private:
    HWND Child(const wchar_t* cls, const wchar_t* text, DWORD style, int id, DWORD exStyle = 0);
    void MeasureText();
    int StatusHeight() const;
    void ShowWindowIcons();

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
    ClosedWindowsWindow closedWindows_;
    Win32Clock clock_;
    Win32Timer historyCheckTmr_{kHistoryCheckTmrId, 100};
    Win32Timer addPreviewTmr_{kAddPreviewTmrId, ClosePreview::kDelay};
    Win32Timer editPreviewTmr_{kEditPreviewTmrId, ClosePreview::kDelay};
    HistoryParts historyParts_{clock_, historyCheckTmr_, closedWindows_};
    PreviewParts addPreview_{addItem_, addPreviewTmr_};
    PreviewParts editPreview_{edit_, editPreviewTmr_};
    Win32Pointer pointer_;
    Win32HotKeys hotKeys_;
    Win32Power power_;
    MainFrm frm_;

    HWND hwnd_ = nullptr;
    HWND lv_ = nullptr, label_ = nullptr, status_ = nullptr, tip_ = nullptr;
    HWND buttons_[4] = {};
    HFONT font_ = nullptr;
    UINT dpi_ = 96;
    MainFrmText text_;
    HMENU trayMenus_ = nullptr;
    HMENU entryMenu_ = nullptr;
    POINT entryMenuAt_{};
    std::map<int, HBITMAP> bitmaps_;
    std::map<IconHandle, int> iconIds_;
    unsigned long wakeups_[3] = {};
    int windowIconId_ = 0;
};

// Wide controls: the list and the status bar show titles of every script.
HWND MainFrmWindow::Child(const wchar_t* cls, const wchar_t* text, DWORD style, int id, DWORD exStyle) {
    HWND child = CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, hwnd_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance_, nullptr);
    SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return child;
}

void MainFrmWindow::OnCreate(HWND window) {
    hwnd_ = window;
    tm_.Bind(window);
    reInitCloseTmr_.Bind(window);
    for (Win32Timer* timer : {&historyCheckTmr_, &addPreviewTmr_, &editPreviewTmr_}) timer->Bind(window);
    // Owned by the main window, so that the scan never closes it.
    closedWindows_.SetOwner(window);
    retryTimer_.Bind(window);
    windowEvents_.Bind(window);
    hotKeys_.Bind(window);
    SetLayoutKeyNames(LayoutKeyName);
    dpi_ = WindowDpi(window);
    font_ = CreateMessageFont(dpi_);

    label_ = Child(L"STATIC", L"", SS_LEFT | SS_NOPREFIX, IDC_NUMWINDOWS);
    // Drawn by the window, which shows each entry's options; the list box
    // keeps the texts, so `lv` stays a list box to everyone who reads it.
    lv_ = Child(L"LISTBOX", L"",
                WS_VSCROLL | WS_TABSTOP | LBS_NOINTEGRALHEIGHT | LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS,
                IDC_LV, WS_EX_CLIENTEDGE);
    buttons_[0] = Child(L"BUTTON", L"Add New Item", BS_PUSHBUTTON | WS_TABSTOP, IDC_LADD);
    buttons_[1] = Child(L"BUTTON", L"Edit Item", BS_PUSHBUTTON | WS_TABSTOP, IDC_EDITENTRY);
    buttons_[2] = Child(L"BUTTON", L"Remove Item", BS_PUSHBUTTON | WS_TABSTOP, IDC_LREM);
    buttons_[3] = Child(L"BUTTON", L"Refresh List", BS_PUSHBUTTON | WS_TABSTOP, IDC_REFRESHL);
    status_ = Child(STATUSCLASSNAMEW, L"", SBARS_SIZEGRIP, IDC_STATUS);
    MeasureText();

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
    entryMenu_ = LoadMenuW(instance_, MAKEINTRESOURCEW(IDM_ENTRYMENU));
    lvControl_.Bind(lv_);
    numWindows_.Bind(label_);
    frm_.Attach(reinterpret_cast<WindowHandle>(window));
    // An importing copy that does not run as administrator must reach a tray
    // copy that does.
    AllowFromLowerPrograms(window, ListChangedMessage());
    AllowFromLowerPrograms(window, ExitRequestMessage());
}

// The captions and the line height in the window's font, for the layout.
void MainFrmWindow::MeasureText() {
    HDC dc = GetDC(hwnd_);
    HGDIOBJ old = SelectObject(dc, font_);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    text_.fontHeight = metrics.tmHeight;
    const auto width = [dc](const std::wstring& text) {
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        return static_cast<int>(size.cx);
    };
    text_.widestCaption = 0;
    for (HWND button : buttons_) {
        wchar_t caption[64] = {};
        GetWindowTextW(button, caption, 64);
        text_.widestCaption = std::max(text_.widestCaption, width(caption));
    }
    text_.widestCount = width(Wide(CountText(EntryList::kMaxEntries, ThousandsSeparator())));
    SelectObject(dc, old);
    ReleaseDC(hwnd_, dc);
    // A list box drawn by its owner keeps the height it was first given: an
    // entry is a line of the font, as the list box makes it for its own.
    SendMessageW(lv_, LB_SETITEMHEIGHT, 0, MAKELPARAM(EntryHeight(), 0));
}

void MainFrmWindow::DrawEntry(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    RECT row = item.rcItem;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const bool focus = (item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT);
    if (item.itemID == static_cast<UINT>(-1)) {  // an empty list that has the focus
        if (focus) DrawFocusRect(dc, &row);
        return;
    }
    const int length = static_cast<int>(SendMessageW(lv_, LB_GETTEXTLEN, item.itemID, 0));
    std::wstring text(static_cast<std::size_t>(std::max(length, 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        std::max<LRESULT>(SendMessageW(lv_, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(&text[0])), 0)));
    // The list box mirrors `lv` item for item.
    const EntryList& lv = frm_.lv();
    const int index = static_cast<int>(item.itemID);
    const EntryLook look =
        index < lv.Count() && Wide(lv.At(index)) == text ? LookOf(lv.OptionsAt(index)) : EntryLook{};
    const std::wstring mark = Wide(look.mark);

    FillRect(dc, &row, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColour = GetTextColor(dc);
    // As the list box places its own texts: a pixel in from the edge.
    const int margin = std::max(1, ScaleForDpi(1, static_cast<int>(dpi_)));
    RECT room{row.left + margin, row.top, row.right - margin, row.bottom};
    const UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS;
    const auto widthOf = [dc](const std::wstring& part) {
        SIZE size{};
        GetTextExtentPoint32W(dc, part.c_str(), static_cast<int>(part.size()), &size);
        return static_cast<int>(size.cx);
    };
    int textRight = room.right;
    if (!mark.empty()) {
        // The mark keeps up to half the row; a long text gives way first.
        const int gap = widthOf(L" "), roomWidth = room.right - room.left;
        const int markWidth = std::min(widthOf(mark), roomWidth / 2);
        textRight = std::min<int>(room.left + widthOf(text), room.right - gap - markWidth);
        RECT markRoom{textRight + gap, room.top, std::min<LONG>(textRight + gap + markWidth, room.right), room.bottom};
        SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_GRAYTEXT));
        DrawTextW(dc, mark.c_str(), static_cast<int>(mark.size()), &markRoom, format);
    }
    RECT textRoom{room.left, room.top, textRight, room.bottom};
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : look.greyed ? COLOR_GRAYTEXT : COLOR_WINDOWTEXT));
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRoom, format);
    SetTextColor(dc, oldColour);
    SetBkMode(dc, oldMode);
    if (focus) DrawFocusRect(dc, &row);
}

void MainFrmWindow::OnEntryMenu(POINT at) {
    int index = -1;
    if (at.x == -1 && at.y == -1) {
        // The menu key or Shift+F10: the selected entry, the menu below it.
        index = static_cast<int>(SendMessageW(lv_, LB_GETCURSEL, 0, 0));
        RECT item{};
        if (index < 0 || SendMessageW(lv_, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)) ==
                             LB_ERR)
            return;
        at = {item.left, item.bottom};
        ClientToScreen(lv_, &at);
    } else {
        POINT client = at;
        ScreenToClient(lv_, &client);
        const LRESULT hit = SendMessageW(lv_, LB_ITEMFROMPOINT, 0, MAKELPARAM(client.x, client.y));
        // The high word is set below the last entry.
        if (HIWORD(hit) == 0) index = LOWORD(hit);
    }
    entryMenuAt_ = at;
    frm_.lv_ContextMenu(index);
}

void MainFrmWindow::PopupEntryMenu(bool enabled) {
    HMENU menu = GetSubMenu(entryMenu_, 0);
    CheckMenuItem(menu, IDM_ENTRYENABLED, MF_BYCOMMAND | (enabled ? MF_CHECKED : MF_UNCHECKED));
    // The command comes to the main window as any menu command does.
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, entryMenuAt_.x, entryMenuAt_.y, 0, hwnd_, nullptr);
}

int MainFrmWindow::StatusHeight() const {
    RECT bar{};
    GetWindowRect(status_, &bar);
    return bar.bottom - bar.top;
}

void MainFrmWindow::OnSize(WPARAM kind, int width, int height) {
    if (kind == SIZE_MINIMIZED) {
        frm_.Form_Resize(true);
        return;
    }
    SendMessageA(status_, WM_SIZE, 0, 0);
    const MainFrmLayout layout = LayoutMainFrm({width, height}, StatusHeight(), static_cast<int>(dpi_), text_);
    MoveTo(label_, layout.label, true);
    MoveTo(lv_, layout.lv, true);
    for (int i = 0; i < 4; ++i) MoveTo(buttons_[i], layout.buttons[i], true);
    frm_.Form_Resize(false);
}

POINT MainFrmWindow::MinimumSize() const {
    const SIZE frame = FrameForDpi(kStyle, 0, true, dpi_);
    const LayoutSize least = MainFrmMinimumSize({frame.cx, frame.cy}, status_ ? StatusHeight() : 0,
                                                static_cast<int>(dpi_), text_);
    return {least.width, least.height};
}

void MainFrmWindow::FitToMonitor() {
    RECT now{};
    GetWindowRect(hwnd_, &now);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoA(MonitorFromWindow(hwnd_, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    const POINT least = MinimumSize();
    const LayoutRect place =
        PlaceMainFrm({now.left, now.top, now.right - now.left, now.bottom - now.top}, static_cast<int>(dpi_),
                     {least.x, least.y}, {work.left, work.top, work.right - work.left, work.bottom - work.top});
    if (place.left != now.left || place.top != now.top || place.Right() != now.right || place.Bottom() != now.bottom)
        SetWindowPos(hwnd_, nullptr, place.left, place.top, place.width, place.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Moved to a monitor of another scale: the font and the pictures of that
// scale, then the size Windows suggests, which lays the controls out again.
void MainFrmWindow::OnDpiChanged(UINT dpi, const RECT& suggested) {
    dpi_ = dpi;
    HFONT oldFont = font_;
    font_ = CreateMessageFont(dpi_);
    for (HWND control : {label_, lv_, status_, buttons_[0], buttons_[1], buttons_[2], buttons_[3]})
        SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    DeleteObject(oldFont);
    MeasureText();
    SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindowIcons();
    if (!bitmaps_.empty()) {
        // Set again at the new size before the old pictures go.
        std::map<int, HBITMAP> oldPictures;
        oldPictures.swap(bitmaps_);
        frm_.SetMenuBitmaps();
        for (const auto& picture : oldPictures) DeleteObject(picture.second);
    }
}

void MainFrmWindow::OnDestroy() {
    frm_.Form_Unload();
    PostQuitMessage(0);
}

IconHandle MainFrmWindow::LoadIconResource(int id) {
    // The small size of the notification area, which lives on the primary
    // monitor; the window icons are taken at the window's own scale.
    const auto handle = reinterpret_cast<IconHandle>(IconForDpi(instance_, id, false, SystemDpi()));
    iconIds_[handle] = id;
    return handle;
}

void MainFrmWindow::SetWindowIcon(IconHandle icon) {
    auto it = iconIds_.find(icon);
    if (it == iconIds_.end()) return;
    windowIconId_ = it->second;
    ShowWindowIcons();
}

void MainFrmWindow::ShowWindowIcons() {
    if (!windowIconId_) return;
    for (const bool big : {false, true}) {
        SendMessageA(hwnd_, WM_SETICON, big ? ICON_BIG : ICON_SMALL,
                     reinterpret_cast<LPARAM>(IconForDpi(instance_, windowIconId_, big, dpi_)));
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
        ScaleNonClientArea(window);
        break;
    case WM_CREATE:
        self->OnCreate(window);
        return 0;
    case WM_SIZE:
        if (self) self->OnSize(wParam, LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_GETMINMAXINFO: {
        // Asked once before the window knows its scale.
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = self ? self->MinimumSize() : POINT{380, 260};
        return 0;
    }
    case WM_DPICHANGED:
        self->OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_TIMER:
        if (wParam == kTmId) {
            self->Woke(MainFrmWindow::kTickWake);
            self->Frm().Tm_Timer();
        } else if (wParam == kReInitCloseTmrId) {
            self->Frm().ReInitCloseTmr_Timer();
        } else if (wParam == kHistoryCheckTmrId) {
            self->Frm().HistoryCheckTmr_Timer();
        } else if (wParam == kAddPreviewTmrId) {
            self->Frm().Adder().PreviewTmr_Timer();
        } else if (wParam == kEditPreviewTmrId) {
            self->Frm().Editor().PreviewTmr_Timer();
        }
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
    case WM_HOTKEY:
        // lParam: the MOD_* flags in its low word, the virtual key in its high word.
        self->Frm().HotKey_Pressed(static_cast<int>(wParam), LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_POWERBROADCAST:
        if (wParam == PBT_APMPOWERSTATUSCHANGE) self->Frm().PowerStatus_Changed();
        return TRUE;
    case WM_MEASUREITEM:
        // Asked while `lv` is created, before the window knows its font;
        // the item height is set again once it does.
        if (wParam == IDC_LV) {
            auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
            item->itemHeight = static_cast<UINT>(std::max(self ? self->EntryHeight() : 0, 1));
            return TRUE;
        }
        break;
    case WM_DRAWITEM:
        if (wParam == IDC_LV) {
            self->DrawEntry(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        break;
    case WM_CONTEXTMENU:
        if (self && reinterpret_cast<HWND>(wParam) == GetDlgItem(window, IDC_LV)) {
            self->OnEntryMenu(POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
            return 0;
        }
        break;
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
        if (message == ExitRequestMessage() && self) {
            self->Frm().ExitRequested();
            return 0;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

UINT ListChangedMessage() {
    static const UINT message = RegisterWindowMessageA("Quellwatch.WindowListChanged");
    return message;
}

UINT ExitRequestMessage() {
    static const UINT message = RegisterWindowMessageA("Quellwatch.Exit");
    return message;
}

MainFrm& LoadMainFrm(HINSTANCE instance, const PublicFlags& flags) {
    // A wide window: its status bar names windows of every script.
    const std::wstring className = Wide(kClassName);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = MainFrmProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = className.c_str();
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TRACK_ON));
    wc.lpszMenuName = MAKEINTRESOURCEW(IDM_MAINMENU);
    RegisterClassExW(&wc);
    // Lives for the whole run; the process ends without unwinding it.
    auto* self = new MainFrmWindow(instance, flags);
    const LayoutSize size = MainFrmDefaultSize(static_cast<int>(SystemDpi()));
    CreateWindowExW(0, className.c_str(), L"Quellwatch v1.6", kStyle, CW_USEDEFAULT, CW_USEDEFAULT, size.width,
                    size.height, nullptr, nullptr, instance, self);
    self->FitToMonitor();
    ListChangedMessage();
    self->Frm().Form_Load();
    return self->Frm();
}

}  // namespace qw
