#include "options/win32/options_window.h"

#include <commctrl.h>

#include <iterator>

#include "resources/resource.h"

namespace qw {
namespace {

const char kCdDesignText[] = "*******************";
const char* const kPageNames[] = {"On Startup", "Sounds", "List Icon", "Never Close", "Keys"};

struct PageControl {
    int id;
    int page;
};

constexpr PageControl kPageControls[] = {
    {IDC_LABEL2, kPageOnStartup},   {IDC_OON, kPageOnStartup},       {IDC_OFF, kPageOnStartup},
    {IDC_STARTMIN, kPageOnStartup}, {IDC_RUNATSTART, kPageOnStartup}, {IDC_SHWSPLASH, kPageOnStartup},
    {IDC_TASKTARGET, kPageOnStartup}, {IDC_SND, kPageSounds},        {IDC_PLY, kPageSounds},
    {IDC_BROWSESOUND, kPageSounds}, {IDC_LABEL1, kPageListIcon},     {IDC_ICONNUM, kPageListIcon},
    {IDC_ICONVIEW, kPageListIcon},  {IDC_NCLABEL, kPageNeverClose},  {IDC_NCLIST, kPageNeverClose},
    {IDC_NCREMOVE, kPageNeverClose}, {IDC_NCPROGRAMLABEL, kPageNeverClose}, {IDC_NCPROGRAM, kPageNeverClose},
    {IDC_NCADD, kPageNeverClose},   {IDC_SAVEPOWER, kPageOnStartup}, {IDC_SAVEPOWERBATTERY, kPageOnStartup},
    {IDC_KEYSLABEL, kPageKeys},     {IDC_PAUSEKEYLABEL, kPageKeys},  {IDC_PAUSEKEY, kPageKeys},
    {IDC_PAUSEKEYNONE, kPageKeys},  {IDC_ADDKEYLABEL, kPageKeys},    {IDC_ADDKEY, kPageKeys},
    {IDC_ADDKEYNONE, kPageKeys},    {IDC_KEYSNOTE, kPageKeys},       {IDC_KEYSHELP, kPageKeys},
};

int HotKeyControlId(GlobalKey key) { return key == GlobalKey::kPause ? IDC_PAUSEKEY : IDC_ADDKEY; }

std::string WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, &text[0], static_cast<int>(text.size()))));
    return Utf8(text);
}

int CheckBoxId(OptionsCheck box) {
    switch (box) {
    case OptionsCheck::kStartMin: return IDC_STARTMIN;
    case OptionsCheck::kRunAtStart: return IDC_RUNATSTART;
    case OptionsCheck::kShwSplash: return IDC_SHWSPLASH;
    case OptionsCheck::kTaskTarget: return IDC_TASKTARGET;
    case OptionsCheck::kSnd: return IDC_SND;
    case OptionsCheck::kSavePower: return IDC_SAVEPOWER;
    case OptionsCheck::kSavePowerOnBatteryOnly: return IDC_SAVEPOWERBATTERY;
    }
    return 0;
}

}  // namespace

OptionsWindow::OptionsWindow(HINSTANCE instance) : DialogWindow(instance, IDD_OPTIONS, IDC_CD) {}

void OptionsWindow::OnInit() {
    HWND tabb = GetDlgItem(hwnd_, IDC_TABB);
    for (int page = 0; page < static_cast<int>(std::size(kPageNames)); ++page) {
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<char*>(kPageNames[page]);
        SendMessageA(tabb, TCM_INSERTITEMA, static_cast<WPARAM>(page), reinterpret_cast<LPARAM>(&item));
    }
    SendDlgItemMessageA(hwnd_, IDC_ICONNUM, TBM_SETRANGE, FALSE, MAKELPARAM(1, 9));
    SendDlgItemMessageA(hwnd_, IDC_ICONNUM, TBM_SETPAGESIZE, 0, 1);
    // A key with one modifier or none (Ctrl+C, Alt+F4, a plain letter) would
    // be taken from every program's typing: the control adds Ctrl+Alt to it.
    for (GlobalKey key : kGlobalKeys) {
        SendDlgItemMessageA(hwnd_, HotKeyControlId(key), HKM_SETRULES, HKCOMB_NONE | HKCOMB_S | HKCOMB_C | HKCOMB_A,
                            MAKELPARAM(HOTKEYF_CONTROL | HOTKEYF_ALT, 0));
    }
    ShowPage(kPageOnStartup);
    SetWindowSubclass(hwnd_, PagesProc, 0, reinterpret_cast<DWORD_PTR>(this));
}

