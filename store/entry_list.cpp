#include "store/entry_list.h"

namespace qw {

void EntryList::AttachControl(ListBoxControl* control) {
    control_ = control;
    if (!control_) return;
    control_->Clear();
    for (const std::string& item : items_) control_->Add(item);
}

bool EntryList::Add(const std::string& text) {
    if (Count() >= kMaxEntries) return false;
    items_.push_back(text);
    ++generation_;
    if (control_) control_->Add(text);
    return true;
}

void EntryList::RemoveAt(int index) {
    if (index < 0 || index >= Count()) return;
    items_.erase(items_.begin() + index);
    ++generation_;
    if (control_) control_->RemoveAt(index);
}

void EntryList::SetAt(int index, const std::string& text) {
    if (index < 0 || index >= Count()) return;
    items_[static_cast<std::size_t>(index)] = text;
    ++generation_;
    if (control_) control_->SetAt(index, text);
}

void EntryList::Assign(std::vector<std::string> texts) {
    if (texts.size() > static_cast<std::size_t>(kMaxEntries)) texts.resize(kMaxEntries);
    items_ = std::move(texts);
    ++generation_;
    if (control_) control_->Assign(items_);
}

void EntryList::Clear() {
    items_.clear();
    ++generation_;
    if (control_) control_->Clear();
}

}  // namespace qw
