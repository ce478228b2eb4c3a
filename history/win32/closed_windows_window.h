// The "Closed Windows" window: a sizable dialog with a report-style list
// view that asks the logic for the text of each row it shows.
#pragma once

#include <windows.h>

#include "history/closed_windows.h"
#include "ui/win32/dialog_window.h"

namespace qw {

class ClosedWindowsWindow : public DialogWindow<ClosedWindowsView, ClosedWindows> {
public:
    explicit ClosedWindowsWindow(HINSTANCE instance);

    void ShowRows(int count) override;
    int SelectedRow() const override;
    void SelectRow(int row) override;
    void SetProgramCommands(const std::string& limitCaption, const std::string& neverCaption, bool enabled) override;
    void SetRowCommands(bool press, const std::string& actionCaption, bool action) override;
    int ChooseButton(const std::vector<std::string>& captions) override;

private:
    void OnInit() override;
    bool OnCommand(int id, int code) override;
    void OnDestroy() override { logic_->Form_Unload(); }
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The list takes the room the buttons leave; the buttons keep to the bottom.
    void Layout(int width, int height);
    // Sets the buttons `ids` side by side from the left margin at `top`, each
    // as wide as its caption needs in the window's font, at least `least`
    // dialog units.
    void LayOutRow(const int* ids, int count, int top, int least);
    HWND List() const;
};

}  // namespace qw
