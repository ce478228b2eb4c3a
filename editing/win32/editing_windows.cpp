#include "editing/win32/editing_windows.h"

#include <commctrl.h>

#include <algorithm>
#include <map>

#include "resources/resource.h"

namespace qw {

namespace {

// The system's caution picture drawn for `side` pixels, loaded once a size.
HICON WarningIcon(int side) {
    static std::map<int, HICON> icons;
    HICON& icon = icons[side];
    if (icon) return icon;
    // comctl32 6 (the manifest's, already loaded) draws it for the size;
    // older ones leave it to LoadImage.
    using ScaleDown = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
    const auto load = reinterpret_cast<ScaleDown>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"comctl32.dll"), "LoadIconWithScaleDown")));
    const PCWSTR warning = MAKEINTRESOURCEW(32515);  // IDI_WARNING
    if (!load || FAILED(load(nullptr, warning, side, side, &icon)))
        icon = static_cast<HICON>(LoadImageW(nullptr, warning, IMAGE_ICON, side, side, LR_SHARED));
    return icon;
}

}  // namespace

void ShowPreviewLine(HWND dialog, const std::string& text, bool caution, const std::string& note) {
    HWND line = GetDlgItem(dialog, IDC_PREVIEW), icon = GetDlgItem(dialog, IDC_PREVIEWICON),
         below = GetDlgItem(dialog, IDC_PREVIEWNOTE);
    if (!line || !icon || !below) return;
    RECT at{}, room{};
    GetWindowRect(icon, &at);
    GetWindowRect(line, &room);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&at), 2);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&room), 2);
    const UINT dpi = WindowDpi(dialog);
    if (caution) {
        const int side = MetricForDpi(SM_CXSMICON, dpi);
        SendMessageW(icon, STM_SETICON, reinterpret_cast<WPARAM>(WarningIcon(side)), 0);
        SetWindowPos(icon, nullptr, 0, 0, side, side, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ShowWindow(icon, caution ? SW_SHOWNA : SW_HIDE);
    // The lines start after the icon while it shows, and keep their right edge.
    const int left = caution ? at.left + MetricForDpi(SM_CXSMICON, dpi) + ScaleForDpi(4, static_cast<int>(dpi))
                             : at.left;
    MoveWindow(line, left, room.top, room.right - left, room.bottom - room.top, TRUE);
    SetWindowTextW(line, Wide(text).c_str());
    RECT noteRoom{};
    GetWindowRect(below, &noteRoom);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&noteRoom), 2);
    MoveWindow(below, left, noteRoom.top, room.right - left, noteRoom.bottom - noteRoom.top, TRUE);
    SetWindowTextW(below, Wide(note).c_str());
}

namespace {

constexpr int kPartControls[] = {IDC_OPTGROUP,      IDC_OPTTITLE,       IDC_OPTCONTAINS, IDC_OPTEXACT,
                                 IDC_OPTPREFIX,     IDC_OPTENABLED,     IDC_OPTDIALOGS,  IDC_OPTPROGRAMONLY,
                                 IDC_OPTPROGRAM,    IDC_OPTACTIONLABEL, IDC_OPTACTION,   IDC_OPTBUTTON,
                                 IDC_OPTWAITLABEL,  IDC_OPTWAIT,        IDC_OPTWAITUNIT, IDC_OPTRECORDFIRST};
// The choices of "Then:", in EntryAction's order.
const wchar_t* const kActionChoices[] = {L"close the window", L"press its button:", L"minimize it", L"end its program",
                                         L"only record it"};
constexpr int kTitleRules[] = {IDC_OPTCONTAINS, IDC_OPTEXACT, IDC_OPTPREFIX};  // in TitleRule's order
// The window's edge below the last line shown, in dialog units: the
// template's own margins.
constexpr int kFoldedMargin = 4, kOpenMargin = 7;

// The bottom of a control in its dialog's client area.
int BottomOf(HWND dialog, int id) {
    RECT r{};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r.bottom;
}

}  // namespace

