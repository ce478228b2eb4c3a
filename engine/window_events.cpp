#include "engine/window_events.h"

#include <algorithm>
#include <thread>

namespace qw {

void WindowEvents::Enable() {
    if (enabled_ || !source_ || !retryTimer_) return;
    enabled_ = true;
    showReported_ = false;
    source_->Start(*this);
}

void WindowEvents::Disable() {
    if (!enabled_) return;
    enabled_ = false;
    source_->Stop();
    queue_.clear();
    queued_.clear();
    waiting_.clear();
    watched_ = false;
    retryTimer_->Stop();
}

void WindowEvents::Wake() {
    // The message loop turned since the last run of events.
    testedSinceTick_ = 0;
    watched_ = false;
    Deliver();
}

void WindowEvents::OnWindowEvent(WindowHandle window, WindowEvent event) {
    if (!enabled_) return;
    // Windows reports a window's showing, and then the window is tested as it
    // shows: no watch is needed. Wine does not, which shows here as no such
    // report for a window seen created while it was still hidden.
    if (event == WindowEvent::kShown && waiting_.count(window)) showReported_ = true;
    // Several events of one window before it is tested count once.
    if (!queued_.insert(window).second) return;
    queue_.push_back(window);
    // The usual case, a window now and then: tested at once. In a storm the
    // events come faster than the message loop turns: after a slice the rest
    // waits for the retry timer, whose ticks come between other messages.
    if (queue_.size() == 1 && testedSinceTick_ < kSlice) {
        ++testedSinceTick_;
        TestQueued(1);
        // Only a window just created is watched, once: a hidden window
        // that keeps renaming itself must not hold the user interface
        // 10 ms per new name.
        const auto waiting = waiting_.find(window);
        if (event == WindowEvent::kCreated && !showReported_ && waiting != waiting_.end() && Watch(window))
            waiting_.erase(waiting);
    }
    // The retry timer runs only while windows wait for it: a window not shown
    // yet, or the rest of a storm.
    if (!queue_.empty() && !retryTimer_->IsRunning()) retryTimer_->Start();
}

bool WindowEvents::Test(WindowHandle window) {
    // A window that is already gone costs this one question.
    if (!windows_.IsTopLevelWindow(window)) return true;
    return scanner_.ScanOneWindow(window);
}

bool WindowEvents::Watch(WindowHandle window) {
    // Only a window the scan would close is worth the wait; the others cost
    // nothing more (a storm of unlisted windows is never watched).
    // One watch per turn of the message loop, so that windows never shown
    // cannot keep the user interface waiting.
    if (watched_ || !scanner_.MatchesListEntry(window, scanner_.GetTitle(window))) return false;
    watched_ = true;
    ++watches_;
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    auto next = start + kWatchPeriod;
    for (int looks = 0;;) {
        // Each look is a question to the window system, which the creating
        // program needs to show its window: look only every kWatchPeriod,
        // and leave the processor to others meanwhile. A thread the system
        // kept waiting past the watch still looks kLeastLooks times.
        std::this_thread::yield();
        const auto now = Clock::now();
        if (now - start >= kWatch && looks >= kLeastLooks) return false;
        if (now < next) continue;
        next = now + kWatchPeriod;
        ++looks;
        if (scanner_.ScanOneWindow(window)) return true;
    }
}

void WindowEvents::TestQueued(int count) {
    for (; count > 0 && !queue_.empty(); --count) {
        const WindowHandle window = queue_.front();
        queue_.pop_front();
        queued_.erase(window);
        if (Test(window)) {
            waiting_.erase(window);
        } else if (waiting_.emplace(window, kRetries).second && !retryTimer_->IsRunning()) {
            retryTimer_->Start();
        }
    }
}

void WindowEvents::RetryTimer_Timer() {
    testedSinceTick_ = 0;
    watched_ = false;
    int budget = kSlice;
    for (auto it = waiting_.begin(); it != waiting_.end() && budget > 0; --budget) {
        const bool done = Test(it->first) || --it->second == 0;
        it = done ? waiting_.erase(it) : std::next(it);
    }
    // Retries and new events share the slice; new events never starve.
    TestQueued(std::max(budget, kSlice / 2));
    StopWhenIdle();
}

void WindowEvents::StopWhenIdle() {
    // Past the retries the tick takes over.
    if (queue_.empty() && waiting_.empty()) retryTimer_->Stop();
}

}  // namespace qw
