// In-memory windows for the logic's tests: the dialogs, the about window, the
// mouse pointer, the host of tray icons and the main window with all its
// platform and editing windows, on which the window and editing tests run.
#pragma once

#include <array>
#include <chrono>
#include <cstring>
#include <map>
#include <memory>
#include <tuple>

#include "platform/memory/memory_files.h"
#include "platform/memory/memory_platform.h"
#include "platform/memory/memory_random.h"
#include "platform/memory/memory_registry.h"
#include "shell/main_frm.h"
#include "store/registry_access.h"

namespace qw {

// A window that is open or not, with the one text its logic sets.
template <class View>
struct Fake : View {
    bool open = false;
    int icon = 0;
    std::string text;
    WindowHandle handle = 0x300;

    void Show() override { open = true; }
    void Close() override { open = false; }
    WindowHandle Handle() const override { return open ? handle : 0; }
    void SetIcon(int id) override { icon = id; }
    void BringToFront() override {}
    std::string Text() const override { return text; }
    void SetText(const std::string& value) override { text = value; }
};

struct FakeDialog : Fake<AddItemView> {
    bool crosshair = false;
    std::vector<std::string> rows;
    void SetRows(const std::vector<std::string>& value) override { rows = value; }
    void SetCrosshair(bool on) override { crosshair = on; }
};

struct FakeAboutView : Fake<AboutView> {
    std::string web, links[kMailLinkCount];
    void SetWebCaption(const std::string& value) override { web = value; }
    void SetLinkCaption(int index, const std::string& value) override { links[index] = value; }
};

constexpr WindowHandle kDialog = 0x400;  // the options dialog

// Open once loaded, visible once shown; its text is the sound's path `CD`.
struct FakeOptionsView : Fake<OptionsView> {
    bool visible = false;
    int loads = 0, page = -1;
    std::array<int, 8> state{};  // OOn, the check boxes in OptionsCheck's order, IconNum, IconView

