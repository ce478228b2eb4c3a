// The few control operations that the logic drives directly.
#pragma once

#include <string>
#include <vector>

namespace qw {

// The visible list box behind `lv`. EntryList keeps the texts; this mirrors them.
class ListBoxControl {
public:
    virtual ~ListBoxControl() = default;
    virtual void Clear() = 0;
    virtual void Add(const std::string& text) = 0;
    virtual void RemoveAt(int index) = 0;
    virtual void SetAt(int index, const std::string& text) = 0;
    // The selected item's index, -1 when none is selected.
    virtual int Selection() const = 0;
    // Selects item `index`, scrolled into view.
    virtual void Select(int index) = 0;
    // Replaces every item at once; adapters that repaint per item override it.
    virtual void Assign(const std::vector<std::string>& texts) {
        Clear();
        for (const std::string& text : texts) Add(text);
    }
};

class TextControl {
public:
    virtual ~TextControl() = default;
    virtual void SetText(const std::string& text) = 0;
};

}  // namespace qw
