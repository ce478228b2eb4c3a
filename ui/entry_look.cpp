#include "ui/entry_look.h"

namespace qw {

EntryLook LookOf(const EntryOptions& options) {
    EntryLook look;
    look.greyed = !options.enabled;
    const auto add = [&look](const std::string& word) { look.mark += (look.mark.empty() ? "[" : " [") + word + "]"; };
    // Greyed text can be hard to tell on a selected row: the word says it too.
    if (!options.enabled) add("off");
    if (!options.program.empty()) add(options.program);
    if (options.title == TitleRule::kExact) add("exact");
    if (options.title == TitleRule::kPrefix) add("starts");
    if (options.dialogsOnly) add("dialogs");
    return look;
}

}  // namespace qw
