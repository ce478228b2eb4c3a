// The keys that work in every program and the power saver: the keys' names
// and registration, what each key does, the options that set them, and the
// walk's period as the power choice and the power source decide it.
#include <gtest/gtest.h>

#include <algorithm>

#include "resources/resource.h"
#include "tests/unit/fake_dialogs.h"

namespace qw {
namespace {

constexpr unsigned kCtrlAlt = (kHotKeyControl | kHotKeyAlt) << 8;
constexpr unsigned kCtrlAltP = kCtrlAlt | 'P';
constexpr unsigned kCtrlAltQ = kCtrlAlt | 'Q';
constexpr unsigned kNoRepeatCtrlAlt = kModNoRepeat | kModControl | kModAlt;

using Keys = std::vector<std::tuple<int, unsigned, unsigned>>;
Keys Held(const MemoryHotKeys& api) {
    Keys keys;
    for (const auto& k : api.keys) keys.emplace_back(k.id, k.modifiers, k.virtualKey);
    return keys;
}

// Each value names its modifiers in Windows' order and its key; the key
// registers with its modifiers and reports once however long it is held.
TEST(GlobalKeysTest, NamesEachKeyAndRegistersItWithItsModifiers) {
    const std::pair<unsigned, const char*> names[] = {
        {0, ""},
        {kCtrlAlt, ""},  // modifiers alone are no key
        {kCtrlAltP, "Ctrl+Alt+P"},
        {((kHotKeyShift | kHotKeyControl) << 8) | '7', "Ctrl+Shift+7"},
        {((kHotKeyShift | kHotKeyAlt | kHotKeyControl) << 8) | 0x7B, "Ctrl+Alt+Shift+F12"},
        {(kHotKeyAlt << 8) | 0x63, "Alt+Num 3"},
        {(kHotKeyControl << 8) | 0x13, "Ctrl+Pause"},
        {(kHotKeyControl << 8) | 0x2E, "Ctrl+Delete"},
        {(kHotKeyControl << 8) | 0xDC, "Ctrl+\\"},
        {(kHotKeyControl << 8) | 0xE5, "Ctrl+Key 229"},
        {((kHotKeyControl | kHotKeyAlt | kHotKeyExt) << 8) | 0x24, "Ctrl+Alt+Home"},  // of its own block
    };
    for (const auto& [value, name] : names) EXPECT_EQ(HotKeyText(value), name) << value;
    // The user's layout names its punctuation keys; what it does not name, and
    // every other key, keeps the names above.
    std::vector<unsigned> asked;
    SetLayoutKeyNames([&asked](unsigned virtualKey) {
        asked.push_back(virtualKey);
        return virtualKey == 0xC0 ? std::string("\xC3\x96") : std::string();  // "Ö" on a German keyboard
    });
    const unsigned ctrl = kHotKeyControl << 8;
    EXPECT_EQ(std::make_tuple(HotKeyText(ctrl | 0xC0), HotKeyText(ctrl | 0xBA), HotKeyText(ctrl | 'P'),
                              HotKeyText(ctrl | 0x70)),
              std::make_tuple("Ctrl+\xC3\x96", "Ctrl+;", "Ctrl+P", "Ctrl+F1"));
    std::sort(asked.begin(), asked.end());
    EXPECT_EQ(asked, (std::vector<unsigned>{0xBA, 0xC0}));
    SetLayoutKeyNames(nullptr);
    EXPECT_EQ(KeyTakenText(kCtrlAltP), "Ctrl+Alt+P is used by another program");
    EXPECT_EQ(KeysClashText(kCtrlAltP), "Ctrl+Alt+P cannot be both the Pause Key and the Add Key.");
    EXPECT_EQ(KeysRefusedText({{GlobalKey::kPause, kCtrlAltP}, {GlobalKey::kAdd, kCtrlAltQ}}),
              "Ctrl+Alt+P and Ctrl+Alt+Q are used by other programs; the Pause Key and the Add Key work once you "
              "choose others in Options, Keys.");
    // WM_HOTKEY's modifiers and key back as a key box's value.
    EXPECT_EQ(HotKeyValue(kModNoRepeat | kModControl | kModAlt, 'P'), kCtrlAltP);
    EXPECT_EQ(HotKeyValue(kModShift | kModAlt, 'Q'), ((kHotKeyShift | kHotKeyAlt) << 8) | 'Q');

    // Stored as decimal text, read by its leading number; none beyond 16 bits.
    MemoryRegistry reg;
    for (const auto& [text, value] : {std::pair{"1616", 1616u}, {"1616 (Ctrl+Alt+P)", 1616u}, {"70000", 0u}, {"-5", 0u},
                                      {"P", 0u}}) {
        reg.PutString(kHkeyCurrentUser, kOptionsKeyPath, "Add Key", text);
        EXPECT_EQ(ReadNumber(reg, Setting::kAddKey), value) << text;
    }

    MemoryHotKeys api;
    GlobalKeys keys(&api);
    // One key stored for both: the second is refused, as Windows refuses a key held under another id.
    EXPECT_EQ(keys.Start(kCtrlAltP, kCtrlAltP), std::vector<GlobalKey>{GlobalKey::kAdd});
    const unsigned shifted = (kHotKeyShift << 8) | (kHotKeyControl << 8) | 0x70;
    EXPECT_TRUE(keys.Start(shifted, kCtrlAlt).empty());  // no key: nothing registered, nothing refused
    EXPECT_EQ(Held(api), (Keys{{kPauseKeyId, kModNoRepeat | kModControl | kModShift, 0x70}}));
    EXPECT_EQ(std::make_pair(keys.Held(GlobalKey::kPause), keys.Held(GlobalKey::kAdd)), std::make_pair(shifted, 0u));
}

// At start each key on its own: a key another program holds stays unheld and
// is named. A change holds both keys as asked or neither: keys may trade
// places, a refused key gives back the keys held before, one key for both is
// refused before any is let go. Stop lets all go.
TEST(GlobalKeysTest, StartHoldsWhatItCanAChangeHoldsBothOrGoesBack) {
    MemoryHotKeys api;
    api.HeldElsewhere(kModControl | kModAlt, 'X');
    GlobalKeys keys(&api);
    const unsigned ctrlAltX = kCtrlAlt | 'X';
    EXPECT_EQ(keys.Start(ctrlAltX, kCtrlAltQ), std::vector<GlobalKey>{GlobalKey::kPause});
    EXPECT_EQ(api.Of(kPauseKeyId).size(), 0u);

    struct Step {
        unsigned pause, add;
        bool set, clash;
        GlobalKey refused;
        unsigned heldPause, heldAdd;
    };
    const Step steps[] = {
        // The key refused at start, asked for unchanged: left unheld, not refused again.
        {ctrlAltX, kCtrlAltQ, true, false, GlobalKey::kPause, 0, kCtrlAltQ},
        {kCtrlAltP, kCtrlAltQ, true, false, GlobalKey::kPause, kCtrlAltP, kCtrlAltQ},
        {kCtrlAltQ, kCtrlAltP, true, false, GlobalKey::kPause, kCtrlAltQ, kCtrlAltP},  // traded
        {kCtrlAltP, kCtrlAltP, false, true, GlobalKey::kPause, kCtrlAltQ, kCtrlAltP},
        {kCtrlAltQ, ctrlAltX, false, false, GlobalKey::kAdd, kCtrlAltQ, kCtrlAltP},
        {ctrlAltX, kCtrlAltP, false, false, GlobalKey::kPause, kCtrlAltQ, kCtrlAltP},
        {0, ctrlAltX, false, false, GlobalKey::kAdd, kCtrlAltQ, kCtrlAltP},
        {0, kCtrlAltQ, true, false, GlobalKey::kPause, 0, kCtrlAltQ},
    };
    for (const Step& s : steps) {
        const KeysOutcome outcome = keys.Change(s.pause, s.add);
        EXPECT_EQ(std::make_tuple(outcome.set, outcome.clash, outcome.set || outcome.clash || outcome.refused == s.refused),
                  std::make_tuple(s.set, s.clash, true))
            << s.pause << " " << s.add;
        EXPECT_EQ(std::make_pair(keys.Held(GlobalKey::kPause), keys.Held(GlobalKey::kAdd)),
                  std::make_pair(s.heldPause, s.heldAdd));
        // Windows holds exactly the keys said to be held, each once.
        Keys expected{{-1, kModControl | kModAlt, 'X'}};
        if (s.heldPause) expected.emplace_back(kPauseKeyId, kNoRepeatCtrlAlt, s.heldPause & 0xFF);
        if (s.heldAdd) expected.emplace_back(kAddKeyId, kNoRepeatCtrlAlt, s.heldAdd & 0xFF);
        Keys held = Held(api);
        std::sort(held.begin(), held.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(held, expected);
    }
    // Home of its own block and of the number pad are one key to Windows.
    const unsigned home = kCtrlAlt | 0x24;
    EXPECT_TRUE(keys.Change(home | (kHotKeyExt << 8), home).clash);
    keys.Stop();
    EXPECT_EQ(Held(api), (Keys{{-1, kModControl | kModAlt, 'X'}}));
}

struct KeysPower : ::testing::Test, FrmWorld {};

// The pause key switches tracking as the menu items do, every indicator
// with it, and the tray tip names it. A stored key that another program took
// meanwhile is said once in the status bar and kept stored; the program's
// end lets its keys go.
TEST_F(KeysPower, ThePauseKeySwitchesTrackingAndTheTrayTipNamesIt) {
    Option("Pause Key", std::to_string(kCtrlAltP).c_str());
    Option("Add Key", std::to_string(kCtrlAltQ).c_str());
    hotKeys.HeldElsewhere(kModControl | kModAlt, 'Q');
    frm.Form_Load();
    SysTray& icon = *frm.SysIcon();
    EXPECT_EQ(view.status, "Ctrl+Alt+Q is used by another program; the Add Key works once you choose another in "
                           "Options, Keys.");
    for (const bool on : {false, true, false}) {
        frm.HotKey_Pressed(kPauseKeyId);
        EXPECT_EQ(std::make_tuple(tm.IsRunning(), Tip(icon.Record()), view.status, view.windowIcon),
                  std::make_tuple(on, on ? "Quellwatch [Enabled] (Ctrl+Alt+P to pause)"
                                         : "Quellwatch [Disabled] (Ctrl+Alt+P to resume)",
                                  on ? kStatusEnabled : kStatusDisabled, 0x1000u + (on ? IDI_TRACK_ON : IDI_TRACK_OFF)));
    }
    frm.HotKey_Pressed(99);  // another id: nothing
    EXPECT_FALSE(tm.IsRunning());
    // The Keys page says so; OK with the key unchanged does not refuse it again.
    frm.Opts().ShowOptionsPage(kPageKeys);
    EXPECT_EQ(optionsView.problem, "Ctrl+Alt+Q is used by another program");
    frm.Opts().OK_Click();
    EXPECT_FALSE(optionsView.open);
    // While a key box has the focus, a held key is typed into it.
    frm.Opts().ShowOptionsPage(kPageKeys);
    optionsView.focusedKey = 1;
    frm.HotKey_Pressed(kPauseKeyId, kModNoRepeat | kModControl | kModAlt, 'P');
    EXPECT_EQ(std::make_tuple(tm.IsRunning(), optionsView.keys[1]), std::make_tuple(false, kCtrlAltP));
    optionsView.focusedKey = -1;
    frm.HotKey_Pressed(kPauseKeyId, kModNoRepeat | kModControl | kModAlt, 'P');
    EXPECT_TRUE(tm.IsRunning());
    frm.HotKey_Pressed(kPauseKeyId);
    EXPECT_EQ(reg.GetString(kHkeyCurrentUser, kOptionsKeyPath, "Add Key"), std::to_string(kCtrlAltQ));
    EXPECT_EQ(TrayTip(true, 0), kTipEnabled);
    frm.Form_Unload();
    EXPECT_TRUE(hotKeys.Of(kPauseKeyId).empty());

    FrmWorld both;  // both keys taken: both named
    both.Option("Pause Key", std::to_string(kCtrlAltP).c_str());
    both.Option("Add Key", std::to_string(kCtrlAltQ).c_str());
    both.hotKeys.refuseAll = 2;
    both.frm.Form_Load();
    EXPECT_EQ(both.view.status, KeysRefusedText({{GlobalKey::kPause, kCtrlAltP}, {GlobalKey::kAdd, kCtrlAltQ}}));
    both.frm.Opts().ShowOptionsPage(kPageKeys);
    EXPECT_EQ(both.optionsView.problem, "Ctrl+Alt+P is used by another program\r\nCtrl+Alt+Q is used by another program");
}

// The add key offers the title of the window under the pointer (of its
// top-level window when the pointer is over a control), or of the active
// window when the pointer is over the desktop or the taskbar, by the
// target's rules; the program's own windows and the shell offer nothing. A
// press while its question is open asks nothing more.
TEST_F(KeysPower, TheAddKeyOffersTheWindowUnderThePointerOrTheActiveOne) {
    frm.Form_Load();
    windows.Add(kMain, "Quellwatch v1.6");
    windows.Add(0x20, "Registration Reminder - Mozilla");
    windows.Add(0x21, "").root = 0x20;  // a control of it
    windows.Add(0x30, "Untitled - Notepad");
    windows.Add(0x40, "").className = "Progman";
    windows.Add(0x41, "").className = "Shell_TrayWnd";
    windows.Add(0x42, "").className = "#32769";
    windows.Add(0x50, "Calc");
    const struct {
        WindowHandle under, active;
        Strings boxes;
    } cases[] = {
        {0x21, 0x30, {"Add \"Registration Reminder\"\r\nto Quellwatch's window list?"}},
        {0x40, 0x30, {"Add \"Untitled - Notepad\"\r\nto Quellwatch's window list?"}},
        {0x41, 0x30, {"Add \"Untitled - Notepad\"\r\nto Quellwatch's window list?"}},
        {0x42, 0x30, {"Add \"Untitled - Notepad\"\r\nto Quellwatch's window list?"}},
        {0, 0x30, {"Add \"Untitled - Notepad\"\r\nto Quellwatch's window list?"}},
        {0x50, 0x30, {kTitleTooShort}},
        {kMain, 0x30, {}},
        {0x41, 0x40, {}},
        {0x40, 0, {}},
    };
    for (const auto& c : cases) {
        windows.underPointer = c.under;
        windows.foreground = c.active;
        process.boxes.clear();
        process.answers = {kIdNo};
        frm.HotKey_Pressed(kAddKeyId);
        EXPECT_EQ(BoxTexts(), c.boxes) << c.under;
    }
    EXPECT_EQ(lv.Count(), 0);
    windows.underPointer = 0x30;
    process.boxes.clear();
    process.answers = {kIdYes};
    process.duringBox = [this] { frm.HotKey_Pressed(kAddKeyId); };
    frm.HotKey_Pressed(kAddKeyId);
    EXPECT_EQ(std::make_tuple(process.boxes.size(), lv.Count() == 1 ? lv.At(0) : "", StoredList()),
              std::make_tuple(std::size_t{1}, std::string("Untitled - Notepad"), Strings{"Untitled - Notepad"}));
    // Nor while the taskbar target's question is open.
    process.boxes.clear();
    process.answers = {kIdNo};
    OfferByTarget(0x60, "Another Registration Reminder", kIdNo);
    EXPECT_EQ(BoxTexts(), Strings{"Add \"Another Registration Reminder\"\r\nto Quellwatch's window list?"});
}

// The "Keys" page shows the stored keys; OK holds them at once and stores
// only what changed. A key another program holds, or one key for both, keeps
// the dialog open on the page with the reason, nothing stored. A refused
// write says so, and the keys hold for the run.
TEST_F(KeysPower, TheKeysPageHoldsTheKeysAtOkOrSaysWhyNot) {
    Option("Pause Key", std::to_string(kCtrlAltP).c_str());
    frm.Form_Load();
    hotKeys.HeldElsewhere(kModControl | kModAlt, 'X');
    Options& options = frm.Opts();
    options.ShowOptionsPage(kPageKeys);
    EXPECT_EQ(std::make_tuple(optionsView.page, optionsView.keys[0], optionsView.keys[1]),
              std::make_tuple(kPageKeys, kCtrlAltP, 0u));
    const unsigned ctrlAltX = kCtrlAlt | 'X';
    const struct {
        unsigned pause, add;
        GlobalKey key;
        std::string problem;
    } refusals[] = {
        {kCtrlAltP, ctrlAltX, GlobalKey::kAdd, "Ctrl+Alt+X is used by another program"},
        {ctrlAltX, kCtrlAltQ, GlobalKey::kPause, "Ctrl+Alt+X is used by another program"},
        {kCtrlAltQ, kCtrlAltQ, GlobalKey::kAdd, "Ctrl+Alt+Q cannot be both the Pause Key and the Add Key."},
    };
    for (const auto& r : refusals) {
        optionsView.page = kPageOnStartup;
        optionsView.keys[0] = r.pause, optionsView.keys[1] = r.add;
        options.OK_Click();
        EXPECT_EQ(std::make_tuple(optionsView.open, optionsView.page, optionsView.problemKey, optionsView.problem),
                  std::make_tuple(true, kPageKeys, r.key, r.problem));
        EXPECT_FALSE(reg.GetString(kHkeyCurrentUser, kOptionsKeyPath, "On at Start"));  // nothing stored
        EXPECT_EQ(frm.Keys().Held(GlobalKey::kPause), kCtrlAltP);
    }
    optionsView.keys[0] = 0, optionsView.keys[1] = kCtrlAltQ;
    options.OK_Click();
    EXPECT_EQ(std::make_tuple(optionsView.open, Tip(frm.SysIcon()->Record()), hotKeys.Of(kAddKeyId).size(),
                              hotKeys.Of(kPauseKeyId).size()),
              std::make_tuple(false, std::string(kTipEnabled), std::size_t{1}, std::size_t{0}));
    EXPECT_EQ(std::make_tuple(reg.GetString(kHkeyCurrentUser, kOptionsKeyPath, "Pause Key"),
                              reg.GetString(kHkeyCurrentUser, kOptionsKeyPath, "Add Key"),
                              reg.GetString(kHkeyCurrentUser, kOptionsKeyPath, "Save Power")),
              std::make_tuple(std::optional<std::string>("0"), std::optional<std::string>(std::to_string(kCtrlAltQ)),
                              std::optional<std::string>()));  // untouched: not stored
    options.ShowOptionsPage(kPageKeys);
    options.KeyNone_Click(GlobalKey::kAdd);
    optionsView.keys[0] = kCtrlAltP;
    reg.DenyWrites(kHkeyCurrentUser);
    options.OK_Click();
    EXPECT_EQ(BoxTexts(), Strings{kKeysUnsaved});
    EXPECT_EQ(std::make_tuple(frm.Keys().Held(GlobalKey::kPause), frm.Keys().Held(GlobalKey::kAdd),
                              reg.GetString(kHkeyCurrentUser, kOptionsKeyPath, "Pause Key")),
              std::make_tuple(kCtrlAltP, 0u, std::optional<std::string>("0")));
}

// Saving power walks every 250 ms, and with "only on battery" only while on
// battery (a source Windows cannot name counts as the mains); without it the
// walk is every 15 ms as always. The choice is followed at start, at each
// change of power source and at OK, whether tracking is on or off.
TEST_F(KeysPower, ThePowerSaverSlowsTheWalkOnlyAsChosen) {
    const struct {
        bool save, batteryOnly;
        PowerSource source;
        unsigned interval;
    } cases[] = {
        {false, false, PowerSource::kBattery, 15}, {true, false, PowerSource::kMains, 250},
        {true, true, PowerSource::kMains, 15},     {true, true, PowerSource::kBattery, 250},
        {true, true, PowerSource::kUnknown, 15},   {true, false, PowerSource::kUnknown, 250},
    };
    for (const auto& c : cases) EXPECT_EQ(ScanIntervalFor({c.save, c.batteryOnly}, c.source), c.interval);

    Option("Save Power", "1");
    frm.Form_Load();
    EXPECT_EQ(std::make_tuple(tm.interval, tm.IsRunning()), std::make_tuple(15u, true));
    power.source = PowerSource::kBattery;
    frm.PowerStatus_Changed();
    EXPECT_EQ(std::make_tuple(tm.interval, frm.ScanInterval()), std::make_tuple(250u, 250u));
    frm.OnCommand(IDM_DISABLE);
    power.source = PowerSource::kMains;
    frm.PowerStatus_Changed();
    EXPECT_EQ(tm.interval, 15u);
    Options& options = frm.Opts();
    options.ShowOptionsPage(kPageOnStartup);
    EXPECT_EQ(std::make_tuple(optionsView.power[0], optionsView.power[1], optionsView.batteryOnlyEnabled),
              std::make_tuple(true, true, true));
    optionsView.power[1] = false;
    options.OK_Click();
    EXPECT_EQ(std::make_tuple(tm.interval, reg.GetString(kHkeyCurrentUser, kOptionsKeyPath, "Save Power On Battery Only")),
              std::make_tuple(250u, std::optional<std::string>("0")));
    options.ShowOptionsPage(kPageOnStartup);
    EXPECT_EQ(std::make_pair(optionsView.power[0], optionsView.power[1]), std::make_pair(true, false));
    optionsView.power[0] = false;
    options.SavePower_Click();  // "Only on battery" greys with it
    EXPECT_FALSE(optionsView.batteryOnlyEnabled);
    options.OK_Click();
    EXPECT_EQ(std::make_tuple(tm.interval, reg.GetString(kHkeyCurrentUser, kOptionsKeyPath, "Save Power")),
              std::make_tuple(15u, std::optional<std::string>("0")));
}

}  // namespace
}  // namespace qw
