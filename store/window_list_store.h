// The window list between `lv` and the registry key Data: the default value
// holds the count, the values " 0", " 1", ... one entry each.
#pragma once

#include <string>

#include "platform/ansi_case.h"
#include "platform/controls.h"
#include "platform/registry_api.h"
#include "platform/shell_api.h"
#include "store/entry_list.h"

namespace qw {

extern const char kDataKeyPath[];
extern const char kOptionsKeyPath[];

// The count text of `NumWindows`, digits grouped in threes with `separator`.
std::string CountText(int count, const std::string& separator);
// " 0", " 1", ...: an entry's value name.
std::string EntryValueName(long index);

class WindowListStore {
public:
    WindowListStore(RegistryApi& registry, EntryList& lv, TextControl* numWindows,
                    const LowerTable& lower, std::string thousandsSeparator, ListLock* lock = nullptr)
        : registry_(registry), lv_(lv), numWindows_(numWindows), lower_(lower),
          separator_(std::move(thousandsSeparator)), lock_(lock) {}

    // Writes `lv` to the key, then reloads `lv` from it. At every moment the
    // key loads as exactly the old list or exactly the new one, so a save cut
    // short by a failed write, a crash or a power loss never loses the
    // user's list.
    void SaveWindowList();
    // Fills `lv` from the key, dropping repeats, and sets the count text.
    void LoadWindowList();
    // Whether `text` equals an entry of `lv`, ignoring case.
    bool IsListedTitle(const std::string& text) const;

private:
    void StoreList();

    RegistryApi& registry_;
    EntryList& lv_;
    TextControl* numWindows_;
    const LowerTable& lower_;
    std::string separator_;
    ListLock* lock_;
};

}  // namespace qw