    FakeOptionsView() { handle = kDialog; }
    // A fresh dialog: its controls as the template has them.
    void Load() override {
        if (open) return;
        open = true;
        ++loads;
        state = {0, 0, 0, 0, 0, 0, 1, 0};
        text = "*******************";
        power[0] = power[1] = false;
        keys[0] = keys[1] = 0;
        problem.clear();
        focusedKey = -1;
    }
    void Show() override { visible = open; }
    void Close() override { open = visible = false; }
    void SelectPage(int value) override { page = value; }
    // The power check boxes lie after the five of the specified pages.
    static int PowerBox(OptionsCheck box) { return static_cast<int>(box) - static_cast<int>(OptionsCheck::kSavePower); }
    bool Checked(OptionsCheck box) const override {
        return PowerBox(box) >= 0 ? power[PowerBox(box)] : state[1 + static_cast<int>(box)] != 0;
    }
    void SetChecked(OptionsCheck box, bool on) override {
        if (PowerBox(box) >= 0) {
            power[PowerBox(box)] = on;
        } else {
            state[1 + static_cast<int>(box)] = on;
        }
    }
    bool power[2] = {}, batteryOnlyEnabled = true;
    void EnableCheck(OptionsCheck box, bool enabled) override {
        if (box == OptionsCheck::kSavePowerOnBatteryOnly) batteryOnlyEnabled = enabled;
    }
    // The "Keys" page, and what it says of a key (the page is shown then).
    unsigned keys[2] = {};
    std::string problem;
    GlobalKey problemKey = GlobalKey::kPause;
    unsigned HotKey(GlobalKey key) const override { return keys[KeyIndex(key)]; }
    void SetHotKey(GlobalKey key, unsigned value) override { keys[KeyIndex(key)] = value; }
    void ShowKeyProblem(GlobalKey key, const std::string& text) override {
        page = kPageKeys, problemKey = key, problem = text;
    }
    void ShowKeyNote(const std::string& text) override { problem = text; }
    int focusedKey = -1;  // the key box with the focus: 0 the pause key's, 1 the add key's
    bool FocusedHotKey(GlobalKey* key) const override {
        if (focusedKey < 0) return false;
        *key = focusedKey == 0 ? GlobalKey::kPause : GlobalKey::kAdd;
        return true;
    }
    bool OOn() const override { return state[0]; }
    void SetOOn(bool on) override { state[0] = on; }
    int IconNum() const override { return state[6]; }
    void SetIconNum(int position) override { state[6] = position; }
    void SetIconView(int id) override { state[7] = id; }
    // The "Never Close" page.
    std::vector<std::string> neverClose, running;
    int neverSelected = -1;
    std::string program;
    void SetNeverClose(const std::vector<std::string>& programs, int selected) override {
        neverClose = programs, neverSelected = selected;
    }
    int NeverCloseSelection() const override { return neverSelected; }
    std::string NeverCloseProgram() const override { return program; }
    void SetNeverCloseProgram(const std::string& text) override { program = text; }
    void SetRunningPrograms(const std::vector<std::string>& programs) override { running = programs; }
};

struct FakeHistoryView : Fake<ClosedWindowsView> {
    int rows = 0, selected = -1, shown = 0;
    FakeHistoryView() { handle = 0x302; }
    void ShowRows(int count) override { rows = count, ++shown; }
    int SelectedRow() const override { return selected; }
    void SelectRow(int row) override { selected = row; }
    std::string limitCaption, neverCaption;
    bool programCommands = false;
    void SetProgramCommands(const std::string& limit, const std::string& never, bool enabled) override {
        limitCaption = limit, neverCaption = never, programCommands = enabled;
    }
    bool press = false, rowAction = false;
    std::string actionCaption;
    void SetRowCommands(bool pressOn, const std::string& caption, bool actionOn) override {
        press = pressOn, actionCaption = caption, rowAction = actionOn;
    }
    // The menu of buttons: each one offered, and the index the user picks.
    std::vector<std::vector<std::string>> menus;
    int pick = -1;
    int ChooseButton(const std::vector<std::string>& captions) override {
        menus.push_back(captions);
        return pick;
    }
};

// The options part of an add or edit dialog, folded as a new dialog's is.
struct FakePart : OptionsPartView {
    bool shown = false, programBox = false;
    OptionsForm form;
    std::vector<std::string> programs;
    void ShowOptionsPart(bool on) override { shown = on; }
    bool OptionsPartShown() const override { return shown; }
    OptionsForm Form() const override { return form; }
    void SetForm(const OptionsForm& value) override { form = value; }
    void EnableProgramBox(bool on) override { programBox = on; }
    void SetPrograms(const std::vector<std::string>& value) override { programs = value; }
    bool buttonBox = false, endAnswer = true;
    int endAsked = 0;
    void EnableButtonBox(bool on) override { buttonBox = on; }
    bool ConfirmEndProgram() override { return ++endAsked, endAnswer; }
};

struct FakeLine : PreviewView {
    std::string text, note;
    bool caution = false;
    void SetPreview(const std::string& value, bool on, const std::string& why) override {
        text = value, caution = on, note = why;
    }
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
using Boxes = std::vector<BoxFacts>;
using Strings = std::vector<std::string>;
using Handles = std::vector<WindowHandle>;
inline std::vector<BoxFacts> FactsOf(const std::vector<MemoryProcess::Box>& boxes) {
    std::vector<BoxFacts> facts;
    for (const auto& b : boxes) facts.emplace_back(b.text, b.caption, b.flags, b.owner);
    return facts;
}

// An entry as a line of a list file, every character stored as its sum with
// the key `k`, then `k`.
inline std::string Encoded(const std::string& entry, int k = 68) {
    std::string bytes;
    for (char ch : entry) bytes += {static_cast<char>(static_cast<unsigned char>(ch) + k), static_cast<char>(k)};
    return bytes;
}
inline std::string Line(const std::string& entry, int k = 68) { return Encoded(entry, k) + "\r\n"; }
const std::string kHead = "QUELLBOX2\r\n\r\n";   // a list file's first two lines
const std::string kHead3 = "QUELLBOX3\r\n\r\n";  // of the newer header, whose entries are UTF-8
const std::string kHead4 = "QUELLBOX4\r\n\r\n";  // of the newest, with each entry's options

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
    std::vector<bool> entryMenus;  // each entry menu popped up: "Enabled" checked?
    void PopupEntryMenu(bool on) override { entryMenus.push_back(on); }
};

constexpr WindowHandle kMain = 0x100;
// A pass that never yields to its slice: the slice is a matter of time, proven
// where it is the subject; a sanitizer on a loaded machine may take longer
// than it over a pass of twenty windows.
constexpr std::chrono::microseconds kWholePass = std::chrono::minutes(1);

// The main window as the window glue wires it, with its editing windows.
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
    MemoryClock clock;
    MemoryTimer check, addDelay, editDelay;
    FakeHistoryView historyView;
    FakeLine addLine, editLine;
    FakePart addPart, editPart;
    MemoryHotKeys hotKeys;
    MemoryPower power;
    HistoryParts parts{clock, check, historyView};
    PreviewParts addPreview{addLine, addDelay}, editPreview{editLine, editDelay};
    const CaseFolding lower = CaseFolding::Common();  // outlives the window, which keeps a reference
    MainFrm frm{MainFrmPlatform{reg, windows, sound, tm, reInit, &box, &numWindows, lower, TableCodePage::Windows1252(),
                                ",", view, trays, process, commandLineMode, addItemView, editView, files, random,
                                dialogs, &lock, optionsView, aboutView, pointer, ProgramVersion{1, 6, 454}, nullptr,
                                nullptr, &parts, &addPreview, &editPreview, &addPart, &editPart, &hotKeys,
                                &power}};
    AddItem& add = frm.Adder();
    Edit& edit = frm.Editor();
    TaskbarTarget& target = frm.Target();
    EntryList& lv = frm.lv();

    FrmWorld() {
        frm.Attach(kMain);
        frm.Own().addItem = addItemView.handle;  // as the window glue records the dialogs it opens
        frm.Own().edit = editView.handle = 0x301;
        frm.Scan().SetPassSlice(kWholePass);
        frm.Scan().SetClock(&clock);
    }
    // Another command leaves `lv` holding `entries`, stored.
    void List(const Strings& entries) {
        frm.Store().LoadWindowList();
        lv.Assign(entries);
        frm.Store().SaveWindowList();
    }
    // The user types `text` into the add dialog and presses OK.
    void AddByDialog(const std::string& text) {
        add.Show();
        addItemView.text = text;
        add.done_Click();
    }
    // The user hovers over the target while `title` is the foreground window,
    // clicks it and answers; then the window goes.
    void OfferByTarget(WindowHandle window, const std::string& title, int answer) {
        windows.Add(window, title);
        windows.foreground = window;
        process.answers = {answer};
        target.Target_SysTrayMouseMove();
        target.Target_SysTrayMouseDown(kLeftButton);
        windows.Remove(window);
        windows.foreground = 0;
        target.Target_SysTrayMouseMove();
    }
    void Option(const char* name, const char* value) { reg.PutString(kHkeyCurrentUser, kOptionsKeyPath, name, value); }
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