void OptionsPartControls::ShowOptionsPart(bool shown) {
    HWND dialog = dialog_;
    if (!dialog) return;
    HWND focus = GetFocus();
    // The edit dialog has no "Only record at first": GetDlgItem finds none.
    for (int id : kPartControls) ShowWindow(GetDlgItem(dialog, id), shown ? SW_SHOWNA : SW_HIDE);
    SetDlgItemTextW(dialog, IDC_OPTIONS, shown ? L"&Options <<" : L"&Options >>");
    // A control folded away cannot keep the keyboard.
    if (!shown && focus && !IsWindowVisible(focus) && IsChild(dialog, focus))
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_OPTIONS)), TRUE);
    // The window grows to show the part, or shrinks to the preview's last
    // line, at the dialog's own scale; the controls above stay where they are.
    RECT margin{0, 0, 0, shown ? kOpenMargin : kFoldedMargin};
    MapDialogRect(dialog, &margin);
    const int height = BottomOf(dialog, shown ? IDC_OPTGROUP : IDC_PREVIEWNOTE) + margin.bottom;
    RECT client{}, window{};
    GetClientRect(dialog, &client);
    GetWindowRect(dialog, &window);
    window.bottom += height - client.bottom;
    // Kept on its monitor's work area, its top over the bottom.
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(dialog, MONITOR_DEFAULTTONEAREST), &monitor) &&
        window.bottom > monitor.rcWork.bottom) {
        const LONG up = std::min(window.bottom - monitor.rcWork.bottom, window.top - monitor.rcWork.top);
        if (up > 0) OffsetRect(&window, 0, -up);
    }
    SetWindowPos(dialog, nullptr, window.left, window.top, window.right - window.left, window.bottom - window.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

bool OptionsPartControls::OptionsPartShown() const {
    return (GetWindowLongW(GetDlgItem(dialog_, IDC_OPTGROUP), GWL_STYLE) & WS_VISIBLE) != 0;
}

OptionsForm OptionsPartControls::Form() const {
    const auto checked = [this](int id) { return IsDlgButtonChecked(dialog_, id) == BST_CHECKED; };
    OptionsForm form;
    form.enabled = checked(IDC_OPTENABLED);
    for (int rule = 0; rule < 3; ++rule) {
        if (checked(kTitleRules[rule])) form.title = static_cast<TitleRule>(rule);
    }
    form.programOnly = checked(IDC_OPTPROGRAMONLY);
    HWND box = GetDlgItem(dialog_, IDC_OPTPROGRAM);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(box)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(box, &text[0], static_cast<int>(text.size()))));
    form.program = Utf8(text);
    form.dialogsOnly = checked(IDC_OPTDIALOGS);
    const LRESULT action = SendDlgItemMessageW(dialog_, IDC_OPTACTION, CB_GETCURSEL, 0, 0);
    if (action > 0 && action <= static_cast<LRESULT>(EntryAction::kRecord)) form.action = static_cast<EntryAction>(action);
    form.button = TextOfItem(IDC_OPTBUTTON);
    form.wait = TextOfItem(IDC_OPTWAIT);
    form.recordFirst = checked(IDC_OPTRECORDFIRST);
    return form;
}

std::string OptionsPartControls::TextOfItem(int id) const {
    HWND box = GetDlgItem(dialog_, id);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(box)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(box, &text[0], static_cast<int>(text.size()))));
    return Utf8(text);
}

void OptionsPartControls::SetForm(const OptionsForm& form) {
    const auto check = [this](int id, bool on) { CheckDlgButton(dialog_, id, on ? BST_CHECKED : BST_UNCHECKED); };
    check(IDC_OPTENABLED, form.enabled);
    CheckRadioButton(dialog_, IDC_OPTCONTAINS, IDC_OPTPREFIX, kTitleRules[static_cast<int>(form.title)]);
    check(IDC_OPTPROGRAMONLY, form.programOnly);
    SetDlgItemTextW(dialog_, IDC_OPTPROGRAM, Wide(form.program).c_str());
    check(IDC_OPTDIALOGS, form.dialogsOnly);
    HWND actions = GetDlgItem(dialog_, IDC_OPTACTION);
    if (SendMessageW(actions, CB_GETCOUNT, 0, 0) == 0) {
        for (const wchar_t* choice : kActionChoices) SendMessageW(actions, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice));
    }
    SendMessageW(actions, CB_SETCURSEL, static_cast<WPARAM>(form.action), 0);
    SetDlgItemTextW(dialog_, IDC_OPTBUTTON, Wide(form.button).c_str());
    SetDlgItemTextW(dialog_, IDC_OPTWAIT, Wide(form.wait).c_str());
    check(IDC_OPTRECORDFIRST, form.recordFirst);
}

void OptionsPartControls::EnableButtonBox(bool enabled) { EnableWindow(GetDlgItem(dialog_, IDC_OPTBUTTON), enabled); }

