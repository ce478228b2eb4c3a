// The watch engine's scan: every tick of `Tm` walks the top-level windows once
// and asks each eligible window whose title contains a list entry to close.
#pragma once

#include <chrono>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/entry_matcher.h"
#include "platform/clock.h"
#include "platform/text.h"
#include "platform/registry_api.h"
#include "platform/window_api.h"
#include "store/entry_list.h"
#include "store/entry_options.h"

namespace qw {

extern const char kAppTitle[];

// The windows of MainFrm, About, AddItem, Options, Edit and Closed Windows;
// 0 while not loaded.
struct OwnWindows {
    WindowHandle mainFrm = 0;
    WindowHandle about = 0;
    WindowHandle addItem = 0;
    WindowHandle options = 0;
    WindowHandle edit = 0;
    WindowHandle closedWindows = 0;

    bool Contains(WindowHandle window) const {
        return window != 0 && (window == mainFrm || window == about || window == addItem ||
                               window == options || window == edit || window == closedWindows);
    }
};

// Why a matching window could not be asked to close.
enum class CloseRefusal {
    kElevated,  // its program runs as administrator and Windows refused the request
    kHung,      // its program does not answer; a request would only wait in its queue
};

// What the scan did to a window an entry matched.
enum class ActKind {
    kAskedToClose,  // WM_CANCELMODE and WM_CLOSE posted
    kPressed,       // the button posted as clicked
    kNoButton,      // the window has no such button: it is left alone
    kMinimized,
    kEnded,         // its program ended, still there 2 s after it was asked to close
    kRecorded,      // nothing sent: the entry only records
    kWaiting,       // the entry's wait runs
    kNotActed,      // it went, or its title changed, before the wait was over
};

struct ActReport {
    ActKind kind = ActKind::kAskedToClose;
    WindowHandle window = 0;
    std::string title, entry, program;  // `entry`: the entry whose options held, its text
    std::string button;                 // the caption pressed, or not found
    bool refused = false;               // Windows refused what was sent (a program running as administrator)
};

// Hears what the scan did and what it could not do, for the user to see.
class CloseObserver {
public:
    virtual void CannotClose(WindowHandle window, const std::string& title, CloseRefusal why) = 0;
    // What the scan did to a matching window; `program` read before anything
    // was sent. A window whose program does not answer is not asked, and not
    // told here; nor is a window held back (nobody sees it, it waits on a
    // question).
    virtual void Acted(const ActReport& /*report*/) {}

protected:
    ~CloseObserver() = default;
};

// Told between the windows of a pass, so that work that must not wait for
// the end of the pass need not.
class BetweenWindows {
public:
    virtual void OnBetweenWindows() = 0;

protected:
    ~BetweenWindows() = default;
};

// A button's caption as the user reads it: without its access key's "&"
// ("&&" is an ampersand), blanks around it dropped; a press compares these.
std::string ShownCaption(const std::string& caption);

class Scanner : private WindowVisitor {
public:
    Scanner(WindowApi& windows, SoundApi& sound, RegistryApi& registry, const EntryList& lv,
            Timer& reInitCloseTmr, const OwnWindows& own, const CaseFolding& lower)
        : windows_(windows), sound_(sound), registry_(registry), lv_(lv),
          reInitCloseTmr_(reInitCloseTmr), own_(own), lower_(lower) {}

    // A pass that has run this long goes on at the next tick, so that the
    // program keeps answering while thousands of windows are open. An
    // everyday pass (tens of windows) takes a few milliseconds.
    static constexpr auto kPassSlice = std::chrono::milliseconds(10);
    // An entry that ends a program asks its window to close first, and ends
    // the program when the window is still there this long after.
    static constexpr std::int64_t kEndAfter = 2000;  // ms
    // A window is asked again no sooner than this after its last request,
    // even when another title's close frees its own: a request that comes
    // before the window could answer the first is taken inside the question
    // it puts up (a box inside a box). The debounce's own 500 ms.
    static constexpr std::int64_t kAskAgainAfter = 500;  // ms

    // The tick of `Tm`: one pass over all top-level windows, or the rest of
    // a pass cut short by kPassSlice.
    void ScanCycle();
    // One window, by the pass's own steps and rules; false when it is not
    // visible (yet), so that the caller may look again.
    bool ScanOneWindow(WindowHandle window);
    // The tick of `ReInitCloseTmr`: forget the last closed title.
    void ReInitCloseTmrTick();

