// The three ways of adding an entry, editing and removing, against in-memory
// windows, registry and dialogs.
#include <gtest/gtest.h>

#include <memory>

#include "editing/add_item.h"
#include "editing/browser_suffix.h"
#include "editing/edit.h"
#include "editing/taskbar_target.h"
#include "platform/memory/memory_platform.h"
#include "platform/memory/memory_registry.h"
#include "store/registry_access.h"
#include "tests/unit/fake_dialogs.h"

namespace qw {
namespace {

using Strings = std::vector<std::string>;
constexpr WindowHandle kMain = 0x100;
const std::string kLong(300, 'x');

struct FakeTargetHost : TargetHost {
    bool checked = false;
    IconHandle LoadIconResource(int id) override { return 0x1000u + static_cast<IconHandle>(id); }
    IconHandle MainIcon() override { return 0x1067; }
    WindowHandle MainWindow() override { return kMain; }
    void CheckTaskbarTarget(bool on) override { checked = on; }
};

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

struct World : ::testing::Test {
    MemoryRegistry reg;
    MemoryWindows windows;
    MemorySound sound;
    MemoryTimer reInit;
    MemoryListBox box;
    MemoryProcess process;
    EntryList lv{&box};
    LowerTable lower = LowerTable::Windows1252();
    OwnWindows own{kMain, 0, 0x300, 0, 0x301};
    WindowListStore store{reg, lv, nullptr, lower, ","};
    Scanner scanner{windows, sound, reg, lv, reInit, own, lower};
    EditingPlatform platform{windows, process, reg, scanner, lv, store, lower};
    FakeDialog addView, editView;
    AddItem add{addView, platform};
    Edit edit{editView, platform};
    ListCommands commands{edit, platform};
    FakeTrays trays;
    FakeTargetHost host;
    TaskbarTarget target{trays, host, platform};

