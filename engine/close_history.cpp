#include "engine/close_history.h"

#include <algorithm>
#include <iterator>

namespace qw {

const char* OutcomeText(CloseOutcome outcome) {
    switch (outcome) {
    case CloseOutcome::kClosed: return "Closed";
    case CloseOutcome::kStillOpen: return "Still open";
    case CloseOutcome::kRefused: return "Refused";
    case CloseOutcome::kPressed: return "Pressed";
    case CloseOutcome::kNoButton: return "No button";
    case CloseOutcome::kMinimized: return "Minimized";
    case CloseOutcome::kEnded: return "Program ended";
    case CloseOutcome::kRecorded: return "Recorded";
    case CloseOutcome::kWaiting: return "Waiting";
    case CloseOutcome::kNotActed: return "Not acted on";
    case CloseOutcome::kAsked: break;
    }
    return "Closing\xE2\x80\xA6";
}

std::string OutcomeText(const CloseRecord& record) {
    const bool named = record.outcome == CloseOutcome::kPressed || record.outcome == CloseOutcome::kNoButton;
    return std::string(OutcomeText(record.outcome)) + (named ? " " + record.button : "");
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
    ActReport report;
    report.window = window;
    report.title = title;
    report.entry = entry;
    report.program = program;
    report.refused = refused;
    Acted(report);
}

std::uint64_t CloseHistory::NewRow(WindowHandle window, CloseRecord record) {
    const auto waited = waitRows_.find(window);
    if (waited != waitRows_.end()) {
        const std::uint64_t serial = waited->second;
        waitRows_.erase(waited);
        if (CloseRecord* row = Row(serial)) {
            row->outcome = record.outcome;
            row->button = record.button;
            row->entry = record.entry;
            Tell(0);
            return serial;
        }
    }
    rows_.push_front(std::move(record));
    ++newest_;
    if (rows_.size() > kLimit) rows_.pop_back();
    Tell(1);
    return newest_;
}

void CloseHistory::Follow(WindowHandle window, const std::string& title, std::uint64_t serial, std::int64_t now) {
    waiting_.push_back(Waiting{window, title, serial, now, now});
    if (!checkTimer_.IsRunning()) checkTimer_.Start();
}

void CloseHistory::Acted(const ActReport& report) {
    const std::int64_t now = clock_.Milliseconds();
    CloseRecord record{clock_.Local(), report.title, report.entry, report.program,
                       CloseOutcome::kAsked, report.button, report.window};
    switch (report.kind) {
    case ActKind::kAskedToClose:
    case ActKind::kPressed: {
        const CloseOutcome asked = report.kind == ActKind::kPressed ? CloseOutcome::kPressed : CloseOutcome::kAsked;
        // A window asked again keeps the row its request is followed in.
        if (!report.refused) {
            for (Waiting& w : waiting_) {
                if (w.window == report.window && w.title == report.title) {
                    w.lastAsked = now;
                    return;
                }
            }
        }
        record.outcome = report.refused ? CloseOutcome::kRefused : asked;
        const std::uint64_t serial = NewRow(report.window, record);
        if (!report.refused) Follow(report.window, report.title, serial, now);
        return;
    }
    case ActKind::kEnded: {
        // The row of the request that came first tells what came of it.
        const auto followed = std::find_if(waiting_.begin(), waiting_.end(),
                                           [&](const Waiting& w) { return w.window == report.window; });
        CloseRecord* row = followed != waiting_.end() ? Row(followed->serial) : nullptr;
        if (followed != waiting_.end()) waiting_.erase(followed);
        const CloseOutcome outcome = report.refused ? CloseOutcome::kRefused : CloseOutcome::kEnded;
        if (!row) {
            record.outcome = outcome;
            NewRow(report.window, record);
            return;
        }
        row->outcome = outcome;
        Tell(0);
        return;
    }
    case ActKind::kWaiting:
        record.outcome = CloseOutcome::kWaiting;
        waitRows_.erase(report.window);
        waitRows_[report.window] = NewRow(report.window, record);
        return;
    case ActKind::kNotActed: {
        const auto waited = waitRows_.find(report.window);
        if (waited == waitRows_.end()) return;
        if (CloseRecord* row = Row(waited->second)) row->outcome = CloseOutcome::kNotActed;
        waitRows_.erase(waited);
        Tell(0);
        return;
    }
    case ActKind::kNoButton:
        // Its button may come: the press then tells its outcome in this row.
        record.outcome = CloseOutcome::kNoButton;
        waitRows_[report.window] = NewRow(report.window, record);
        return;
    case ActKind::kMinimized: record.outcome = report.refused ? CloseOutcome::kRefused : CloseOutcome::kMinimized; break;
    case ActKind::kRecorded: record.outcome = CloseOutcome::kRecorded; break;
    }
    NewRow(report.window, record);
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
    waitRows_.clear();
    checkTimer_.Stop();
    Tell(0);
}

}  // namespace qw