    std::string GetTitle(WindowHandle window);
    bool IsCandidateWindow(WindowHandle window, const std::string& title);
    bool MatchesListEntry(WindowHandle window, const std::string& title) { return FirstListEntry(window, title) >= 0; }
    // The index in `lv` of the first entry, in list order, whose text the
    // window's title holds and whose options hold for the window; -1 for
    // none. An entry without options: the first the title contains.
    int FirstListEntry(WindowHandle window, const std::string& title);
    // Whether the entry `entry` with `options` would close the window titled
    // `title` now: its options hold, and the window is none that is never
    // asked (Windows' own shell, a program in "Never Close").
    bool EntryCloses(WindowHandle window, const std::string& title, const std::string& entry,
                     const EntryOptions& options);
    // The window's program file name ("notepad.exe"), asked once per
    // process; empty when Windows will not say.
    std::string ProgramOf(WindowHandle window);
    // Whether the window has a push button of that caption, as a press finds
    // it ("&" and case ignored).
    bool HasButton(WindowHandle window, const std::string& caption);
    // The programs whose windows are never asked to close.
    void SetNeverClose(std::vector<std::string> programs);
    const std::vector<std::string>& NeverClose() const { return neverClose_; }
    // Never asked to close, whatever the list holds: Windows' own shell, and
    // the programs in "Never Close".
    bool IsProtected(WindowHandle window);
    // The title of a window that the scan would close if an entry matched
    // it, by the scan's own tests; empty for any other window.
    std::string EligibleTitle(WindowHandle window);
    // Visible by its style, as the scan asks it.
    bool IsShown(WindowHandle window) { return AskFacts(window).visible; }
    // A window nobody sees: cloaked for any reason but standing on another
    // virtual desktop, or a ghost. Never asked, previewed or listed.
    bool IsUnseen(WindowHandle window);
    // Of a window whose title matched: one that the scan leaves alone while
    // it stays so (unseen, or the question of a window the scan asked).
    bool LeftAlone(WindowHandle window) { return IsUnseen(window) || IsQuestionOfAsked(AskFacts(window)); }
    // One of the program's windows, or a window of another copy of it.
    bool IsProgramWindow(WindowHandle window) { return OwnedByUs(window); }
    void CloseTrackedWindow(WindowHandle window);
    void PlaySoundFile(const std::string& path);
    void SetBetweenWindows(BetweenWindows* listener) { between_ = listener; }
    void SetCloseObserver(CloseObserver* observer) { observer_ = observer; }
    void SetPassSlice(std::chrono::microseconds slice) { passSlice_ = slice; }
    // The time of requests; without one, std::chrono::steady_clock.
    void SetClock(Clock* clock) { clock_ = clock; }

