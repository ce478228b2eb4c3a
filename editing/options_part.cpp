#include "editing/options_part.h"

#include <algorithm>
#include <cctype>

namespace qw {

const char kEndProgramQuestion[] =
    "Ending a program loses whatever it had not saved.\r\n\r\n"
    "End the program of a window this entry matches when it is still there 2 seconds after it was asked to close?";

int WaitMilliseconds(const std::string& seconds) {
    std::string text = seconds;
    text.erase(0, text.find_first_not_of(' '));
    text.erase(text.find_last_not_of(' ') + 1);
    long whole = 0;
    std::size_t at = 0;
    for (; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at) {
        whole = std::min(whole * 10 + (text[at] - '0'), 1000L);
    }
    long milliseconds = whole * 1000;
    if (at < text.size() && (text[at] == '.' || text[at] == ',')) {
        long scale = 100;
        for (++at; at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])); ++at, scale /= 10)
            milliseconds += (text[at] - '0') * scale;
    }
    if (at != text.size() || text.empty()) return 0;
    return static_cast<int>(std::min<long>(milliseconds, EntryOptions::kMaxDelay));
}

std::string WaitSeconds(int milliseconds) {
    if (milliseconds <= 0) return "";
    std::string text = std::to_string(milliseconds / 1000);
    std::string fraction = std::to_string(1000 + milliseconds % 1000).substr(1);
    fraction.erase(fraction.find_last_not_of('0') + 1);
    return fraction.empty() ? text : text + "." + fraction;
}

void OptionsPart::Load(const EntryOptions& options) {
    kept_ = options.kept;
    shownAction_ = options.action;
    if (!view_) return;
    OptionsForm form;
    form.enabled = options.enabled;
    form.title = options.title;
    form.programOnly = !options.program.empty();
    form.program = options.program;
    form.dialogsOnly = options.dialogsOnly;
    form.action = options.action;
    form.button = options.button;
    form.wait = WaitSeconds(options.delay);
    view_->SetForm(form);
    view_->EnableProgramBox(form.programOnly);
    view_->EnableButtonBox(form.action == EntryAction::kPress);
    EntryOptions shown = options;
    shown.kept.clear();
    if (!shown.IsDefault()) view_->ShowOptionsPart(true);
}

void OptionsPart::Toggle() {
    if (view_) view_->ShowOptionsPart(!view_->OptionsPartShown());
}

void OptionsPart::Suggest(const std::string& program) {
    if (!view_ || program.empty()) return;
    OptionsForm form = view_->Form();
    form.program = program;
    view_->SetForm(form);
}

void OptionsPart::SuggestPress(const std::string& caption) {
    if (!view_) return;
    OptionsForm form = view_->Form();
    form.action = shownAction_ = EntryAction::kPress;
    form.button = caption;
    view_->SetForm(form);
    view_->EnableButtonBox(true);
    view_->ShowOptionsPart(true);
}

void OptionsPart::Changed() {
    if (!view_) return;
    OptionsForm form = view_->Form();
    if (form.action == EntryAction::kEnd && shownAction_ != EntryAction::kEnd && !view_->ConfirmEndProgram()) {
        form.action = shownAction_;
        view_->SetForm(form);
    }
    shownAction_ = form.action;
    view_->EnableProgramBox(form.programOnly);
    view_->EnableButtonBox(form.action == EntryAction::kPress);
}

EntryOptions OptionsPart::Options() const {
    EntryOptions options;
    options.kept = kept_;
    if (!view_) return options;
    const OptionsForm form = view_->Form();
    options.enabled = form.enabled;
    options.title = form.title;
    if (form.programOnly) options.program = ProgramBoxName(form.program);
    options.dialogsOnly = form.dialogsOnly;
    options.action = form.action;
    if (form.action == EntryAction::kPress) {
        options.button = form.button;
        options.button.erase(0, options.button.find_first_not_of(' '));
        options.button.erase(options.button.find_last_not_of(' ') + 1);
        // No caption, no button to press: the entry closes, as its preview says.
        if (options.button.empty()) options.action = EntryAction::kClose;
    }
    if (form.recordFirst) options.action = EntryAction::kRecord;
    options.delay = WaitMilliseconds(form.wait);
    return options;
}

}  // namespace qw
