// The options dialog's window: one template with the controls of all five
// pages, of which those of the selected page are shown.
#pragma once

#include <windows.h>

#include "options/options.h"
#include "ui/win32/dialog_window.h"

namespace qw {

class OptionsWindow : public DialogWindow<OptionsView, Options> {
public:
    explicit OptionsWindow(HINSTANCE instance);

    void Load() override;
    void SelectPage(int page) override;
    bool Checked(OptionsCheck box) const override;
    void SetChecked(OptionsCheck box, bool checked) override;
    bool OOn() const override;
    void SetOOn(bool selected) override;
    int IconNum() const override;
    void SetIconNum(int position) override;
    void SetIconView(int iconId) override;
    void SetNeverClose(const std::vector<std::string>& programs, int selected) override;
    int NeverCloseSelection() const override;
    std::string NeverCloseProgram() const override;
    void SetNeverCloseProgram(const std::string& text) override;
    void SetRunningPrograms(const std::vector<std::string>& programs) override;
    void EnableCheck(OptionsCheck box, bool enabled) override;
    unsigned HotKey(GlobalKey key) const override;
    void SetHotKey(GlobalKey key, unsigned value) override;
    void ShowKeyProblem(GlobalKey key, const std::string& text) override;
    void ShowKeyNote(const std::string& text) override;
    bool FocusedHotKey(GlobalKey* key) const override;

private:
    void OnInit() override;
    bool OnCommand(int id, int code) override;
    void OnDpiChanged() override {
        if (iconViewId_) SetIconView(iconViewId_);
    }
    void ShowPage(int page);
    // The tab control's page changes and the slider's moves reach the dialog
    // itself, not its command handler.
    static LRESULT CALLBACK PagesProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                      DWORD_PTR self);

    int iconViewId_ = 0;
};

}  // namespace qw
