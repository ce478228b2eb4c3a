// A dialog window as its logic sees it: every dialog's view interface starts
// from this one, and the dialog template of the window glue implements it.
#pragma once

#include <string>

#include "platform/window_api.h"

namespace qw {

class DialogView {
public:
    virtual ~DialogView() = default;
    // Creates the dialog if it is not open, then shows and activates it.
    virtual void Show() = 0;
    virtual void Close() = 0;
    // 0 while the dialog is not open.
    virtual WindowHandle Handle() const = 0;
    virtual void SetIcon(int iconId) = 0;
    // HWND_TOPMOST then HWND_NOTOPMOST, neither moving nor sizing.
    virtual void BringToFront() = 0;
    // The dialog's one text box.
    virtual std::string Text() const = 0;
    virtual void SetText(const std::string& text) = 0;
};

}  // namespace qw
