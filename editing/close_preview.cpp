#include "editing/close_preview.h"

#include "editing/editing.h"
#include "engine/entry_matcher.h"

namespace qw {

const char kPreviewTooShort[] = "Would close now: (at least five characters)";

namespace {

class Collector : public WindowVisitor {
public:
    Collector(Scanner& scanner, const std::vector<std::string>& entry, const CaseFolding& lower)
        : scanner_(scanner), entry_(entry), lower_(lower) {}
    void Visit(WindowHandle window) override {
        std::string title = scanner_.EligibleTitle(window);
        // What the scan leaves alone is asked only of a window that matched, as in a pass.
        if (!title.empty() && LiteralMatchesListEntry(title, entry_, lower_) && !scanner_.LeftAlone(window))
            titles.push_back(std::move(title));
    }
    std::vector<std::string> titles;

private:
    Scanner& scanner_;
    const std::vector<std::string>& entry_;
    const CaseFolding& lower_;
};

}  // namespace

std::vector<std::string> WouldClose(Scanner& scanner, WindowApi& windows, const std::string& text,
                                    const CaseFolding& lower) {
    const std::vector<std::string> entry{text};
    Collector collector(scanner, entry, lower);
    windows.EnumTopLevel(collector);
    return std::move(collector.titles);
}

void ClosePreview::Refresh() {
    if (!parts_) return;
    parts_->delay.Stop();
    if (!dialog_.Handle()) return;
    const std::string text = dialog_.Text();
    // What the dialog would refuse to add closes nothing.
    if (utf8::CodePoints(text) < kMinimumEntryLength) {
        parts_->line.SetPreview(kPreviewTooShort, false);
        return;
    }
    const std::vector<std::string> titles = WouldClose(scanner_, windows_, text, lower_);
    std::string line = "Would close now: ";
    if (titles.empty()) {
        line += "nothing";
    } else {
        line += std::to_string(titles.size()) + (titles.size() == 1 ? " window \xE2\x80\x94 " : " windows \xE2\x80\x94 ");
        for (std::size_t i = 0; i < titles.size(); ++i) line += (i ? "; " : "") + titles[i];
    }
    parts_->line.SetPreview(line, titles.size() > kCautionAbove);
}

}  // namespace qw
