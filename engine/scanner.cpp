#include "engine/scanner.h"

#include <algorithm>
#include <set>

#include "engine/entry_rules.h"

#include "store/registry_access.h"
#include "store/settings.h"
#include "store/window_list_store.h"

namespace qw {

const char kAppTitle[] = "Quellwatch 1.6";

namespace {
// A title is read through a buffer of 255 characters, the last for its terminator.
constexpr int kTitleCharacters = 254;
constexpr unsigned kSoundFlags = kSndAsync | kSndNoDefault | kSndNoStop;
// The class of the window Windows shows in place of one whose program does
// not answer; a request to it brings up the "not responding" prompt.
constexpr char kGhostClass[] = "Ghost";
}  // namespace

std::string Scanner::GetTitle(WindowHandle window) { return windows_.GetText(window, kTitleCharacters); }

Scanner::Facts Scanner::AskFacts(WindowHandle window) {
    const std::uint32_t style = windows_.GetStyle(window);
    // GetParent of a top-level window that is not WS_POPUP is 0.
    const WindowHandle owner = (style & kWsPopup) ? windows_.GetParent(window) : 0;
    return Facts{(style & kWsVisible) != 0, owner, OwnedByUs(owner)};
}

// A message box or file chooser belongs to whichever of our windows asks, and
// a chooser's own questions to the chooser: no window owned by a window of
// the program is ever closed, nor the questions of an importing copy.
bool Scanner::OwnedByUs(WindowHandle owner) {
    return owner != 0 && (own_.Contains(owner) || windows_.BelongsToProgram(owner));
}

bool Scanner::IsCandidate(WindowHandle window, const Facts& facts, const std::string& title) const {
    if (!facts.visible) return false;
    if (title == "Program Manager" || title == "DesktopBackgroundClass") return false;
    if (facts.ownedByUs) return false;
    return title != kAppTitle && !title.empty() && !own_.Contains(window);
}

bool Scanner::IsCandidateWindow(WindowHandle window, const std::string& title) {
    return IsCandidate(window, AskFacts(window), title);
}

void Scanner::FollowList() {
    // `lv` changes only between ticks; the matcher follows it from the next use on.
    if (matcherGeneration_ == lv_.Generation()) return;
    matcher_.Build(lv_.Items(), lower_);
    matcherGeneration_ = lv_.Generation();
    loweredEntries_.clear();
    loweredPrograms_.clear();
    if (!lv_.AnyOptions()) return;
    // Folded once per change of the list, not at every window of every pass.
    loweredEntries_.reserve(lv_.Items().size());
    loweredPrograms_.reserve(lv_.Items().size());
    for (int i = 0; i < lv_.Count(); ++i) {
        loweredEntries_.push_back(lower_.Lower(lv_.At(i)));
        loweredPrograms_.push_back(lower_.Lower(std::string(ProgramFileName(lv_.OptionsAt(i).program))));
    }
}

int Scanner::FirstListEntry(WindowHandle window, const std::string& title) {
    FollowList();
    // The automaton finds the entries a title contains; only then are their
    // options asked, so a pass over titles that match nothing costs what it did.
    const int first = matcher_.FirstMatch(title);
    if (first < 0 || !lv_.AnyOptions()) return first;
    std::string lowered;  // the whole title, folded only for a rule that needs it
    const auto holds = [&](int i) {
        const EntryOptions& options = lv_.OptionsAt(i);
        if (options.title != TitleRule::kContains && lowered.empty()) lowered = lower_.Lower(title);
        const auto at = static_cast<std::size_t>(i);
        return OptionsHold(window, options, lowered, loweredEntries_[at], loweredPrograms_[at]);
    };
    if (holds(first)) return first;
    matcher_.AllMatches(title, &matches_);
    for (const int i : matches_) {
        if (i > first && holds(i)) return i;
    }
    return -1;
}

bool Scanner::OptionsHold(WindowHandle window, const EntryOptions& options, const std::string& loweredTitle,
                          const std::string& loweredEntry, const std::string& loweredProgram) {
    // Cheapest first: the window system is asked only what an option needs.
    // That the title contains the entry the caller knows already.
    if (!options.enabled) return false;
    if (options.title != TitleRule::kContains && !TitleRuleHolds(options.title, loweredTitle, loweredEntry))
        return false;
    if (options.dialogsOnly && ClassOf(window) != kDialogClass) return false;
    return loweredProgram.empty() || loweredProgram == LoweredProgramOf(window);
}

bool Scanner::EntryCloses(WindowHandle window, const std::string& title, const std::string& entry,
                          const EntryOptions& options) {
    const std::string loweredTitle = lower_.Lower(title), loweredEntry = lower_.Lower(entry);
    return TitleRuleHolds(TitleRule::kContains, loweredTitle, loweredEntry) &&
           OptionsHold(window, options, loweredTitle, loweredEntry,
                       lower_.Lower(std::string(ProgramFileName(options.program)))) &&
           !IsProtected(window);
}

Scanner::Known& Scanner::Know(WindowHandle window) { return known_[window]; }

const std::string& Scanner::ClassOf(WindowHandle window) {
    Known& known = Know(window);
    if (!known.hasClass) {
        known.className = windows_.ClassName(window);
        known.hasClass = true;
    }
    return known.className;
}

std::string Scanner::ProgramOf(WindowHandle window) {
    // A window's process is its own for as long as the window is there.
    Known& known = Know(window);
    if (known.hasProgram) return known.program;
    known.process = windows_.ProcessOf(window);
    known.hasProgram = true;
    if (known.process.id == 0) return known.program;
    // A process whose start Windows would not give cannot be told from a
    // later one of the same id: its name is not shared with other windows.
    if (known.process.started == 0) {
        known.program = windows_.ProgramName(known.process);
    } else {
        auto found = programs_.find(known.process);
        if (found == programs_.end()) found = programs_.emplace(known.process, windows_.ProgramName(known.process)).first;
        known.program = found->second;
    }
    known.loweredProgram = lower_.Lower(known.program);
    return known.program;
}

const std::string& Scanner::LoweredProgramOf(WindowHandle window) {
    ProgramOf(window);
    return Know(window).loweredProgram;
}

void Scanner::SetNeverClose(std::vector<std::string> programs) {
    neverClose_ = std::move(programs);
    neverCloseLowered_.clear();
    for (const std::string& program : neverClose_)
        neverCloseLowered_.push_back(lower_.Lower(std::string(ProgramFileName(program))));
}

bool Scanner::IsProtected(WindowHandle window) {
    if (IsShellWindowClass(ClassOf(window))) return true;
    if (ProgramOf(window).empty()) return false;
    if (IsShellProgram(ProgramOf(window))) return true;
    const std::string& lowered = LoweredProgramOf(window);
    return std::find(neverCloseLowered_.begin(), neverCloseLowered_.end(), lowered) != neverCloseLowered_.end();
}

void Scanner::ScanCycle() {
    if (next_ == pass_.size()) {
        pass_.clear();
        next_ = 0;
        windows_.EnumTopLevel(*this);
        ForgetGoneWindows();
    }
    const auto start = std::chrono::steady_clock::now();
    while (next_ < pass_.size()) {
        ScanWindow(pass_[next_++]);
        if (between_) between_->OnBetweenWindows();
        if (std::chrono::steady_clock::now() - start >= passSlice_) break;
    }
}

bool Scanner::ScanOneWindow(WindowHandle window) { return ScanWindow(window); }

std::string Scanner::EligibleTitle(WindowHandle window) {
    if (own_.Contains(window)) return "";
    const Facts facts = AskFacts(window);
    // Hidden and owned windows are not asked for their titles, as in a pass.
    if (!facts.visible || facts.ownedByUs) return "";
    std::string title = GetTitle(window);
    return IsCandidate(window, facts, title) ? title : "";
}

bool Scanner::ScanWindow(WindowHandle window) {
    // Cheapest test first: the program's own windows need no platform call.
    if (own_.Contains(window)) return true;
    const Facts facts = AskFacts(window);
    if (!facts.visible) return false;
    if (facts.ownedByUs) return true;
    const std::string title = GetTitle(window);
    if (title == lastClosedTitle_) return true;
    if (!IsCandidate(window, facts, title)) return true;
    const int entry = FirstListEntry(window, title);
    if (entry < 0) return true;
    if (StillRefused(window, title)) return true;
    // A request refused or held back takes neither the sound nor the
    // debounce: another window of that title may still be closed at once.
    const Closing closing = Close(window, facts, entry);
    if (closing == Closing::kRefused || closing == Closing::kHeld) return true;
    lastClosedTitle_ = title;
    reInitCloseTmr_.Start();
    return true;
}

// Cloaked by the shell alone and placed on another virtual desktop, a window
// is unwanted there too. Any other cloak hides it from everyone: the shell's
// own hidden windows ("Microsoft Text Input Application", "Search"), app
// frames their programs suspended, windows that take their owner's cloak.
bool Scanner::IsUnseen(WindowHandle window) {
    if (ClassOf(window) == kGhostClass) return true;
    const std::uint32_t cloaked = windows_.CloakedBy(window);
    return cloaked != 0 && (cloaked != kDwmCloakedShell || windows_.IsOnCurrentDesktop(window));
}

// A question that a window the scan asked to close shows over itself ("Save
// changes?", its owner disabled meanwhile) is the user's to answer. Closed,
// it would answer Cancel: the owner, asked again, would ask again, a box
// flickering twice a second that no one can answer. A box that a window
// shows over itself unasked (a listed nag screen) is closed as any other.
bool Scanner::IsQuestionOfAsked(const Facts& facts) {
    return facts.owner != 0 && asked_.count(facts.owner) != 0 && !windows_.IsEnabled(facts.owner);
}

std::int64_t Scanner::Milliseconds() {
    if (clock_) return clock_->Milliseconds();
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
}

bool Scanner::Held(WindowHandle window, const Facts& facts) {
    // Windows' own shell and the programs the user protects are never asked.
    if (IsProtected(window)) return true;
    const auto asked = asked_.find(window);
    if (asked != asked_.end() && Milliseconds() - asked->second < kAskAgainAfter) return true;
    if (IsUnseen(window) || IsQuestionOfAsked(facts)) return true;
    // A disabled window shows a modal question of its own, whose message
    // loop would take every further request and open another question inside
    // the first. It is asked again once the user has answered.
    return !windows_.IsEnabled(window);
}

Scanner::Closing Scanner::Close(WindowHandle window, const Facts& facts, int entry) {
    // Asked only of a window whose title matched: a pass costs what it did.
    if (Held(window, facts)) return Closing::kHeld;
    // The title may have changed since it matched; visibility and owner were
    // asked moments ago in this same pass.
    const std::string title = GetTitle(window);
    if (!IsCandidate(window, facts, title)) return Closing::kTurnedDown;
    if (windows_.IsHung(window)) {
        Refuse(window, title, CloseRefusal::kHung);
        return Closing::kRefused;
    }
    // Read before the requests (already, to protect what is never closed): a
    // window that closes at once may take its program with it.
    const std::string program = ProgramOf(window);
    const bool taken = windows_.Post(window, kWmCancelMode) && windows_.Post(window, kWmClose);
    if (observer_) observer_->Asked(window, title, entry >= 0 ? lv_.At(entry) : std::string(), program, !taken);
    if (!taken) {
        Refuse(window, title, CloseRefusal::kElevated);
        return Closing::kRefused;
    }
    asked_[window] = Milliseconds();
    // Read at every close so a change in the options counts at once.
    if (ReadSwitch(registry_, Setting::kPlaySound)) PlaySoundFile(ReadText(registry_, Setting::kSound));
    return Closing::kAsked;
}

bool Scanner::StillRefused(WindowHandle window, const std::string& title) {
    const auto it = refused_.find(window);
    if (it == refused_.end()) return false;
    if (it->second.title == title && (it->second.why != CloseRefusal::kHung || windows_.IsHung(window))) return true;
    refused_.erase(it);
    return false;
}

void Scanner::Refuse(WindowHandle window, const std::string& title, CloseRefusal why) {
    refused_[window] = Refusal{title, why};
    if (observer_) observer_->CannotClose(window, title, why);
}

void Scanner::ForgetGoneWindows() {
    // A handle of a window that went may be given to a new one.
    const auto listed = [&](WindowHandle window) {
        return std::find(pass_.begin(), pass_.end(), window) != pass_.end();
    };
    for (auto it = refused_.begin(); it != refused_.end();) it = listed(it->first) ? std::next(it) : refused_.erase(it);
    for (auto it = asked_.begin(); it != asked_.end();) it = listed(it->first) ? std::next(it) : asked_.erase(it);
    for (auto it = known_.begin(); it != known_.end();) it = listed(it->first) ? std::next(it) : known_.erase(it);
    // A program is forgotten with its last window known.
    std::set<ProcessIdentity> live;
    for (const auto& [window, known] : known_) live.insert(known.process);
    for (auto it = programs_.begin(); it != programs_.end();) it = live.count(it->first) ? std::next(it) : programs_.erase(it);
}

void Scanner::CloseTrackedWindow(WindowHandle window) {
    Close(window, AskFacts(window), FirstListEntry(window, GetTitle(window)));
}

void Scanner::PlaySoundFile(const std::string& path) { sound_.Play(path, kSoundFlags); }

void Scanner::ReInitCloseTmrTick() {
    lastClosedTitle_.clear();
    reInitCloseTmr_.Stop();
}

}  // namespace qw
