// The add-entry and edit-entry dialogs' windows.
#pragma once

#include <windows.h>

#include "editing/add_item.h"
#include "editing/edit.h"
#include "editing/options_part.h"
#include "resources/resource.h"
#include "ui/win32/dialog_window.h"

namespace qw {

// The preview line below a dialog's text box, with its caution icon before
// it and the note below it when shown.
void ShowPreviewLine(HWND dialog, const std::string& text, bool caution, const std::string& note);

// The options part, alike in the add and edit dialogs.
class OptionsPartControls : public OptionsPartView {
public:
    void ShowOptionsPart(bool shown) override;
    bool OptionsPartShown() const override;
    OptionsForm Form() const override;
    void SetForm(const OptionsForm& form) override;
    void EnableProgramBox(bool enabled) override;
    void SetPrograms(const std::vector<std::string>& programs) override;
    void EnableButtonBox(bool enabled) override;
    bool ConfirmEndProgram() override;

protected:
    explicit OptionsPartControls(const HWND& dialog) : dialog_(dialog) {}
    // A command of the part's controls, routed to `logic`; false for any other.
    template <class Logic>
    bool OnOptionsCommand(Logic& logic, int id, int code);

private:
    std::string TextOfItem(int id) const;
    const HWND& dialog_;
};

template <class Logic>
bool OptionsPartControls::OnOptionsCommand(Logic& logic, int id, int code) {
    switch (id) {
    case IDC_OPTIONS: logic.Options_Click(); return true;
    case IDC_OPTENABLED:
    case IDC_OPTCONTAINS:
    case IDC_OPTEXACT:
    case IDC_OPTPREFIX:
    case IDC_OPTDIALOGS:
    case IDC_OPTPROGRAMONLY:
    case IDC_OPTRECORDFIRST:
        if (code == BN_CLICKED) logic.Options_Change();
        return true;
    case IDC_OPTACTION:
        if (code == CBN_SELCHANGE) logic.Options_Change();
        return true;
    case IDC_OPTBUTTON:
    case IDC_OPTWAIT:
        if (code == EN_CHANGE) logic.Program_Change();  // the preview follows once typing stops
        return true;
    case IDC_OPTPROGRAM:
        if (code == CBN_EDITCHANGE) logic.Program_Change();
        if (code == CBN_SELCHANGE) {
            // The box's text follows a choice from its list only after this
            // notice: it is set here, so that the logic reads the choice.
            HWND box = GetDlgItem(dialog_, IDC_OPTPROGRAM);
            const LRESULT row = SendMessageW(box, CB_GETCURSEL, 0, 0);
            const LRESULT length = row < 0 ? CB_ERR : SendMessageW(box, CB_GETLBTEXTLEN, static_cast<WPARAM>(row), 0);
            if (length >= 0) {
                std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
                SendMessageW(box, CB_GETLBTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&text[0]));
                SetWindowTextW(box, text.c_str());
            }
            logic.Options_Change();
        }
        return true;
    }
    return false;
}

class AddItemWindow : public DialogWindow<AddItemView, AddItem>, public PreviewView, public OptionsPartControls {
public:
    explicit AddItemWindow(HINSTANCE instance);

    void SetRows(const std::vector<std::string>& rows) override;
    void SetCrosshair(bool on) override;
    void SetPreview(const std::string& text, bool caution, const std::string& note) override {
        ShowPreviewLine(hwnd_, text, caution, note);
    }

private:
    void OnInit() override;
    bool OnCommand(int id, int code) override;
    void OnDpiChanged() override { ShowTargetIcon(); }
    void ShowTargetIcon();
    static LRESULT CALLBACK TargetProc(HWND target, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                       DWORD_PTR self);

    bool dragging_ = false;
};

class EditWindow : public DialogWindow<DialogView, Edit>, public PreviewView, public OptionsPartControls {
public:
    explicit EditWindow(HINSTANCE instance);
    void SetPreview(const std::string& text, bool caution, const std::string& note) override {
        ShowPreviewLine(hwnd_, text, caution, note);
    }

private:
    void OnInit() override { logic_->Form_Load(); }
    bool OnCommand(int id, int code) override;
};

}  // namespace qw
