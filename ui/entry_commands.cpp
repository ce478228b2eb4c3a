#include "ui/entry_commands.h"

namespace qw {

const char kMustSelect[] = "You must select an item";

void RemoveEntryAsked(ProcessApi& process, EntryList& lv, WindowListStore& store, WindowHandle owner, int index) {
    const std::string text = lv.At(index);
    constexpr unsigned kQuestion = kMbOkCancel | kMbIconQuestion | kMbDefButton2 | kMbSetForeground;
    if (process.ShowMessageBox(owner, "Remove Entry: " + text + " ?", "Are you sure?", kQuestion) != kIdOk) return;
    // The box runs its own message loop while the dialogs and tray icons stay
    // usable, so `lv` may have changed: remove the entry the user confirmed.
    int at = index < lv.Count() && lv.At(index) == text ? index : -1;
    for (int i = 0; at < 0 && i < lv.Count(); ++i) {
        if (lv.At(i) == text) at = i;
    }
    if (at < 0) return;
    lv.RemoveAt(at);
    store.SaveWindowList(ListChange::Remove(text));
}

}  // namespace qw
