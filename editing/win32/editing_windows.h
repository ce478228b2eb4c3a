// The add-entry and edit-entry dialogs' windows.
#pragma once

#include <windows.h>

#include "editing/add_item.h"
#include "editing/edit.h"
#include "ui/win32/dialog_window.h"

namespace qw {

// The preview line below a dialog's text box, with its caution icon before
// it when shown.
void ShowPreviewLine(HWND dialog, const std::string& text, bool caution);

class AddItemWindow : public DialogWindow<AddItemView, AddItem>, public PreviewView {
public:
    explicit AddItemWindow(HINSTANCE instance);

    void SetRows(const std::vector<std::string>& rows) override;
    void SetCrosshair(bool on) override;
    void SetPreview(const std::string& text, bool caution) override { ShowPreviewLine(hwnd_, text, caution); }

private:
    void OnInit() override;
    bool OnCommand(int id, int code) override;
    void OnDpiChanged() override { ShowTargetIcon(); }
    void ShowTargetIcon();
    static LRESULT CALLBACK TargetProc(HWND target, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR self);

    bool dragging_ = false;
};

class EditWindow : public DialogWindow<DialogView, Edit>, public PreviewView {
public:
    explicit EditWindow(HINSTANCE instance);
    void SetPreview(const std::string& text, bool caution) override { ShowPreviewLine(hwnd_, text, caution); }

private:
    void OnInit() override { logic_->Form_Load(); }
    bool OnCommand(int id, int code) override;
};

}  // namespace qw
