// The glue of the modeless dialogs: creates the dialog from its template in
// the .rc, keeps the program's own-window record up to date and forwards the
// dialog's messages to its logic. It decides nothing.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

#include "platform/win32/win32_system.h"
#include "ui/dialog_view.h"
#include "ui/win32/dpi.h"

namespace qw {

// The message loop gives the open dialogs their keys (Tab, Enter, Escape).
bool RouteDialogMessage(MSG* msg);
void AddModelessDialog(HWND dialog);
void RemoveModelessDialog(HWND dialog);

// `Logic` is the dialog's handlers, which the window forwards to.
template <class View, class Logic>
class DialogWindow : public View {
public:
    DialogWindow(HINSTANCE instance, int templateId, int textId)
        : instance_(instance), templateId_(templateId), textId_(textId) {}
    ~DialogWindow() override {
        if (hwnd_) DestroyWindow(hwnd_);
    }

    // `ownSlot` is the dialog's place among the program's own windows, which
    // the scan never closes.
    void Bind(Logic* logic, WindowHandle* ownSlot) {
        logic_ = logic;
        ownSlot_ = ownSlot;
    }
    // The window that owns the dialog from its next creation on; none by default.
    void SetOwner(HWND owner) { owner_ = owner; }

    void Show() override {
        if (!Create()) return;
        // Opening it is one activation, whether the platform activates it
        // now, already had it active, or keeps another program in front.
        activationPending_ = true;
        ShowWindow(hwnd_, IsIconic(hwnd_) ? SW_RESTORE : SW_SHOW);
        SetForegroundWindow(hwnd_);
        if (activationPending_) {
            activationPending_ = false;
            OnActivate();
        }
    }
    void Close() override {
        if (hwnd_) DestroyWindow(hwnd_);
    }
    WindowHandle Handle() const override { return reinterpret_cast<WindowHandle>(hwnd_); }
    // At the sizes of the dialog's monitor.
    void SetIcon(int iconId) override {
        iconId_ = iconId;
        const UINT dpi = WindowDpi(hwnd_);
        for (const bool big : {true, false}) {
            SendMessageA(hwnd_, WM_SETICON, big ? ICON_BIG : ICON_SMALL,
                         reinterpret_cast<LPARAM>(IconForDpi(instance_, iconId, big, dpi)));
        }
    }
    void BringToFront() override {
        SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        SetWindowPos(hwnd_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    std::string Text() const override {
        HWND box = GetDlgItem(hwnd_, textId_);
        std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(box)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(GetWindowTextW(box, &text[0], static_cast<int>(text.size()))));
        return Utf8(text);
    }
    // The text box exists as soon as the dialog does, shown or not.
    void SetText(const std::string& text) override {
        if (Create()) SetDlgItemTextW(hwnd_, textId_, Wide(text).c_str());
    }

protected:
    virtual void OnInit() = 0;
    virtual void OnActivate() { logic_->Form_Activate(); }
    // A WM_COMMAND of the dialog; true when handled.
    virtual bool OnCommand(int id, int code) = 0;
    virtual void OnDestroy() {}
    // Moved to a monitor of another scale; Windows scales the dialog itself,
    // the window reloads its pictures.
    virtual void OnDpiChanged() {}
    // Any other message; true when handled.
    virtual bool OnMessage(UINT /*message*/, WPARAM /*wParam*/, LPARAM /*lParam*/) { return false; }

    HINSTANCE instance_;
    HWND hwnd_ = nullptr;
    Logic* logic_ = nullptr;

private:
    // Creates the dialog hidden if it does not exist; false if it cannot.
    bool Create() {
        if (!hwnd_) {
            // Wide: its text boxes keep what is typed in any script.
            CreateDialogParamW(instance_, MAKEINTRESOURCEW(templateId_), owner_, &DialogWindow::Proc,
                               reinterpret_cast<LPARAM>(this));
        }
        return hwnd_ != nullptr;
    }

    static INT_PTR CALLBACK Proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrA(dialog, DWLP_USER));
        switch (message) {
        case WM_INITDIALOG:
            self = reinterpret_cast<DialogWindow*>(lParam);
            SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
            self->hwnd_ = dialog;
            if (self->ownSlot_) *self->ownSlot_ = reinterpret_cast<WindowHandle>(dialog);
            AddModelessDialog(dialog);
            self->OnInit();
            return TRUE;
        case WM_ACTIVATE:
            if (self && LOWORD(wParam) != WA_INACTIVE &&
                (self->activationPending_ || (OfThisProcess(lParam) && !OwnedBy(lParam, dialog)))) {
                // Coming back from another window of the program, or opened by
                // a command: not when the user returns from another program,
                // nor from the dialog's own message box or file chooser.
                self->activationPending_ = false;
                self->OnActivate();
            }
            return FALSE;
        case WM_COMMAND:
            return self && self->OnCommand(LOWORD(wParam), HIWORD(wParam)) ? TRUE : FALSE;
        case WM_DPICHANGED:
            if (self) {
                if (self->iconId_) self->SetIcon(self->iconId_);
                self->OnDpiChanged();
            }
            return FALSE;  // the dialog manager rescales the dialog
        case WM_DESTROY:
            if (self) {
                self->OnDestroy();
                RemoveModelessDialog(dialog);
                if (self->ownSlot_) *self->ownSlot_ = 0;
                self->hwnd_ = nullptr;
            }
            return FALSE;
        }
        return self && self->OnMessage(message, wParam, lParam) ? TRUE : FALSE;
    }
    static bool OwnedBy(LPARAM window, HWND owner) {
        return window && GetWindow(reinterpret_cast<HWND>(window), GW_OWNER) == owner;
    }
    static bool OfThisProcess(LPARAM window) {
        DWORD process = 0;
        return window && GetWindowThreadProcessId(reinterpret_cast<HWND>(window), &process) &&
               process == GetCurrentProcessId();
    }

    int templateId_;
    int textId_;
    HWND owner_ = nullptr;
    WindowHandle* ownSlot_ = nullptr;
    bool activationPending_ = false;
    int iconId_ = 0;
};

}  // namespace qw
