// Edit, the edit-entry dialog, and the two list commands of the main window
// that work on the selected entry: edit and remove.
#pragma once

#include <string>

#include "editing/close_preview.h"
#include "editing/editing.h"
#include "editing/options_part.h"
#include "ui/dialog_view.h"

namespace qw {

class Edit {
public:
    Edit(DialogView& view, EditingPlatform platform, PreviewParts* preview = nullptr,
         OptionsPartView* options = nullptr)
        : view_(view), platform_(platform), part_(options),
          preview_(view, preview, platform.scanner, platform.windows, &part_) {}

    // Opens the dialog on entry `index` of `lv`; an open dialog switches to it
    // and drops what was typed for the other.
    void Open(int index);
    void Form_Load();
    void Form_Activate() {
        view_.BringToFront();
        preview_.Refresh();
    }
    // The text box changed, by a key or otherwise.
    void Text_Change() { preview_.TextChanged(); }
    void PreviewTmr_Timer() { preview_.Delay_Timer(); }
    void Done_Click();
    void No_Click() { view_.Close(); }
    // "Options >>", a choice of the part, and a key in its program box.
    void Options_Click() { part_.Toggle(); }
    void Options_Change() {
        part_.Changed();
        preview_.Refresh();
    }
    void Program_Change() { preview_.TextChanged(); }

    const std::string& EditIndex() const { return editIndex_; }

private:
    // The entry that was opened: at EditIndex while it still stands there,
    // else wherever its text now is (ignoring case); -1 once it is gone.
    int OpenedEntry() const;

    DialogView& view_;
    EditingPlatform platform_;
    OptionsPart part_;
    ClosePreview preview_;
    std::string editIndex_;
    std::string opened_;  // the entry's text when the dialog opened
    EntryOptions openedOptions_;  // its options, as the part gives them back
};

class ListCommands {
public:
    ListCommands(Edit& edit, EditingPlatform platform) : edit_(edit), platform_(platform) {}

    // `EditEntry`, with the main window as the owner of its message.
    void EditEntry_Click(WindowHandle owner);
    void lv_DblClick();
    void lrem_Click(WindowHandle owner);

private:
    Edit& edit_;
    EditingPlatform platform_;
};

}  // namespace qw
