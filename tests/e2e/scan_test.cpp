// The real Quellbox.exe closing real windows of another process.
#include <gtest/gtest.h>

#include <algorithm>

#include "e2e_support.h"

namespace qwe2e {
namespace {

using namespace std::chrono_literals;

class Scan : public ::testing::Test {
protected:
    void StartWith(const std::vector<std::string>& entries) {
        QuietOptions();
        SeedList(entries);
        ASSERT_TRUE(helper.Ok());
        ASSERT_TRUE(quellbox.Launch());
    }

    // A window that refuses to close, asked twice: every pass in between has
    // visited all windows, and the posts of the first have all arrived.
    void ProveTwoFullPasses(const std::string& title) {
        HWND sentinel = helper.Create(title, "i");
        ASSERT_TRUE(helper.WaitForMessages(sentinel, WM_CLOSE, 2, 10s));
    }

    static double Gap(const std::vector<std::int64_t>& stamps, std::size_t i) {
        return Millis(stamps[i] - stamps[i - 1]);
    }

    Helper helper;
    Quellbox quellbox;
};

TEST_F(Scan, MatchingWindowReceivesCancelModeThenCloseWithin100ms) {
    StartWith({"offer"});
    // The best of three, so a passing hiccup of a loaded machine cannot fail it.
    double best = 1e9;
    for (int trial = 0; trial < 3 && best >= 100.0; ++trial) {
        HWND window = helper.Create("Daily Offer " + std::to_string(trial));
        ASSERT_TRUE(helper.WaitForMessages(window, WM_CLOSE, 1, 5s));
        EXPECT_EQ(helper.Messages(window), (std::vector<std::uint32_t>{WM_CANCELMODE, WM_CLOSE}));
        best = std::min(best, Millis(helper.Stamps(window, WM_CLOSE)[0] - helper.Stamps(window, kCreated)[0]));
    }
    EXPECT_LT(best, 100.0);
}

TEST_F(Scan, IneligibleWindowsAreNeverAskedToClose) {
    StartWith({"manager", "desktopbackground", "hidden", "needle", "owned by"});
    const std::vector<HWND> spared = {
        helper.Create("Program Manager"),
        helper.Create("DesktopBackgroundClass"),
        helper.Create("Hidden window", "h"),
        helper.Create(""),
        helper.Create(std::string(254, 'x') + "needle" + std::string(40, 'y')),
        helper.Create("Dialog owned by the main window", "po" + [&] {
            char hex[16];
            std::snprintf(hex, sizeof hex, "%08lx", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(quellbox.Main())));
            return std::string(hex);
        }()),
    };
    HWND other_case = helper.Create("program manager");
    ProveTwoFullPasses("Sentinel hidden manager");
    for (HWND window : spared) EXPECT_TRUE(helper.Messages(window).empty()) << "window " << window;
    EXPECT_FALSE(helper.Stamps(other_case, WM_CLOSE).empty());
}

TEST_F(Scan, WindowsSharingATitleCloseAbout500msApart) {
    StartWith({"offer"});
    HWND first = helper.Create("Offer");
    HWND second = helper.Create("Offer");
    ASSERT_TRUE(helper.WaitForMessages(first, WM_CLOSE, 1, 5s));
    ASSERT_TRUE(helper.WaitForMessages(second, WM_CLOSE, 1, 5s));
    std::vector<std::int64_t> closes = {helper.Stamps(first, WM_CLOSE)[0], helper.Stamps(second, WM_CLOSE)[0]};
    std::sort(closes.begin(), closes.end());
    EXPECT_GE(Gap(closes, 1), 450.0);
    EXPECT_LE(Gap(closes, 1), 1500.0);
}

TEST_F(Scan, WindowThatStaysIsAskedAgainAbout500msLater) {
    StartWith({"offer"});
    HWND stubborn = helper.Create("Stubborn offer", "i");
    ASSERT_TRUE(helper.WaitForMessages(stubborn, WM_CLOSE, 4, 10s));
    const auto closes = helper.Stamps(stubborn, WM_CLOSE);
    for (std::size_t i = 1; i < closes.size(); ++i) {
        EXPECT_GE(Gap(closes, i), 450.0) << i;
        EXPECT_LE(Gap(closes, i), 1500.0) << i;
    }
    EXPECT_EQ(helper.Stamps(stubborn, WM_CANCELMODE).size(), closes.size());
}

TEST_F(Scan, ItsOwnWindowIsNeverClosedWhateverTheListHolds) {
    StartWith({"quellwatch", "v1.6", "Quellwatch v1.6"});
    ProveTwoFullPasses("Quellwatch sentinel");
    EXPECT_TRUE(quellbox.Running());
    EXPECT_TRUE(IsWindow(quellbox.Main()));
    EXPECT_TRUE(IsWindowVisible(quellbox.Main()));
}

TEST_F(Scan, AWindowIsClosedOnceItsTitleComesToMatch) {
    StartWith({"offer"});
    HWND window = helper.Create("Loading...");
    ProveTwoFullPasses("Sentinel offer");
    EXPECT_TRUE(helper.Messages(window).empty());
    helper.Retitle(window, "Loading... Daily Offer");
    EXPECT_TRUE(helper.WaitForMessages(window, WM_CLOSE, 1, 5s));
}

TEST_F(Scan, AnEntryReadingErrorIsKeptAndUsed) {
    StartWith({"Error", "offer"});
    HWND window = helper.Create("Error report");
    ASSERT_TRUE(helper.WaitForMessages(window, WM_CLOSE, 1, 5s));
}

}  // namespace
}  // namespace qwe2e
