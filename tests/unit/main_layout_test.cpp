// The main window's layout at every display scale: its first design at
// 100 %, and beyond it every caption whole, nothing overlapping, the list
// growing with the scale.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "shell/main_layout.h"
#include "shell/splash.h"

namespace qw {

bool operator==(const LayoutRect& a, const LayoutRect& b) {
    return std::tie(a.left, a.top, a.width, a.height) == std::tie(b.left, b.top, b.width, b.height);
}
std::ostream& operator<<(std::ostream& out, const LayoutRect& r) {
    return out << '{' << r.left << ", " << r.top << ", " << r.width << ", " << r.height << '}';
}

namespace {

// The window's font (the message font, "MS Shell Dlg") measured under Wine at
// each scale: line height, the widest button caption ("Add New Item") and
// "Quellwatch is currently scanning for 32,767 windows.".
struct Scale {
    int dpi;
    MainFrmText text;
};
const Scale kScales[] = {{96, {13, 79, 303}}, {120, {16, 98, 375}}, {144, {20, 120, 455}}, {192, {25, 155, 588}}};

// What the title bar, menu bar and borders add, and the status bar's height.
LayoutSize Frame(int dpi) { return {ScaleForDpi(8, dpi), ScaleForDpi(46, dpi)}; }
int Status(int dpi) { return ScaleForDpi(20, dpi); }

// Every control inside the client area above the status bar, none over
// another, each caption whole with room for the button's frame, the label
// as tall as its font and wide enough for the longest count.
void ExpectWhole(const MainFrmLayout& l, LayoutSize client, int status, int dpi, const MainFrmText& text) {
    std::vector<LayoutRect> all = {l.label, l.lv, l.buttons[0], l.buttons[1], l.buttons[2], l.buttons[3]};
    for (std::size_t i = 0; i < all.size(); ++i) {
        const LayoutRect& a = all[i];
        EXPECT_TRUE(a.left >= 0 && a.top >= 0 && a.Right() <= client.width &&
                    a.Bottom() <= client.height - status)
            << dpi << " dpi, control " << i << ' ' << a;
        for (std::size_t j = i + 1; j < all.size(); ++j) {
            const LayoutRect& b = all[j];
            EXPECT_TRUE(a.Right() <= b.left || b.Right() <= a.left || a.Bottom() <= b.top || b.Bottom() <= a.top)
                << dpi << " dpi: " << a << " overlaps " << b;
        }
    }
    for (const LayoutRect& b : l.buttons) {
        EXPECT_GE(b.width - text.widestCaption, ScaleForDpi(8, dpi)) << dpi << " dpi";
        EXPECT_GE(b.height - text.fontHeight, ScaleForDpi(6, dpi)) << dpi << " dpi";
    }
    EXPECT_GE(l.label.height, text.fontHeight) << dpi << " dpi";
    EXPECT_GE(l.label.width, text.widestCount) << dpi << " dpi";
}

TEST(MainLayout, AtFullScaleTheWindowOfTheFirstDesign) {
    const MainFrmText& text = kScales[0].text;
    const MainFrmLayout l = LayoutMainFrm({454, 315}, 22, 96, text);
    EXPECT_EQ(l.label, (LayoutRect{10, 12, 434, 18}));
    EXPECT_EQ(l.lv, (LayoutRect{10, 34, 312, 249}));
    for (int i = 0; i < 4; ++i) EXPECT_EQ(l.buttons[i], (LayoutRect{332, 34 + 32 * i, 112, 26})) << i;
    EXPECT_EQ(MainFrmDefaultSize(96).width, 470);
    EXPECT_EQ(MainFrmDefaultSize(96).height, 380);
    const LayoutSize least = MainFrmMinimumSize(Frame(96), 22, 96, text);
    EXPECT_EQ(least.width, 380);
    EXPECT_EQ(least.height, 260);
}

// At the default size and at the smallest, at 100, 125, 150 and 200 %; the
// list never smaller than at 100 % scaled.
TEST(MainLayout, EveryScaleHoldsItsCaptionsAndScalesTheList) {
    const LayoutSize client96{456, 304};
    const MainFrmLayout base = LayoutMainFrm(client96, Status(96), 96, kScales[0].text);
    for (const Scale& s : kScales) {
        const LayoutSize client{client96.width * s.dpi / 96, client96.height * s.dpi / 96};
        const MainFrmLayout l = LayoutMainFrm(client, Status(s.dpi), s.dpi, s.text);
        ExpectWhole(l, client, Status(s.dpi), s.dpi, s.text);
        EXPECT_GE(l.lv.width, base.lv.width * s.dpi / 96) << s.dpi;
        EXPECT_GE(l.lv.height, base.lv.height * s.dpi / 96) << s.dpi;

        const LayoutSize size = MainFrmDefaultSize(s.dpi), least = MainFrmMinimumSize(Frame(s.dpi), Status(s.dpi),
                                                                                       s.dpi, s.text);
        EXPECT_EQ(size.width, (470 * s.dpi + 48) / 96) << s.dpi;
        EXPECT_EQ(size.height, (380 * s.dpi + 48) / 96) << s.dpi;
        EXPECT_EQ(least.width, (380 * s.dpi + 48) / 96) << s.dpi;
        EXPECT_EQ(least.height, (260 * s.dpi + 48) / 96) << s.dpi;
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
    EXPECT_GT(l.buttons[0].width, 112);
    EXPECT_GT(l.label.height, 18);
    const LayoutSize least = MainFrmMinimumSize(Frame(96), status, 96, big);
    EXPECT_GT(least.width, 380);
    EXPECT_GT(least.height, 260);
    const LayoutSize smallest{least.width - Frame(96).width, least.height - Frame(96).height};
    const MainFrmLayout tight = LayoutMainFrm(smallest, status, 96, big);
    ExpectWhole(tight, smallest, status, 96, big);
    EXPECT_GE(tight.lv.width, 100);
    EXPECT_EQ(tight.buttons[3].Bottom(), smallest.height - status - 10);  // the lowest button just fits
}

// The window opens at its scaled size inside the monitor's work area, moved
// and cut down to fit it, but never below its least size.
TEST(MainLayout, OpensInsideTheWorkArea) {
    struct Case {
        LayoutRect proposed;
        int dpi;
        LayoutSize least;
        LayoutRect work, placed;
    };
    const Case cases[] = {
        {{0, 0, 470, 380}, 96, {380, 260}, {0, 0, 1024, 748}, {0, 0, 470, 380}},
        {{0, 0, 940, 760}, 192, {760, 520}, {0, 0, 1024, 748}, {0, 0, 940, 748}},        // cut to the work area
        {{300, 300, 705, 570}, 144, {570, 390}, {0, 0, 1024, 748}, {300, 178, 705, 570}},  // moved up into it
        {{0, 0, 940, 760}, 192, {760, 520}, {0, 0, 640, 400}, {0, 0, 760, 520}},         // never below the least
        {{1900, -10, 588, 475}, 120, {475, 325}, {1920, 0, 1280, 984}, {1920, 0, 588, 475}},  // a second monitor
    };
    for (const Case& c : cases) EXPECT_EQ(PlaceMainFrm(c.proposed, c.dpi, c.least, c.work), c.placed) << c.dpi;
}

// The splash's 360 x 200 picture at the monitor's scale where the window fits
// the screen, else at its own size; its notice always whole below it.
TEST(SplashLayout, PictureAtTheScaleThatFitsNoticeNeverCut) {
    struct Case {
        int dpi;
        LayoutSize room;
        int margin, leastNotice, textWidth, lineHeight;  // the notice's text on one line, and a line's height
        LayoutSize picture;
        int noticeHeight;
    };
    const Case cases[] = {
        {96, {1022, 738}, 6, 29, 600, 13, {360, 200}, 29},    // two lines fit the template's label
        {144, {1022, 738}, 9, 44, 900, 20, {540, 300}, 44},
        {192, {1022, 738}, 12, 58, 1200, 25, {720, 400}, 58},
        // Too wide scaled: at its own size, the notice four lines that grow the label.
        {192, {700, 500}, 12, 58, 1200, 25, {360, 200}, 100},
    };
    for (const Case& c : cases) {
        int askedWidth = 0;
        const auto height = [&](int width) {
            askedWidth = width;
            return (c.textWidth + width - 1) / width * c.lineHeight;
        };
        const SplashLayout l = LayoutSplash({360, 200}, c.dpi, c.room, {c.margin, c.margin}, c.leastNotice, height);
        EXPECT_EQ(l.picture, (LayoutRect{0, 0, c.picture.width, c.picture.height})) << c.dpi;
        EXPECT_EQ(l.notice, (LayoutRect{c.margin, c.picture.height + c.margin, c.picture.width - 2 * c.margin,
                                        c.noticeHeight}))
            << c.dpi;
        EXPECT_EQ(askedWidth, l.notice.width) << c.dpi;
        EXPECT_EQ(l.client.width, c.picture.width) << c.dpi;
        EXPECT_EQ(l.client.height, l.notice.Bottom() + c.margin) << c.dpi;
        EXPECT_TRUE(l.client.width <= c.room.width && l.client.height <= c.room.height) << c.dpi;
    }
}

}  // namespace
}  // namespace qw
