// `lv`, the one live window list. It keeps the entries' texts for the scan and
// mirrors every change onto the visible list box, and counts its changes so the
// scan's matcher knows when to rebuild.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/controls.h"

namespace qw {

class EntryList {
public:
    // List boxes address items with 16-bit indices.
    static constexpr int kMaxEntries = 32767;

    explicit EntryList(ListBoxControl* control = nullptr) : control_(control) {}

    void AttachControl(ListBoxControl* control);

    int Count() const { return static_cast<int>(items_.size()); }
    const std::string& At(int index) const { return items_[static_cast<std::size_t>(index)]; }
    const std::vector<std::string>& Items() const { return items_; }
    std::uint64_t Generation() const { return generation_; }
    // The index selected in the list box, -1 when none (or no list box).
    int Selection() const { return control_ ? control_->Selection() : -1; }
    void Select(int index) {
        if (control_ && index >= 0 && index < Count()) control_->Select(index);
    }

    // Returns false when the list is full.
    bool Add(const std::string& text);
    void RemoveAt(int index);
    void SetAt(int index, const std::string& text);
    void Clear();
    // Replaces the whole list in one change (at most kMaxEntries are kept).
    void Assign(std::vector<std::string> texts);

private:
    std::vector<std::string> items_;
    ListBoxControl* control_;
    std::uint64_t generation_ = 0;
};

}  // namespace qw
