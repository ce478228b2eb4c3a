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
const MainFrmText kFont96{13, 79, 303}, kFont120{16, 98, 375}, kFont144{20, 120, 455}, kFont192{25, 155, 588};

// What the title bar, menu bar and borders add.
LayoutSize Frame(int dpi) { return {ScaleForDpi(8, dpi), ScaleForDpi(46, dpi)}; }

// Every control above the status bar and none over another; each caption
// whole with room for the button's frame; the label as tall as its font and
// wide enough for the longest count.
void ExpectWhole(const MainFrmLayout& l, LayoutSize client, int status, int dpi, const MainFrmText& text) {
    const LayoutRect all[] = {l.label, l.lv, l.buttons[0], l.buttons[1], l.buttons[2], l.buttons[3]};
    for (const LayoutRect& a : all) {
        EXPECT_TRUE(a.left >= 0 && a.top >= 0 && a.Right() <= client.width && a.Bottom() <= client.height - status);
        for (const LayoutRect& b : all)
            EXPECT_TRUE(&a == &b || a.Right() <= b.left || b.Right() <= a.left || a.Bottom() <= b.top ||
                        b.Bottom() <= a.top);
    }
    for (const LayoutRect& b : l.buttons) {
        EXPECT_GE(b.width - text.widestCaption, ScaleForDpi(8, dpi));
        EXPECT_GE(b.height - text.fontHeight, ScaleForDpi(6, dpi));
    }
    EXPECT_TRUE(l.label.height >= text.fontHeight && l.label.width >= text.widestCount);
}

TEST(MainLayout, AtFullScaleTheWindowOfTheFirstDesign) {
    const MainFrmLayout l = LayoutMainFrm({454, 315}, 22, 96, kFont96);
    EXPECT_EQ(R(l.label), Rect(10, 12, 434, 18));
    EXPECT_EQ(R(l.lv), Rect(10, 34, 312, 249));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(R(l.buttons[i]), Rect(332, 34 + 32 * i, 112, 26)) << i;
}

// At 100, 125, 150 and 200 %, and at 100 % with Windows' "make text bigger"
// doubling the font: whole at the least size, which scales and grows until
// the text fits; at the scale's own font whole at the default size too, the
// list never smaller than at 100 % scaled.
TEST(MainLayout, EveryScaleHoldsItsCaptionsAndScalesTheList) {
    const LayoutSize client96{456, 304};
    const MainFrmLayout base = LayoutMainFrm(client96, 20, 96, kFont96);
    // Scale, font, default and least window size, whether the font is the scale's own.
    const std::tuple<int, MainFrmText, Rect, bool> scales[] = {
        {96, kFont96, {470, 380, 380, 260}, true},
        {120, kFont120, {588, 475, 475, 325}, true},
        {144, kFont144, {705, 570, 570, 390}, true},
        {192, kFont192, {940, 760, 760, 520}, true},
        // The least: the frame, margins and the count text; the frame, the rows above and below
        // the list, four buttons and the status bar.
        {96, kFont192, {470, 380, 8 + 20 + 588, 46 + 51 + 150 + 20}, false}};
    for (const auto& [dpi, text, sizes, ownFont] : scales) {
        SCOPED_TRACE(dpi);
        const int status = ScaleForDpi(20, dpi);
        const LayoutSize size = MainFrmDefaultSize(dpi), least = MainFrmMinimumSize(Frame(dpi), status, dpi, text);
        EXPECT_EQ(Rect(size.width, size.height, least.width, least.height), sizes);
        const LayoutSize smallest{least.width - Frame(dpi).width, least.height - Frame(dpi).height};
        ExpectWhole(LayoutMainFrm(smallest, status, dpi, text), smallest, status, dpi, text);
        if (ownFont) {
            const LayoutSize client{client96.width * dpi / 96, client96.height * dpi / 96};
            const MainFrmLayout l = LayoutMainFrm(client, status, dpi, text);
            ExpectWhole(l, client, status, dpi, text);
            EXPECT_TRUE(l.lv.width >= base.lv.width * dpi / 96 && l.lv.height >= base.lv.height * dpi / 96);
        }
    }
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
        const int oneLine = text, lineHeight = line;  // a lambda may not name a structured binding
        const SplashLayout l = LayoutSplash({360, 200}, dpi, room, {margin, margin}, least, [&](int w) {
            asked = w;
            return (oneLine + w - 1) / w * lineHeight;
        });
        const int height = width * 200 / 360;
        const Rect notice(margin, height + margin, width - 2 * margin, noticeHeight);
        EXPECT_EQ(std::make_tuple(R(l.picture), R(l.notice), asked, l.client.width, l.client.height),
                  std::make_tuple(Rect(0, 0, width, height), notice, l.notice.width, width, l.notice.Bottom() + margin))
            << dpi;
    }
}

}  // namespace
}  // namespace qw
