#include "editing/edit.h"

#include "resources/resource.h"
#include "ui/program_names.h"
#include "store/registry_access.h"

namespace qw {

void Edit::Open(int index) {
    editIndex_ = std::to_string(index);
    opened_ = platform_.lv.At(index);
    view_.SetText(opened_);
    part_.Load(platform_.lv.OptionsAt(index));
    openedOptions_ = part_.Options();
    part_.SetPrograms(RunningPrograms(platform_.scanner, platform_.windows));
    view_.Show();
    preview_.Refresh();
}

void Edit::Form_Load() { view_.SetIcon(IDI_TRACK_ON); }

int Edit::OpenedEntry() const {
    const EntryList& lv = platform_.lv;
    // EditIndex is a 16-bit index written as digits.
    const long index = LeadingNumber(editIndex_);
    if (index >= 0 && index < lv.Count() && lv.At(static_cast<int>(index)) == opened_) return static_cast<int>(index);
    for (int i = 0; i < lv.Count(); ++i) {
        if (platform_.lower.EqualNoCase(lv.At(i), opened_)) return i;
    }
    return -1;
}

void Edit::Done_Click() {
    const std::string text = view_.Text();
    if (RefuseShortTitle(platform_, view_.Handle(), text)) return;
    ListChange change;
    if (!text.empty()) {
        // Other commands may have changed `lv` since the dialog opened: change
        // the entry the user opened, never whatever now stands in its place.
        const int index = OpenedEntry();
        if (index < 0) {
            view_.Close();
            return;
        }
        // Options the user left alone are not written: another copy may have
        // changed them meanwhile.
        const EntryOptions options = part_.Options();
        const bool newOptions = options != openedOptions_;
        change = ListChange::Edit(platform_.lv.At(index), text,
                                  newOptions ? std::optional<EntryOptions>(options) : std::nullopt);
        platform_.lv.SetAt(index, text);
        if (newOptions) platform_.lv.SetOptions(index, options);
    }
    platform_.store.SaveWindowList(change);
    view_.Close();
}

void ListCommands::EditEntry_Click(WindowHandle owner) {
    const int selection = platform_.lv.Selection();
    if (selection < 0) {
        platform_.process.ShowMessageBox(owner, kMustSelect, "Error", kMbSetForeground);
        return;
    }
    edit_.Open(selection);
}

void ListCommands::lv_DblClick() {
    const int selection = platform_.lv.Selection();
    if (selection >= 0) edit_.Open(selection);
}

void ListCommands::lrem_Click(WindowHandle owner) {
    const int selection = platform_.lv.Selection();
    if (selection < 0 || selection >= platform_.lv.Count()) {
        platform_.process.ShowMessageBox(owner, kMustSelect, "Error", kMbSetForeground);
        return;
    }
    RemoveEntryAsked(platform_.process, platform_.lv, platform_.store, owner, selection);
}

}  // namespace qw
