#include "history/win32/closed_windows_window.h"

#include <commctrl.h>

#include <algorithm>
#include <iterator>

#include "platform/win32/win32_system.h"
#include "resources/resource.h"

namespace qw {
namespace {

// Lengths in dialog units, as the template's.
constexpr int kMargin = 7, kGap = 4, kButtonHeight = 14, kCloseWidth = 50;
constexpr int kColumnWidths[kHistoryColumns] = {72, 116, 56, 70, 44};
constexpr int kButtons[] = {IDC_HISTORYREMOVE, IDC_HISTORYSAVE, IDC_HISTORYCLEAR};
// The row above them: the selected row's program, named in each caption.
constexpr int kProgramButtons[] = {IDC_HISTORYLIMIT, IDC_HISTORYNEVER};
constexpr int kProgramButtonWidth = 96;  // at least; a longer caption widens its button
// The row under the list: the selected row's own commands.
constexpr int kRowButtons[] = {IDC_HISTORYPRESS, IDC_HISTORYACTION};
constexpr int kRowButtonWidth = 72;  // at least
// The least size of the window's client area.
constexpr int kLeastWidth = 240, kLeastHeight = 136;

}  // namespace

ClosedWindowsWindow::ClosedWindowsWindow(HINSTANCE instance) : DialogWindow(instance, IDD_CLOSEDWINDOWS, 0) {}

HWND ClosedWindowsWindow::List() const { return GetDlgItem(hwnd_, IDC_HISTORYLIST); }

void ClosedWindowsWindow::OnInit() {
    HWND list = List();
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    for (int column = 0; column < kHistoryColumns; ++column) {
        RECT width{0, 0, kColumnWidths[column], 0};
        MapDialogRect(hwnd_, &width);
        const std::wstring name = Wide(kHistoryColumnNames[column]);
        LVCOLUMNW c{};
        c.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        c.cx = width.right;
        c.pszText = const_cast<wchar_t*>(name.c_str());
        c.iSubItem = column;
        SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&c));
    }
    logic_->Form_Load();
}

void ClosedWindowsWindow::ShowRows(int count) {
    // The rows' texts are asked for as they are drawn: all of them may have
    // moved down under a new first row.
    ListView_SetItemCountEx(List(), count, LVSICF_NOSCROLL);
    InvalidateRect(List(), nullptr, FALSE);
}

int ClosedWindowsWindow::SelectedRow() const { return ListView_GetNextItem(List(), -1, LVNI_SELECTED); }

void ClosedWindowsWindow::SelectRow(int row) {
    ListView_SetItemState(List(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (row >= 0) ListView_SetItemState(List(), row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

void ClosedWindowsWindow::SetProgramCommands(const std::string& limitCaption, const std::string& neverCaption,
                                             bool enabled) {
    SetDlgItemTextW(hwnd_, IDC_HISTORYLIMIT, Wide(limitCaption).c_str());
    SetDlgItemTextW(hwnd_, IDC_HISTORYNEVER, Wide(neverCaption).c_str());
    for (int id : kProgramButtons) EnableWindow(GetDlgItem(hwnd_, id), enabled);
    RECT client{};
    GetClientRect(hwnd_, &client);
    Layout(client.right, client.bottom);
}

void ClosedWindowsWindow::SetRowCommands(bool press, const std::string& actionCaption, bool action) {
    SetDlgItemTextW(hwnd_, IDC_HISTORYACTION, Wide(actionCaption).c_str());
    EnableWindow(GetDlgItem(hwnd_, IDC_HISTORYPRESS), press);
    EnableWindow(GetDlgItem(hwnd_, IDC_HISTORYACTION), action);
    RECT client{};
    GetClientRect(hwnd_, &client);
    Layout(client.right, client.bottom);
}

int ClosedWindowsWindow::ChooseButton(const std::vector<std::string>& captions) {
    HMENU menu = CreatePopupMenu();
    if (!menu) return -1;
    // Item ids from 1: TrackPopupMenu's 0 is no choice.
    for (std::size_t i = 0; i < captions.size(); ++i) {
        if (!AppendMenuW(menu, MF_STRING, i + 1, Wide(captions[i]).c_str())) {
            DestroyMenu(menu);
            return -1;
        }
    }
    // Under the button, as a drop-down's list.
    RECT r{};
    GetWindowRect(GetDlgItem(hwnd_, IDC_HISTORYPRESS), &r);
    const int chosen = static_cast<int>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_LEFTALIGN | TPM_TOPALIGN, r.left, r.bottom, 0, hwnd_,
                       nullptr));
    DestroyMenu(menu);
    return chosen - 1;
}

bool ClosedWindowsWindow::OnCommand(int id, int) {
    switch (id) {
    case IDC_HISTORYPRESS: logic_->Press_Click(); return true;
    case IDC_HISTORYACTION: logic_->RowAction_Click(); return true;
    case IDC_HISTORYLIMIT: logic_->LimitEntry_Click(); return true;
    case IDC_HISTORYNEVER: logic_->NeverClose_Click(); return true;
    case IDC_HISTORYREMOVE: logic_->RemoveEntry_Click(); return true;
    case IDC_HISTORYSAVE: logic_->SaveAs_Click(); return true;
    case IDC_HISTORYCLEAR: logic_->Clear_Click(); return true;
    case IDOK:
    case IDCANCEL: logic_->Close_Click(); return true;
    }
    return false;
}

void ClosedWindowsWindow::LayOutRow(const int* ids, int count, int top, int least) {
    RECT u{kGap, kButtonHeight, least, kMargin};  // dialog units to pixels, in the window's font
    MapDialogRect(hwnd_, &u);
    const int gap = u.left, buttonHeight = u.top, leastWidth = u.right;
    HDC dc = GetDC(hwnd_);
    HGDIOBJ font = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd_, WM_GETFONT, 0, 0)));
    int left = u.bottom;
    for (int i = 0; i < count; ++i) {
        HWND button = GetDlgItem(hwnd_, ids[i]);
        wchar_t caption[128] = {};
        GetWindowTextW(button, caption, 128);
        RECT text{};
        DrawTextW(dc, caption, -1, &text, DT_CALCRECT | DT_SINGLELINE);
        const int buttonWidth = std::max<int>(leastWidth, text.right + 2 * gap + 2 * GetSystemMetrics(SM_CXEDGE));
        MoveWindow(button, left, top, buttonWidth, buttonHeight, TRUE);
        left += buttonWidth + gap;
    }
    SelectObject(dc, font);
    ReleaseDC(hwnd_, dc);
}

