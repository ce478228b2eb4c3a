// The window list between `lv` and the registry key Data: the default value
// holds the count, the values " 0", " 1", ... one entry each.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/text.h"
#include "platform/controls.h"
#include "platform/registry_api.h"
#include "platform/shell_api.h"
#include "store/entry_list.h"

namespace qw {

extern const char kDataKeyPath[];
extern const char kOptionsKeyPath[];
// Beside the list: a number every save of any copy raises, so that a copy
// can tell whether the stored list changed since it last loaded or saved it.
extern const char kProgramKeyPath[];
extern const char kDataStampValue[];

// The count text of `NumWindows`, digits grouped in threes with `separator`.
std::string CountText(int count, const std::string& separator);
// " 0", " 1", ...: an entry's value name.
std::string EntryValueName(long index);

// The change of `lv` that a command made before it saves. When another copy
// of the program changed the stored list meanwhile, the save takes the
// stored list and makes this change to it again, so that neither copy's
// entries are lost.
struct ListChange {
    enum class Kind { kNone, kAdd, kEdit, kRemove, kMerge, kOptions };
    Kind kind = Kind::kNone;
    std::string text;                  // added, removed or given options, or the entry as it was before the edit
    std::string replacement;           // the edited entry's new text
    std::vector<std::string> entries;  // merged from a list file
    // The added entry's options, the edited or given entry's new ones
    // (nothing: an edit keeps them), or the merged entries' side by side.
    std::optional<EntryOptions> options;
    std::vector<EntryOptions> entryOptions;

    static ListChange Add(std::string text, EntryOptions options = {}) {
        return {Kind::kAdd, std::move(text), {}, {}, std::move(options), {}};
    }
    static ListChange Edit(std::string from, std::string to, std::optional<EntryOptions> options = {}) {
        return {Kind::kEdit, std::move(from), std::move(to), {}, std::move(options), {}};
    }
    static ListChange Remove(std::string text) { return {Kind::kRemove, std::move(text), {}, {}, {}, {}}; }
    static ListChange Merge(std::vector<std::string> entries, std::vector<EntryOptions> options = {}) {
        return {Kind::kMerge, {}, {}, std::move(entries), {}, std::move(options)};
    }
    static ListChange Options(std::string text, EntryOptions options) {
        return {Kind::kOptions, std::move(text), {}, {}, std::move(options), {}};
    }
};

// Appends each entry that `lv` does not hold yet (ignoring case), in order,
// with its options (side by side, or none); an entry already listed keeps
// its own. False when the list filled up before the last.
bool AppendNewEntries(EntryList& lv, const std::vector<std::string>& entries, const CaseFolding& lower,
                      const std::vector<EntryOptions>& options = {});

struct SaveOutcome {
    bool saved = false;     // false: the change waits in `lv` for the next save
    bool listFull = false;  // a change made again could not all fit
    long error = 0;         // the registry's refusal that stopped the save; 0 when another copy held the list
};

// Why the registry refused, in words for a message: "Could not save the
// window list: " + RegistryRefusalText(error).
std::string RegistryRefusalText(long error);

class WindowListStore {
public:
    WindowListStore(RegistryApi& registry, EntryList& lv, TextControl* numWindows,
                    const CaseFolding& lower, std::string thousandsSeparator, ListLock* lock = nullptr)
        : registry_(registry), lv_(lv), numWindows_(numWindows), lower_(lower),
          separator_(std::move(thousandsSeparator)), lock_(lock) {}

    // Asked, outside the lock, when another copy held the list past the
    // lock's bound; `saving` says whether a save (not a load) waits. True
    // tries again.
    void WhenBusy(std::function<bool(bool saving)> busy) { whenBusy_ = std::move(busy); }
    // Told, outside the lock, when the registry refused: `saving` when a
    // save could not store the change (which waits in `lv` for the next
    // save), otherwise when the list could not be read whole (`lv` keeps
    // what it held, and the next save reads the stored list first); and
    // with `error` 0 when it reads whole again after that.
    void WhenRefused(std::function<void(bool saving, long error)> refused) { whenRefused_ = std::move(refused); }

    // Writes `lv`, which `change` made, to the key, then reloads `lv` from
    // it. At every moment the key loads as exactly the old list or exactly
    // the new one, so a save cut short by a failed write, a crash or a power
    // loss never loses the user's list. A copy that never loaded the list
    // whole (an import through the shell) always starts from the stored list.
    // A save the registry refused keeps the change waiting.
    SaveOutcome SaveWindowList(ListChange change = {});
    // Fills `lv` from the key, dropping repeats, and sets the count text;
    // changes still waiting for a save stay in it. A list the registry
    // would not let be read whole leaves `lv` as it was.
    void LoadWindowList();
    // Whether `text` equals an entry of `lv`, ignoring case.
    bool IsListedTitle(const std::string& text) const;
    // The entry `text`: exactly, or else ignoring case; -1 when none.
    int Find(const std::string& text) const;

private:
    // Runs `work` under the lock; false when the lock could not be had.
    bool Locked(bool saving, const std::function<void()>& work);
    // False, with `lv` as it was, when the registry refused a read.
    bool Load();
    // False when the list filled up.
    bool Apply(const ListChange& change);
    // Nothing when the registry refused the read.
    std::optional<std::string> ReadStamp();
    // False when the registry refused before the new list took over (a
    // refused read included: the save must not guess what is stored).
    bool StoreList();
    // Notes the registry's refusal; false.
    bool Refused(long error);
    // A load's refusal: `lv` does not show the stored list.
    bool Unread(long error);
    void Tell(bool unreadBefore, long saveError);

    RegistryApi& registry_;
    EntryList& lv_;
    TextControl* numWindows_;
    const CaseFolding& lower_;
    std::string separator_;
    ListLock* lock_;
    std::function<bool(bool)> whenBusy_;
    std::function<void(bool, long)> whenRefused_;
    long error_ = 0;       // the last refusal
    bool unread_ = false;  // the last load was refused
    std::optional<std::string> stamp_;  // as last loaded or saved; nothing before that
    std::vector<ListChange> pending_;   // made since the last save that had the lock
};

}  // namespace qw
