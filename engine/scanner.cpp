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
    if (entry < 0) {
        // A window whose wait ran but that no longer matches is not acted on.
        if (!waits_.empty()) EndWait(window);
        return true;
    }
    if (StillRefused(window, title)) return true;
    // A request refused or held back takes neither the sound nor the
    // debounce: another window of that title may still be closed at once.
    const Closing closing = Act(window, facts, entry, title);
    if (closing != Closing::kAsked && closing != Closing::kTurnedDown) return true;
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

bool Scanner::LeftAloneNow(WindowHandle window, const Facts& facts, bool answers) {
    // Windows' own shell and the programs the user protects are never asked.
    // The program's name, read here, is read before anything is sent: a
    // window that closes at once may take its program with it. A button the
    // user named answers a question as the user would; any other request
    // would answer Cancel.
    return IsProtected(window) || IsUnseen(window) || (!answers && IsQuestionOfAsked(facts));
}

bool Scanner::Held(WindowHandle window, const Facts& facts, bool answers) {
    const auto asked = asked_.find(window);
    if (asked != asked_.end() && Milliseconds() - asked->second < kAskAgainAfter) return true;
    if (LeftAloneNow(window, facts, answers)) return true;
    // A disabled window shows a modal question of its own, whose message
    // loop would take every further request and open another question inside
    // the first. It is asked again once the user has answered.
    return !windows_.IsEnabled(window);
}

void Scanner::Tell(ActKind kind, WindowHandle window, const std::string& title, int entry, bool refused,
                   const std::string& button) {
    if (!observer_) return;
    ActReport report;
    report.kind = kind;
    report.window = window;
    report.title = title;
    report.entry = entry >= 0 ? lv_.At(entry) : std::string();
    report.program = ProgramOf(window);
    report.button = button;
    report.refused = refused;
    observer_->Acted(report);
}

Scanner::Closing Scanner::Act(WindowHandle window, const Facts& facts, int entry, const std::string& title) {
    // Asked only of a window whose title matched: a pass costs what it did.
    const EntryOptions& options = lv_.OptionsAt(entry);
    if (LeftAloneNow(window, facts, options.action == EntryAction::kPress)) return Closing::kHeld;
    if (options.delay > 0 && !Waited(window, title, entry, options.delay)) return Closing::kHeld;
    switch (options.action) {
    case EntryAction::kPress: return Press(window, facts, entry, options.button);
    case EntryAction::kMinimize: return Minimize(window, facts, entry);
    case EntryAction::kRecord: return Record(window, facts, entry);
    case EntryAction::kEnd: {
        const Closing closing = Close(window, facts, entry);
        // Its program goes if the window is still there kEndAfter later.
        if (closing == Closing::kAsked && !ending_.count(window))
            ending_[window] = Ending{Milliseconds(), title, lv_.At(entry)};
        return closing;
    }
    case EntryAction::kClose: break;
    }
    return Close(window, facts, entry);
}

bool Scanner::Waited(WindowHandle window, const std::string& title, int entry, int delay) {
    const std::int64_t now = Milliseconds();
    const auto it = waits_.find(window);
    if (it != waits_.end() && it->second.title == title && it->second.entry == lv_.At(entry)) {
        if (now - it->second.since < delay) return false;
        it->second.acted = true;
        return true;
    }
    // A new title, or another entry: the wait begins again.
    if (it != waits_.end()) EndWait(window);
    waits_[window] = Wait{title, lv_.At(entry), now, false};
    Tell(ActKind::kWaiting, window, title, entry);
    return false;
}

void Scanner::EndWait(WindowHandle window) {
    const auto it = waits_.find(window);
    if (it == waits_.end()) return;
    if (!it->second.acted && observer_) {
        ActReport report;
        report.kind = ActKind::kNotActed;
        report.window = window;
        report.title = it->second.title;
        report.entry = it->second.entry;
        observer_->Acted(report);
    }
    waits_.erase(it);
}

std::string ShownCaption(const std::string& caption) {
    std::string shown;
    for (std::size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] == '&' && i + 1 < caption.size()) ++i;
        else if (caption[i] == '&') continue;
        shown += caption[i];
    }
    const auto first = shown.find_first_not_of(' ');
    return first == std::string::npos ? "" : shown.substr(first, shown.find_last_not_of(' ') - first + 1);
}

bool Scanner::HasButton(WindowHandle window, const std::string& caption) {
    const std::string wanted = lower_.Lower(ShownCaption(caption));
    if (wanted.empty()) return false;
    for (const DialogButton& button : windows_.PushButtons(window)) {
        if (lower_.Lower(ShownCaption(button.caption)) == wanted) return true;
    }
    return false;
}

Scanner::Closing Scanner::Ready(WindowHandle window, const Facts& facts, std::string* title, bool answers) {
    if (Held(window, facts, answers)) return Closing::kHeld;
    // The title may have changed since it matched; visibility and owner were
    // asked moments ago in this same pass.
    *title = GetTitle(window);
    if (!IsCandidate(window, facts, *title)) return Closing::kTurnedDown;
    if (windows_.IsHung(window)) {
        Refuse(window, *title, CloseRefusal::kHung);
        return Closing::kRefused;
    }
    return Closing::kAsked;
}

