// Window events beside the tick: each reported window is tested at once with
// the scan's own rules; one not shown yet is looked at again a few times.
#include <gtest/gtest.h>

#include "engine/window_events.h"
#include "platform/memory/memory_platform.h"
#include "platform/memory/memory_registry.h"

namespace qw {
namespace {

using Handles = std::vector<WindowHandle>;
constexpr WindowHandle kMain = 0x100;

struct Events : ::testing::Test {
    MemoryWindows windows;
    MemorySound sound;
    MemoryRegistry reg;
    EntryList lv;
    MemoryTimer reInit, retry;
    MemoryWindowEvents source;
    OwnWindows own{kMain, 0, 0, 0, 0};
    LowerTable lower = LowerTable::Windows1252();
    Scanner scanner{windows, sound, reg, lv, reInit, own, lower};
    WindowEvents events{scanner, windows, &source, &retry};

    void SetUp() override {
        lv.Assign({"offer"});
        events.Enable();
    }
};

TEST_F(Events, EachReportedWindowIsTestedOnceByTheScansRules) {
    windows.Add(1, "Daily Offer");
    windows.Add(2, "Quarterly report");
    auto& box = windows.Add(3, "An offer of ours");
    box.popup = true;
    box.owner = kMain;
    windows.Add(kMain, "Quellwatch v1.6 offer");
    for (WindowHandle w : {WindowHandle{1}, WindowHandle{2}, WindowHandle{3}, kMain, WindowHandle{99}}) source.Fire(w);
    EXPECT_EQ(windows.posts, (std::vector<MemoryWindows::Posted>{{1, kWmCancelMode}, {1, kWmClose}}));
    EXPECT_EQ(windows.calls[1].style, 1);  // one look per event
    EXPECT_EQ(events.Waiting(), 0u);       // a gone window (99) does not wait
    events.RetryTimer_Timer();
    EXPECT_FALSE(retry.IsRunning());       // nothing left: the timer rests
    // The debounce holds for events as for ticks: the same title waits.
    windows.Add(4, "Daily Offer");
    source.Fire(4);
    EXPECT_EQ(windows.Closed(), Handles{1});
    scanner.ReInitCloseTmrTick();
    source.Fire(4);
    EXPECT_EQ(windows.Closed(), (Handles{1, 4}));
}

TEST_F(Events, AWindowNotShownYetIsLookedAtAgainAFewTimes) {
    windows.Add(1, "Offer shown later", false);
    windows.Add(2, "Offer never shown", false);
    for (int i = 0; i < 3; ++i) {  // a burst: each window waits once
        source.Fire(1);
        source.Fire(2);
    }
    EXPECT_EQ(events.Waiting(), 2u);
    EXPECT_TRUE(retry.IsRunning());
    windows.windows[0].visible = true;
    events.RetryTimer_Timer();
    EXPECT_EQ(windows.Closed(), Handles{1});
    for (int i = 1; i < WindowEvents::kRetries; ++i) events.RetryTimer_Timer();
    EXPECT_EQ(events.Waiting(), 0u);  // past the retries the tick takes over
    EXPECT_FALSE(retry.IsRunning());
    EXPECT_EQ(windows.Closed(), Handles{1});

    windows.Add(3, "Offer gone before shown", false);
    source.Fire(3);
    windows.Remove(3);
    events.RetryTimer_Timer();
    EXPECT_EQ(events.Waiting(), 0u);
}

TEST_F(Events, TrackingOffStopsListeningAndForgetsWhatWaits) {
    windows.Add(1, "Offer", false);
    source.Fire(1);
    events.Disable();
    EXPECT_EQ(source.stops, 1);
    EXPECT_EQ(events.Waiting(), 0u);
    EXPECT_FALSE(retry.IsRunning());
    windows.windows[0].visible = true;
    source.Fire(1);  // no one listens
    EXPECT_TRUE(windows.posts.empty());
    events.Enable();
    events.Enable();  // once is enough
    EXPECT_EQ(source.starts, 2);
    source.Fire(1);
    EXPECT_EQ(windows.Closed(), Handles{1});
    // Without a source, as in a tick-only build, nothing listens.
    WindowEvents none{scanner, windows, nullptr, nullptr};
    none.Enable();
    none.Disable();
}

}  // namespace
}  // namespace qw

namespace qw {
namespace {

// A program creating hundreds of windows at once: a slice is tested as the
// events come, the rest a slice per tick of the retry timer, so the message
// loop turns in between; every window is still tested once.
TEST_F(Events, AStormIsWorkedThroughASliceAtATime) {
    for (WindowHandle w = 1; w <= 200; ++w) windows.Add(w, "Offer number " + std::to_string(w));
    for (WindowHandle w = 1; w <= 200; ++w) source.Fire(w);
    EXPECT_EQ(windows.Closed().size(), static_cast<std::size_t>(WindowEvents::kSlice));
    EXPECT_TRUE(retry.IsRunning());
    std::size_t ticks = 0;
    while (retry.IsRunning() && ticks < 100) {
        const std::size_t before = windows.Closed().size();
        events.RetryTimer_Timer();
        EXPECT_LE(windows.Closed().size() - before, static_cast<std::size_t>(WindowEvents::kSlice));
        ++ticks;
    }
    EXPECT_EQ(windows.Closed().size(), 200u);
    for (WindowHandle w = 1; w <= 200; ++w) EXPECT_EQ(windows.calls[w].style, 1) << w;
}

}  // namespace
}  // namespace qw
