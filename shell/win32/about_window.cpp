#include "shell/win32/about_window.h"

#include <commctrl.h>

#include "resources/resource.h"
#include "ui/display_scale.h"
#include "ui/win32/dpi.h"

namespace qw {
namespace {
constexpr int kLinkIds[] = {IDC_WEB, IDC_LINK0, IDC_LINK1, IDC_LINK2, IDC_LINK3, IDC_LINK4};
}  // namespace

AboutWindow::AboutWindow(HINSTANCE instance) : DialogWindow(instance, IDD_ABOUT, IDC_BLD) {}

void AboutWindow::OnInit() {
    // Drawn 64 pixels square for 100 %, shown at the dialog's scale.
    const int side = ScaleForDpi(64, static_cast<int>(WindowDpi(hwnd_)));
    picture_ = LoadBitmapOfSize(instance_, IDB_ABOUT, side, side);
    SendDlgItemMessageA(hwnd_, IDC_PICTURE1, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(picture_));
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(hwnd_, WM_GETFONT, 0, 0)), sizeof font, &font);
    font.lfUnderline = TRUE;
    linkFont_ = CreateFontIndirectA(&font);
    for (int id : kLinkIds) {
        HWND link = GetDlgItem(hwnd_, id);
        SendMessageA(link, WM_SETFONT, reinterpret_cast<WPARAM>(linkFont_), FALSE);
        SetWindowSubclass(link, LinkProc, 0, 0);
    }
    SetWindowSubclass(hwnd_, LinkColorProc, 0, reinterpret_cast<DWORD_PTR>(this));
    logic_->Form_Load();
}

void AboutWindow::OnDestroy() {
    // The controls go after the dialog and paint no more.
    DeleteObject(picture_);
    DeleteObject(linkFont_);
    picture_ = nullptr;
    linkFont_ = nullptr;
}

void AboutWindow::SetWebCaption(const std::string& text) { SetDlgItemTextW(hwnd_, IDC_WEB, Wide(text).c_str()); }

void AboutWindow::SetLinkCaption(int index, const std::string& text) {
    if (index >= 0 && index < kMailLinkCount) SetDlgItemTextW(hwnd_, IDC_LINK0 + index, Wide(text).c_str());
}

bool AboutWindow::OnCommand(int id, int code) {
    switch (id) {
    case IDOK:
    case IDCANCEL: logic_->Done_Click(); return true;
    case IDC_WEB:
        if (code == STN_CLICKED) logic_->Web_Click();
        return true;
    }
    if (id >= IDC_LINK0 && id < IDC_LINK0 + kMailLinkCount) {
        if (code == STN_CLICKED) logic_->Link_Click(id - IDC_LINK0);
        return true;
    }
    return false;
}

bool AboutWindow::IsLink(HWND control) const {
    for (int id : kLinkIds) {
        if (GetDlgItem(hwnd_, id) == control) return true;
    }
    return false;
}

LRESULT CALLBACK AboutWindow::LinkColorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR data) {
    auto* self = reinterpret_cast<AboutWindow*>(data);
    switch (message) {
    case WM_CTLCOLORSTATIC:
        if (self->IsLink(reinterpret_cast<HWND>(lParam))) {
            const LRESULT brush = DefSubclassProc(dialog, message, wParam, lParam);
            SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 255));
            return brush;
        }
        break;
    case WM_NCDESTROY:
        RemoveWindowSubclass(dialog, LinkColorProc, 0);
        break;
    }
    return DefSubclassProc(dialog, message, wParam, lParam);
}

LRESULT CALLBACK AboutWindow::LinkProc(HWND link, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    switch (message) {
    case WM_SETCURSOR:
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        return TRUE;
    case WM_NCDESTROY:
        RemoveWindowSubclass(link, LinkProc, 0);
        break;
    }
    return DefSubclassProc(link, message, wParam, lParam);
}

void Win32Pointer::SetHourglass(bool on) { SetCursor(LoadCursor(nullptr, on ? IDC_WAIT : IDC_ARROW)); }

ProgramVersion ReadProgramVersion(HINSTANCE instance) {
    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(VS_VERSION_INFO), MAKEINTRESOURCEA(16) /* RT_VERSION */);
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data) return ProgramVersion{};
    auto version = ParseVersionResource(static_cast<const std::uint8_t*>(data), SizeofResource(instance, found));
    return version.value_or(ProgramVersion{});
}

}  // namespace qw
