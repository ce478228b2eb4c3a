// `lv`, the one live window list. It keeps the entries' texts and options for
// the scan and mirrors every change onto the visible list box, and counts its
// changes so the scan's matcher knows when to rebuild.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/controls.h"
#include "store/entry_options.h"

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
    const EntryOptions& OptionsAt(int index) const { return options_[static_cast<std::size_t>(index)]; }
    // Whether any entry has an option other than its default.
    bool AnyOptions() const { return withOptions_ > 0; }
    std::uint64_t Generation() const { return generation_; }
    // The index selected in the list box, -1 when none (or no list box).
    int Selection() const { return control_ ? control_->Selection() : -1; }
    void Select(int index) {
        if (control_ && index >= 0 && index < Count()) control_->Select(index);
    }

    // Returns false when the list is full.
    bool Add(const std::string& text, EntryOptions options = {});
    void RemoveAt(int index);
    // A new text keeps the entry's options.
    void SetAt(int index, const std::string& text);
    void SetOptions(int index, EntryOptions options);
    void Clear();
    // Replaces the whole list in one change (at most kMaxEntries are kept);
    // `options` side by side with `texts`, or none for entries without.
    void Assign(std::vector<std::string> texts, std::vector<EntryOptions> options = {});

private:
    void Changed();

    std::vector<std::string> items_;
    std::vector<EntryOptions> options_;  // side by side with items_
    int withOptions_ = 0;
    ListBoxControl* control_;
    std::uint64_t generation_ = 0;
};

}  // namespace qw
