#include "shell/main_layout.h"

#include <algorithm>

namespace qw {
namespace {

// The design at 96 dpi.
constexpr int kMargin = 10;
constexpr int kLabelTop = 12;
constexpr int kLabelHeight = 18;
constexpr int kListTop = 34;  // the label, then 4 pixels
constexpr int kButtonWidth = 112;
constexpr int kButtonHeight = 26;
constexpr int kButtonGap = 6;
constexpr int kMinListWidth = 100;
// Room a push button needs around its caption: its frame and focus rectangle.
constexpr int kCaptionPaddingX = 16;
constexpr int kCaptionPaddingY = 8;
constexpr int kDefaultWidth = 470;
constexpr int kDefaultHeight = 380;
constexpr int kMinWidth = 380;
constexpr int kMinHeight = 260;

struct Column {
    int buttonWidth, buttonHeight;
    int labelHeight;
    int listTop;
    // Beside the list: margins, the gap and the buttons; above and below it:
    // the label and the margin. Each scaled as one length, so that rounding
    // never takes a pixel from the list.
    int besideList, aboveAndBelowList;
};

Column Measure(int dpi, const MainFrmText& text) {
    Column c{};
    const int designWidth = ScaleForDpi(kButtonWidth, dpi);
    c.buttonWidth = std::max(designWidth, text.widestCaption + ScaleForDpi(kCaptionPaddingX, dpi));
    c.buttonHeight = std::max(ScaleForDpi(kButtonHeight, dpi), text.fontHeight + ScaleForDpi(kCaptionPaddingY, dpi));
    c.labelHeight = std::max(ScaleForDpi(kLabelHeight, dpi), text.fontHeight);
    const int labelGrowth = c.labelHeight - ScaleForDpi(kLabelHeight, dpi);
    c.listTop = ScaleForDpi(kListTop, dpi) + labelGrowth;
    c.aboveAndBelowList = ScaleForDpi(kListTop + kMargin, dpi) + labelGrowth;
    c.besideList = ScaleForDpi(3 * kMargin + kButtonWidth, dpi) + (c.buttonWidth - designWidth);
    return c;
}

}  // namespace

MainFrmLayout LayoutMainFrm(LayoutSize client, int statusHeight, int dpi, const MainFrmText& text) {
    const Column c = Measure(dpi, text);
    const int margin = ScaleForDpi(kMargin, dpi);
    MainFrmLayout layout;
    layout.label = {margin, ScaleForDpi(kLabelTop, dpi), client.width - 2 * margin, c.labelHeight};
    layout.lv = {margin, c.listTop, std::max(0, client.width - c.besideList),
                 std::max(0, client.height - statusHeight - c.aboveAndBelowList)};
    const int buttonLeft = client.width - margin - c.buttonWidth;
    const int step = c.buttonHeight + ScaleForDpi(kButtonGap, dpi);
    for (int i = 0; i < 4; ++i) layout.buttons[i] = {buttonLeft, c.listTop + i * step, c.buttonWidth, c.buttonHeight};
    return layout;
}

LayoutSize MainFrmDefaultSize(int dpi) { return {ScaleForDpi(kDefaultWidth, dpi), ScaleForDpi(kDefaultHeight, dpi)}; }

LayoutRect PlaceMainFrm(LayoutRect proposed, int dpi, LayoutSize least, LayoutRect workArea) {
    const LayoutSize size = MainFrmDefaultSize(dpi);
    LayoutRect r;
    r.width = std::max(least.width, std::min(size.width, workArea.width));
    r.height = std::max(least.height, std::min(size.height, workArea.height));
    r.left = std::max(workArea.left, std::min(proposed.left, workArea.Right() - r.width));
    r.top = std::max(workArea.top, std::min(proposed.top, workArea.Bottom() - r.height));
    return r;
}

LayoutSize MainFrmMinimumSize(LayoutSize frame, int statusHeight, int dpi, const MainFrmText& text) {
    const Column c = Measure(dpi, text);
    const int margin = ScaleForDpi(kMargin, dpi);
    const int contentWidth =
        std::max(2 * margin + text.widestCount, c.besideList + ScaleForDpi(kMinListWidth, dpi));
    const int buttons = 4 * c.buttonHeight + 3 * ScaleForDpi(kButtonGap, dpi);
    const int contentHeight = c.aboveAndBelowList + buttons + statusHeight;
    return {std::max(ScaleForDpi(kMinWidth, dpi), frame.width + contentWidth),
            std::max(ScaleForDpi(kMinHeight, dpi), frame.height + contentHeight)};
}

}  // namespace qw
