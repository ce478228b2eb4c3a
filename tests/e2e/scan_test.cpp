// The real Quellbox.exe closing real windows of another process.
#include <gtest/gtest.h>

#include <algorithm>

#include "e2e_support.h"

namespace qwe2e {
namespace {

using namespace std::chrono_literals;
using Messages = std::vector<std::uint32_t>;

double GapMs(std::int64_t a, std::int64_t b) { return Millis(b > a ? b - a : a - b); }

TEST(Scan, ClosesWhatMatchesAndNothingElse) {
    QuietOptions();
    SeedList({"offer", "manager", "desktopbackground", "hidden", "needle", "owned by", "Error", "quellwatch"});
    Helper helper;
    ASSERT_TRUE(helper.Ok());
    Quellbox quellbox;
    ASSERT_TRUE(quellbox.Launch());
    // WM_CANCELMODE then WM_CLOSE; the best of three within 100 ms, so that a
    // passing hiccup of a loaded machine cannot fail it.
    double best = 1e9;
    for (int trial = 0; trial < 3 && best >= 100.0; ++trial) {
        HWND window = helper.Create("Daily Offer " + std::to_string(trial));
        ASSERT_TRUE(helper.WaitForMessages(window, WM_CLOSE, 1, 5s));
        EXPECT_EQ(helper.Messages(window), (Messages{WM_CANCELMODE, WM_CLOSE}));
        best = std::min(best, GapMs(helper.Stamps(window, kCreated)[0], helper.Stamps(window, WM_CLOSE)[0]));
    }
    EXPECT_LT(best, 100.0);

    char owner[16];
    std::snprintf(owner, sizeof owner, "%08lx", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(quellbox.Main())));
    const std::vector<HWND> spared = {
        helper.Create("Program Manager"),
        helper.Create("DesktopBackgroundClass"),
        helper.Create("Hidden window", "h"),
        helper.Create(""),
        helper.Create(std::string(254, 'x') + "needle" + std::string(40, 'y')),  // beyond the 254 read
        helper.Create("Dialog owned by the main window", std::string("po") + owner),
        helper.Create("Loading..."),
    };
    const std::vector<HWND> closed = {helper.Create("program manager"), helper.Create("Error report")};
    // Asked again every 500 ms: two requests prove full passes over all windows.
    HWND sentinel = helper.Create("Quellwatch sentinel", "i");
    ASSERT_TRUE(helper.WaitForMessages(sentinel, WM_CLOSE, 2, 10s));
    for (HWND window : spared) EXPECT_TRUE(helper.Messages(window).empty()) << TextOf(window);
    for (HWND window : closed) EXPECT_FALSE(helper.Stamps(window, WM_CLOSE).empty()) << TextOf(window);
    EXPECT_TRUE(IsWindowVisible(quellbox.Main()));  // its own window, whatever the list holds

    helper.Retitle(spared.back(), "Loading... Daily Offer");  // a title that comes to match
    EXPECT_TRUE(helper.WaitForMessages(spared.back(), WM_CLOSE, 1, 5s));
}

// One title is remembered for 500 ms: windows sharing it close about 500 ms
// apart, and a window that stays is asked again about every 500 ms.
TEST(Scan, ARepeatedTitleWaitsForTheClearance) {
    QuietOptions();
    SeedList({"offer"});
    Helper helper;
    ASSERT_TRUE(helper.Ok());
    Quellbox quellbox;
    ASSERT_TRUE(quellbox.Launch());
    HWND first = helper.Create("Offer"), second = helper.Create("Offer");
    ASSERT_TRUE(helper.WaitForMessages(first, WM_CLOSE, 1, 5s));
    ASSERT_TRUE(helper.WaitForMessages(second, WM_CLOSE, 1, 5s));
    const double apart = GapMs(helper.Stamps(first, WM_CLOSE)[0], helper.Stamps(second, WM_CLOSE)[0]);
    EXPECT_GE(apart, 450.0);
    EXPECT_LE(apart, 1500.0);
    // Alone: another title closed meanwhile would release it at once.
    HWND stubborn = helper.Create("Stubborn offer", "i");
    ASSERT_TRUE(helper.WaitForMessages(stubborn, WM_CLOSE, 4, 10s));
    const auto asks = helper.Stamps(stubborn, WM_CLOSE);
    for (std::size_t i = 1; i < asks.size(); ++i) {
        EXPECT_GE(GapMs(asks[i - 1], asks[i]), 450.0) << i;
        EXPECT_LE(GapMs(asks[i - 1], asks[i]), 1500.0) << i;
    }
    EXPECT_EQ(helper.Stamps(stubborn, WM_CANCELMODE).size(), asks.size());
}

}  // namespace
}  // namespace qwe2e
