#include "editing/options_part.h"

namespace qw {

std::string ProgramBoxName(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    std::string name = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    const auto folder = name.find_last_of("\\/");
    return folder == std::string::npos ? name : name.substr(folder + 1);
}

void OptionsPart::Load(const EntryOptions& options) {
    kept_ = options.kept;
    if (!view_) return;
    OptionsForm form;
    form.enabled = options.enabled;
    form.title = options.title;
    form.programOnly = !options.program.empty();
    form.program = options.program;
    form.dialogsOnly = options.dialogsOnly;
    view_->SetForm(form);
    view_->EnableProgramBox(form.programOnly);
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

void OptionsPart::Changed() {
    if (view_) view_->EnableProgramBox(view_->Form().programOnly);
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
    return options;
}

}  // namespace qw
