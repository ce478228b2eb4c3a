// The three ways of adding an entry, editing and removing, against in-memory
// windows, registry and dialogs.
#include <gtest/gtest.h>

#include <tuple>

#include "editing/browser_suffix.h"
#include "resources/resource.h"
#include "tests/unit/fake_dialogs.h"

namespace qw {
namespace {

using Strings = std::vector<std::string>;
constexpr WindowHandle kMain = 0x100;

// The editing windows as the main window wires them.
struct World : ::testing::Test, FrmWorld {
    AddItem& add = frm.Adder();
    Edit& edit = frm.Editor();
    TaskbarTarget& target = frm.Target();
    EntryList& lv = frm.lv();

    World() {
        frm.Own().addItem = addItemView.handle;  // as the window glue records the dialogs it opens
        frm.Own().edit = editView.handle = 0x301;
    }
    void List(const Strings& entries) {
        lv.Assign(entries);
        frm.Store().SaveWindowList();
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
};

TEST(BrowserSuffix, CutsAtTheEarliestKnownSuffixWithItsCase) {
    const std::pair<std::string, std::string> cases[] = {
        {"Start Page - Microsoft Internet Explorer", "Start Page"}, {"News - Netscape 6", "News"},
        {"A - Mozilla - B - Netscape", "A"}, {"Mail - netscape", "Mail - netscape"}, {" - Mozilla", ""},
        {"Notepad", "Notepad"},
    };
    for (auto [title, cut] : cases) {
        StripBrowserSuffix(title);
        EXPECT_EQ(title, cut);
    }
}

// Every way of entering an entry applies the same five-character rule to the
// text as typed (or as offered), and the save's reload has the last word.
TEST_F(World, TheFiveCharacterRuleAndTheReloadForEveryWayIn) {
    const Strings base = {"Daily offer", "Second entry"};
    const std::string overlong(300, 'x');
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
        {overlong, base, {"Daily offer"}, false},
    };
    for (const Case& c : cases) {
        for (int way = 0; way < 3; ++way) {
            // An untitled window is never offered; a title is read to 254 characters.
            if (way == 2 && (c.text.empty() || c.text.size() > 254)) continue;
            List(base);
            process.boxes.clear();
            if (way == 0) {
                add.Show();
                addItemView.text = c.text;
                add.done_Click();
                EXPECT_EQ(addItemView.open, c.refused);
            } else if (way == 1) {
                edit.Open(1);
                editView.text = c.text;
                edit.Done_Click();
                EXPECT_EQ(editView.open, c.refused);
            } else {
                OfferByTarget(7, c.text, kIdYes);
            }
            EXPECT_EQ(lv.Items(), way == 1 ? c.edited : c.added) << "way " << way << ", " << c.text.size() << " chars";
            EXPECT_EQ(!process.boxes.empty() && process.boxes[0].text == kTitleTooShort, c.refused) << "way " << way;
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
    frm.OnCommand(IDC_LADD);
    add.Form_Activate();
    EXPECT_EQ(addItemView.rows, (Strings{"Start Page", "Calc", "Calc"}));
    add.WndwList_Click(0);
    EXPECT_EQ(addItemView.text, "Start Page");

    windows.underPointer = 1;
    add.Target_MouseDown();
    EXPECT_TRUE(addItemView.crosshair);
    add.Target_MouseUp();
    EXPECT_EQ(addItemView.text, "Start Page - Microsoft Internet Explorer");
    EXPECT_FALSE(addItemView.crosshair);
    for (WindowHandle refused : {WindowHandle{0x300}, WindowHandle{5}, WindowHandle{0}}) {
        windows.underPointer = refused;
        add.Target_MouseDown();
        add.Target_MouseUp();
        EXPECT_EQ(addItemView.text, "Start Page - Microsoft Internet Explorer");
        EXPECT_FALSE(addItemView.crosshair);
        ASSERT_FALSE(process.boxes.empty());
        EXPECT_EQ(FactsOf(process.boxes.back()), BoxFacts(kInvalidWindow, "Error", 0x10010u, 0x300));
    }
    add.no_Click();
    EXPECT_FALSE(addItemView.open);
    EXPECT_EQ(addItemView.text, "");
}

// Apply changes the entry that was opened, wherever other commands moved it,
// and nothing once it is gone.
TEST_F(World, AnEditFollowsTheOpenedEntry) {
    const std::pair<Strings, Strings> cases[] = {  // `lv` when Apply is pressed, and after
        {{"Alpha entry", "Beta entry", "Gamma entry"}, {"Alpha entry", "Edited entry", "Gamma entry"}},
        {{"Beta entry", "Gamma entry"}, {"Edited entry", "Gamma entry"}},  // moved up
        {{"Alpha entry", "Gamma entry", "BETA ENTRY"}, {"Alpha entry", "Gamma entry", "Edited entry"}},
        {{"Alpha entry", "Gamma entry"}, {"Alpha entry", "Gamma entry"}},  // gone
        {{"Alpha entry"}, {"Alpha entry"}},                                // index gone too
    };
    for (const auto& [meanwhile, after] : cases) {
        List({"Alpha entry", "Beta entry", "Gamma entry"});
        box.selection = 1;
        frm.OnCommand(IDC_EDITENTRY);
        EXPECT_EQ(edit.EditIndex(), "1");
        EXPECT_EQ(editView.text, "Beta entry");
        List(meanwhile);
        editView.text = "Edited entry";
        edit.Done_Click();
        EXPECT_EQ(lv.Items(), after);
        EXPECT_FALSE(editView.open);
    }
}

// The removal question runs its own message loop, in which other commands
// may change the list: remove the entry the user confirmed, or nothing.
TEST_F(World, RemovalRemovesTheConfirmedEntryOnly) {
    const std::tuple<int, Strings, Strings> cases[] = {  // the answer, the list meanwhile (empty: unchanged), after
        {kIdCancel, {}, {"Alpha entry", "Beta entry", "Gamma entry"}},
        {kIdOk, {}, {"Alpha entry", "Gamma entry"}},
        {kIdOk, {"New first", "Alpha entry", "Beta entry", "Gamma entry"}, {"New first", "Alpha entry", "Gamma entry"}},
        {kIdOk, {"Alpha entry", "Gamma entry"}, {"Alpha entry", "Gamma entry"}},
    };
    for (const auto& [answer, meanwhile, after] : cases) {
        List({"Alpha entry", "Beta entry", "Gamma entry"});
        box.selection = 1;
        process.boxes.clear();
        process.answers = {answer};
        if (!meanwhile.empty()) process.duringBox = [&, list = meanwhile] { List(list); };
        frm.OnCommand(IDC_LREM);
        process.duringBox = nullptr;
        ASSERT_EQ(process.boxes.size(), 1u);
        EXPECT_EQ(FactsOf(process.boxes[0]), BoxFacts("Remove Entry: Beta entry ?", "Are you sure?", 0x10121u, kMain));
        EXPECT_EQ(lv.Items(), after);
    }
    box.selection = -1;
    process.boxes.clear();
    frm.OnCommand(IDC_LREM);
    frm.OnCommand(IDC_EDITENTRY);
    frm.lv_DblClick();
    EXPECT_EQ(BoxTexts(), (Strings{kMustSelect, kMustSelect}));
    EXPECT_EQ(std::make_tuple(process.boxes[0].flags, process.boxes[1].owner), std::make_tuple(0x10000u, kMain));
    EXPECT_FALSE(editView.open);
}

TEST_F(World, TheTaskbarTargetNotesTheForegroundWindowAndOffersItsCutTitle) {
    target.ShowTargetIcon();
    target.ShowTargetIcon();  // one icon, however often it is asked for
    EXPECT_TRUE(view.checked[IDM_ENTASK1] && view.checked[IDM_ENTASK2]);
    ASSERT_EQ(trays.trays.size(), 1u);
    EXPECT_EQ(trays.trays[0]->Record().hIcon, 0x1000u + 104);
    EXPECT_EQ(Tip(trays.trays[0]->Record()), kTargetTip);

    const std::pair<std::string, Strings> cases[] = {
        {"Start Page - Microsoft Internet Explorer", {"Add \"Start Page\"\r\nto Quellwatch's window list?"}},
        {"A - Mozilla Firefox", {kTitleTooShort}},  // the cut text obeys the rule too
        {" - Mozilla", {}},
        {"Calc", {kTitleTooShort}},
    };
    WindowHandle handle = 10;
    for (const auto& [title, boxes] : cases) {
        windows.Add(++handle, title);
        windows.foreground = handle;
        process.boxes.clear();
        process.answers = {kIdNo};
        target.Target_SysTrayMouseMove();
        trays.trays[0]->Form_MouseMove(0x204);  // right and middle buttons do nothing
        trays.trays[0]->Form_MouseMove(0x207);
        trays.trays[0]->Form_MouseMove(0x201);
        EXPECT_EQ(BoxTexts(), boxes) << title;
        for (const auto& b : process.boxes) EXPECT_EQ(b.owner, kMain);
        EXPECT_EQ(lv.Count(), 0);
    }
    // The title is read only when the foreground window changes.
    windows.windows.back().title = "Renamed window";
    target.Target_SysTrayMouseMove();
    EXPECT_EQ(target.PendingTargetTitle(), "Calc");
    windows.foreground = kMain;  // the program's own window offers nothing
    target.Target_SysTrayMouseMove();
    EXPECT_EQ(target.PendingTargetTitle(), "");

    for (const char* stored : {"0", "1"}) {
        target.TaskbarTarget_Click();
        const bool on = *stored == '1';
        EXPECT_EQ(std::make_tuple(target.IconOn(), view.checked[IDM_ENTASK2], trays.unloads), std::make_tuple(on, on, 1));
        EXPECT_EQ(RegReadString(reg, kHkeyCurrentUser, kOptionsKeyPath, "Task Target", ""), stored);
    }
}

// 32,767 entries: every road keeps them whole, and one more is refused with
// a message rather than lost or cutting another off.
TEST_F(World, AFullListIsKeptWholeAndRefusesOneMore) {
    Strings full;
    for (int i = 0; i < EntryList::kMaxEntries; ++i) full.push_back("entry number " + std::to_string(i));
    List(full);
    EXPECT_EQ(lv.Items(), full);
    EXPECT_EQ(numWindows.text, "Quellwatch is currently scanning for 32,767 windows.");

    add.Show();
    addItemView.text = "one entry too many";
    add.done_Click();
    EXPECT_EQ(FactsOf(process.boxes), (std::vector<BoxFacts>{{kListFull, "Error", 0x10010u, addItemView.handle}}));
    EXPECT_TRUE(addItemView.open);
    EXPECT_EQ(addItemView.text, "one entry too many");

    OfferByTarget(9, "Another entry too many", kIdYes);
    EXPECT_EQ(process.boxes.back().text, kListFull);
    frm.Store().LoadWindowList();
    EXPECT_EQ(lv.Items(), full);
}

}  // namespace
}  // namespace qw
