#include "ui/entry_look.h"

namespace qw {

namespace {
// "2 s", "1.5 s": tenths at most, as a mark has little room.
std::string WaitWords(int milliseconds) {
    const int tenths = (milliseconds + 50) / 100;
    return std::to_string(tenths / 10) + (tenths % 10 ? "." + std::to_string(tenths % 10) : "") + " s";
}
}  // namespace

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
    switch (options.action) {
    case EntryAction::kPress: add("press " + options.button); break;
    case EntryAction::kMinimize: add("minimize"); break;
    case EntryAction::kEnd: add("end"); break;
    case EntryAction::kRecord: add("record"); break;
    case EntryAction::kClose: break;
    }
    if (options.delay > 0) add("wait " + WaitWords(options.delay));
    return look;
}

}  // namespace qw
