// The add-entry and edit-entry dialogs' windows.
#pragma once

#include <windows.h>

#include "editing/add_item.h"
#include "editing/edit.h"
#include "editing/win32/dialog_window.h"

namespace qw {

class AddItemWindow : public DialogWindow<AddItemView> {
public:
    explicit AddItemWindow(HINSTANCE instance);
    void Bind(AddItem* logic, WindowHandle* ownSlot) {
        logic_ = logic;
        SetOwnSlot(ownSlot);
    }

    void SetRows(const std::vector<std::string>& rows) override;
    void SetCrosshair(bool on) override;

private:
    void OnInit() override;
    void OnActivate() override { logic_->Form_Activate(); }
    bool OnCommand(int id, int code) override;
    static LRESULT CALLBACK TargetProc(HWND target, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR self);

    AddItem* logic_ = nullptr;
    bool dragging_ = false;
};

class EditWindow : public DialogWindow<DialogView> {
public:
    explicit EditWindow(HINSTANCE instance);
    void Bind(Edit* logic, WindowHandle* ownSlot) {
        logic_ = logic;
        SetOwnSlot(ownSlot);
    }

private:
    void OnInit() override { logic_->Form_Load(); }
    void OnActivate() override { logic_->Form_Activate(); }
    bool OnCommand(int id, int code) override;

    Edit* logic_ = nullptr;
};

}  // namespace qw
