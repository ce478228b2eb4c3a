// What the windows that work on an entry of `lv` share: the message for no
// selection, and the removal after a question, which the main window's
// "Remove Item" and the "Closed Windows" window's "Remove Entry" both give.
#pragma once

#include "platform/shell_api.h"
#include "platform/window_api.h"
#include "store/entry_list.h"
#include "store/window_list_store.h"

namespace qw {

extern const char kMustSelect[];

// Asks "Remove Entry: <entry> ?" in a box owned by `owner` and, on OK,
// removes entry `index` of `lv` and stores the list.
void RemoveEntryAsked(ProcessApi& process, EntryList& lv, WindowListStore& store, WindowHandle owner, int index);

}  // namespace qw
