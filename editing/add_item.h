// AddItem, the add-entry dialog: pick an open window's title, drag the
// crosshair onto a window, or type; "Add to list" appends the text to `lv`
// and stores the list.
#pragma once

#include <string>
#include <vector>

#include "editing/close_preview.h"
#include "editing/editing.h"
#include "editing/options_part.h"
#include "ui/dialog_view.h"

namespace qw {

extern const char kInvalidWindow[];

class AddItemView : public DialogView {
public:
    virtual void SetRows(const std::vector<std::string>& rows) = 0;
    // The program-wide pointer: the crosshair while dragging, else the default.
    virtual void SetCrosshair(bool on) = 0;
};

class AddItem {
public:
    AddItem(AddItemView& view, EditingPlatform platform, PreviewParts* preview = nullptr,
            OptionsPartView* options = nullptr)
        : view_(view), platform_(platform), part_(options),
          preview_(view, preview, platform.scanner, platform.windows, &part_) {}

    // `ladd`, `ad1` and `ad2`: the one dialog, not modal.
    void Show() { view_.Show(); }
    void Form_Load();
    void Form_Activate();
    void RefreshWndwList_Click();
    void WndwList_Click(int row);
    // The text box changed, by a key or otherwise.
    void win_name_Change() { preview_.TextChanged(); }
    void PreviewTmr_Timer() { preview_.Delay_Timer(); }
    void Target_MouseDown();
    void Target_MouseUp();
    void done_Click();
    void no_Click();
    // "Options >>", a choice of the part, and a key in its program box.
    void Options_Click() { part_.Toggle(); }
    void Options_Change() {
        part_.Changed();
        preview_.Refresh();
    }
    void Program_Change() { preview_.TextChanged(); }

    const std::vector<std::string>& Rows() const { return rows_; }
    const OptionsPart& Part() const { return part_; }

private:
    void FillWndwList();

    AddItemView& view_;
    EditingPlatform platform_;
    OptionsPart part_;
    ClosePreview preview_;
    std::vector<std::string> rows_;
    std::vector<WindowHandle> rowWindows_;  // side by side with rows_
};

}  // namespace qw
