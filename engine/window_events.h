// Window events beside the 15 ms tick: a window reported as created, shown or
// retitled is tested at once, with the scan's own code and rules, so that a
// matching window can be asked to close before it is ever painted. The tick
// stays as it is and finds whatever the events miss.
#pragma once

#include <deque>
#include <map>
#include <set>

#include "engine/scanner.h"
#include "platform/window_api.h"

namespace qw {

class WindowEvents : private WindowEventSink {
public:
    // A window not yet visible when its event arrives is looked at again on
    // each tick of the retry timer (a few milliseconds), this many times.
    static constexpr int kRetries = 4;
    // Windows tested in one go: a storm of events (a program creating
    // hundreds of windows) is worked through between other messages, so the
    // user interface keeps answering.
    static constexpr int kSlice = 16;

    // Without a source (a tick-only build) Enable does nothing.
    WindowEvents(Scanner& scanner, WindowApi& windows, WindowEventSource* source, Timer* retryTimer)
        : scanner_(scanner), windows_(windows), source_(source), retryTimer_(retryTimer) {}

    // Tracking on: the events are listened for; off: not, and nothing waits.
    void Enable();
    void Disable();
    void RetryTimer_Timer();

    std::size_t Queued() const { return queue_.size(); }
    std::size_t Waiting() const { return waiting_.size(); }

private:
    void OnWindowEvent(WindowHandle window) override;
    void TestQueued(int count);
    // False when the window is there but not visible yet.
    bool Test(WindowHandle window);
    void StopWhenIdle();

    Scanner& scanner_;
    WindowApi& windows_;
    WindowEventSource* source_;
    Timer* retryTimer_;
    bool enabled_ = false;
    int testedSinceTick_ = 0;  // tested as they came, since the message loop last ran
    std::deque<WindowHandle> queue_;  // reported, not tested yet, each once
    std::set<WindowHandle> queued_;
    std::map<WindowHandle, int> waiting_;  // not yet visible: retries left
};

}  // namespace qw
