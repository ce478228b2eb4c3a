// The live preview of the add and edit dialogs: one line below the text box
// that names the open windows the typed text would close now, by the scan's
// own rules, so that the user sees an entry that would close more than meant
// before adding it.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/scanner.h"
#include "platform/window_api.h"
#include "ui/dialog_view.h"

namespace qw {

extern const char kPreviewTooShort[];

// The line and its caution icon.
class PreviewView {
public:
    virtual void SetPreview(const std::string& text, bool caution) = 0;

protected:
    ~PreviewView() = default;
};

struct PreviewParts {
    PreviewView& line;
    Timer& delay;  // one-shot, kDelay
};

// The titles of the open windows that the scan would close now for the entry
// `text`, in the platform's order.
std::vector<std::string> WouldClose(Scanner& scanner, WindowApi& windows, const std::string& text,
                                    const CaseFolding& lower);

class ClosePreview {
public:
    // The line follows typing this long after the last key, not at each.
    static constexpr int kDelay = 150;  // ms
    // More windows than this: a caution icon beside the line.
    static constexpr std::size_t kCautionAbove = 5;

    // Without `parts` (a test that needs none) there is no line.
    ClosePreview(const DialogView& dialog, PreviewParts* parts, Scanner& scanner, WindowApi& windows,
                 const CaseFolding& lower)
        : dialog_(dialog), parts_(parts), scanner_(scanner), windows_(windows), lower_(lower) {}

    // A key changed the text box: the line follows after kDelay.
    void TextChanged() {
        if (parts_) parts_->delay.Start();
    }
    void Delay_Timer() { Refresh(); }
    // The line at once, for the text box as it stands.
    void Refresh();

private:
    const DialogView& dialog_;
    PreviewParts* parts_;
    Scanner& scanner_;
    WindowApi& windows_;
    const CaseFolding& lower_;
};

}  // namespace qw
