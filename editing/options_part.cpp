#include "editing/options_part.h"

namespace qw {

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
