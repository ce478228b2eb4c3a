// The add-entry and edit-entry dialogs' windows.
#pragma once

#include <windows.h>

#include "editing/add_item.h"
#include "editing/edit.h"
#include "ui/win32/dialog_window.h"

namespace qw {

class AddItemWindow : public DialogWindow<AddItemView, AddItem> {
public:
    explicit AddItemWindow(HINSTANCE instance);

    void SetRows(const std::vector<std::string>& rows) override;
    void SetCrosshair(bool on) override;

private:
    void OnInit() override;
    bool OnCommand(int id, int code) override;
    void OnDpiChanged() override { ShowTargetIcon(); }
    void ShowTargetIcon();
    static LRESULT CALLBACK TargetProc(HWND target, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR self);

    bool dragging_ = false;
};

class EditWindow : public DialogWindow<DialogView, Edit> {
public:
    explicit EditWindow(HINSTANCE instance);

private:
    void OnInit() override { logic_->Form_Load(); }
    bool OnCommand(int id, int code) override;
};

}  // namespace qw
