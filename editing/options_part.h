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

    bool operator==(const OptionsForm& o) const {
        return enabled == o.enabled && title == o.title && programOnly == o.programOnly && program == o.program &&
               dialogsOnly == o.dialogsOnly;
    }
};

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
    // A check box or choice changed: the program box follows its check box.
    void Changed();
    // The running programs the program box offers.
    void SetPrograms(const std::vector<std::string>& programs) {
        if (view_) view_->SetPrograms(programs);
    }
    // The options the part holds now: those of the controls, the program
    // only while its check box is ticked.
    EntryOptions Options() const;

private:
    OptionsPartView* view_;  // none in tests that need none
    std::vector<std::string> kept_;
};

}  // namespace qw