// Creating the dialog is all SetText needs; the text is the template's own,
// which the load step replaces.
void OptionsWindow::Load() {
    if (!hwnd_) SetText(kCdDesignText);
}

void OptionsWindow::SelectPage(int page) {
    HWND tabb = GetDlgItem(hwnd_, IDC_TABB);
    SendMessageA(tabb, TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
    ShowPage(static_cast<int>(SendMessageA(tabb, TCM_GETCURSEL, 0, 0)));
    // The first control of the first page had the focus, and may now be
    // hidden: the tab strip takes it, showing which page is open.
    SendMessageA(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(tabb), TRUE);
}

void OptionsWindow::ShowPage(int page) {
    for (const PageControl& control : kPageControls)
        ShowWindow(GetDlgItem(hwnd_, control.id), control.page == page ? SW_SHOW : SW_HIDE);
}

bool OptionsWindow::Checked(OptionsCheck box) const {
    return IsDlgButtonChecked(hwnd_, CheckBoxId(box)) == BST_CHECKED;
}

void OptionsWindow::SetChecked(OptionsCheck box, bool checked) {
    CheckDlgButton(hwnd_, CheckBoxId(box), checked ? BST_CHECKED : BST_UNCHECKED);
}

void OptionsWindow::EnableCheck(OptionsCheck box, bool enabled) {
    EnableWindow(GetDlgItem(hwnd_, CheckBoxId(box)), enabled ? TRUE : FALSE);
}

unsigned OptionsWindow::HotKey(GlobalKey key) const {
    return static_cast<unsigned>(SendDlgItemMessageW(hwnd_, HotKeyControlId(key), HKM_GETHOTKEY, 0, 0)) & 0xFFFF;
}

void OptionsWindow::SetHotKey(GlobalKey key, unsigned value) {
    SendDlgItemMessageW(hwnd_, HotKeyControlId(key), HKM_SETHOTKEY, value & 0xFFFF, 0);
}

void OptionsWindow::ShowKeyProblem(GlobalKey key, const std::string& text) {
    SelectPage(kPageKeys);
    ShowKeyNote(text);
    SendMessageW(hwnd_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(hwnd_, HotKeyControlId(key))), TRUE);
    MessageBeep(MB_ICONWARNING);
}

void OptionsWindow::ShowKeyNote(const std::string& text) { SetDlgItemTextW(hwnd_, IDC_KEYSNOTE, Wide(text).c_str()); }

bool OptionsWindow::FocusedHotKey(GlobalKey* key) const {
    const HWND focus = GetFocus();
    for (GlobalKey candidate : kGlobalKeys) {
        if (focus && focus == GetDlgItem(hwnd_, HotKeyControlId(candidate))) {
            *key = candidate;
            return true;
        }
    }
    return false;
}

bool OptionsWindow::OOn() const { return IsDlgButtonChecked(hwnd_, IDC_OON) == BST_CHECKED; }

void OptionsWindow::SetOOn(bool selected) { CheckRadioButton(hwnd_, IDC_OON, IDC_OFF, selected ? IDC_OON : IDC_OFF); }

int OptionsWindow::IconNum() const {
    return static_cast<int>(SendDlgItemMessageA(hwnd_, IDC_ICONNUM, TBM_GETPOS, 0, 0));
}

void OptionsWindow::SetIconNum(int position) {
    SendDlgItemMessageA(hwnd_, IDC_ICONNUM, TBM_SETPOS, TRUE, position);
}

