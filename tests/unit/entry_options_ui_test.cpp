// Where the user meets an entry's options: the main list's marks and the
// entry menu, the options part of the add and edit dialogs with its preview,
// the "Never Close" page of the options dialog, and the close history's
// program and row commands.
#include <gtest/gtest.h>

#include <set>

#include "resources/resource.h"
#include "editing/options_part.h"
#include "tests/unit/fake_dialogs.h"
#include "ui/entry_look.h"

namespace qw {
namespace {

EntryOptions With(bool enabled, TitleRule title = TitleRule::kContains, std::string program = "",
                  bool dialogs = false) {
    EntryOptions options;
    options.enabled = enabled;
    options.title = title;
    options.program = std::move(program);
    options.dialogsOnly = dialogs;
    return options;
}

struct OptionsUi : ::testing::Test, FrmWorld {
    // The options stored for `entry` under Rules; the defaults when none are.
    EntryOptions StoredOptions(const std::string& entry) {
        return ParseRuleStrings(MultiSzStrings(reg.GetString(kHkeyCurrentUser, kRulesKeyPath, entry).value_or("")));
    }
    // Another copy stores `entries` with `options` (side by side) meanwhile.
    void OtherCopyStores(const Strings& entries, std::vector<EntryOptions> options = {}) {
        EntryList other;
        WindowListStore store(reg, other, nullptr, lower, ",");
        store.LoadWindowList();
        other.Assign(entries, std::move(options));
        store.SaveWindowList();
    }
};

// Each option that narrows an entry has its word after the text; a switched
// off entry is greyed and says so; an entry without options looks as ever,
// and strings of a later version show nothing.
EntryOptions Acting(EntryAction action, const char* button, int delay) {
    EntryOptions options;
    options.action = action, options.button = button, options.delay = delay;
    return options;
}

TEST(EntryLookTest, MarksEachOptionAndGreysAnEntrySwitchedOff) {
    EntryOptions later;
    later.kept = {"schedule=night"};
    const std::tuple<EntryOptions, bool, std::string> cases[] = {
        {EntryOptions{}, false, ""},
        {later, false, ""},
        {With(false), true, "[off]"},
        {With(true, TitleRule::kExact), false, "[exact]"},
        {With(true, TitleRule::kPrefix), false, "[starts]"},
        {With(true, TitleRule::kContains, "setup.exe"), false, "[setup.exe]"},
        {With(true, TitleRule::kContains, "", true), false, "[dialogs]"},
        {With(false, TitleRule::kPrefix, "Setup.EXE", true), true, "[off] [Setup.EXE] [starts] [dialogs]"},
        {Acting(EntryAction::kPress, "No", 0), false, "[press No]"},
        {Acting(EntryAction::kMinimize, "", 1500), false, "[minimize] [wait 1.5 s]"},
        {Acting(EntryAction::kEnd, "", 2000), false, "[end] [wait 2 s]"},
        {Acting(EntryAction::kRecord, "", 60000), false, "[record] [wait 60 s]"},
        {Acting(EntryAction::kClose, "", 250), false, "[wait 0.3 s]"},
    };
    for (const auto& [options, greyed, mark] : cases) {
        const EntryLook look = LookOf(options);
        EXPECT_EQ(std::make_pair(look.greyed, look.mark), std::make_pair(greyed, mark)) << mark;
    }
}

// A right click selects the entry under the pointer and offers its menu,
// "Enabled" checked as the entry is; below the entries nothing is offered.
// "Enabled" switches the entry and stores just that, made again on the list
// another copy stored meanwhile, keeping that copy's options of the other
// entries; the entry stays selected. "Edit…" and "Remove" are the buttons'.
TEST_F(OptionsUi, TheEntryMenuSwitchesAnEntryAndKeepsAnotherCopysChanges) {
    List({"Alpha window", "Bravo window"});
    frm.lv_ContextMenu(-1);
    frm.lv_ContextMenu(2);
    EXPECT_TRUE(view.entryMenus.empty());
    frm.lv_ContextMenu(1);
    EXPECT_EQ(std::make_pair(box.selection, view.entryMenus), std::make_pair(1, std::vector<bool>{true}));

    OtherCopyStores({"Alpha window", "Bravo window", "Charlie window"},
                    {With(true, TitleRule::kExact), {}, With(false)});
    frm.OnCommand(IDM_ENTRYENABLED);
    EXPECT_EQ(StoredList(), (Strings{"Alpha window", "Bravo window", "Charlie window"}));
    EXPECT_EQ(StoredOptions("Alpha window"), With(true, TitleRule::kExact));
    EXPECT_EQ(StoredOptions("Bravo window"), With(false));
    EXPECT_EQ(StoredOptions("Charlie window"), With(false));
    EXPECT_EQ(std::make_pair(lv.OptionsAt(1), box.selection), std::make_pair(With(false), 1));
    frm.lv_ContextMenu(1);
    EXPECT_EQ(view.entryMenus.back(), false);
    frm.OnCommand(IDM_ENTRYENABLED);
    EXPECT_TRUE(StoredOptions("Bravo window").IsDefault());
    EXPECT_TRUE(reg.GetString(kHkeyCurrentUser, kRulesKeyPath, "Bravo window") == std::nullopt);

    frm.OnCommand(IDM_ENTRYEDIT);
    EXPECT_EQ(std::make_pair(editView.open, editView.text), std::make_pair(true, std::string("Bravo window")));
    process.answers = {kIdOk};
    frm.OnCommand(IDM_ENTRYREMOVE);
    EXPECT_EQ(BoxTexts().back(), "Remove Entry: Bravo window ?");
    EXPECT_EQ(StoredList(), (Strings{"Alpha window", "Charlie window"}));
    box.selection = -1;
    frm.OnCommand(IDM_ENTRYENABLED);  // nothing selected: nothing to switch
    EXPECT_EQ(StoredOptions("Charlie window"), With(false));
}

// A new add dialog holds a plain entry's options, folded away: added so, an
// entry is a plain fragment. Opened, the part's options go with the entry;
// the program counts only while its box is ticked, as its file name.
TEST_F(OptionsUi, TheAddDialogAddsTheOptionsItsPartHolds) {
    List({"Alpha window"});
    const OptionsForm fresh;
    addPart.form = {false, TitleRule::kExact, true, "left.exe", true};  // what a closed dialog showed
    add.Show();
    add.Form_Load();
    EXPECT_EQ(std::make_tuple(addPart.shown, addPart.form, addPart.programBox), std::make_tuple(false, fresh, false));
    addPart.form.program = "suggested.exe";  // a pick fills it in, the box not ticked
    addItemView.text = "Plain entry";
    add.done_Click();
    EXPECT_TRUE(StoredOptions("Plain entry").IsDefault());

    add.Show();
    add.Form_Load();
    add.Options_Click();
    EXPECT_TRUE(addPart.shown);
    addPart.form.programOnly = true;
    add.Options_Change();
    EXPECT_TRUE(addPart.programBox);
    addPart.form = {false, TitleRule::kPrefix, true, "  C:\\Program Files\\Setup\\Setup.exe ", true};
    add.Options_Click();  // folded again: the options still hold
    addItemView.text = "Setup wizard";
    OtherCopyStores({"Alpha window", "Plain entry", "Their entry"});  // made again on their list
    add.done_Click();
    EXPECT_EQ(StoredOptions("Setup wizard"), With(false, TitleRule::kPrefix, "Setup.exe", true));
    EXPECT_EQ(lv.OptionsAt(3), With(false, TitleRule::kPrefix, "Setup.exe", true));
    EXPECT_EQ(StoredList(), (Strings{"Alpha window", "Plain entry", "Their entry", "Setup wizard"}));

    const std::pair<std::string, std::string> names[] = {
        {"", ""}, {"   ", ""}, {"setup.exe", "setup.exe"}, {" a b.exe\t", "a b.exe"}, {"D:/Games/x.exe", "x.exe"},
        {"C:\\", ""}};
    for (const auto& [typed, name] : names) EXPECT_EQ(ProgramBoxName(typed), name) << typed;
}

// The edit dialog shows the entry's options, opening its part for an entry
// that has any (a later version's strings alone are none the user can see). Options the user changes are stored with the edit; options
// left alone are not written, so that another copy's change to them stays;
// a later version's strings stay with the entry either way.
TEST_F(OptionsUi, TheEditDialogShowsAnEntrysOptionsAndStoresOnlyChangedOnes) {
    EntryOptions later = With(true, TitleRule::kExact), onlyKept;
    later.kept = onlyKept.kept = {"schedule=night"};
    OtherCopyStores({"Alpha window", "Bravo window"}, {onlyKept, later});
    frm.Store().LoadWindowList();
    box.selection = 0;
    frm.OnCommand(IDC_EDITENTRY);
    EXPECT_EQ(std::make_pair(editPart.shown, editPart.form), std::make_pair(false, OptionsForm{}));
    box.selection = 1;
    frm.OnCommand(IDC_EDITENTRY);
    const OptionsForm exact{true, TitleRule::kExact, false, "", false};
    EXPECT_EQ(std::make_tuple(editPart.shown, editPart.form, editPart.programBox), std::make_tuple(true, exact, false));

    // Left alone while the other copy limits the entry to a program.
    EntryOptions theirs = later;
    theirs.program = "theirs.exe";
    OtherCopyStores({"Alpha window", "Bravo window"}, {{}, theirs});
    editView.text = "Bravo renamed";
    edit.Done_Click();
    EXPECT_EQ(StoredList(), (Strings{"Alpha window", "Bravo renamed"}));
    EXPECT_EQ(StoredOptions("Bravo renamed"), theirs);

    // Changed: stored, the later version's string kept.
    box.selection = 1;
    frm.OnCommand(IDC_EDITENTRY);
    EXPECT_EQ(editPart.form, (OptionsForm{true, TitleRule::kExact, true, "theirs.exe", false}));
    editPart.form.title = TitleRule::kContains;
    editPart.form.programOnly = false;
    edit.Options_Change();
    EXPECT_FALSE(editPart.programBox);
    OtherCopyStores({"Alpha window", "Bravo renamed", "Charlie window"}, {{}, theirs, {}});
    edit.Done_Click();
    EntryOptions changed = later;
    changed.title = TitleRule::kContains;
    EXPECT_EQ(std::make_pair(StoredList(), StoredOptions("Bravo renamed")),
              std::make_pair(Strings{"Alpha window", "Bravo renamed", "Charlie window"}, changed));
}

// The preview follows every option as it changes (a key in the program box
// after the typing delay, a choice at once) and names each window's
// program; an entry switched off closes nothing. A browser window, or many
// windows, bring the caution icon and a line that says why. Windows of a
// program never closed, and of Windows' own shell, are never named.
TEST_F(OptionsUi, ThePreviewFollowsEveryOptionAndNamesEachWindowsProgram) {
    const auto window = [&](WindowHandle handle, const std::string& title, const std::string& program,
                            const std::string& className = "Window") {
        FakeWindow& w = windows.Add(handle, title);
        w.program = program, w.className = className;
    };
    window(1, "Free Download - Mozilla Firefox", "firefox.exe");
    window(2, "Setup Wizard", "Setup.exe", "#32770");
    window(3, "Setup Wizard", "other.exe");
    window(4, "Setup Wizard - step 2", "setup.exe");
    window(5, "The Setup Wizard", "");
    window(6, "Setup Wizard of the shell", "explorer.exe", "Shell_TrayWnd");
    window(7, "Setup Wizard kept", "keep.exe");
    frm.Scan().SetNeverClose({"KEEP.exe"});
    add.Show();
    add.Form_Load();
    addItemView.text = "setup wizard";
    const std::string dash = " \xE2\x80\x94 ";
    const std::tuple<OptionsForm, std::string> cases[] = {
        {OptionsForm{}, "4 windows" + dash + "Setup Wizard (Setup.exe); Setup Wizard (other.exe); Setup Wizard - step 2 (setup.exe); "
                                  "The Setup Wizard"},
        {OptionsForm{true, TitleRule::kExact, false, "", false}, "2 windows" + dash + "Setup Wizard (Setup.exe); Setup Wizard (other.exe)"},
        {OptionsForm{true, TitleRule::kPrefix, false, "", false},
         "3 windows" + dash + "Setup Wizard (Setup.exe); Setup Wizard (other.exe); Setup Wizard - step 2 (setup.exe)"},
        {OptionsForm{true, TitleRule::kContains, true, "setup.EXE", false},
         "2 windows" + dash + "Setup Wizard (Setup.exe); Setup Wizard - step 2 (setup.exe)"},
        {OptionsForm{true, TitleRule::kContains, false, "setup.EXE", true}, "1 window" + dash + "Setup Wizard (Setup.exe)"},
        {OptionsForm{true, TitleRule::kContains, true, "nothing.exe", false}, "nothing"},
    };
    for (const auto& [form, line] : cases) {
        addPart.form = form;
        add.Options_Change();
        EXPECT_EQ(std::make_tuple(addLine.text, addLine.caution, addLine.note),
                  std::make_tuple("Would close now: " + line, false, std::string())) << line;
    }
    addPart.form = {false, TitleRule::kContains, false, "", false};
    add.Options_Change();
    EXPECT_EQ(addLine.text, kPreviewSwitchedOff);
    addPart.form = {true, TitleRule::kContains, true, "other.exe", false};
    add.Program_Change();
    EXPECT_EQ(std::make_pair(addLine.text, addDelay.IsRunning()), std::make_pair(std::string(kPreviewSwitchedOff), true));
    add.PreviewTmr_Timer();
    EXPECT_EQ(addLine.text, "Would close now: 1 window" + dash + "Setup Wizard (other.exe)");

    addPart.form = {};
    addItemView.text = "free download";
    add.Options_Change();
    EXPECT_EQ(std::make_tuple(addLine.caution, addLine.note), std::make_tuple(true, std::string(kBrowserCaution)));
    for (WindowHandle w = 10; w < 16; ++w) window(w, "Free download " + std::to_string(w), "");
    add.Options_Change();
    EXPECT_EQ(std::make_tuple(addLine.caution, addLine.note), std::make_tuple(true, std::string(kBrowserCaution)));
    windows.Remove(1);
    add.Options_Change();
    EXPECT_EQ(std::make_tuple(addLine.text.substr(0, 26), addLine.caution, addLine.note),
              std::make_tuple(std::string("Would close now: 6 windows"), true, std::string(kManyCaution)));
}

// What an entry does to a window: the action, the button a press presses
// (its box open only then), the wait typed in seconds; "end its program"
// asked about once, a "No" putting the action back; "Only record at first"
// adds a record. An edit that changes another option keeps them. The preview
// says what would happen, counting for a press only windows with the button.
TEST_F(OptionsUi, TheActionOfAnEntryItsButtonAndItsWait) {
    const std::pair<std::string, int> waits[] = {{"", 0},      {"2", 2000}, {" 1.5 ", 1500}, {"0,25", 250},
                                                 {"61", 60000}, {"abc", 0}, {"1.2.3", 0},     {"99999999999", 60000}};
    for (const auto& [typed, milliseconds] : waits) EXPECT_EQ(WaitMilliseconds(typed), milliseconds) << typed;
    const std::pair<int, std::string> shown[] = {{0, ""}, {2000, "2"}, {1500, "1.5"}, {250, "0.25"}, {60000, "60"}};
    for (const auto& [milliseconds, text] : shown) EXPECT_EQ(WaitSeconds(milliseconds), text) << milliseconds;

    FakeWindow& question = windows.Add(1, "Save changes?");
    question.program = "notepad.exe", question.className = "#32770";
    question.buttons = {{0x71, 7, "&No"}};
    windows.Add(2, "Save changes to the file?").program = "other.exe";  // no button
    List({"Alpha window"});
    add.Show();
    add.Form_Load();
    addItemView.text = "Save changes";
    const std::string dash = " \xE2\x80\x94 ";
    struct Case {
        EntryAction action;
        const char* button;
        const char* wait;
        bool recordFirst;
        bool buttonBox;
        std::string line;
        EntryAction stored;
        const char* storedButton;
        int delay;
    } cases[] = {
        {EntryAction::kPress, " No ", "1.5", false, true, "Would press No in 1 window" + dash + "Save changes? (notepad.exe)",
         EntryAction::kPress, "No", 1500},
        {EntryAction::kPress, "Cancel", "", false, true, "Would press Cancel in no window", EntryAction::kPress, "Cancel", 0},
        {EntryAction::kPress, "", "", false, true, "Would close now: 2 windows", EntryAction::kClose, "", 0},
        {EntryAction::kMinimize, "No", "", false, false, "Would minimize now: 2 windows", EntryAction::kMinimize, "", 0},
        {EntryAction::kPress, "No", "3", true, true, "Would only record now: 2 windows", EntryAction::kRecord, "No", 3000},
        {EntryAction::kRecord, "", "", false, false, "Would only record now: 2 windows", EntryAction::kRecord, "", 0},
    };
    for (const Case& c : cases) {
        addPart.form.action = c.action, addPart.form.button = c.button, addPart.form.wait = c.wait;
        addPart.form.recordFirst = c.recordFirst;
        add.Options_Change();
        EXPECT_EQ(addPart.buttonBox, c.buttonBox) << c.line;
        EXPECT_EQ(addLine.text.substr(0, c.line.size()), c.line);
        const EntryOptions options = add.Part().Options();
        EXPECT_EQ(std::make_tuple(options.action, options.button, options.delay),
                  std::make_tuple(c.stored, std::string(c.storedButton), c.delay)) << c.line;
    }
    addPart.form = {};
    addPart.form.action = EntryAction::kPress, addPart.form.button = "&No", addPart.form.wait = "2";
    add.Options_Change();
    add.done_Click();
    EntryOptions press;
    press.action = EntryAction::kPress, press.button = "&No", press.delay = 2000;
    EXPECT_EQ(StoredOptions("Save changes"), press);

    // Asked once when chosen; "No" puts back the action shown before.
    add.Show();
    add.Form_Load();
    addItemView.text = "Save changes";
    addPart.endAnswer = false;
    addPart.form.action = EntryAction::kEnd;
    add.Options_Change();
    EXPECT_EQ(std::make_pair(addPart.endAsked, addPart.form.action), std::make_pair(1, EntryAction::kClose));
    addPart.endAnswer = true;
    addPart.form.action = EntryAction::kEnd;
    add.Options_Change();
    addPart.form.dialogsOnly = true;
    add.Options_Change();
    EXPECT_EQ(std::make_pair(addPart.endAsked, addPart.form.action), std::make_pair(2, EntryAction::kEnd));
    EXPECT_EQ(addLine.text.substr(0, 37), "Would close now, or end its program: ");

    // An edit of the title rule keeps the press, its button and its wait.
    box.selection = 1;
    frm.OnCommand(IDC_EDITENTRY);
    EXPECT_EQ(std::make_tuple(editPart.shown, editPart.form.action, editPart.form.button, editPart.form.wait),
              std::make_tuple(true, EntryAction::kPress, std::string("&No"), std::string("2")));
    editPart.form.title = TitleRule::kPrefix;
    edit.Options_Change();
    edit.Done_Click();
    press.title = TitleRule::kPrefix;
    EXPECT_EQ(StoredOptions("Save changes"), press);
}

// The program box offers the programs of the windows the picker lists, each
// once, in alphabetical order. A window picked from the list or by the
// crosshair fills in its program as a suggestion, its check box left as it
// was; one whose program Windows will not name leaves the box alone.
TEST_F(OptionsUi, APickSuggestsItsProgramAndTheBoxOffersTheRunningOnes) {
    windows.Add(1, "Report - Editor").program = "editor.exe";
    windows.Add(2, "Setup Wizard").program = "setup.exe";
    windows.Add(3, "Other report").program = "Editor.EXE";
    windows.Add(4, "Hidden report", false).program = "hidden.exe";
    windows.Add(5, "Untitled");
    FakeWindow& control = windows.Add(6, "Next >");  // a button inside the wizard
    control.root = 2;
    windows.Add(kMain, "Quellwatch v1.6").program = "Quellbox.exe";
    frm.OnCommand(IDC_LADD);
    add.Form_Load();
    add.Form_Activate();
    EXPECT_EQ(addPart.programs, (Strings{"editor.exe", "setup.exe"}));
    add.WndwList_Click(2);
    EXPECT_EQ(std::make_tuple(addItemView.text, addPart.form.program, addPart.form.programOnly),
              std::make_tuple(std::string("Other report"), std::string("Editor.EXE"), false));
    add.WndwList_Click(3);  // Windows would not say
    EXPECT_EQ(std::make_pair(addItemView.text, addPart.form.program), std::make_pair(std::string("Untitled"), std::string("Editor.EXE")));
    addPart.form.programOnly = true;
    windows.underPointer = 6;
    add.Target_MouseUp();
    EXPECT_EQ(std::make_tuple(addItemView.text, addPart.form.program, addPart.form.programOnly),
              std::make_tuple(std::string("Next >"), std::string("setup.exe"), true));
    EXPECT_EQ(std::make_pair(addPart.form.action, addPart.shown), std::make_pair(EntryAction::kClose, false));
    // Dropped on a dialog's push button: the dialog's title, and its press offered.
    FakeWindow& question = windows.Add(8, "Save changes?");
    question.program = "notepad.exe", question.buttons = {{9, 7, "&No"}};
    windows.Add(9, "&No").root = 8;
    windows.underPointer = 9;
    add.Target_MouseUp();
    EXPECT_EQ(std::make_tuple(addItemView.text, addPart.form.action, addPart.form.button, addPart.shown, addPart.buttonBox),
              std::make_tuple(std::string("Save changes?"), EntryAction::kPress, std::string("&No"), true, true));
    box.selection = -1;
    List({"Setup Wizard"});
    box.selection = 0;
    editPart.programs.clear();
    frm.OnCommand(IDC_EDITENTRY);
    EXPECT_EQ(editPart.programs, (Strings{"editor.exe", "notepad.exe", "setup.exe"}));
    EXPECT_EQ(windows.calls[4].text, 0);  // a hidden window's title is never asked for
}

// The "Never Close" page shows the stored programs; "Add" takes a program's
// file name once (case ignored), "Remove" the selected one, and nothing is
// stored until OK. OK makes the page's additions and removals on the list
// as stored by then (the close history adds to it at once), a name typed
// and not yet added included.
TEST_F(OptionsUi, TheNeverClosePageStoresTheUsersChangesAtOk) {
    ASSERT_TRUE(WriteNeverClose(reg, {"explorer.exe", "game.exe"}));
    windows.Add(1, "Report - Editor").program = "editor.exe";
    windows.Add(2, "Hidden report", false).program = "hidden.exe";
    frm.OnCommand(IDM_NEVERCLOSE1);
    EXPECT_EQ(std::make_tuple(optionsView.page, optionsView.neverClose, optionsView.neverSelected, optionsView.running),
              std::make_tuple(kPageNeverClose, Strings{"explorer.exe", "game.exe"}, -1, Strings{"editor.exe"}));
    Options& options = frm.Opts();
    const std::pair<std::string, Strings> adds[] = {
        {"  C:\\Tools\\Editor.EXE ", {"explorer.exe", "game.exe", "Editor.EXE"}},
        {"GAME.exe", {"explorer.exe", "game.exe", "Editor.EXE"}},
        {"   ", {"explorer.exe", "game.exe", "Editor.EXE"}}};
    const int selected[] = {2, 1, 1};
    for (std::size_t i = 0; i < std::size(adds); ++i) {
        optionsView.program = adds[i].first;
        options.NeverCloseAdd_Click();
        const std::string left = i == 2 ? adds[i].first : "";  // blanks add nothing
        EXPECT_EQ(std::make_tuple(optionsView.neverClose, optionsView.neverSelected, optionsView.program),
                  std::make_tuple(adds[i].second, selected[i], left)) << adds[i].first;
    }
    options.NeverCloseRemove_Click();
    EXPECT_EQ(std::make_pair(optionsView.neverClose, optionsView.neverSelected),
              std::make_pair(Strings{"explorer.exe", "Editor.EXE"}, 1));
    options.NeverCloseRemove_Click();  // the last one: the one before it is selected
    EXPECT_EQ(std::make_pair(optionsView.neverClose, optionsView.neverSelected), std::make_pair(Strings{"explorer.exe"}, 0));
    options.No_Click();
    EXPECT_EQ(ReadNeverClose(reg), (Strings{"explorer.exe", "game.exe"}));

    frm.OnCommand(IDM_NEVERCLOSE);
    optionsView.neverSelected = 0;
    options.NeverCloseRemove_Click();
    optionsView.program = "editor.exe";
    options.NeverCloseAdd_Click();
    optionsView.program = "notes.exe";  // typed, not added
    ASSERT_TRUE(WriteNeverClose(reg, {"explorer.exe", "game.exe", "chat.exe"}));  // meanwhile
    options.OK_Click();
    const Strings stored = {"game.exe", "chat.exe", "editor.exe", "notes.exe"};
    EXPECT_EQ(std::make_tuple(ReadNeverClose(reg), frm.Scan().NeverClose(), process.boxes.empty()),
              std::make_tuple(std::optional<Strings>(stored), stored, true));
}

// A list the registry would not give at the load is shown as the scan keeps
// it, and an OK that changed nothing on the page leaves the stored one be.
TEST_F(OptionsUi, TheNeverClosePageShowsTheScansListWhenTheReadIsRefused) {
    ASSERT_TRUE(WriteNeverClose(reg, {"stored.exe"}));
    frm.Scan().SetNeverClose({"scan.exe"});
    frm.OnCommand(IDM_NEVERCLOSE);
    frm.Opts().OK_Click();  // every setting stored, as each load below finds them
    const std::uint64_t before = reg.CallCount();
    frm.OnCommand(IDM_NEVERCLOSE);
    const std::uint64_t calls = reg.CallCount() - before;
    bool fellBack = false;
    for (std::uint64_t step = 0; step < calls; ++step) {
        frm.Opts().No_Click();
        reg.FailAt(step);
        frm.OnCommand(IDM_NEVERCLOSE);
        reg.Heal();
        EXPECT_TRUE(optionsView.neverClose == Strings{"stored.exe"} || optionsView.neverClose == Strings{"scan.exe"});
        fellBack = fellBack || optionsView.neverClose == Strings{"scan.exe"};
        frm.Opts().OK_Click();
        EXPECT_EQ(ReadNeverClose(reg), Strings{"stored.exe"}) << "failed call " << step;
    }
    EXPECT_TRUE(fellBack);
}

// OK failing at any one registry call never loses the user's list silently:
// it is stored whole, or a box owned by the dialog says it was not.
TEST(NeverCloseFaults, AFailedCallOfOkIsToldOrHarmless) {
    const Boxes toldUnsaved{{kNeverCloseUnsaved, "Error", 0x10010u, kDialog}};
    const auto run = [](std::optional<std::uint64_t> failAt) {
        auto w = std::make_unique<FrmWorld>();
        EXPECT_TRUE(WriteNeverClose(w->reg, {"explorer.exe"}));
        w->frm.OnCommand(IDM_NEVERCLOSE);
        w->optionsView.program = "game.exe";
        w->frm.Opts().NeverCloseAdd_Click();
        const std::uint64_t before = w->reg.CallCount();
        if (failAt) w->reg.FailAt(*failAt);
        w->frm.Opts().OK_Click();
        w->reg.Heal();
        // The user's word counts for this run, stored or not.
        EXPECT_EQ(w->frm.Scan().NeverClose(), (Strings{"explorer.exe", "game.exe"}));
        return std::make_tuple(w->reg.CallCount() - before, ReadNeverClose(w->reg), FactsOf(w->process.boxes));
    };
    const auto [calls, clean, quiet] = run(std::nullopt);
    EXPECT_EQ(std::make_pair(clean, quiet), std::make_pair(std::optional<Strings>({"explorer.exe", "game.exe"}), Boxes{}));
    int told = 0;
    for (std::uint64_t step = 0; step < calls; ++step) {
        const auto [n, stored, boxes] = run(step);
        const bool saved = stored == clean;
        EXPECT_NE(saved, boxes == toldUnsaved) << "failed call " << step;
        told += saved ? 0 : 1;
    }
    EXPECT_GT(told, 0);
}

// A row of the close history offers its program to the two commands, which
// name it (cut when long, an ampersand shown as one); a row without a
// program, or no row, offers them disabled. Each asks first in a box owned
// by the history window. "Limit Entry" gives the row's entry that program,
// keeping its other options and made again on the list another copy stored
// meanwhile; "Never Close" stores the program after those stored, at once,
// and tells the scan.
TEST_F(OptionsUi, TheClosedWindowsCommandsLimitAnEntryOrNeverCloseItsProgram) {
    EntryOptions later;
    later.kept = {"schedule=night"};
    OtherCopyStores({"Daily Offer", "Register now"}, {later, {}});
    frm.Store().LoadWindowList();
    ClosedWindows& closed = *frm.Closed();
    CloseHistory& history = *frm.History();
    closed.Show();
    closed.Form_Load();
    history.Asked(1, "Register now - Reader", "Register now", "", false);
    history.Asked(2, "Daily Offer - Mozilla Firefox", "Daily Offer", "firefox.exe", false);
    history.Asked(3, "Daily Offer", "Daily Offer", "A&B Very Long Program Name Indeed.exe", false);
    const auto offered = [&] {
        return std::make_tuple(historyView.limitCaption, historyView.neverCaption, historyView.programCommands);
    };
    using Offer = std::tuple<std::string, std::string, bool>;
    EXPECT_EQ(offered(), Offer("Li&mit Entry to Program", "&Never Close Program", false));
    const std::pair<int, Offer> rows[] = {
        {0, {"Li&mit Entry to A&&B Very Long Program Name \xE2\x80\xA6",
             "&Never Close A&&B Very Long Program Name \xE2\x80\xA6", true}},
        {2, {"Li&mit Entry to Program", "&Never Close Program", false}},
        {1, {"Li&mit Entry to firefox.exe", "&Never Close firefox.exe", true}}};
    for (const auto& [row, offer] : rows) {
        historyView.selected = row;
        closed.Rows_SelChange();
        EXPECT_EQ(offered(), offer) << row;
    }
    history.Asked(4, "Register now - Reader", "Register now", "reader.exe", false);  // a new row above
    EXPECT_EQ(std::make_pair(historyView.selected, offered()),
              std::make_pair(2, Offer("Li&mit Entry to firefox.exe", "&Never Close firefox.exe", true)));

    const unsigned question = 0x10121u;
    process.answers = {kIdCancel};
    closed.LimitEntry_Click();
    EXPECT_EQ(lv.OptionsAt(0), later);
    // The other copy puts an entry first, and this one reloads while the box
    // is up; then the other copy adds one more.
    OtherCopyStores({"Theirs", "Daily Offer", "Register now"}, {{}, later, {}});
    process.duringBox = [&] {
        frm.Store().LoadWindowList();
        OtherCopyStores({"Theirs", "Daily Offer", "Register now", "Later"}, {{}, later, {}, {}});
    };
    closed.LimitEntry_Click();
    process.duringBox = nullptr;
    EntryOptions limited = later;
    limited.program = "firefox.exe";
    EXPECT_EQ(std::make_tuple(StoredList(), StoredOptions("Daily Offer"), lv.OptionsAt(1), StoredOptions("Theirs")),
              std::make_tuple(Strings{"Theirs", "Daily Offer", "Register now", "Later"}, limited, limited,
                              EntryOptions{}));
    const BoxFacts limit{"Limit the entry \"Daily Offer\" to windows of firefox.exe?\r\n"
                         "It will no longer close windows of other programs.", "Are you sure?", question, 0x302};
    EXPECT_EQ(FactsOf(process.boxes), (Boxes{limit, limit}));

    process.boxes.clear();
    ASSERT_TRUE(WriteNeverClose(reg, {"explorer.exe"}));
    process.answers = {kIdCancel};
    closed.NeverClose_Click();
    EXPECT_EQ(std::make_pair(ReadNeverClose(reg), frm.Scan().NeverClose()),
              std::make_pair(std::optional<Strings>({"explorer.exe"}), Strings{}));
    closed.NeverClose_Click();
    closed.NeverClose_Click();  // listed already: nothing more stored
    const Strings both = {"explorer.exe", "firefox.exe"};
    EXPECT_EQ(std::make_pair(ReadNeverClose(reg), frm.Scan().NeverClose()), std::make_pair(std::optional<Strings>(both), both));
    const Strings capitals = {"explorer.exe", "FIREFOX.EXE"};  // listed in another case
    ASSERT_TRUE(WriteNeverClose(reg, capitals));
    closed.NeverClose_Click();
    EXPECT_EQ(std::make_pair(ReadNeverClose(reg), frm.Scan().NeverClose()),
              std::make_pair(std::optional<Strings>(capitals), capitals));
    const BoxFacts never{"Never close windows of firefox.exe?\r\nNo entry will close them until you take firefox.exe "
                         "off the list under Options, Never Close.", "Are you sure?", question, 0x302};
    EXPECT_EQ(FactsOf(process.boxes), (Boxes{never, never, never, never}));

    historyView.selected = 3;  // no program
    closed.Rows_SelChange();
    process.boxes.clear();
    closed.LimitEntry_Click();
    closed.NeverClose_Click();
    EXPECT_TRUE(process.boxes.empty());
}

// A row's own commands: "Press a Button…" for a window that stayed open,
// beside "End the Program Instead" while its entry is listed; "Start
// Closing" for a row that only recorded. Each asks first in a box owned by
// the history window and changes only the entry's action (and button),
// made again on the list another copy stored meanwhile. The menu offers the
// window's buttons as they show now; a window gone, or without a button to
// name, is told in a box instead.
TEST_F(OptionsUi, TheClosedWindowsRowCommandsChangeWhatAnEntryDoes) {
    EntryOptions daily = With(true, TitleRule::kPrefix, "setup.exe", true), recording = With(true);
    daily.delay = 500, daily.kept = {"schedule=night"};
    recording.action = EntryAction::kRecord;
    OtherCopyStores({"Daily Offer", "Register now", "Weekly Deal"}, {daily, recording, {}});
    frm.Store().LoadWindowList();
    ClosedWindows& closed = *frm.Closed();
    CloseHistory& history = *frm.History();
    closed.Show();
    closed.Form_Load();
    FakeWindow& dialog = windows.Add(1, "Daily Offer - Setup");
    dialog.buttons = {{0x11, 6, "&Yes"}, {0x12, 8, ""}, {0x13, 9, " Save && &Quit "}, {0x14, 7, "&No", false}};
    windows.Add(3, "Weekly Deal");  // no buttons
    windows.Add(4, "Weekly Deal - Offer");
    windows.Add(5, "Gone Offer");
    history.Asked(1, "Daily Offer - Setup", "Daily Offer", "setup.exe", false);
    history.Asked(2, "Closing Offer", "Daily Offer", "", false);  // gone at once
    history.Asked(3, "Weekly Deal", "Weekly Deal", "", false);
    history.Asked(4, "Weekly Deal - Offer", "Weekly Deal", "", false);
    history.Asked(5, "Gone Offer", "Gone Offer", "", false);
    clock.milliseconds += CloseHistory::kCloseWithin;
    history.CheckTmr_Timer();
    ActReport report;
    report.kind = ActKind::kRecorded, report.window = 6, report.title = "Register now", report.entry = "Register now";
    history.Acted(report);
    windows.Remove(4);
    // Rows, newest first: 0 recorded, 1 gone from the list, 2 and 3 still
    // open, 4 closed, 5 still open.
    using Offer = std::tuple<bool, std::string, bool>;
    const std::string end = "&End the Program Instead";
    const auto offered = [&] { return Offer(historyView.press, historyView.actionCaption, historyView.rowAction); };
    const std::pair<int, Offer> rows[] = {
        {-1, {false, end, false}}, {0, {false, "S&tart Closing", true}}, {1, {true, end, false}},
        {2, {true, end, true}},    {4, {false, end, false}},             {5, {true, end, true}}};
    for (const auto& [row, offer] : rows) {
        historyView.selected = row;
        closed.Rows_SelChange();
        EXPECT_EQ(offered(), offer) << row;
    }

    const unsigned question = 0x10121u;
    // The entry's action here and as stored.
    const auto action = [&](const std::string& entry) {
        return std::make_pair(lv.OptionsAt(frm.Store().Find(entry)).action, StoredOptions(entry).action);
    };
    // The other copy puts an entry first while the box is up.
    process.answers = {kIdCancel};
    closed.RowAction_Click();
    EXPECT_EQ(action("Daily Offer"), std::make_pair(EntryAction::kClose, EntryAction::kClose));
    process.duringBox = [&] {
        OtherCopyStores({"Theirs", "Daily Offer", "Register now", "Weekly Deal"}, {{}, daily, recording, {}});
    };
    closed.RowAction_Click();
    process.duringBox = nullptr;
    EntryOptions ending = daily;
    ending.action = EntryAction::kEnd;
    EXPECT_EQ(std::make_tuple(StoredList(), StoredOptions("Daily Offer"), StoredOptions("Theirs")),
              std::make_tuple(Strings{"Theirs", "Daily Offer", "Register now", "Weekly Deal"}, ending, EntryOptions{}));
    const BoxFacts endBox{"Have the entry \"Daily Offer\" end the program of a window still open 2 seconds after it "
                          "was asked to close?\r\nEnding a program loses whatever it had not saved.",
                          "Are you sure?", question, 0x302};
    EXPECT_EQ(FactsOf(process.boxes), (Boxes{endBox, endBox}));

    process.boxes.clear();
    historyView.selected = 0;
    closed.RowAction_Click();
    EXPECT_EQ(action("Register now"), std::make_pair(EntryAction::kClose, EntryAction::kClose));
    EXPECT_EQ(StoredOptions("Register now"), With(true));
    EXPECT_EQ(FactsOf(process.boxes),
              (Boxes{{"Have the entry \"Register now\" close its windows again, instead of only recording them?",
                      "Are you sure?", question, 0x302}}));

    // The menu offers the buttons that can be pressed and have a caption.
    process.boxes.clear();
    historyView.selected = 5;
    closed.Press_Click();  // no choice
    historyView.pick = 1;
    process.answers = {kIdCancel};
    closed.Press_Click();
    EXPECT_EQ(lv.OptionsAt(frm.Store().Find("Daily Offer")), ending);
    closed.Press_Click();
    const Strings offeredButtons = {"&Yes", " Save && &Quit "};
    EXPECT_EQ(historyView.menus, (std::vector<Strings>{offeredButtons, offeredButtons, offeredButtons}));
    EntryOptions pressing = daily;
    pressing.action = EntryAction::kPress, pressing.button = "Save & Quit";
    EXPECT_EQ(std::make_pair(StoredOptions("Daily Offer"), lv.OptionsAt(frm.Store().Find("Daily Offer"))),
              std::make_pair(pressing, pressing));
    const BoxFacts pressBox{"Have the entry \"Daily Offer\" press \"Save & Quit\" in its windows, instead of asking "
                            "them to close?", "Are you sure?", question, 0x302};
    EXPECT_EQ(FactsOf(process.boxes), (Boxes{pressBox, pressBox}));

    // Gone, or without a button: told, and nothing offered or changed.
    process.boxes.clear();
    historyView.menus.clear();
    for (int row : {2, 3}) {
        historyView.selected = row;
        closed.Press_Click();
    }
    const unsigned told = 0x10040u;
    EXPECT_EQ(FactsOf(process.boxes),
              (Boxes{{"The window \"Weekly Deal - Offer\" is no longer open.", "Quellwatch", told, 0x302},
                     {"The window \"Weekly Deal\" has no button that can be pressed now.", "Quellwatch", told,
                      0x302}}));
    EXPECT_EQ(std::make_pair(historyView.menus.size(), StoredOptions("Weekly Deal")),
              std::make_pair(std::size_t{0}, EntryOptions{}));

    // Rows of other outcomes are left alone.
    process.boxes.clear();
    historyView.selected = 4;
    closed.Press_Click();
    closed.RowAction_Click();
    EXPECT_TRUE(process.boxes.empty());
}

// "Never Close" failing at any one registry call never loses the program
// silently: it is stored after the others, or a box says why not; the scan
// keeps it for this run either way, and a list that could not be read is
// not written over.
TEST(NeverCloseFaults, TheHistorysCommandIsStoredOrTold) {
    const auto run = [](std::optional<std::uint64_t> failAt) {
        auto w = std::make_unique<FrmWorld>();
        EXPECT_TRUE(WriteNeverClose(w->reg, {"explorer.exe"}));
        w->frm.Scan().SetNeverClose({"explorer.exe", "scan.exe"});
        w->frm.Closed()->Form_Load();
        w->frm.History()->Asked(1, "Daily Offer - Mozilla Firefox", "Daily Offer", "firefox.exe", false);
        w->historyView.selected = 0;
        const std::uint64_t before = w->reg.CallCount();
        if (failAt) w->reg.FailAt(*failAt);
        w->frm.Closed()->NeverClose_Click();
        w->reg.Heal();
        std::vector<std::string> told;
        for (const auto& b : w->process.boxes) told.push_back(b.text);
        const Strings scan = w->frm.Scan().NeverClose();
        EXPECT_TRUE(std::find(scan.begin(), scan.end(), "firefox.exe") != scan.end());
        return std::make_tuple(w->reg.CallCount() - before, *ReadNeverClose(w->reg), told);
    };
    const auto [calls, clean, question] = run(std::nullopt);
    EXPECT_EQ(clean, (Strings{"explorer.exe", "firefox.exe"}));
    std::set<std::string> outcomes;
    for (std::uint64_t step = 0; step < calls; ++step) {
        const auto [n, stored, told] = run(step);
        const std::string said = told.size() > 1 ? told[1] : "";
        const bool as = stored == clean ? said.empty() : said == kNeverCloseUnread || said == kNeverCloseUnsaved;
        EXPECT_TRUE(as) << "failed call " << step;
        if (said == kNeverCloseUnread) {
            EXPECT_EQ(stored, Strings{"explorer.exe"}) << step;
        }
        outcomes.insert(said);
    }
    EXPECT_EQ(outcomes, (std::set<std::string>{"", kNeverCloseUnread, kNeverCloseUnsaved}));
}

}  // namespace
}  // namespace qw
