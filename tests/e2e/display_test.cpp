// The program at 150 % and 200 % display scale, as Windows' scale slider sets
// it (LogPixels, read by each process as it starts): the splash's picture at
// the scale, every control of the main window holding its caption, the tray
// icon at the size the notification area asks for, the crosshair finding
// windows in real pixels, a move to a monitor of another scale. Saves
// screenshots when QW_SCREENSHOT_DIR is set.
#include <gtest/gtest.h>

#include <algorithm>

#include "e2e_support.h"
#include "resources/resource.h"

namespace qwe2e {
namespace {

using namespace std::chrono_literals;

RECT ScreenRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}
int Scaled(int length, UINT dpi) { return MulDiv(length, static_cast<int>(dpi), 96); }

// Every control of the main window holds its caption in the font of the
// scale, the label and the list's rows are as tall as it; none lies over
// another. The font is the message font of the scale, made here: the
// program's own cannot be selected in another process, but one made from the
// same description measures alike in any.
void ExpectCaptionsHeld(HWND main, UINT dpi) {
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof ncm;
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0, dpi);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, CreateFontIndirectW(&ncm.lfMessageFont));
    TEXTMETRICW font{};
    GetTextMetricsW(dc, &font);
    const int controls[] = {IDC_NUMWINDOWS, IDC_LADD, IDC_EDITENTRY, IDC_LREM, IDC_REFRESHL, IDC_STATUS, IDC_LV};
    for (int id : controls) {
        RECT area{}, over{};
        SIZE caption{};
        const std::wstring text = Wide(TextOf(GetDlgItem(main, id)));
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &caption);
        GetClientRect(GetDlgItem(main, id), &area);
        EXPECT_TRUE(caption.cx <= area.right && area.bottom >= font.tmHeight)
            << dpi << " dpi, control " << id << ": " << caption.cx << " x " << font.tmHeight << " in " << area.right
            << " x " << area.bottom;
        for (int other : controls) {
            const RECT a = ScreenRect(GetDlgItem(main, id)), b = ScreenRect(GetDlgItem(main, other));
            EXPECT_TRUE(other == id || !IntersectRect(&over, &a, &b)) << id << " over " << other;
        }
    }
    EXPECT_GE(SendMessageA(GetDlgItem(main, IDC_LV), LB_GETITEMHEIGHT, 0, 0), font.tmHeight) << dpi;
    DeleteObject(SelectObject(dc, old));
    ReleaseDC(nullptr, dc);
}

// Tells the main window it now stands on a monitor at `dpi`, as Windows does
// when the user drags it there: WM_DPICHANGED with the rectangle it suggests,
// which Wine hands over as a bare pointer, so it goes into the program's
// memory first.
bool MoveToMonitorAt(const Quellbox& q, UINT dpi, RECT suggested) {
    void* remote = VirtualAllocEx(q.Handle(), nullptr, sizeof suggested, MEM_COMMIT, PAGE_READWRITE);
    DWORD_PTR result = 0;
    const bool sent = remote && WriteProcessMemory(q.Handle(), remote, &suggested, sizeof suggested, nullptr) &&
                      SendMessageTimeoutA(q.Main(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                                          reinterpret_cast<LPARAM>(remote), SMTO_NORMAL, 10000, &result);
    if (remote) VirtualFreeEx(q.Handle(), remote, 0, MEM_RELEASE);
    return sent;
}

void AtScale(UINT dpi, UINT movedTo, const std::string& percent) {
    Helper helper;
    ASSERT_TRUE(helper.Ok());
    FakeShell shell;
    QuietOptions();
    SetString(kOptionsKey, "Show Splash Screen", "1");
    SeedList({"Daily Offer", "You have won a prize", "Special deal - Web Browser"});
    HWND other = helper.Create("Weekly Offer - Netscape");  // a program at 100 %, for the crosshair
    MoveWindow(other, 10, 10, 300, 100, TRUE);
    Quellbox q;
    const char desktop[] = "Control Panel\\Desktop";
    SetValue(desktop, "LogPixels", REG_DWORD, &dpi, sizeof dpi);
    const bool started = q.Start(BinDir() + "\\Quellbox.exe");
    RegDeleteKeyValueA(HKEY_CURRENT_USER, desktop, "LogPixels");  // the other tests run at 100 %
    ASSERT_TRUE(started);

    HWND splash = WaitForSplash(q);
    ASSERT_NE(splash, nullptr);
    const RECT picture = ScreenRect(GetDlgItem(splash, IDC_SPLASHPICTURE));
    EXPECT_EQ(picture.right - picture.left, Scaled(360, dpi));
    EXPECT_EQ(picture.bottom - picture.top, Scaled(200, dpi));
    Screenshot("splash-" + percent, &q);

    // Shown, the window lays its controls out for the first time; it has its
    // size scaled, as far as the screen holds it.
    ASSERT_TRUE(q.WaitForMain());
    HWND main = q.Main();
    ASSERT_TRUE(WaitUntil([&] {
        const RECT label = ScreenRect(GetDlgItem(main, IDC_NUMWINDOWS));
        return label.right > label.left;
    }, 10s));
    const RECT frame = ScreenRect(main);
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(frame.right - frame.left, std::min<LONG>(Scaled(470, dpi), work.right - work.left));
    EXPECT_EQ(frame.bottom - frame.top, std::min<LONG>(Scaled(380, dpi), work.bottom - work.top));
    ExpectCaptionsHeld(main, dpi);
    Screenshot("main-window-" + percent, &q);

    // The tray icon: the image of the size the notification area asks for.
    const int side = GetSystemMetricsForDpi(SM_CXSMICON, dpi);
    const auto bits = IconBits(IDI_TRACK_ON, side);
    EXPECT_TRUE(WaitUntil([&] {
        FakeShell::Request icon{};
        for (const auto& r : shell.Requests(q.Id())) icon = r.flags & NIF_ICON ? r : icon;
        return icon.IconSize().cx == side && icon.IconSize().cy == side && SameIcon(icon.payload, bits);
    }, 10s)) << side;

    // The crosshair dragged onto the title bar of the program at 100 %: both
    // meet in real pixels.
    SetForegroundWindow(other);
    HWND dialog = Open(q, IDC_LADD, "Add new item");
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(DragCrosshair(dialog, ScreenRect(other).left + 60, ScreenRect(other).top + 10));
    EXPECT_TRUE(WaitUntil([&] { return TextOf(GetDlgItem(dialog, IDC_WIN_NAME)) == "Weekly Offer - Netscape"; }, 10s));
    Screenshot("add-dialog-" + percent, &q);
    ASSERT_TRUE(Answer(dialog, IDCANCEL));
    HWND options = Open(q, IDM_MODE, "Quellwatch Options");
    Screenshot("options-on-startup-" + percent, &q);
    ASSERT_TRUE(Answer(options, IDCANCEL));

    // Moved to a monitor of another scale: the suggested rectangle taken, the
    // font of that scale, the controls laid out again.
    const RECT suggested{20, 10, 20 + Scaled(470, movedTo), 10 + Scaled(340, movedTo)};
    ASSERT_TRUE(MoveToMonitorAt(q, movedTo, suggested));
    const RECT moved = ScreenRect(main);
    EXPECT_TRUE(EqualRect(&moved, &suggested)) << moved.right << 'x' << moved.bottom;
    ExpectCaptionsHeld(main, movedTo);
}

TEST(Display, At150PercentThenMovedTo200) { AtScale(144, 192, "150"); }
TEST(Display, At200PercentThenMovedTo100) { AtScale(192, 96, "200"); }

}  // namespace
}  // namespace qwe2e
