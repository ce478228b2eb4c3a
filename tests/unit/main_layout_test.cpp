// The main window and the splash at every display scale: the first design at
// 100 %, and beyond it every caption whole, nothing overlapping, the list
// growing with the scale, the windows inside the screen.
#include <gtest/gtest.h>

#include <tuple>

#include "shell/main_layout.h"
#include "shell/splash.h"

namespace qw {
namespace {

using Rect = std::tuple<int, int, int, int>;  // left, top, width, height
Rect R(const LayoutRect& r) { return {r.left, r.top, r.width, r.height}; }

// The window's font (the message font) measured under Wine at each scale:
// line height, "Add New Item" and "Quellwatch is currently scanning for
// 32,767 windows.".
struct Scale {
    int dpi;
    MainFrmText text;
};
const Scale kScales[] = {{96, {13, 79, 303}}, {120, {16, 98, 375}}, {144, {20, 120, 455}}, {192, {25, 155, 588}}};

// What the title bar, menu bar and borders add; the status bar's height.
LayoutSize Frame(int dpi) { return {ScaleForDpi(8, dpi), ScaleForDpi(46, dpi)}; }
int Status(int dpi) { return ScaleForDpi(20, dpi); }

// Every control above the status bar and none over another; each caption
// whole with room for the button's frame; the label as tall as its font and
// wide enough for the longest count.
void ExpectWhole(const MainFrmLayout& l, LayoutSize client, int status, int dpi, const MainFrmText& text) {
    const LayoutRect all[] = {l.label, l.lv, l.buttons[0], l.buttons[1], l.buttons[2], l.buttons[3]};
    for (const LayoutRect& a : all) {
        EXPECT_TRUE(a.left >= 0 && a.top >= 0 && a.Right() <= client.width && a.Bottom() <= client.height - status)
            << dpi;
        for (const LayoutRect& b : all) {
            EXPECT_TRUE(&a == &b || a.Right() <= b.left || b.Right() <= a.left || a.Bottom() <= b.top ||
                        b.Bottom() <= a.top)
                << dpi;
        }
    }
    for (const LayoutRect& b : l.buttons) {
        EXPECT_GE(b.width - text.widestCaption, ScaleForDpi(8, dpi)) << dpi;
        EXPECT_GE(b.height - text.fontHeight, ScaleForDpi(6, dpi)) << dpi;
    }
    EXPECT_TRUE(l.label.height >= text.fontHeight && l.label.width >= text.widestCount) << dpi;
}

TEST(MainLayout, AtFullScaleTheWindowOfTheFirstDesign) {
    const MainFrmLayout l = LayoutMainFrm({454, 315}, 22, 96, kScales[0].text);
    EXPECT_EQ(R(l.label), Rect(10, 12, 434, 18));
    EXPECT_EQ(R(l.lv), Rect(10, 34, 312, 249));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(R(l.buttons[i]), Rect(332, 34 + 32 * i, 112, 26)) << i;
}

// At the default size and at the least, at 100, 125, 150 and 200 %: sizes
// scaled, the list never smaller than at 100 % scaled.
TEST(MainLayout, EveryScaleHoldsItsCaptionsAndScalesTheList) {
    const LayoutSize client96{456, 304};
    const MainFrmLayout base = LayoutMainFrm(client96, Status(96), 96, kScales[0].text);
    for (const Scale& s : kScales) {
        const LayoutSize client{client96.width * s.dpi / 96, client96.height * s.dpi / 96};
        const MainFrmLayout l = LayoutMainFrm(client, Status(s.dpi), s.dpi, s.text);
        ExpectWhole(l, client, Status(s.dpi), s.dpi, s.text);
        EXPECT_GE(l.lv.width, base.lv.width * s.dpi / 96) << s.dpi;
        EXPECT_GE(l.lv.height, base.lv.height * s.dpi / 96) << s.dpi;
        const LayoutSize size = MainFrmDefaultSize(s.dpi);
        const LayoutSize least = MainFrmMinimumSize(Frame(s.dpi), Status(s.dpi), s.dpi, s.text);
        const auto scaled = [&](int length) { return (length * s.dpi + 48) / 96; };
        EXPECT_EQ(std::make_tuple(size.width, size.height, least.width, least.height),
                  std::make_tuple(scaled(470), scaled(380), scaled(380), scaled(260)))
            << s.dpi;
        const LayoutSize smallest{least.width - Frame(s.dpi).width, least.height - Frame(s.dpi).height};
        ExpectWhole(LayoutMainFrm(smallest, Status(s.dpi), s.dpi, s.text), smallest, Status(s.dpi), s.dpi, s.text);
    }
}

// Windows' "make text bigger" at 100 %: a font twice the scale's own widens
// the buttons, deepens the label and raises the least size until everything
// fits there too.
TEST(MainLayout, LargerTextWidensTheButtonsAndTheLeastSize) {
    const MainFrmText big = kScales[3].text;
    const int status = 30;
    const MainFrmLayout l = LayoutMainFrm({454, 315}, status, 96, big);
    EXPECT_TRUE(l.buttons[0].width > 112 && l.label.height > 18);
    const LayoutSize least = MainFrmMinimumSize(Frame(96), status, 96, big);
    EXPECT_TRUE(least.width > 380 && least.height > 260);
    const LayoutSize smallest{least.width - Frame(96).width, least.height - Frame(96).height};
    const MainFrmLayout tight = LayoutMainFrm(smallest, status, 96, big);
    ExpectWhole(tight, smallest, status, 96, big);
    EXPECT_GE(tight.lv.width, 100);
    EXPECT_EQ(tight.buttons[3].Bottom(), smallest.height - status - 10);  // the lowest button just fits
}

// The window opens at its scaled size inside the monitor's work area, moved
// and cut down to fit it, but never below its least size.
TEST(MainLayout, OpensInsideTheWorkArea) {
    const std::tuple<LayoutRect, int, LayoutSize, LayoutRect, Rect> cases[] = {
        {{0, 0, 470, 380}, 96, {380, 260}, {0, 0, 1024, 748}, {0, 0, 470, 380}},
        {{0, 0, 940, 760}, 192, {760, 520}, {0, 0, 1024, 748}, {0, 0, 940, 748}},        // cut to the work area
        {{300, 300, 705, 570}, 144, {570, 390}, {0, 0, 1024, 748}, {300, 178, 705, 570}},  // moved up into it
        {{1900, -10, 940, 760}, 192, {760, 520}, {1920, 0, 640, 400}, {1920, 0, 760, 520}},  // never below the least
    };
    for (const auto& [proposed, dpi, least, work, placed] : cases)
        EXPECT_EQ(R(PlaceMainFrm(proposed, dpi, least, work)), placed) << dpi;
}

// The splash's 360 x 200 picture at the monitor's scale where the window fits
// the screen, else at its own size; its notice always whole below it.
TEST(SplashLayout, PictureAtTheScaleThatFitsNoticeNeverCut) {
    // Scale, room on the screen, margin, the template's notice height, the
    // notice's text on one line and a line's height; the picture's width and
    // the notice's height.
    const std::tuple<int, LayoutSize, int, int, int, int, int, int> cases[] = {
        {96, {1022, 738}, 6, 29, 600, 13, 360, 29},     // two lines fit the template's label
        {144, {1022, 738}, 9, 44, 900, 20, 540, 44},
        {192, {700, 500}, 12, 58, 1200, 25, 360, 100},  // too wide scaled: its own size, four lines
    };
    for (const auto& [dpi, room, margin, least, text, line, width, noticeHeight] : cases) {
        int asked = 0;
        const SplashLayout l = LayoutSplash({360, 200}, dpi, room, {margin, margin}, least, [&](int w) {
            asked = w;
            return (text + w - 1) / w * line;
        });
        const int height = width * 200 / 360;
        EXPECT_EQ(R(l.picture), Rect(0, 0, width, height)) << dpi;
        EXPECT_EQ(R(l.notice), Rect(margin, height + margin, width - 2 * margin, noticeHeight)) << dpi;
        EXPECT_EQ(asked, l.notice.width) << dpi;
        EXPECT_EQ(std::make_tuple(l.client.width, l.client.height), std::make_tuple(width, l.notice.Bottom() + margin));
    }
}

}  // namespace
}  // namespace qw
