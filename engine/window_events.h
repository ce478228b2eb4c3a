// Window events beside the 15 ms tick: a window reported as created, shown or
// retitled is tested at once, with the scan's own code and rules, so that a
// matching window can be asked to close before it is ever painted. The tick
// stays as it is and finds whatever the events miss.
#pragma once

#include <chrono>
#include <deque>
#include <map>
#include <set>

#include "engine/scanner.h"
#include "platform/window_api.h"

namespace qw {

class WindowEvents : private WindowEventSink, private BetweenWindows {
public:
    // A window not yet visible when its event arrives is looked at again on
    // each tick of the retry timer (a few milliseconds), this many times.
    static constexpr int kRetries = 4;
    // Windows tested in one go: a storm of events (a program creating
    // hundreds of windows) is worked through between other messages, so the
    // user interface keeps answering.
    static constexpr int kSlice = 16;
    // A lone new window whose title matches but which is not shown yet is
    // watched this long before the retry timer takes over. Wine reports a
    // window's creation just before it is shown and repaints it within a
    // millisecond of showing it: only a window caught in that gap is asked
    // to close before it is ever painted.
    static constexpr auto kWatch = std::chrono::milliseconds(10);
    static constexpr auto kWatchPeriod = std::chrono::microseconds(250);
    // Looks a watch takes however long the system kept the thread waiting.
    static constexpr int kLeastLooks = 2;

    // Without a source (a tick-only build) Enable does nothing.
    WindowEvents(Scanner& scanner, WindowApi& windows, WindowEventSource* source, Timer* retryTimer)
        : scanner_(scanner), windows_(windows), source_(source), retryTimer_(retryTimer) {
        // An event that comes during a pass is tested at the next window,
        // not after the whole pass.
        scanner_.SetBetweenWindows(this);
    }

    // Tracking on: the events are listened for; off: not, and nothing waits.
    void Enable();
    void Disable();
    void RetryTimer_Timer();
    // The platform has events waiting, and woke the message loop for them.
    void Wake();
    void Deliver() {
        if (enabled_) source_->Deliver();
    }

    std::size_t Queued() const { return queue_.size(); }
    // Windows watched until shown, since the start.
    int Watches() const { return watches_; }
    std::size_t Waiting() const { return waiting_.size(); }

private:
    void OnWindowEvent(WindowHandle window, WindowEvent event) override;
    void OnBetweenWindows() override { Deliver(); }
    void TestQueued(int count);
    // False when the window is there but not visible yet.
    bool Test(WindowHandle window);
    void StopWhenIdle();
    // Looks again and again, for at most kWatch, until `window` is shown.
    bool Watch(WindowHandle window);

    Scanner& scanner_;
    WindowApi& windows_;
    WindowEventSource* source_;
    Timer* retryTimer_;
    bool enabled_ = false;
    int testedSinceTick_ = 0;  // tested as they came, since the message loop last ran
    bool watched_ = false;     // a window was watched since then
    bool showReported_ = false;  // the platform reports windows being shown
    int watches_ = 0;
    std::deque<WindowHandle> queue_;  // reported, not tested yet, each once
    std::set<WindowHandle> queued_;
    std::map<WindowHandle, int> waiting_;  // not yet visible: retries left
};

}  // namespace qw