    const std::string& LastClosedTitle() const { return lastClosedTitle_; }

private:
    struct Facts {
        bool visible;
        WindowHandle owner;  // of a popup window; 0 for any other
        bool ownedByUs;      // its owner is a window of this program
    };
    void Visit(WindowHandle window) override { pass_.push_back(window); }
    // False when the window is not visible.
    bool ScanWindow(WindowHandle window);
    Facts AskFacts(WindowHandle window);
    bool IsCandidate(WindowHandle window, const Facts& facts, const std::string& title) const;
    bool OwnedByUs(WindowHandle owner);
    // kAsked takes the debounce of the title; kDone does not.
    enum class Closing { kAsked, kTurnedDown, kRefused, kHeld, kDone };
    // Not sent anything now: it was asked less than kAskAgainAfter ago, or it
    // waits on a question of its own.
    bool Held(WindowHandle window, const Facts& facts, bool answers = false);
    // Never acted on while it stays so: protected, unseen, or the question of
    // a window the scan asked.
    bool LeftAloneNow(WindowHandle window, const Facts& facts, bool answers = false);
    bool IsQuestionOfAsked(const Facts& facts);
    // What the entry's action does to the window; `entry`: its index in `lv`.
    Closing Act(WindowHandle window, const Facts& facts, int entry, const std::string& title);
    // Whether the window may be sent something now (kAsked), with its title
    // read afresh; its program's name read before anything is sent.
    Closing Ready(WindowHandle window, const Facts& facts, std::string* title, bool answers = false);
    // After a request: refused by Windows, or asked (and not again for kAskAgainAfter).
    Closing Sent(WindowHandle window, const std::string& title, bool taken);
    Closing Close(WindowHandle window, const Facts& facts, int entry);
    Closing Press(WindowHandle window, const Facts& facts, int entry, const std::string& caption);
    Closing Minimize(WindowHandle window, const Facts& facts, int entry);
    Closing Record(WindowHandle window, const Facts& facts, int entry);
    // Whether the entry's wait is over for the window; starts it when not yet begun.
    bool Waited(WindowHandle window, const std::string& title, int entry, int delay);
    void EndWait(WindowHandle window);
    // Ends the programs of windows still there kCloseWithin after an entry
    // that ends asked them to close.
    void EndStubborn();
    bool MayEnd(WindowHandle window);
    void Tell(ActKind kind, WindowHandle window, const std::string& title, int entry, bool refused = false,
              const std::string& button = {});
    // A window that cannot be closed is not asked again until its title
    // changes or it goes; a program that stops answering is asked again
    // once it answers.
    bool StillRefused(WindowHandle window, const std::string& title);
    // Whether the options hold for a window whose title contains the entry:
    // the title, the entry and the options' program folded (`loweredTitle`
    // read only by a rule that needs the whole title).
    bool OptionsHold(WindowHandle window, const EntryOptions& options, const std::string& loweredTitle,
                     const std::string& loweredEntry, const std::string& loweredProgram);
    const std::string& LoweredProgramOf(WindowHandle window);
    void FollowList();
    // What the options ask of a window, asked once per window (its class and
    // process) and once per process (its program).
    struct Known {
        bool hasProgram = false;
        ProcessIdentity process;
        std::string program;
        std::string loweredProgram;
        bool hasClass = false;
        std::string className;
    };
    Known& Know(WindowHandle window);
    const std::string& ClassOf(WindowHandle window);
    void Refuse(WindowHandle window, const std::string& title, CloseRefusal why);
    void ForgetGoneWindows();
    std::int64_t Milliseconds();

    WindowApi& windows_;
    SoundApi& sound_;
    RegistryApi& registry_;
    const EntryList& lv_;
    Timer& reInitCloseTmr_;
    const OwnWindows& own_;
    const CaseFolding& lower_;

    BetweenWindows* between_ = nullptr;
    CloseObserver* observer_ = nullptr;
    Clock* clock_ = nullptr;
    struct Refusal {
        std::string title;
        CloseRefusal why;
    };
    std::map<WindowHandle, Refusal> refused_;
    // The windows the scan asked to close, while they are there, and when it
    // last did.
    std::map<WindowHandle, std::int64_t> asked_;
    // The windows an entry's wait runs for: the title and entry it began
    // with, when, and whether the wait was over and the window acted on.
    struct Wait {
        std::string title, entry;
        std::int64_t since;
        bool acted;
    };
    std::map<WindowHandle, Wait> waits_;
    // Asked to close by an entry that ends: when, and which process.
    struct Ending {
        std::int64_t asked;
        std::string title, entry;
    };
    std::map<WindowHandle, Ending> ending_;
    std::set<WindowHandle> minimized_;
    // Recorded, or found without the button, under this title: told once.
    std::map<WindowHandle, std::string> noted_;
    std::map<WindowHandle, Known> known_;
    std::map<ProcessIdentity, std::string> programs_;
    std::vector<std::string> neverClose_;         // as given
    std::vector<std::string> neverCloseLowered_;  // folded, to compare
    std::vector<std::string> loweredEntries_;     // of `lv`, while it has options
    std::vector<std::string> loweredPrograms_;    // of its entries' options, side by side
    std::vector<int> matches_;
    std::chrono::microseconds passSlice_ = kPassSlice;
    std::vector<WindowHandle> pass_;  // the windows of the current pass, in order
    std::size_t next_ = 0;            // the first not yet visited
    std::string lastClosedTitle_;
    EntryMatcher matcher_;
    std::uint64_t matcherGeneration_ = ~std::uint64_t{0};
};

}  // namespace qw