    void SetUp() override { editView.handle = 0x301; }
    void List(const Strings& entries) {
        lv.Assign(entries);
        store.SaveWindowList();
    }
    Strings Boxes() const {
        Strings texts;
        for (const auto& b : process.boxes) texts.push_back(b.text);
        return texts;
    }
};

TEST(BrowserSuffix, CutsAtTheEarliestKnownSuffixWithItsCase) {
    const std::pair<std::string, std::string> cases[] = {
        {"Start Page - Microsoft Internet Explorer", "Start Page"},
        {"News - Netscape 6", "News"},
        {"A - Mozilla - B - Netscape", "A"},
        {"Mail - netscape", "Mail - netscape"},
        {" - Mozilla", ""},
        {"Notepad", "Notepad"},
    };
    for (const auto& c : cases) {
        std::string title = c.first;
        StripBrowserSuffix(title);
        EXPECT_EQ(title, c.second) << c.first;
    }
}

// Every way of entering an entry applies the same five-character rule to the
// text as typed (or as offered), and the save's reload has the last word.
TEST_F(World, TheFiveCharacterRuleAndTheReloadForEveryWayIn) {
    const Strings base = {"Daily offer", "Second entry"};
    struct Case {
        std::string text;
        Strings added;   // by the add dialog and the taskbar target
        Strings edited;  // "Second entry" edited to the text
        bool refused;    // the five-character message
    } cases[] = {
        {"", base, base, false},
        {"abcd", base, base, true},
        {"abcde", {"Daily offer", "Second entry", "abcde"}, {"Daily offer", "abcde"}, false},
        {"     ", {"Daily offer", "Second entry", "     "}, {"Daily offer", "     "}, false},
        {"Error", {"Daily offer", "Second entry", "Error"}, {"Daily offer", "Error"}, false},
        {"DAILY OFFER", base, {"Daily offer"}, false},
        {kLong, base, {"Daily offer"}, false},
    };
    for (const Case& c : cases) {
        for (int way = 0; way < 3; ++way) {
            List(base);
            process.boxes.clear();
            if (way == 0) {
                add.Show();
                addView.text = c.text;
                add.done_Click();
                EXPECT_EQ(addView.open, c.refused);
            } else if (way == 1) {
                edit.Open(1);
                editView.text = c.text;
                edit.Done_Click();
                EXPECT_EQ(editView.open, c.refused);
            } else {
                // An untitled window is never offered; a title is read to 254 characters.
                if (c.text.empty() || c.text.size() > 254) continue;
                windows.Add(7, c.text);
                windows.foreground = 7;
                process.answers = {kIdYes};
                target.Target_SysTrayMouseMove();
                target.Target_SysTrayMouseDown(kLeftButton);
                windows.Remove(7);
                windows.foreground = 0;
                target.Target_SysTrayMouseMove();
            }
            EXPECT_EQ(lv.Items(), way == 1 ? c.edited : c.added) << "way " << way << ", " << c.text.size() << " chars";
            const bool refused = !process.boxes.empty() && process.boxes[0].text == kTitleTooShort;
            EXPECT_EQ(refused, c.refused) << "way " << way;
        }
    }
}

TEST_F(World, ThePickerListsEligibleTitlesAndTheCrosshairTakesTheWholeTitle) {
    windows.Add(1, "Start Page - Microsoft Internet Explorer");
    windows.Add(2, "Calc");
    windows.Add(3, "Calc");
    windows.Add(4, " - Mozilla");
    windows.Add(5, "Hidden", false);
    windows.Add(0x300, "Add new item");
    windows.Add(kMain, "Quellwatch v1.6");
    add.Show();
    add.Form_Activate();
    EXPECT_EQ(addView.rows, (Strings{"Start Page", "Calc", "Calc"}));
    add.WndwList_Click(0);
    EXPECT_EQ(addView.text, "Start Page");

    windows.underPointer = 1;
    add.Target_MouseDown();
    EXPECT_TRUE(addView.crosshair);
    add.Target_MouseUp();
    EXPECT_EQ(addView.text, "Start Page - Microsoft Internet Explorer");
    EXPECT_FALSE(addView.crosshair);
    for (WindowHandle refused : {WindowHandle{0x300}, WindowHandle{5}, WindowHandle{0}}) {
        windows.underPointer = refused;
        add.Target_MouseDown();
        add.Target_MouseUp();
        EXPECT_EQ(addView.text, "Start Page - Microsoft Internet Explorer");
        EXPECT_FALSE(addView.crosshair);
        ASSERT_FALSE(process.boxes.empty());
        EXPECT_EQ(process.boxes.back().text, kInvalidWindow);
        EXPECT_EQ(process.boxes.back().flags, 0x10010u);
        EXPECT_EQ(process.boxes.back().owner, 0x300u);
    }
    add.no_Click();
    EXPECT_FALSE(addView.open);
    EXPECT_EQ(addView.text, "");
}

// Apply changes the entry that was opened, wherever other commands moved it,
// and nothing once it is gone.
TEST_F(World, AnEditFollowsTheOpenedEntry) {
    struct Case {
        Strings meanwhile;  // `lv` when Apply is pressed
        Strings after;
    } cases[] = {
        {{"Alpha entry", "Beta entry", "Gamma entry"}, {"Alpha entry", "Edited entry", "Gamma entry"}},
        {{"Beta entry", "Gamma entry"}, {"Edited entry", "Gamma entry"}},             // moved up
        {{"Alpha entry", "Gamma entry", "BETA ENTRY"}, {"Alpha entry", "Gamma entry", "Edited entry"}},
        {{"Alpha entry", "Gamma entry"}, {"Alpha entry", "Gamma entry"}},             // gone
        {{"Alpha entry"}, {"Alpha entry"}},                                           // index gone too
    };
    for (const Case& c : cases) {
        List({"Alpha entry", "Beta entry", "Gamma entry"});
        box.selection = 1;
        commands.EditEntry_Click(kMain);
        EXPECT_EQ(edit.EditIndex(), "1");
        EXPECT_EQ(editView.text, "Beta entry");
        List(c.meanwhile);
        editView.text = "Edited entry";
        edit.Done_Click();
        EXPECT_EQ(lv.Items(), c.after);
        EXPECT_FALSE(editView.open);
    }
}

// The removal question runs its own message loop, in which other commands
// may change the list: remove the entry the user confirmed, or nothing.
TEST_F(World, RemovalRemovesTheConfirmedEntryOnly) {
    struct Case {
        int answer;
        Strings meanwhile;  // the list while the question is open; empty: unchanged
        Strings after;
    } cases[] = {
        {kIdCancel, {}, {"Alpha entry", "Beta entry", "Gamma entry"}},
        {kIdOk, {}, {"Alpha entry", "Gamma entry"}},
        {kIdOk, {"New first", "Alpha entry", "Beta entry", "Gamma entry"}, {"New first", "Alpha entry", "Gamma entry"}},
        {kIdOk, {"Alpha entry", "Gamma entry"}, {"Alpha entry", "Gamma entry"}},
    };
    for (const Case& c : cases) {
        List({"Alpha entry", "Beta entry", "Gamma entry"});
        box.selection = 1;
        process.boxes.clear();
        process.answers = {c.answer};
        if (!c.meanwhile.empty()) process.duringBox = [&] { List(c.meanwhile); };
        commands.lrem_Click(kMain);
        process.duringBox = nullptr;
        ASSERT_EQ(process.boxes.size(), 1u);
        EXPECT_EQ(process.boxes[0].text, "Remove Entry: Beta entry ?");
        EXPECT_EQ(process.boxes[0].caption, "Are you sure?");
        EXPECT_EQ(process.boxes[0].flags, 0x10121u);
        EXPECT_EQ(lv.Items(), c.after);
    }
    box.selection = -1;
    process.boxes.clear();
    commands.lrem_Click(kMain);
    commands.EditEntry_Click(kMain);
    commands.lv_DblClick();
    EXPECT_EQ(Boxes(), (Strings{kMustSelect, kMustSelect}));
    EXPECT_EQ(process.boxes[0].flags, 0x10000u);
    EXPECT_FALSE(editView.open);
}

TEST_F(World, TheTaskbarTargetNotesTheForegroundWindowAndOffersItsCutTitle) {
    target.ShowTargetIcon();
    EXPECT_TRUE(host.checked);
    ASSERT_EQ(trays.trays.size(), 1u);
    const NotifyIconData& icon = trays.trays[0]->Record();
    EXPECT_EQ(icon.hIcon, 0x1000u + 104);
    EXPECT_STREQ(icon.szTip, kTargetTip);

    struct Case {
        std::string title;
        Strings boxes;
    } cases[] = {
        {"Start Page - Microsoft Internet Explorer", {"Add \"Start Page\"\r\nto Quellwatch's window list?"}},
        {"A - Mozilla Firefox", {kTitleTooShort}},  // the cut text obeys the rule too
        {" - Mozilla", {}},
        {"Calc", {kTitleTooShort}},
    };
    WindowHandle handle = 10;
    for (const Case& c : cases) {
        windows.Add(++handle, c.title);
        windows.foreground = handle;
        process.boxes.clear();
        process.answers = {kIdNo};
        target.Target_SysTrayMouseMove();
        trays.trays[0]->Form_MouseMove(0x204);  // right and middle buttons do nothing
        trays.trays[0]->Form_MouseMove(0x207);
        trays.trays[0]->Form_MouseMove(0x201);
        EXPECT_EQ(Boxes(), c.boxes) << c.title;
        EXPECT_EQ(lv.Count(), 0);
    }
    // The title is read only when the foreground window changes.
    windows.windows.back().title = "Renamed window";
    target.Target_SysTrayMouseMove();
    EXPECT_EQ(target.PendingTargetTitle(), "Calc");
    windows.foreground = kMain;  // the program's own window offers nothing
    target.Target_SysTrayMouseMove();
    EXPECT_EQ(target.PendingTargetTitle(), "");

    target.TaskbarTarget_Click();
    EXPECT_FALSE(target.IconOn());
    EXPECT_FALSE(host.checked);
    EXPECT_EQ(trays.unloads, 1);
    EXPECT_EQ(RegReadString(reg, kHkeyCurrentUser, kOptionsKeyPath, "Task Target", ""), "0");
    target.TaskbarTarget_Click();
    EXPECT_TRUE(target.IconOn());
    EXPECT_EQ(RegReadString(reg, kHkeyCurrentUser, kOptionsKeyPath, "Task Target", ""), "1");
}

}  // namespace
}  // namespace qw

