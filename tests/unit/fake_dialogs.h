// In-memory windows for the logic's tests: the dialogs, the about window, the
// mouse pointer, the host of tray icons and the main window with all its
// platform, on which the window and editing tests run.
#pragma once

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "editing/add_item.h"
#include "platform/memory/memory_files.h"
#include "platform/memory/memory_platform.h"
#include "platform/memory/memory_registry.h"
#include "settings/options.h"
#include "shell/about.h"
#include "shell/main_frm.h"
#include "shell/sys_tray.h"
#include "store/registry_access.h"

namespace qw {

class FakeDialog : public AddItemView {
public:
    bool open = false, crosshair = false;
    int icon = 0;
    std::string text;
    std::vector<std::string> rows;
    WindowHandle handle = 0x300;

    void Show() override { open = true; }
    void Close() override { open = false; }
    WindowHandle Handle() const override { return open ? handle : 0; }
    void SetIcon(int id) override { icon = id; }
    void BringToFront() override {}
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

// Each icon on its own hidden window, added at once, as the window glue does.
struct FakeTrays : TrayHost {
    MemoryShellNotify shell;
    std::vector<std::unique_ptr<SysTray>> trays;
    int unloads = 0;
    SysTray* LoadTrayIcon(IconHandle icon) override {
        trays.push_back(std::make_unique<SysTray>(shell));
        trays.back()->Form_Load(0x700 + trays.size(), icon);
        return trays.back().get();
    }
    void UnloadTrayIcon(SysTray* tray) override {
        tray->Form_Unload();
        ++unloads;
    }
};

// A message box's text, caption, flags and owner, to compare in one go.
using BoxFacts = std::tuple<std::string, std::string, unsigned, WindowHandle>;
inline BoxFacts FactsOf(const MemoryProcess::Box& b) { return {b.text, b.caption, b.flags, b.owner}; }
inline std::vector<BoxFacts> FactsOf(const std::vector<MemoryProcess::Box>& boxes) {
    std::vector<BoxFacts> facts;
    for (const auto& b : boxes) facts.push_back(FactsOf(b));
    return facts;
}

inline std::string Tip(const NotifyIconData& d) { return std::string(d.szTip, strnlen(d.szTip, sizeof d.szTip)); }

struct FakeView : MainFrmView {
    std::vector<std::string> log;  // "show", "hide" and "front", in order
    bool visible = false;
    IconHandle windowIcon = 0;
    std::string status;
    std::map<int, bool> enabled, checked;
    std::vector<std::pair<TrayMenu, WindowHandle>> popups;
    std::vector<int> removedSystemItems;

    IconHandle LoadIconResource(int id) override { return 0x1000 + static_cast<IconHandle>(id); }
    void SetWindowIcon(IconHandle icon) override { windowIcon = icon; }
    void ShowNormal() override { visible = true; log.push_back("show"); }
    void Hide() override { visible = false; log.push_back("hide"); }
    void BringToFront() override { log.push_back("front"); }
    void SetStatusText(const std::string& text) override { status = text; }
    void EnableMenuItem(int id, bool on) override { enabled[id] = on; }
    void PopupTrayMenu(TrayMenu menu, WindowHandle owner) override { popups.emplace_back(menu, owner); }
    int MenuItemId(int menu, int item) override { return menu * 100 + item; }
    void SetMenuItemBitmaps(int, unsigned, int) override {}
    void RemoveSystemMenuItem(int position) override { removedSystemItems.push_back(position); }
    void CheckTrayMenuItem(int id, bool on) override { checked[id] = on; }
};

struct FrmWorld {
    MemoryRegistry reg;
    MemoryWindows windows;
    MemorySound sound;
    MemoryTimer tm, reInit;
    MemoryListBox box;
    MemoryText numWindows;
    FakeView view;
    FakeTrays trays;
    MemoryProcess process;
    bool commandLineMode = false;
    FakeDialog addItemView, editView;
    MemoryFiles files;
    ScriptedRandom random{{0.0}};
    MemoryFileDialogs dialogs;
    MemoryListLock lock;
    FakeOptionsView optionsView;
    FakeAboutView aboutView;
    FakePointer pointer;
    const LowerTable lower = LowerTable::Windows1252();  // outlives the window, which keeps a reference
    MainFrm frm{MainFrmPlatform{reg, windows, sound, tm, reInit, &box, &numWindows, lower, ",",
                                view, trays, process, commandLineMode, addItemView, editView, files, random, dialogs,
                                &lock, optionsView, aboutView, pointer, ProgramVersion{1, 6, 454}}};

    FrmWorld() { frm.Attach(0x100); }
    void Option(const char* name, const char* value) {
        RegWriteString(reg, kHkeyCurrentUser, kOptionsKeyPath, name, value, kRegSz);
    }
    void SeedList(const std::vector<std::string>& entries) {
        reg.PutString(kHkeyCurrentUser, kDataKeyPath, "", std::to_string(entries.size()));
        for (std::size_t i = 0; i < entries.size(); ++i)
            reg.PutString(kHkeyCurrentUser, kDataKeyPath, EntryValueName(static_cast<long>(i)), entries[i]);
    }
    std::vector<std::string> StoredList() {
        std::vector<std::string> entries;
        const long count = LeadingNumber(reg.GetString(kHkeyCurrentUser, kDataKeyPath, "").value_or("0"));
        for (long i = 0; i < count; ++i)
            entries.push_back(*reg.GetString(kHkeyCurrentUser, kDataKeyPath, EntryValueName(i)));
        return entries;
    }
    std::vector<std::string> BoxTexts() const {
        std::vector<std::string> texts;
        for (const auto& b : process.boxes) texts.push_back(b.text);
        return texts;
    }
};

}  // namespace qw
