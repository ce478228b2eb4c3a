// Where the main window's controls go, from the window's DPI and what its
// font measures. The window glue measures with the real font and moves the
// controls; the sums live here, where a native test can check them.
#pragma once

#include "ui/display_scale.h"

namespace qw {

// What the main window's font measures at the window's DPI, in pixels.
struct MainFrmText {
    int fontHeight = 0;     // the height of a line of text
    int widestCaption = 0;  // the widest of the four button captions
    int widestCount = 0;    // the widest text the count label can show
};

struct MainFrmLayout {
    LayoutRect label;       // the count text, `NumWindows`
    LayoutRect lv;          // the window list
    LayoutRect buttons[4];  // `ladd`, `EditEntry`, `lrem`, `RefreshL`, top to bottom
};

// The controls of a client area `client` whose bottom `statusHeight` pixels
// the status bar takes. At 96 dpi with a font that fits, the rectangles of
// the window's first design: 112 x 26 buttons, an 18 pixel label, 10 pixel
// margins; beyond it, every caption fits its control, the label is as tall
// as its font, and the list takes what is left.
MainFrmLayout LayoutMainFrm(LayoutSize client, int statusHeight, int dpi, const MainFrmText& text);

// The window's size when it is created: 470 x 380 at 96 dpi, scaled.
LayoutSize MainFrmDefaultSize(int dpi);

// Where the window opens, from where Windows first put it (`proposed`): at
// its default size for `dpi`, never below `least`, and, as far as `least`
// allows, no larger than the monitor's work area and moved inside it.
LayoutRect PlaceMainFrm(LayoutRect proposed, int dpi, LayoutSize least, LayoutRect workArea);

// The smallest window the user may drag it to: 380 x 260 at 96 dpi, scaled,
// or larger when its content needs more. `frame` is what the title bar,
// the menu bar and the borders add to the client area.
LayoutSize MainFrmMinimumSize(LayoutSize frame, int statusHeight, int dpi, const MainFrmText& text);

}  // namespace qw