void ClosedWindowsWindow::Layout(int width, int height) {
    RECT u{kMargin, kGap, kButtonHeight, kCloseWidth};  // dialog units to pixels, in the window's font
    MapDialogRect(hwnd_, &u);
    const int margin = u.left, gap = u.top, buttonHeight = u.right, closeWidth = u.bottom;
    const int buttonTop = height - margin - buttonHeight, programTop = buttonTop - gap - buttonHeight;
    const int rowTop = programTop - gap - buttonHeight;
    MoveWindow(List(), margin, margin, width - 2 * margin, rowTop - gap - margin, TRUE);
    LayOutRow(kRowButtons, static_cast<int>(std::size(kRowButtons)), rowTop, kRowButtonWidth);
    LayOutRow(kProgramButtons, static_cast<int>(std::size(kProgramButtons)), programTop, kProgramButtonWidth);
    int left = margin;
    for (int id : kButtons) {
        HWND button = GetDlgItem(hwnd_, id);
        RECT r{};
        GetWindowRect(button, &r);
        MoveWindow(button, left, buttonTop, r.right - r.left, buttonHeight, TRUE);
        left += r.right - r.left + gap;
    }
    MoveWindow(GetDlgItem(hwnd_, IDCANCEL), width - margin - closeWidth, buttonTop, closeWidth, buttonHeight, TRUE);
}

bool ClosedWindowsWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) Layout(LOWORD(lParam), HIWORD(lParam));
        return true;
    case WM_GETMINMAXINFO: {
        RECT least{0, 0, kLeastWidth, kLeastHeight};
        MapDialogRect(hwnd_, &least);
        AdjustWindowRectEx(&least, static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_STYLE)), FALSE,
                           static_cast<DWORD>(GetWindowLongW(hwnd_, GWL_EXSTYLE)));
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = {least.right - least.left, least.bottom - least.top};
        return true;
    }
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom != static_cast<UINT_PTR>(IDC_HISTORYLIST)) return false;
        if (header->code == LVN_GETDISPINFOW) {
            auto* item = &reinterpret_cast<NMLVDISPINFOW*>(lParam)->item;
            if ((item->mask & LVIF_TEXT) && item->cchTextMax > 0)
                lstrcpynW(item->pszText, Wide(logic_->Cell(item->iItem, item->iSubItem)).c_str(), item->cchTextMax);
            return true;
        }
        if (header->code == NM_DBLCLK) {
            logic_->Rows_DblClick(reinterpret_cast<const NMITEMACTIVATE*>(lParam)->iItem);
            return true;
        }
        if (header->code == LVN_ITEMCHANGED) {
            logic_->Rows_SelChange();
            return true;
        }
        return false;
    }
    }
    return false;
}

}  // namespace qw
