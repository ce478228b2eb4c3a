// In-memory dialog windows for the editing logic's tests.
#pragma once

#include <string>
#include <vector>

#include "editing/add_item.h"
#include "settings/options.h"
#include "shell/about.h"

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


constexpr WindowHandle kDialog = 0x400;  // the options dialog

// The controls' states but the path `CD`, which the fake holds apart.
struct OptionsState {
    bool oOn, startMin, runAtStart, shwSplash, taskTarget, snd;
    int iconNum, iconView;
};

struct FakeOptionsView : OptionsView {
    bool loaded = false, visible = false;
    int loads = 0, icon = 0, page = -1;
    OptionsState state{};
    std::string cd;
    bool* Box(OptionsCheck box) {
        bool* boxes[] = {&state.startMin, &state.runAtStart, &state.shwSplash, &state.taskTarget, &state.snd};
        return boxes[static_cast<int>(box)];
    }

    // A fresh dialog: its controls as the template has them.
    void Load() override {
        if (loaded) return;
        loaded = true;
        ++loads;
        state = OptionsState{false, false, false, false, false, false, 1, 0};
        cd = "*******************";
    }
    void Show() override { visible = loaded; }
    void Close() override { loaded = visible = false; }
    WindowHandle Handle() const override { return loaded ? kDialog : 0; }
    void SetIcon(int id) override { icon = id; }
    void BringToFront() override {}
    std::string Text() const override { return cd; }
    void SetText(const std::string& text) override { cd = text; }
    void SelectPage(int value) override { page = value; }
    bool Checked(OptionsCheck box) const override { return *const_cast<FakeOptionsView*>(this)->Box(box); }
    void SetChecked(OptionsCheck box, bool on) override { *Box(box) = on; }
    bool OOn() const override { return state.oOn; }
    void SetOOn(bool on) override { state.oOn = on; }
    int IconNum() const override { return state.iconNum; }
    void SetIconNum(int position) override { state.iconNum = position; }
    void SetIconView(int id) override { state.iconView = id; }
};

struct FakeAboutView : AboutView {
    bool open = false;
    int icon = 0;
    std::string bld, web, links[kMailLinkCount];
    void Show() override { open = true; }
    void Close() override { open = false; }
    WindowHandle Handle() const override { return open ? 0x500 : 0; }
    void SetIcon(int id) override { icon = id; }
    void BringToFront() override {}
    std::string Text() const override { return bld; }
    void SetText(const std::string& text) override { bld = text; }
    void SetWebCaption(const std::string& text) override { web = text; }
    void SetLinkCaption(int index, const std::string& text) override { links[index] = text; }
};

struct FakePointer : MousePointer {
    std::vector<bool> log;
    void SetHourglass(bool on) override { log.push_back(on); }
};

}  // namespace qw
