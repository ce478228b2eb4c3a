// The closes of this run, newest first: when the scan asked a window to
// close, its title, the entry that matched, its program, and what came of
// the request. Kept in memory only, the last kLimit of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include <map>

#include "engine/scanner.h"
#include "platform/clock.h"
#include "platform/window_api.h"

namespace qw {

enum class CloseOutcome {
    kAsked,      // asked; not yet known
    kClosed,     // gone within kCloseWithin of a request
    kStillOpen,  // still there kCloseWithin after the request: it asked its user, or ignores requests
    kRefused,    // Windows refused the request (a program running as administrator)
    kPressed,    // its button pressed; not yet known
    kNoButton,   // it has no such button, and was left alone
    kMinimized,
    kEnded,      // its program ended
    kRecorded,   // nothing sent: the entry only records
    kWaiting,    // the entry's wait runs
    kNotActed,   // it went, or its title changed, before the wait was over
};
// "Closing…", "Closed", "Still open", "Refused", "Minimized", "Program
// ended", "Recorded", "Waiting", "Not acted on"; kPressed and kNoButton name
// their button ("Pressed No", "No button No") through CloseRecord.
const char* OutcomeText(CloseOutcome outcome);

struct CloseRecord {
    LocalTime time;
    std::string title, entry, program;
    CloseOutcome outcome = CloseOutcome::kAsked;
    std::string button{};  // pressed, or not found
    WindowHandle window = 0;  // the window acted on; its handle may be gone, or another's, by now
};
std::string OutcomeText(const CloseRecord& record);

class HistoryListener {
public:
    // The rows changed: `added` new ones came first (the oldest may have
    // gone at the end to make room); 0 when only outcomes changed or the
    // history was cleared.
    virtual void HistoryChanged(int added) = 0;

protected:
    ~HistoryListener() = default;
};

class CloseHistory {
public:
    static constexpr std::size_t kLimit = 1000;
    static constexpr std::int64_t kCloseWithin = 2000;  // ms

    // `checkTimer` ticks a few times a second while a request waits for its outcome.
    CloseHistory(WindowApi& windows, Clock& clock, Timer& checkTimer)
        : windows_(windows), clock_(clock), checkTimer_(checkTimer) {}

    // The scan asked `window` of `program` to close, or Windows refused
    // (`refused`). A window asked again (the scan asks one that stays every
    // 500 ms) keeps its one row while its outcome is open.
    void Asked(WindowHandle window, const std::string& title, const std::string& entry, const std::string& program,
               bool refused);
    // What the scan did, as Asked does for a close request: a press is
    // followed as a close request is; a window that waited keeps its row.
    void Acted(const ActReport& report);
    // The tick of the check timer: the outcome of each request that waits.
    void CheckTmr_Timer();
    void Clear();

    const std::deque<CloseRecord>& Rows() const { return rows_; }
    void SetListener(HistoryListener* listener) { listener_ = listener; }

private:
    struct Waiting {
        WindowHandle window;
        std::string title;
        std::uint64_t serial;  // of its row
        std::int64_t firstAsked, lastAsked;
    };
    CloseRecord* Row(std::uint64_t serial);
    // A new row, or the row of the window's wait that is now over.
    std::uint64_t NewRow(WindowHandle window, CloseRecord record);
    void Follow(WindowHandle window, const std::string& title, std::uint64_t serial, std::int64_t now);
    // Gone, or hidden by its program: the user no longer has it.
    bool Gone(WindowHandle window);
    void Tell(int added) {
        if (listener_) listener_->HistoryChanged(added);
    }

    WindowApi& windows_;
    Clock& clock_;
    Timer& checkTimer_;
    HistoryListener* listener_ = nullptr;
    std::deque<CloseRecord> rows_;  // newest first
    std::uint64_t newest_ = 0;      // the serial of rows_.front(); each row's is one less than the one before
    std::vector<Waiting> waiting_;
    // The rows of windows whose wait runs, by window.
    std::map<WindowHandle, std::uint64_t> waitRows_;
};

}  // namespace qw
