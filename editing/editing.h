// What the entry-editing windows share: the platform they work against and
// the rule that every way of entering an entry refuses one to four characters.
#pragma once

#include <cstddef>
#include <string>

#include "engine/scanner.h"
#include "platform/registry_api.h"
#include "platform/shell_api.h"
#include "platform/window_api.h"
#include "store/entry_list.h"
#include "store/window_list_store.h"
#include "ui/entry_commands.h"

namespace qw {

extern const char kTitleTooShort[];
extern const char kListFull[];
constexpr std::size_t kMinimumEntryLength = 5;

struct EditingPlatform {
    WindowApi& windows;
    ProcessApi& process;
    RegistryApi& registry;
    Scanner& scanner;  // GetTitle and IsCandidateWindow, the scan's own filter
    EntryList& lv;
    WindowListStore& store;
    const CaseFolding& lower;
};

// Shows "The title must be a least five (5) characters long" when `text` has
// one to four characters (not bytes), and says whether it did.
bool RefuseShortTitle(const EditingPlatform& platform, WindowHandle owner, const std::string& text);
// Appends `text` with `options` to `lv`; a full list (list boxes hold
// 32,767 items) is refused with a message instead, and false returned.
bool AppendEntry(EditingPlatform& platform, WindowHandle owner, const std::string& text,
                 const EntryOptions& options = {});

}  // namespace qw