Scanner::Closing Scanner::Sent(WindowHandle window, const std::string& title, bool taken) {
    if (!taken) {
        Refuse(window, title, CloseRefusal::kElevated);
        return Closing::kRefused;
    }
    asked_[window] = Milliseconds();
    return Closing::kAsked;
}

Scanner::Closing Scanner::Press(WindowHandle window, const Facts& facts, int entry, const std::string& caption) {
    std::string title;
    if (const Closing ready = Ready(window, facts, &title, true); ready != Closing::kAsked) return ready;
    const std::string wanted = lower_.Lower(ShownCaption(caption));
    for (const DialogButton& button : windows_.PushButtons(window)) {
        if (wanted.empty() || lower_.Lower(ShownCaption(button.caption)) != wanted) continue;
        // As a click tells its dialog: the button's id, BN_CLICKED, and the button.
        const std::uintptr_t command = (static_cast<std::uintptr_t>(kBnClicked) << 16) | (button.id & 0xFFFF);
        const bool taken =
            windows_.PostParams(window, kWmCommand, command, static_cast<std::intptr_t>(button.handle));
        Tell(ActKind::kPressed, window, title, entry, !taken, ShownCaption(caption));
        return Sent(window, title, taken);
    }
    // Left alone, looked at again as a window asked: its button may come.
    asked_[window] = Milliseconds();
    auto& noted = noted_[window];
    if (noted != title) Tell(ActKind::kNoButton, window, title, entry, false, ShownCaption(caption));
    noted = title;
    return Closing::kDone;
}

Scanner::Closing Scanner::Minimize(WindowHandle window, const Facts& facts, int entry) {
    // Once: a window the user brings back stays.
    if (minimized_.count(window)) return Closing::kHeld;
    std::string title;
    if (const Closing ready = Ready(window, facts, &title); ready != Closing::kAsked) return ready;
    const bool taken = windows_.PostParams(window, kWmSysCommand, kScMinimize, 0);
    Tell(ActKind::kMinimized, window, title, entry, !taken);
    if (!taken) {
        Refuse(window, title, CloseRefusal::kElevated);
        return Closing::kRefused;
    }
    minimized_.insert(window);
    return Closing::kDone;
}

Scanner::Closing Scanner::Record(WindowHandle window, const Facts& facts, int entry) {
    // As the window would have been asked: not while it waits on a question
    // of its own, nor while its program does not answer.
    std::string title;
    if (const Closing ready = Ready(window, facts, &title); ready != Closing::kAsked) return ready;
    auto& noted = noted_[window];
    if (noted == title) return Closing::kHeld;
    noted = title;
    Tell(ActKind::kRecorded, window, title, entry);
    return Closing::kDone;
}

bool Scanner::MayEnd(WindowHandle window) {
    // Never Windows itself, nor this program: a system process, or one of ours.
    if (windows_.BelongsToProgram(window) || IsSystemProgram(ProgramOf(window))) return false;
    const std::uint32_t id = Know(window).process.id;
    return id != 0 && id != 4;  // the idle process and the system
}

void Scanner::EndStubborn() {
    const std::int64_t now = Milliseconds();
    for (auto it = ending_.begin(); it != ending_.end();) {
        const WindowHandle window = it->first;
        // Its user may be answering a question of its own: the program is
        // not ended under it.
        if (now - it->second.asked < kEndAfter || !windows_.IsEnabled(window)) {
            ++it;
            continue;
        }
        if (MayEnd(window)) {
            const EndResult ended = windows_.EndProgram(Know(window).process);
            if (ended != EndResult::kGone && observer_) {
                ActReport report;
                report.kind = ActKind::kEnded;
                report.window = window;
                report.title = it->second.title;
                report.entry = it->second.entry;
                report.program = ProgramOf(window);
                report.refused = ended == EndResult::kRefused;
                observer_->Acted(report);
            }
            if (ended == EndResult::kRefused) Refuse(window, it->second.title, CloseRefusal::kElevated);
        }
        it = ending_.erase(it);
    }
}

Scanner::Closing Scanner::Close(WindowHandle window, const Facts& facts, int entry) {
    std::string title;
    if (const Closing ready = Ready(window, facts, &title); ready != Closing::kAsked) return ready;
    const bool taken = windows_.Post(window, kWmCancelMode) && windows_.Post(window, kWmClose);
    Tell(ActKind::kAskedToClose, window, title, entry, !taken);
    if (Sent(window, title, taken) == Closing::kRefused) return Closing::kRefused;
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
    std::vector<WindowHandle> gone;
    for (const auto& [window, wait] : waits_) {
        if (!listed(window)) gone.push_back(window);
    }
    for (WindowHandle window : gone) EndWait(window);
    for (auto it = ending_.begin(); it != ending_.end();) it = listed(it->first) ? std::next(it) : ending_.erase(it);
    EndStubborn();
    for (auto it = minimized_.begin(); it != minimized_.end();) it = listed(*it) ? std::next(it) : minimized_.erase(it);
    for (auto it = noted_.begin(); it != noted_.end();) it = listed(it->first) ? std::next(it) : noted_.erase(it);
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
