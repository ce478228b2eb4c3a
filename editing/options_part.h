// The options part of the add and edit dialogs: it opens below the dialog's
// own controls, which stay where they are, and holds the four options of
// the entry. Picking a window fills in its program only as a suggestion:
// the entry keeps to one program only when the user ticks "Only windows of
// the program", so that a user who never opens the part adds entries as
// plain fragments.
#pragma once

#include <string>
#include <vector>

#include "store/entry_options.h"
#include "ui/program_names.h"

namespace qw {

// What the part's controls show.
struct OptionsForm {
    bool enabled = true;
    TitleRule title = TitleRule::kContains;
    bool programOnly = false;  // "Only windows of the program:"
    std::string program;       // the program box, as typed or suggested
    bool dialogsOnly = false;
    EntryAction action = EntryAction::kClose;  // "Then:"
    std::string button{};                      // the caption it presses, as typed
    std::string wait{};                        // seconds, as typed: "", "2", "1.5"
    bool recordFirst = false;                  // "Only record at first" (the add dialog's)

    bool operator==(const OptionsForm& o) const {
        return enabled == o.enabled && title == o.title && programOnly == o.programOnly && program == o.program &&
               dialogsOnly == o.dialogsOnly && action == o.action && button == o.button && wait == o.wait &&
               recordFirst == o.recordFirst;
    }
};

// The wait typed in seconds ("1.5", "2", "0,5" as some locales write it), in
// milliseconds up to EntryOptions::kMaxDelay; anything else waits not at all.
int WaitMilliseconds(const std::string& seconds);
// A wait in milliseconds as the box shows it: "" for none, "2", "1.5".
std::string WaitSeconds(int milliseconds);

// The question asked when "end its program" is chosen: it loses what the
// program had not saved.
extern const char kEndProgramQuestion[];

class OptionsPartView {
public:
    // The part open below the dialog's controls, or folded away.
    virtual void ShowOptionsPart(bool shown) = 0;
    virtual bool OptionsPartShown() const = 0;
    virtual OptionsForm Form() const = 0;
    virtual void SetForm(const OptionsForm& form) = 0;
    // The program box is open to typing only while it counts.
    virtual void EnableProgramBox(bool enabled) = 0;
    // The running programs the program box offers.
    virtual void SetPrograms(const std::vector<std::string>& programs) = 0;
    // The button's caption counts only for "press its button".
    virtual void EnableButtonBox(bool enabled) { (void)enabled; }
    // "Yes" to kEndProgramQuestion, asked in a box owned by the dialog.
    virtual bool ConfirmEndProgram() { return true; }

protected:
    ~OptionsPartView() = default;
};

class OptionsPart {
public:
    explicit OptionsPart(OptionsPartView* view) : view_(view) {}

    // Shows `options` (an entry's, or the defaults of a new one); the part
    // opens by itself for an entry that has options. Strings of a later
    // version are kept for the entry.
    void Load(const EntryOptions& options);
    // "Options >>": opens or folds the part.
    void Toggle();
    // The program of the window the user picked: shown in the program box,
    // where it counts only if "Only windows of the program" is ticked. A
    // window whose program Windows would not name changes nothing.
    void Suggest(const std::string& program);
    // The crosshair dropped on a dialog's button: the part opens, offering
    // to press it.
    void SuggestPress(const std::string& caption);
    // A check box or choice changed: the program box follows its check box,
    // the button's box the action. Choosing "end its program" asks first; a
    // "No" puts the action back.
    void Changed();
    // The running programs the program box offers.
    void SetPrograms(const std::vector<std::string>& programs) {
        if (view_) view_->SetPrograms(programs);
    }
    // The options the part holds now: those of the controls, the program
    // only while its check box is ticked, the button only for a press; "Only
    // record at first" makes the action a record.
    EntryOptions Options() const;

private:
    OptionsPartView* view_;  // none in tests that need none
    std::vector<std::string> kept_;
    EntryAction shownAction_ = EntryAction::kClose;  // the action agreed to, to go back to
};

}  // namespace qw
