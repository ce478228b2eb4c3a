// The options of one window-list entry and their stored form. An entry
// without options is a bare title fragment, as the list has always held;
// its options, where it has any, live apart from the list, under
// HKEY_CURRENT_USER\Software\Varn\Quellwatch\Rules: one REG_MULTI_SZ value
// per entry, named as the entry, each string "name=value". Administrators
// write these values themselves, so the form is fixed and read forgivingly.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/registry_api.h"

namespace qw {

extern const char kRulesKeyPath[];     // Software\Varn\Quellwatch\Rules
extern const char kNeverCloseValue[];  // "Never Close", beside Data and Options

// How an entry's text must stand in a title (case ignored in each).
enum class TitleRule {
    kContains,  // anywhere: what a bare entry does
    kExact,     // the whole title
    kPrefix,    // the title's start
};

// What is done to a window the entry matches.
enum class EntryAction {
    kClose,     // asked to close, as a bare entry's windows are
    kPress,     // the dialog's button captioned `button` is pressed
    kMinimize,  // minimized, once
    kEnd,       // asked to close, and its program ended if it is still there 2 s later
    kRecord,    // nothing is sent; the close history notes it
};

struct EntryOptions {
    // The longest wait before acting.
    static constexpr int kMaxDelay = 60000;  // ms

    bool enabled = true;
    TitleRule title = TitleRule::kContains;
    std::string program;  // an image file name ("setup.exe"), case ignored; empty: any program
    bool dialogsOnly = false;  // only standard dialog boxes (class "#32770")
    EntryAction action = EntryAction::kClose;
    std::string button;  // the caption of the button to press ("No"; "&No" alike)
    int delay = 0;       // ms the window must match before anything is sent, 0 to kMaxDelay
    // Strings this version does not know (a later version's), kept as they
    // stand so that a rewrite does not lose them.
    std::vector<std::string> kept;

    // Every option as a bare entry has it, and nothing kept.
    bool IsDefault() const;
    bool operator==(const EntryOptions& other) const;
    bool operator!=(const EntryOptions& other) const { return !(*this == other); }
};

// The value's strings: each option that differs from its default, in a fixed
// order, then the kept strings; none for a default entry.
std::vector<std::string> RuleStrings(const EntryOptions& options);
// The options the strings give. A string without "=", or with a value that
// is not one of its name's, is ignored; an unknown name is kept.
EntryOptions ParseRuleStrings(const std::vector<std::string>& strings);

// "Never Close": the image file names of programs whose windows are never
// asked to close, one per string of a REG_MULTI_SZ value; blanks around a
// name are not part of it, and a repeat (case ignored) counts once. Nothing
// when the registry refused the read; an absent value, or one of another
// type, is an empty list.
std::optional<std::vector<std::string>> ReadNeverClose(RegistryApi& registry);
// False when the registry refused the write.
bool WriteNeverClose(RegistryApi& registry, const std::vector<std::string>& programs);
// The names as the list keeps them: trimmed, without empty ones or repeats.
std::vector<std::string> CleanProgramNames(const std::vector<std::string>& names);

// REG_MULTI_SZ data, UTF-8: each string ends with NUL and the list with one
// more. Reading stops at the first empty string, as Windows' readers do;
// data that lacks its last NULs still reads.
std::string MultiSzData(const std::vector<std::string>& strings);
std::vector<std::string> MultiSzStrings(const std::string& data);

}  // namespace qw
