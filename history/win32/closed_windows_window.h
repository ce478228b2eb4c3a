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

private:
    void OnInit() override;
    bool OnCommand(int id, int code) override;
    void OnDestroy() override { logic_->Form_Unload(); }
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The list takes the room the buttons leave; the buttons keep to the bottom.
    void Layout(int width, int height);
    HWND List() const;
};

}  // namespace qw
