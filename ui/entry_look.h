// How the main list shows an entry's options at a glance: an entry switched
// off is greyed, and each option that narrows an entry gets a short mark
// after its text. An entry without options looks as it always has.
#pragma once

#include <string>

#include "store/entry_options.h"

namespace qw {

struct EntryLook {
    bool greyed = false;
    // "[off] [setup.exe] [exact] [dialogs]": empty for an entry without options.
    std::string mark;
};

EntryLook LookOf(const EntryOptions& options);

}  // namespace qw
