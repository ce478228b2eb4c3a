// In-memory dialog windows for the editing logic's tests.
#pragma once

#include <string>
#include <vector>

#include "editing/add_item.h"

namespace qw {

class FakeDialog : public AddItemView {
public:
    bool open = false;
    int shows = 0, fronts = 0;
    int icon = 0;
    std::string text;
    std::vector<std::string> rows;
    bool crosshair = false;
    WindowHandle handle = 0x300;

    void Show() override {
        open = true;
        ++shows;
    }
    void Close() override { open = false; }
    WindowHandle Handle() const override { return open ? handle : 0; }
    void SetIcon(int id) override { icon = id; }
    void BringToFront() override { ++fronts; }
    std::string Text() const override { return text; }
    void SetText(const std::string& value) override { text = value; }
    void SetRows(const std::vector<std::string>& value) override { rows = value; }
    void SetCrosshair(bool on) override { crosshair = on; }
};

}  // namespace qw
