#include "engine/close_history.h"

#include <iterator>

namespace qw {

const char* OutcomeText(CloseOutcome outcome) {
    switch (outcome) {
    case CloseOutcome::kClosed: return "Closed";
    case CloseOutcome::kStillOpen: return "Still open";
    case CloseOutcome::kRefused: return "Refused";
    case CloseOutcome::kAsked: break;
    }
    return "Closing\xE2\x80\xA6";
}

CloseRecord* CloseHistory::Row(std::uint64_t serial) {
    const std::uint64_t back = newest_ - serial;
    return back < rows_.size() ? &rows_[static_cast<std::size_t>(back)] : nullptr;
}

bool CloseHistory::Gone(WindowHandle window) {
    return !windows_.IsTopLevelWindow(window) || !(windows_.GetStyle(window) & kWsVisible);
}

void CloseHistory::Asked(WindowHandle window, const std::string& title, const std::string& entry,
                         const std::string& program, bool refused) {
    const std::int64_t now = clock_.Milliseconds();
    if (!refused) {
        for (Waiting& w : waiting_) {
            if (w.window == window && w.title == title) {
                w.lastAsked = now;
                return;
            }
        }
    }
    rows_.push_front(CloseRecord{clock_.Local(), title, entry, program,
                                 refused ? CloseOutcome::kRefused : CloseOutcome::kAsked});
    ++newest_;
    if (rows_.size() > kLimit) rows_.pop_back();
    if (!refused) {
        waiting_.push_back(Waiting{window, title, newest_, now, now});
        if (!checkTimer_.IsRunning()) checkTimer_.Start();
    }
    Tell(1);
}

void CloseHistory::CheckTmr_Timer() {
    const std::int64_t now = clock_.Milliseconds();
    bool changed = false;
    for (auto it = waiting_.begin(); it != waiting_.end();) {
        CloseRecord* row = Row(it->serial);
        const bool gone = row && Gone(it->window);
        if (row) {
            CloseOutcome outcome = row->outcome;
            if (gone) {
                outcome = CloseOutcome::kClosed;
            } else if (now - it->firstAsked >= kCloseWithin) {
                outcome = CloseOutcome::kStillOpen;
            }
            changed = changed || outcome != row->outcome;
            row->outcome = outcome;
        }
        // Asked again and again, a window that stays is followed: should its
        // user let it close, it closed at the program's request.
        const bool settled = !row || gone || now - it->lastAsked >= kCloseWithin;
        it = settled ? waiting_.erase(it) : std::next(it);
    }
    if (waiting_.empty()) checkTimer_.Stop();
    if (changed) Tell(0);
}

void CloseHistory::Clear() {
    rows_.clear();
    waiting_.clear();
    checkTimer_.Stop();
    Tell(0);
}

}  // namespace qw
