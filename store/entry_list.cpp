#include "store/entry_list.h"

namespace qw {

void EntryList::AttachControl(ListBoxControl* control) {
    control_ = control;
    if (!control_) return;
    control_->Clear();
    for (const std::string& item : items_) control_->Add(item);
}

void EntryList::Changed() {
    ++generation_;
    withOptions_ = 0;
    for (const EntryOptions& options : options_) withOptions_ += options.IsDefault() ? 0 : 1;
}

bool EntryList::Add(const std::string& text, EntryOptions options) {
    if (Count() >= kMaxEntries) return false;
    items_.push_back(text);
    if (!options.IsDefault()) ++withOptions_;
    options_.push_back(std::move(options));
    ++generation_;
    if (control_) control_->Add(text);
    return true;
}

void EntryList::RemoveAt(int index) {
    if (index < 0 || index >= Count()) return;
    items_.erase(items_.begin() + index);
    if (!options_[static_cast<std::size_t>(index)].IsDefault()) --withOptions_;
    options_.erase(options_.begin() + index);
    ++generation_;
    if (control_) control_->RemoveAt(index);
}

void EntryList::SetAt(int index, const std::string& text) {
    if (index < 0 || index >= Count()) return;
    items_[static_cast<std::size_t>(index)] = text;
    ++generation_;
    if (control_) control_->SetAt(index, text);
}

void EntryList::SetOptions(int index, EntryOptions options) {
    if (index < 0 || index >= Count()) return;
    EntryOptions& stored = options_[static_cast<std::size_t>(index)];
    withOptions_ += (options.IsDefault() ? 0 : 1) - (stored.IsDefault() ? 0 : 1);
    stored = std::move(options);
    ++generation_;
    // The list box draws an entry's options beside its text.
    if (control_) control_->SetAt(index, items_[static_cast<std::size_t>(index)]);
}

void EntryList::Assign(std::vector<std::string> texts, std::vector<EntryOptions> options) {
    if (texts.size() > static_cast<std::size_t>(kMaxEntries)) texts.resize(kMaxEntries);
    options.resize(texts.size());
    items_ = std::move(texts);
    options_ = std::move(options);
    Changed();
    if (control_) control_->Assign(items_);
}

void EntryList::Clear() {
    items_.clear();
    options_.clear();
    Changed();
    if (control_) control_->Clear();
}

}  // namespace qw
