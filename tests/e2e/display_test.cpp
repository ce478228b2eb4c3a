// The program at 150 % and 200 % display scale, as Windows' scale slider sets
// it (LogPixels, read by each process as it starts): the splash's picture and
// notice whole, every control of the main window holding its caption, the
// tray icon at the size the notification area asks for, the crosshair still
// finding windows in real pixels. Saves screenshots when QW_SCREENSHOT_DIR
// is set.
#include <gtest/gtest.h>

#include <algorithm>

#include "e2e_support.h"
#include "resources/resource.h"

namespace qwe2e {
namespace {

using namespace std::chrono_literals;

// The scale for programs started while it stands; removed afterwards, so
// that the other tests run at 100 %.
class DisplayScale {
public:
    explicit DisplayScale(DWORD dpi) {
        HKEY key;
        if (RegCreateKeyA(HKEY_CURRENT_USER, kDesktop, &key) != ERROR_SUCCESS) return;
        RegSetValueExA(key, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof dpi);
        RegCloseKey(key);
    }
    ~DisplayScale() { RegDeleteKeyValueA(HKEY_CURRENT_USER, kDesktop, "LogPixels"); }

private:
    static constexpr const char* kDesktop = "Control Panel\\Desktop";
};

RECT ScreenRect(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return r;
}

SIZE ClientSize(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return {r.right, r.bottom};
}

// Measures text in a font the driver makes itself: the program's fonts are
// its own and cannot be selected here. The driver runs at 100 %, but a font
// made from the same description measures alike in any process.
class Measure {
public:
    explicit Measure(const LOGFONTW& font) : font_(CreateFontIndirectW(&font)) {
        old_ = SelectObject(dc_, font_);
        GetTextMetricsA(dc_, &metrics_);
    }
    ~Measure() {
        SelectObject(dc_, old_);
        DeleteObject(font_);
        ReleaseDC(nullptr, dc_);
    }
    int Height() const { return metrics_.tmHeight; }
    SIZE Extent(const std::string& text) const {
        SIZE size{};
        GetTextExtentPoint32A(dc_, text.c_str(), static_cast<int>(text.size()), &size);
        return size;
    }
    // How tall `text` is wrapped at `width`, as a centred label draws it.
    int WrappedHeight(const std::string& text, int width) const {
        RECT r{0, 0, width, 0};
        DrawTextA(dc_, text.c_str(), -1, &r, DT_CALCRECT | DT_CENTER | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
        return r.bottom - r.top;
    }

private:
    HDC dc_ = GetDC(nullptr);
    HFONT font_;
    HGDIOBJ old_ = nullptr;
    TEXTMETRICA metrics_{};
};

// The main window's font at `dpi`: the message font of that scale.
LOGFONTW MessageFont(UINT dpi) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
    return metrics.lfMessageFont;
}

// A dialog's font at `dpi`: its template's 8 point "MS Shell Dlg".
LOGFONTW DialogFont(UINT dpi) {
    LOGFONTW font{};
    font.lfHeight = -MulDiv(8, static_cast<int>(dpi), 72);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpyW(font.lfFaceName, L"MS Shell Dlg");
    return font;
}

// Every control of the main window holds its caption in the font of the
// scale, the label and the list's rows are as tall as it; none lies over
// another.
void ExpectCaptionsHeld(HWND main, UINT dpi) {
    const Measure font(MessageFont(dpi));
    const int controls[] = {IDC_NUMWINDOWS, IDC_LADD, IDC_EDITENTRY, IDC_LREM, IDC_REFRESHL, IDC_STATUS, IDC_LV};
    for (int id : controls) {
        HWND control = GetDlgItem(main, id);
        const SIZE area = ClientSize(control), caption = font.Extent(TextOf(control));
        EXPECT_LE(caption.cx, area.cx) << dpi << " dpi, " << id << " \"" << TextOf(control) << '"';
        EXPECT_GE(area.cy, font.Height()) << dpi << " dpi, " << id;
        RECT over{};
        for (int otherId : controls) {
            const RECT a = ScreenRect(control), b = ScreenRect(GetDlgItem(main, otherId));
            EXPECT_TRUE(otherId == id || !IntersectRect(&over, &a, &b)) << id << " over " << otherId;
        }
    }
    EXPECT_GE(SendMessageA(GetDlgItem(main, IDC_LV), LB_GETITEMHEIGHT, 0, 0), font.Height()) << dpi << " dpi";
}

// Tells the main window it now stands on a monitor at `dpi`, as Windows
// does when the user drags it there: WM_DPICHANGED with the rectangle it
// suggests. Wine hands the message's pointer over as it is, so the
// rectangle is written into the program's memory first.
bool MoveToMonitorAt(const Quellbox& q, UINT dpi, RECT suggested) {
    void* remote = VirtualAllocEx(q.Handle(), nullptr, sizeof suggested, MEM_COMMIT, PAGE_READWRITE);
    SIZE_T written = 0;
    DWORD_PTR result = 0;
    const bool sent = remote && WriteProcessMemory(q.Handle(), remote, &suggested, sizeof suggested, &written) &&
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
    // A window of a program at 100 %, high on the screen, for the crosshair.
    HWND other = helper.Create("Weekly Offer - Netscape");
    MoveWindow(other, 10, 10, 300, 100, TRUE);
    Quellbox q;
    {
        DisplayScale scale(dpi);
        ASSERT_TRUE(q.Start(BinDir() + "\\Quellbox.exe"));
    }

    // The splash: the picture at the scale, its notice whole below it.
    HWND splash = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        for (HWND w : WindowsOf(q.Id())) splash = IsWindowVisible(w) && GetDlgItem(w, IDC_SPLASHPICTURE) ? w : splash;
        return splash != nullptr;
    }, 10s));
    const RECT picture = ScreenRect(GetDlgItem(splash, IDC_SPLASHPICTURE));
    EXPECT_EQ(picture.right - picture.left, MulDiv(360, static_cast<int>(dpi), 96));
    EXPECT_EQ(picture.bottom - picture.top, MulDiv(200, static_cast<int>(dpi), 96));
    HWND notice = GetDlgItem(splash, IDC_WARNING);
    const RECT noticeAt = ScreenRect(notice), splashAt = ScreenRect(splash);
    const SIZE noticeArea = ClientSize(notice);
    EXPECT_GE(noticeAt.top, picture.bottom);
    EXPECT_LE(noticeAt.bottom, splashAt.bottom);
    EXPECT_GE(noticeArea.cy, Measure(DialogFont(dpi)).WrappedHeight(TextOf(notice), noticeArea.cx));
    Screenshot("splash-" + percent, &q);

    ASSERT_TRUE(q.WaitForMain());
    HWND main = q.Main();
    // Shown, the window lays its controls out for the first time.
    ASSERT_TRUE(WaitUntil([&] { return ClientSize(GetDlgItem(main, IDC_NUMWINDOWS)).cx > 0; }, 10s));
    // At its size scaled, as far as the screen holds it.
    const RECT frame = ScreenRect(main);
    RECT work{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(frame.right - frame.left, std::min<LONG>(MulDiv(470, static_cast<int>(dpi), 96), work.right - work.left));
    EXPECT_EQ(frame.bottom - frame.top, std::min<LONG>(MulDiv(380, static_cast<int>(dpi), 96), work.bottom - work.top));
    EXPECT_TRUE(frame.top >= work.top && frame.bottom <= work.bottom);

    ExpectCaptionsHeld(main, dpi);
    Screenshot("main-window-" + percent, &q);

    // The tray icon: the image of the size the notification area asks for
    // at this scale, not one resampled from another.
    const int side = GetSystemMetricsForDpi(SM_CXSMICON, dpi);
    const auto bits = IconBits(IDI_TRACK_ON, side);
    EXPECT_TRUE(WaitUntil([&] {
        SIZE size{};
        std::vector<std::uint8_t> icon;
        for (const auto& r : shell.Requests(q.Id())) {
            if (r.flags & NIF_ICON) size = r.IconSize(), icon = r.payload;
        }
        return size.cx == side && size.cy == side && SameIcon(icon, bits);
    }, 10s)) << side;

    // The crosshair, dragged with real pointer events onto the title bar of
    // a window at 100 %: both meet in real pixels.
    SetForegroundWindow(other);
    HWND dialog = Open(q, IDC_LADD, "Add new item");
    ASSERT_NE(dialog, nullptr);
    const RECT target = ScreenRect(GetDlgItem(dialog, IDC_TARGET)), title = ScreenRect(other);
    ASSERT_TRUE(RunHost("/usr/bin/xdotool mousemove " + std::to_string((target.left + target.right) / 2) + " " +
                        std::to_string((target.top + target.bottom) / 2) + " sleep 0.2 mousedown 1 mousemove " +
                        std::to_string(title.left + 60) + " " + std::to_string(title.top + 10) +
                        " sleep 0.2 mouseup 1"));
    EXPECT_TRUE(WaitUntil([&] { return TextOf(GetDlgItem(dialog, IDC_WIN_NAME)) == "Weekly Offer - Netscape"; }, 10s));
    Screenshot("add-dialog-" + percent, &q);
    ASSERT_TRUE(Answer(dialog, IDCANCEL));
    HWND options = Open(q, IDM_MODE, "Quellwatch Options");
    ASSERT_NE(options, nullptr);
    Screenshot("options-on-startup-" + percent, &q);
    ASSERT_TRUE(Answer(options, IDCANCEL));

    // Dragged onto a monitor of another scale: the suggested rectangle taken,
    // the font of that scale, the controls laid out again.
    const RECT suggested{20, 10, 20 + MulDiv(470, static_cast<int>(movedTo), 96),
                         10 + MulDiv(340, static_cast<int>(movedTo), 96)};
    ASSERT_TRUE(MoveToMonitorAt(q, movedTo, suggested));
    const RECT moved = ScreenRect(main);
    EXPECT_TRUE(EqualRect(&moved, &suggested)) << moved.left << ',' << moved.top << ',' << moved.right << ','
                                               << moved.bottom;
    ExpectCaptionsHeld(main, movedTo);
}

TEST(Display, At150PercentThenMovedTo200) { AtScale(144, 192, "150"); }
TEST(Display, At200PercentThenMovedTo100) { AtScale(192, 96, "200"); }

}  // namespace
}  // namespace qwe2e
