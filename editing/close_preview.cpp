#include "editing/close_preview.h"

#include "editing/browser_suffix.h"
#include "editing/editing.h"

namespace qw {

const char kPreviewTooShort[] = "Would close now: (at least five characters)";
const char kPreviewSwitchedOff[] = "Would close now: nothing, the entry is switched off";
const char kBrowserCaution[] = "A browser window closes with all of its tabs.";
const char kManyCaution[] = "That is many windows: the entry may be too general.";

namespace {

class Collector : public WindowVisitor {
public:
    Collector(Scanner& scanner, const std::string& text, const EntryOptions& options)
        : scanner_(scanner), text_(text), options_(options) {}
    void Visit(WindowHandle window) override {
        std::string title = scanner_.EligibleTitle(window);
        // What the scan leaves alone is asked only of a window that matched, as in a pass.
        if (title.empty() || !scanner_.EntryCloses(window, title, text_, options_) || scanner_.LeftAlone(window))
            return;
        // A press leaves alone a window without the button.
        if (options_.action == EntryAction::kPress && !scanner_.HasButton(window, options_.button)) return;
        const bool browser = NamesBrowser(title);
        found.push_back({std::move(title), scanner_.ProgramOf(window), browser});
    }
    std::vector<PreviewWindow> found;

private:
    Scanner& scanner_;
    const std::string& text_;
    const EntryOptions& options_;
};

}  // namespace

std::string PreviewOpening(const EntryOptions& options) {
    switch (options.action) {
    case EntryAction::kPress: return "Would press " + options.button + " in ";
    case EntryAction::kMinimize: return "Would minimize now: ";
    case EntryAction::kEnd: return "Would close now, or end its program: ";
    case EntryAction::kRecord: return "Would only record now: ";
    case EntryAction::kClose: break;
    }
    return "Would close now: ";
}

std::vector<PreviewWindow> WouldClose(Scanner& scanner, WindowApi& windows, const std::string& text,
                                      const EntryOptions& options) {
    Collector collector(scanner, text, options);
    windows.EnumTopLevel(collector);
    return std::move(collector.found);
}

void ClosePreview::Refresh() {
    if (!parts_) return;
    parts_->delay.Stop();
    if (!dialog_.Handle()) return;
    const std::string text = dialog_.Text();
    // What the dialog would refuse to add closes nothing.
    if (utf8::CodePoints(text) < kMinimumEntryLength) {
        parts_->line.SetPreview(kPreviewTooShort, false, "");
        return;
    }
    const EntryOptions options = options_ ? options_->Options() : EntryOptions{};
    if (!options.enabled) {
        parts_->line.SetPreview(kPreviewSwitchedOff, false, "");
        return;
    }
    const std::vector<PreviewWindow> windows = WouldClose(scanner_, windows_, text, options);
    std::string line = PreviewOpening(options);
    bool browser = false;
    if (windows.empty()) {
        line += options.action == EntryAction::kPress ? "no window" : "nothing";
    } else {
        line += std::to_string(windows.size()) + (windows.size() == 1 ? " window \xE2\x80\x94 " : " windows \xE2\x80\x94 ");
        for (std::size_t i = 0; i < windows.size(); ++i) {
            line += (i ? "; " : "") + windows[i].title;
            if (!windows[i].program.empty()) line += " (" + windows[i].program + ")";
            browser = browser || windows[i].browser;
        }
    }
    // A browser window is the sharper caution: the user may lose more than the page.
    const bool many = windows.size() > kCautionAbove;
    parts_->line.SetPreview(line, browser || many, browser ? kBrowserCaution : many ? kManyCaution : "");
}

}  // namespace qw