namespace qw {
namespace {

// 32,767 entries: every road keeps them whole, and one more is refused with
// a message rather than lost or cutting another off.
TEST_F(World, AFullListIsKeptWholeAndRefusesOneMore) {
    Strings full;
    for (int i = 0; i < EntryList::kMaxEntries; ++i) full.push_back("entry number " + std::to_string(i));
    MemoryText numWindows;
    WindowListStore counted{reg, lv, &numWindows, lower, ","};
    lv.Assign(full);
    counted.SaveWindowList();
    EXPECT_EQ(lv.Items(), full);
    EXPECT_EQ(numWindows.text, "Quellwatch is currently scanning for 32,767 windows.");

    add.Show();
    addView.text = "one entry too many";
    add.done_Click();
    ASSERT_EQ(process.boxes.size(), 1u);
    EXPECT_EQ(process.boxes[0].text, kListFull);
    EXPECT_EQ(process.boxes[0].owner, addView.handle);
    EXPECT_TRUE(addView.open);
    EXPECT_EQ(addView.text, "one entry too many");

    windows.Add(9, "Another entry too many");
    windows.foreground = 9;
    process.answers = {kIdYes};
    target.Target_SysTrayMouseMove();
    target.Target_SysTrayMouseDown(kLeftButton);
    EXPECT_EQ(process.boxes.back().text, kListFull);
    counted.LoadWindowList();
    EXPECT_EQ(lv.Items(), full);
}

}  // namespace
}  // namespace qw
