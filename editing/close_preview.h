// The live preview of the add and edit dialogs: one line below the text box
// that names the open windows the typed text, with the options the dialog
// holds, would close now, by the scan's own rules, each with its program,
// so that the user sees an entry that would close more than meant before
// adding it. A line below it says why a caution shows.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "editing/options_part.h"
#include "engine/scanner.h"
#include "platform/window_api.h"
#include "store/entry_options.h"
#include "ui/dialog_view.h"

namespace qw {

extern const char kPreviewTooShort[];
extern const char kPreviewSwitchedOff[];
extern const char kBrowserCaution[];
extern const char kManyCaution[];

// The line, its caution icon, and the note below that says why it shows
// (empty without one).
class PreviewView {
public:
    virtual void SetPreview(const std::string& text, bool caution, const std::string& note) = 0;

protected:
    ~PreviewView() = default;
};

struct PreviewParts {
    PreviewView& line;
    Timer& delay;  // one-shot, kDelay
};

// An open window the preview names, its program's file name (empty where
// Windows will not say), and whether it is a browser's, which closes with
// all of its tabs.
struct PreviewWindow {
    std::string title, program;
    bool browser = false;
};

// The open windows that the scan would close now for the entry `text` with
// `options`, in the platform's order.
std::vector<PreviewWindow> WouldClose(Scanner& scanner, WindowApi& windows, const std::string& text,
                                      const EntryOptions& options);
// The line's opening for the entry's action: "Would close now: ", "Would
// press No in ", ...
std::string PreviewOpening(const EntryOptions& options);

class ClosePreview {
public:
    // The line follows typing this long after the last key, not at each.
    static constexpr int kDelay = 150;  // ms
    // More windows than this: a caution icon beside the line.
    static constexpr std::size_t kCautionAbove = 5;

    // Without `parts` (a test that needs none) there is no line; without
    // `options`, the entry is a plain fragment.
    ClosePreview(const DialogView& dialog, PreviewParts* parts, Scanner& scanner, WindowApi& windows,
                 const OptionsPart* options)
        : dialog_(dialog), parts_(parts), scanner_(scanner), windows_(windows), options_(options) {}

    // A key changed the text box: the line follows after kDelay.
    void TextChanged() {
        if (parts_) parts_->delay.Start();
    }
    void Delay_Timer() { Refresh(); }
    // The line at once, for the text box and options as they stand.
    void Refresh();

private:
    const DialogView& dialog_;
    PreviewParts* parts_;
    Scanner& scanner_;
    WindowApi& windows_;
    const OptionsPart* options_;
};

}  // namespace qw