void OptionsWindow::SetIconView(int iconId) {
    iconViewId_ = iconId;
    HICON icon = IconForDpi(instance_, iconId, true, WindowDpi(hwnd_));
    SendDlgItemMessageA(hwnd_, IDC_ICONVIEW, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

void OptionsWindow::SetNeverClose(const std::vector<std::string>& programs, int selected) {
    HWND list = GetDlgItem(hwnd_, IDC_NCLIST);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& program : programs)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(program).c_str()));
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

int OptionsWindow::NeverCloseSelection() const {
    return static_cast<int>(SendDlgItemMessageW(hwnd_, IDC_NCLIST, LB_GETCURSEL, 0, 0));
}

std::string OptionsWindow::NeverCloseProgram() const { return WindowText(GetDlgItem(hwnd_, IDC_NCPROGRAM)); }

void OptionsWindow::SetNeverCloseProgram(const std::string& text) {
    SetDlgItemTextW(hwnd_, IDC_NCPROGRAM, Wide(text).c_str());
}

void OptionsWindow::SetRunningPrograms(const std::vector<std::string>& programs) {
    HWND box = GetDlgItem(hwnd_, IDC_NCPROGRAM);
    const std::string text = WindowText(box);
    SendMessageW(box, CB_RESETCONTENT, 0, 0);
    for (const std::string& program : programs)
        SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(program).c_str()));
    SetWindowTextW(box, Wide(text).c_str());
}

bool OptionsWindow::OnCommand(int id, int code) {
    switch (id) {
    case IDOK: logic_->OK_Click(); return true;
    case IDCANCEL: logic_->No_Click(); return true;
    case IDC_BROWSESOUND: logic_->BrowseSound_Click(); return true;
    case IDC_PLY: logic_->ply_Click(); return true;
    case IDC_NCADD: logic_->NeverCloseAdd_Click(); return true;
    case IDC_NCREMOVE: logic_->NeverCloseRemove_Click(); return true;
    case IDC_PAUSEKEYNONE: logic_->KeyNone_Click(GlobalKey::kPause); return true;
    case IDC_ADDKEYNONE: logic_->KeyNone_Click(GlobalKey::kAdd); return true;
    case IDC_SAVEPOWER: logic_->SavePower_Click(); return true;
    case IDC_NCPROGRAM:
        // Enter in the program box adds the program; elsewhere it is OK.
        if (code == CBN_SETFOCUS || code == CBN_KILLFOCUS)
            SendMessageW(hwnd_, DM_SETDEFID, code == CBN_SETFOCUS ? IDC_NCADD : IDOK, 0);
        return true;
    }
    return false;
}

LRESULT CALLBACK OptionsWindow::PagesProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR data) {
    auto* self = reinterpret_cast<OptionsWindow*>(data);
    switch (message) {
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom == IDC_TABB && header->code == static_cast<UINT>(TCN_SELCHANGE)) {
            self->ShowPage(static_cast<int>(SendMessageA(header->hwndFrom, TCM_GETCURSEL, 0, 0)));
            return 0;
        }
        break;
    }
    case WM_ERASEBKGND: {
        // The page controls lie on the tab's body, which is drawn in the
        // window colour, but they are the dialog's children and take their
        // background from it: the dialog paints the body's colour behind them.
        RECT client{}, body{};
        GetClientRect(dialog, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
        HWND tabb = GetDlgItem(dialog, IDC_TABB);
        GetWindowRect(tabb, &body);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&body), 2);
        SendMessageA(tabb, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&body));
        FillRect(reinterpret_cast<HDC>(wParam), &body, GetSysColorBrush(COLOR_WINDOW));
        return TRUE;
    }
    case WM_CTLCOLORSTATIC:
        if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) != IDC_CD) {
            SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        }
        break;
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lParam) == GetDlgItem(dialog, IDC_ICONNUM)) {
            self->logic_->IconNum_Change();
            return 0;
        }
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(dialog, PagesProc, 0);
        break;
    }
    return DefSubclassProc(dialog, message, wParam, lParam);
}

}  // namespace qw