bool OptionsPartControls::ConfirmEndProgram() {
    return MessageBoxW(dialog_, Wide(kEndProgramQuestion).c_str(), L"End the Program",
                       MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;
}

void OptionsPartControls::EnableProgramBox(bool enabled) { EnableWindow(GetDlgItem(dialog_, IDC_OPTPROGRAM), enabled); }

void OptionsPartControls::SetPrograms(const std::vector<std::string>& programs) {
    HWND box = GetDlgItem(dialog_, IDC_OPTPROGRAM);
    // The list changes under the text, which stays as typed or suggested.
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(box)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(box, &text[0], static_cast<int>(text.size()))));
    SendMessageW(box, CB_RESETCONTENT, 0, 0);
    for (const std::string& program : programs)
        SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(program).c_str()));
    SetWindowTextW(box, text.c_str());
}

AddItemWindow::AddItemWindow(HINSTANCE instance)
    : DialogWindow(instance, IDD_ADDITEM, IDC_WIN_NAME), OptionsPartControls(hwnd_) {}

void AddItemWindow::OnInit() {
    ShowTargetIcon();
    SetWindowSubclass(GetDlgItem(hwnd_, IDC_TARGET), TargetProc, 0, reinterpret_cast<DWORD_PTR>(this));
    logic_->Form_Load();
}

void AddItemWindow::ShowTargetIcon() {
    HICON target = IconForDpi(instance_, IDI_TARGET, true, WindowDpi(hwnd_));
    SendDlgItemMessageA(hwnd_, IDC_TARGET, STM_SETICON, reinterpret_cast<WPARAM>(target), 0);
}

void AddItemWindow::SetRows(const std::vector<std::string>& rows) {
    HWND list = GetDlgItem(hwnd_, IDC_WNDWLIST);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& row : rows)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(row).c_str()));
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void AddItemWindow::SetCrosshair(bool on) { SetCursor(LoadCursor(nullptr, on ? IDC_CROSS : IDC_ARROW)); }

bool AddItemWindow::OnCommand(int id, int code) {
    switch (id) {
    case IDC_REFRESHWNDWLIST: logic_->RefreshWndwList_Click(); return true;
    case IDC_WIN_NAME:
        if (code == EN_CHANGE) logic_->win_name_Change();
        return true;
    case IDC_WNDWLIST:
        if (code == LBN_SELCHANGE)
            logic_->WndwList_Click(static_cast<int>(SendDlgItemMessageA(hwnd_, IDC_WNDWLIST, LB_GETCURSEL, 0, 0)));
        return true;
    case IDOK: logic_->done_Click(); return true;
    case IDCANCEL: logic_->no_Click(); return true;
    }
    return OnOptionsCommand(*logic_, id, code);
}

// The crosshair drag: the pointer is captured from the press on the target
// to the release, wherever the release happens; any button works.
LRESULT CALLBACK AddItemWindow::TargetProc(HWND target, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR data) {
    auto* self = reinterpret_cast<AddItemWindow*>(data);
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    // The static control's class takes double clicks: a second press soon
    // after the first arrives as one, and must start a drag all the same.
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDBLCLK:
        SetCapture(target);
        self->dragging_ = true;
        self->logic_->Target_MouseDown();
        return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
        if (self->dragging_) {
            self->dragging_ = false;
            ReleaseCapture();
            self->logic_->Target_MouseUp();
        }
        return 0;
    case WM_CAPTURECHANGED:
        if (self->dragging_) {
            // Capture taken away mid-drag (another window grabbed it): no pick.
            self->dragging_ = false;
            self->SetCrosshair(false);
        }
        return 0;
    case WM_SETCURSOR:
        if (self->dragging_) return TRUE;
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(target, TargetProc, 0);
        break;
    }
    return DefSubclassProc(target, message, wParam, lParam);
}

EditWindow::EditWindow(HINSTANCE instance)
    : DialogWindow(instance, IDD_EDIT, IDC_TEXT), OptionsPartControls(hwnd_) {}

bool EditWindow::OnCommand(int id, int code) {
    switch (id) {
    case IDC_TEXT:
        if (code == EN_CHANGE) logic_->Text_Change();
        return true;
    case IDOK: logic_->Done_Click(); return true;
    case IDCANCEL: logic_->No_Click(); return true;
    }
    return OnOptionsCommand(*logic_, id, code);
}

}  // namespace qw
