#include "engine/scanner.h"

#include <algorithm>

#include "store/registry_access.h"
#include "store/settings.h"
#include "store/window_list_store.h"

namespace qw {

const char kAppTitle[] = "Quellwatch 1.6";

namespace {
// A title is read through a buffer of 255 characters, the last for its terminator.
constexpr int kTitleCharacters = 254;
constexpr unsigned kSoundFlags = 0x13;  // SND_ASYNC | SND_NODEFAULT | SND_NOSTOP
}  // namespace

std::string Scanner::GetTitle(WindowHandle window) { return windows_.GetText(window, kTitleCharacters); }

Scanner::Facts Scanner::AskFacts(WindowHandle window) {
    const std::uint32_t style = windows_.GetStyle(window);
    // GetParent of a top-level window that is not WS_POPUP is 0.
    const WindowHandle owner = (style & kWsPopup) ? windows_.GetParent(window) : 0;
    return Facts{(style & kWsVisible) != 0, OwnedByUs(owner)};
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

int Scanner::FirstListEntry(const std::string& title) {
    // `lv` changes only between ticks; the matcher follows it from the next use on.
    if (matcherGeneration_ != lv_.Generation()) {
        matcher_.Build(lv_.Items(), lower_);
        matcherGeneration_ = lv_.Generation();
    }
    return matcher_.FirstMatch(title);
}

void Scanner::ScanCycle() {
    if (next_ == pass_.size()) {
        pass_.clear();
        next_ = 0;
        windows_.EnumTopLevel(*this);
        ForgetGoneRefusals();
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
    const int entry = FirstListEntry(title);
    if (entry < 0) return true;
    if (StillRefused(window, title)) return true;
    // A refused request takes neither the sound nor the debounce: another
    // window of that title may still be closed at once.
    if (Close(window, facts, entry) == Closing::kRefused) return true;
    lastClosedTitle_ = title;
    reInitCloseTmr_.Start();
    return true;
}

Scanner::Closing Scanner::Close(WindowHandle window, const Facts& facts, int entry) {
    // The title may have changed since it matched; visibility and owner were
    // asked moments ago in this same pass.
    const std::string title = GetTitle(window);
    if (!IsCandidate(window, facts, title)) return Closing::kTurnedDown;
    if (windows_.IsHung(window)) {
        Refuse(window, title, CloseRefusal::kHung);
        return Closing::kRefused;
    }
    const bool taken = windows_.Post(window, kWmCancelMode) && windows_.Post(window, kWmClose);
    if (observer_) observer_->Asked(window, title, entry >= 0 ? lv_.At(entry) : std::string(), !taken);
    if (!taken) {
        Refuse(window, title, CloseRefusal::kElevated);
        return Closing::kRefused;
    }
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

void Scanner::ForgetGoneRefusals() {
    // A handle of a window that went may be given to a new one.
    for (auto it = refused_.begin(); it != refused_.end();) {
        const bool listed = std::find(pass_.begin(), pass_.end(), it->first) != pass_.end();
        it = listed ? std::next(it) : refused_.erase(it);
    }
}

void Scanner::CloseTrackedWindow(WindowHandle window) {
    Close(window, AskFacts(window), FirstListEntry(GetTitle(window)));
}

void Scanner::PlaySoundFile(const std::string& path) { sound_.Play(path, kSoundFlags); }

void Scanner::ReInitCloseTmrTick() {
    lastClosedTitle_.clear();
    reInitCloseTmr_.Stop();
}

}  // namespace qw
