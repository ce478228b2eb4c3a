// The windows' logic: the tray icon, the main window, the start-up that
// chooses between the tray program and a one-shot import, adding, editing and
// removing entries, the settings and options dialog, about and splash.
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "resources/resource.h"
#include "shell/splash.h"
#include "shell/startup.h"
#include "tests/unit/fake_dialogs.h"

namespace qw {
namespace {

// One record for the icon's life: each change sends only its own field, it is
// added again as it stands when Explorer restarts, removed once for good. At
// logon the taskbar may not be ready: a refused add is tried again every 2 s
// until the shell takes it, with the picture and tip set meanwhile.
TEST(SysTray, KeepsOneRecordFromAddToRemove) {
    MemoryShellNotify shell;
    MemoryTimer retry;
    SysTray tray(shell, &retry);
    shell.refuseAdds = 2;
    tray.Form_Load(0x500, 0x77);
    tray.SetIconHandle(0x88);
    tray.RetryTimer_Timer();
    EXPECT_EQ(std::make_tuple(tray.Shown(), retry.IsRunning(), retry.starts), std::make_tuple(false, true, 1));
    tray.SetToolTip("Quellwatch [Disabled]");
    tray.RetryTimer_Timer();
    EXPECT_EQ(std::make_pair(tray.Shown(), retry.IsRunning()), std::make_pair(true, false));
    tray.RetryTimer_Timer();
    shell.icons.clear();  // Explorer restarted
    tray.TaskbarCreated();
    tray.Form_Unload();
    tray.Form_Unload();
    tray.TaskbarCreated();
    using Call = std::tuple<std::uint32_t, std::uint32_t, IconHandle, std::string>;  // message, flags, picture, tip
    std::vector<Call> calls;
    for (const auto& c : shell.calls) {
        calls.emplace_back(c.message, c.data.uFlags, c.data.hIcon, Tip(c.data));
        EXPECT_EQ(std::make_tuple(c.data.cbSize, c.data.hWnd, c.data.uID, c.data.uCallbackMessage),
                  std::make_tuple(88u, WindowHandle{0x500}, 0u, 0x200u));
    }
    const std::string tip = "Quellwatch [Disabled]";
    EXPECT_EQ(calls, (std::vector<Call>{{kNimAdd, 7, 0x77, ""},  {kNimModify, 7, 0x77, ""},  // refused: not ready
                                        {kNimModify, kNifIcon, 0x88, ""}, {kNimAdd, 7, 0x88, ""},
                                        {kNimModify, 7, 0x88, ""},        {kNimModify, kNifTip, 0x88, tip},
                                        {kNimAdd, 7, 0x88, tip},          {kNimAdd, 7, 0x88, tip},
                                        {kNimDelete, 7, 0x88, tip}}));
    EXPECT_EQ(std::string(shell.calls[0].data.szTip, 64), std::string(64, '\0'));
    EXPECT_EQ(shell.calls[5].data.szTip[tip.size() + 1], ' ');  // blanks after the terminator
    EXPECT_TRUE(shell.icons.empty());
}

// Every indicator of the tracking state agrees with the tick.
void ExpectTracking(FrmWorld& w, bool on) {
    const NotifyIconData& icon = w.frm.SysIcon()->Record();
    EXPECT_EQ(std::make_tuple(w.tm.IsRunning(), w.view.status, Tip(icon), w.view.windowIcon, icon.hIcon),
              std::make_tuple(on, on ? kStatusEnabled : kStatusDisabled, on ? kTipEnabled : kTipDisabled,
                              0x1000u + (on ? IDI_TRACK_ON : IDI_TRACK_OFF), w.view.windowIcon));
    EXPECT_EQ(std::make_pair(w.view.enabled[IDM_STAT_ENABLE], w.view.enabled[IDM_STATUS_DISABLE]),
              std::make_pair(!on, on));
}

struct Frm : ::testing::Test, FrmWorld {};

// Missing options mean tracking on, the window shown, the taskbar target and
// the start-with-Windows entry; switches read their leading decimal number.
TEST(FrmLoad, FollowsTheOptions) {
    using Options = std::vector<std::pair<const char*, const char*>>;
    const struct { Options options; bool on, shown, target, runEntry; } cases[] = {
        {{}, true, true, true, true},
        {{{"On at Start", "0"}, {"Task Target", "0"}, {"Run at Start", "0"}}, false, true, false, false},
        {{{"On at Start", "0.5"}, {"Minimized at start", "1"}}, true, false, true, true},
        {{{"On at Start", "abc"}, {"Minimized at start", "0.00"}}, false, true, true, true},
    };
    for (const auto& c : cases) {
        FrmWorld w;
        for (const auto& [name, value] : c.options) w.Option(name, value);
        w.SeedList({"Daily Offer"});
        WriteNeverClose(w.reg, {"keep.exe"});
        w.frm.Form_Load();
        ExpectTracking(w, c.on);
        EXPECT_EQ(std::make_tuple(w.view.visible, w.target.IconOn(),
                                  w.reg.GetString(kHkeyLocalMachine, kRunKeyPath, "Quellwatch").has_value()),
                  std::make_tuple(c.shown, c.target, c.runEntry));
        // The tray icon has the window's picture at first; Close and the separator above it go; the
        // association follows the program wherever it moved, and Explorer is told, showing the icon at once.
        EXPECT_EQ(std::make_tuple(w.trays.shell.calls.front().data.hIcon, w.box.items, w.numWindows.text,
                                  w.view.removedSystemItems, w.process.associationsChanged),
                  std::make_tuple(0x1000u + IDI_TRACK_ON, Strings{"Daily Offer"},
                                  std::string("Quellwatch is currently scanning for 1 window."), std::vector{6, 5}, 1));
        EXPECT_EQ(w.reg.GetString(kHkeyClassesRoot, "Quellwatch Window List\\shell\\open\\command", ""),
                  "\"" + w.process.ProgramPath() + "\" %1" + '\0');
        // The programs never closed are known from the start.
        EXPECT_EQ(w.frm.Scan().NeverClose(), Strings{"keep.exe"});
    }
}

// Every tracking command moves every indicator and writes no option. A right
// click pops the state's menu up, owned by the icon's window so that the main
// window is not raised; a double click restores. A window the scan cannot
// close is named once in the status bar, with why. Help opens the file beside
// the program, or says it is missing; exit asks and ends, removing the tray
// icon, only on OK.
TEST_F(Frm, TrackingTheTrayIconStatusHelpAndExit) {
    frm.Form_Load();
    view.log.clear();
    SysTray& icon = *frm.SysIcon();
    std::vector<std::pair<TrayMenu, WindowHandle>> popups;
    for (const auto& [command, on] : {std::pair{IDM_DISABLE, false}, {IDM_STAT_ENABLE, true},
                                      {IDM_STATUS_DISABLE, false}, {IDM_STATUS_DISABLE, false}, {IDM_ENABLE, true}}) {
        ASSERT_TRUE(frm.OnCommand(command));
        ExpectTracking(*this, on);
        for (int x : {0x204, 0x205, 0x202, 0x208}) icon.Form_MouseMove(x);  // only a right button up pops up
        popups.emplace_back(on ? TrayMenu::kEnabled : TrayMenu::kDisabled, icon.Record().hWnd);
    }
    EXPECT_FALSE(reg.GetString(kHkeyCurrentUser, kOptionsKeyPath, "On at Start"));
    EXPECT_EQ(view.popups, popups);
    EXPECT_TRUE(view.log.empty());
    for (int x : {0x203, 0x206, 0x209}) icon.Form_MouseMove(x);
    frm.Form_Resize(false);
    frm.Form_Resize(true);  // minimized: hidden, until opened from either menu
    frm.OnCommand(IDM_OPEN2);
    frm.OnCommand(IDM_OPEN1);
    EXPECT_EQ(view.log, (Strings{"show", "front", "show", "front", "show", "front", "hide", "show", "show"}));

    List({"offer"});
    windows.Add(0x50, "Offer of an administrator").elevated = true;
    windows.Add(0x51, "Offer not answering").hung = true;
    frm.Tm_Timer();
    EXPECT_EQ(view.status, "Cannot close \"Offer not answering\": its program is not responding.");
    EXPECT_EQ(CannotCloseText("Offer of an administrator", CloseRefusal::kElevated),
              "Cannot close \"Offer of an administrator\": it belongs to a program running as administrator.");
    view.status.clear();
    frm.Tm_Timer();
    EXPECT_EQ(view.status, "");  // once
    windows.windows.back().hung = false;
    frm.Tm_Timer();
    EXPECT_EQ(std::make_pair(view.status, windows.Closed()), std::make_pair(std::string(), Handles{0x51}));

    process.answers = {kIdOk, kIdCancel};
    frm.OnCommand(IDM_HELPFILE);
    process.files = {process.folder + "\\Quellbox.chm"};
    frm.OnCommand(IDM_HELPFILE);
    frm.OnCommand(IDM_EXIT1);
    EXPECT_EQ(FactsOf(process.boxes), (Boxes{{kHelpMissing, "Error", 0x10010u, kMain},
                                             {kExitQuestion, "Quellwatch", 0x10031u, kMain}}));
    ASSERT_EQ(process.executed.size(), 1u);
    const auto& run = process.executed[0];
    EXPECT_EQ(std::tie(run.operation, run.file, run.parameters, run.directory, run.show),
              std::make_tuple(std::string("open"), process.files[0], std::string(), process.folder, 1));
    EXPECT_EQ(std::make_tuple(process.ended, frm.SysIcon() != nullptr, tm.IsRunning()), std::make_tuple(0, true, true));
    frm.OnCommand(IDM_CLOSE);
    EXPECT_EQ(std::make_tuple(process.ended, trays.shell.calls.back().message, frm.SysIcon()),
              std::make_tuple(1, kNimDelete, nullptr));
}

// The File menu acts only when a file was chosen; an import is saved under
// the lock, which is never held while the user is asked anything.
TEST_F(Frm, ImportAndExportGoThroughTheFileDialogs) {
    frm.Form_Load();
    SeedList({"Daily offer"});
    frm.OnCommand(IDC_REFRESHL);  // the export below holds what it reloaded
    dialogs.answers = {"", "C:\\lists\\new.wnl"};
    frm.OnCommand(IDM_EXPORT);
    EXPECT_TRUE(files.files.empty());  // cancelled
    frm.OnCommand(IDM_EXPORT);
    ASSERT_EQ(dialogs.shown.size(), 2u);
    const FileDialogRequest& save = dialogs.shown[0].second;
    EXPECT_EQ(std::tie(dialogs.shown[0].first, save.owner, save.title, save.flags, save.defaultExtension, save.filter),
              std::make_tuple(true, kMain, std::string("Export Window List"), 0x80Eu, std::string("wnl"),
                              std::string("Window Lists (*.wnl)\0*.wnl\0\0", 28)));
    EXPECT_EQ(files.files["C:\\lists\\new.wnl"], kHead + Line("Daily offer"));
    files.files["C:\\lists\\more.wnl"] = kHead + Line("abcde");
    files.files["C:\\lists\\wrong.wnl"] = "quellbox2\r\n";
    dialogs.answers = {"", "C:\\lists\\wrong.wnl", "C:\\lists\\more.wnl"};
    std::vector<int> held;  // the lock's depth whenever the user is asked something
    dialogs.during = process.duringBox = [&] { held.push_back(lock.depth); };
    const int savesBefore = lock.acquired;
    frm.OnCommand(IDM_IMP);
    frm.OnCommand(IDM_IMP);
    EXPECT_EQ(StoredList(), Strings{"Daily offer"});
    EXPECT_EQ(BoxTexts(), Strings{"This window list is invalid, or it may be from an newer version of Quellwatch."});
    frm.OnCommand(IDM_IMP);
    const FileDialogRequest& open = dialogs.shown[2].second;
    EXPECT_EQ(held, std::vector<int>(4, 0));
    EXPECT_EQ(std::tie(dialogs.shown[2].first, open.title, open.flags, open.filter),
              std::make_tuple(false, std::string("Import Window List"), 0x180Cu,
                              std::string("Window Lists (*.wnl)\0*.wnl\0All Files (*.*)\0*.*\0\0", 48)));
    EXPECT_EQ(StoredList(), (Strings{"Daily offer", "abcde"}));
    EXPECT_EQ(numWindows.text, "Quellwatch is currently scanning for 2 windows.");
    EXPECT_GE(lock.acquired - savesBefore, 3);  // every import saved under the lock
    EXPECT_EQ(lock.depth, 0);
    // Another copy holds the list past the bound: the user hears of it, and
    // the entry waits in the list for the next save.
    lock.busyFor = 1;
    process.boxes.clear();
    AddByDialog("Waiting entry");
    EXPECT_EQ(FactsOf(process.boxes), (Boxes{{std::string(kListBusy) + "\r\nYour change is kept and will be saved "
                                              "with your next change.", "Quellwatch", 0x10030u, kMain}}));
    frm.OnCommand(IDC_REFRESHL);
    EXPECT_EQ(std::make_pair(lv.Count(), StoredList().size()), std::make_pair(3, std::size_t{2}));
    AddByDialog("Next entry");
    EXPECT_EQ(StoredList(), (Strings{"Daily offer", "abcde", "Waiting entry", "Next entry"}));
}

// The start-up's host is the test: it records what Main asks of it.
struct Startup : FrmWorld, StartupHost {
    std::string commandLine, title;
    NamedObject another = NamedObject::kCreated, trayCopy = NamedObject::kAbsent;
    int loads = 0, reloads = 0, splashes = 0;
    PublicFlags flags;

    std::string CommandLine() override { return commandLine; }
    NamedObject ClaimTrayCopy() override { return another; }
    NamedObject FindTrayCopy() override { return trayCopy; }
    void TellTrayCopyToReload() override { ++reloads; }
    void SetAppTitle(const std::string& t) override { title = t; }
    MainFrm& LoadMainFrm() override {
        ++loads;
        frm.Form_Load();
        return frm;
    }
    void ShowSplash() override { ++splashes; }
    void AskTrayCopyToExit() override { ADD_FAILURE() << "not asked here"; }
    void Pause(unsigned) override {}
    void Run() {
        commandLineMode = true;  // what Main sets first, seen by the window
        Main(*this, process, reg, flags);
        commandLineMode = flags.commandLineMode;
    }
};

// A second copy is refused, also beside a copy running as administrator,
// whose object refuses it; otherwise the splash comes first unless "Show
// Splash Screen" reads as 0, and loads the main window itself when it goes.
TEST(Start, TheTrayProgramStartsOnceOutOfCommandLineMode) {
    using N = NamedObject;
    const std::tuple<N, const char*, int, int> cases[] = {  // the tray copy's object, the option, splashes, loads
        {N::kCreated, nullptr, 1, 0}, {N::kCreated, "1", 1, 0}, {N::kCreated, "0", 0, 1}, {N::kAbsent, "abc", 0, 1},
        {N::kExisted, "1", 0, 0},     {N::kDenied, "1", 0, 0}};
    for (const auto& [object, option, splashes, loads] : cases) {
        Startup w;
        if (option) w.Option("Show Splash Screen", option);
        w.another = object;
        const bool another = ObjectExists(object);
        w.Run();
        EXPECT_EQ(w.title, "Quellwatch 1.6");
        EXPECT_EQ(std::make_tuple(w.splashes, w.loads, w.flags.commandLineMode, w.process.ended),
                  std::make_tuple(splashes, loads, another, another ? 1 : 0)) << (option ? option : "missing");
        EXPECT_EQ(FactsOf(w.process.boxes), (another ? Boxes{{kAlreadyRunning, "Quellwatch", 0x10040u, 0}}
                                                     : Boxes{}));  // no window of ours exists yet
    }
}

// The one-shot import: asked, merged into the stored list, reported, and the
// tray copy told; the process never shows a window or scans, and holds the
// list lock only between its question and its report. While a tray copy
// holds the list, the user may try again or give up.
TEST(Start, ACommandLineImportsTheFileAndEnds) {
    const std::string wnl = kHead + Line("abcde"), path = "C:\\lists\\my list.wnl", ask = "Import my list.wnl ?";
    const struct { std::string commandLine, file; std::vector<int> answers; int busy; bool trayCopy;
                   Strings boxes, stored; unsigned exitCode; } cases[] = {
            {path, wnl, {kIdYes}, 0, false, {ask, kImported}, {"Offer", "abcde"}, 0},
            {" \"" + path + "\" ", wnl, {kIdYes}, 0, true, {ask, kImportedPressRefresh}, {"Offer", "abcde"}, 0},
            {path, wnl, {kIdNo}, 0, false, {ask}, {"Offer"}, 1},
            {"C:\\lists\\gone.wnl", "", {kIdYes}, 0, false,
             {"Import gone.wnl ?", "Cannot open the window list\r\nC:\\lists\\gone.wnl"}, {"Offer"}, 2},
            {path, "quellbox2\r\n", {kIdYes}, 0, false,
             {ask, "This window list is invalid, or it may be from an newer version of Quellwatch."}, {"Offer"}, 2},
            {path, wnl + "\x41", {kIdYes}, 0, false, {ask, "The window list could not be read to its end\r\n" + path},
             {"Offer", "abcde"}, 2},
            {path, wnl, {kIdYes, kIdRetry}, 1, true, {ask, kListBusy, kImportedPressRefresh}, {"Offer", "abcde"}, 0},
            {path, wnl, {kIdYes, kIdCancel}, 1, true, {ask, kListBusy}, {"Offer"}, 3},
        };
    for (const auto& c : cases) {
        Startup w;
        w.SeedList({"Offer"});
        if (!c.file.empty()) w.files.files[path] = c.file;
        w.process.answers = c.answers;
        w.commandLine = c.commandLine;
        // A tray copy running as administrator refuses to let its object be opened.
        w.trayCopy = !c.trayCopy ? NamedObject::kAbsent : c.busy ? NamedObject::kDenied : NamedObject::kExisted;
        w.lock.busyFor = c.busy;
        std::vector<int> held;
        w.process.duringBox = [&] { held.push_back(w.lock.depth); };
        w.Run();
        EXPECT_EQ(w.BoxTexts(), c.boxes) << c.commandLine;
        EXPECT_EQ(held, std::vector<int>(c.boxes.size(), 0)) << c.commandLine;
        for (const auto& b : w.process.boxes) EXPECT_EQ(b.owner, kMain);  // an owner of ours, which the scan spares
        EXPECT_EQ(w.StoredList(), c.stored) << c.commandLine;
        EXPECT_EQ(w.reloads, c.stored.size() > 1 && c.trayCopy ? 1 : 0);
        EXPECT_EQ(std::make_tuple(w.process.ended, w.process.exitCode, w.flags.commandLineMode, w.tm.IsRunning(),
                                  w.view.visible, w.frm.SysIcon(), w.lock.depth),
                  std::make_tuple(1, c.exitCode, true, false, false, nullptr, 0));
    }
}

// An import cut short anywhere (the file layer stops the process, or the
// registry does during the save) leaves the stored list old or merged, whole.
TEST(Start, AnImportCutShortAnywhereKeepsTheStoredListWhole) {
    const std::string wnl = kHead + Line("Imported one") + Line("Imported two") + Line("Imported three");
    const Strings old = {"Offer"}, merged = {"Offer", "Imported one", "Imported two", "Imported three"};
    for (std::uint64_t step = 1; step < 400; ++step) {
        Startup w;
        w.SeedList(old);
        w.commandLine = "C:\\lists\\my list.wnl";
        w.files.files[w.commandLine] = wnl;
        w.files.SetReadChunk(7);
        w.process.answers = {kIdYes};
        if (step < 40) w.files.StopAt(step); else w.reg.StopAfter(step - 40);
        try {
            w.Run();
        } catch (const ProcessStopped&) {
        }
        w.reg.Heal();
        const Strings stored = w.StoredList();
        EXPECT_TRUE(stored == old || stored == merged) << "step " << step;
    }
    // One call refused anywhere: "imported" only when the file is stored,
    // else why not, and the exit code says so; the next change of a tray
    // copy loses nothing.
    const auto loaded = [](FrmWorld& w) {
        EntryList list;
        WindowListStore(w.reg, list, nullptr, w.lower, ",").LoadWindowList();
        return list.Items();
    };
    const std::string unsaved =
        "Could not save the window list: the registry denied access to it.\r\nmy list.wnl was not imported.";
    const auto import = [&](std::uint64_t fail) {
        auto w = std::make_unique<Startup>();
        w->SeedList(old);
        w->commandLine = "C:\\lists\\my list.wnl";
        w->files.files[w->commandLine] = wnl;
        w->process.answers = {kIdYes};
        w->reg.FailAt(fail);
        w->Run();
        w->reg.Heal();
        return w;
    };
    const std::uint64_t calls = import(~std::uint64_t{0})->reg.CallCount();
    for (std::uint64_t n = 0; n < calls; ++n) {
        const auto world = import(n);
        Startup& w = *world;
        const bool imported = loaded(w) == merged;
        EXPECT_EQ(std::make_tuple(w.BoxTexts().back(), w.process.exitCode, imported ? merged : old),
                  std::make_tuple(imported ? kImported : unsaved, imported ? 0u : 3u, loaded(w)))
            << "at " << n;
        EntryList lv;
        WindowListStore tray(w.reg, lv, nullptr, w.lower, ",");
        tray.LoadWindowList();
        lv.Add("One more entry");
        tray.SaveWindowList(ListChange::Add("One more entry"));
        Strings next = imported ? merged : old;
        next.push_back("One more entry");
        EXPECT_EQ(loaded(w), next) << "at " << n;
    }
}

TEST(CommandLine, TheArgumentsFollowTheProgramsOwnPath) {
    const std::string module = "C:\\Program Files\\Quellwatch\\Quellbox.exe";
    const std::pair<const char*, const char*> cases[] = {
        {"\"C:\\Program Files\\Quellwatch\\Quellbox.exe\"", ""},
        {"\"C:\\Program Files\\Quellwatch\\Quellbox.exe\"  C:\\my lists\\a.wnl", "C:\\my lists\\a.wnl"},
        {"\"C:\\Program Files\\Quellwatch\\Quellbox.exe\" \"C:\\a b.wnl\"", "\"C:\\a b.wnl\""},
        // Unquoted, as a Run entry of a path with a space is handed over.
        {"C:\\Program Files\\Quellwatch\\Quellbox.exe", ""}, {"c:\\program files\\quellwatch\\QUELLBOX.EXE ", ""},
        {"C:\\Program Files\\Quellwatch\\Quellbox.exe C:\\my lists\\a.wnl", "C:\\my lists\\a.wnl"},
        {"C:\\Program Files\\Quellwatch\\Quellbox C:\\a.wnl", "C:\\a.wnl"},
        // Started by another name: the first word is the program.
        {"Quellbox.exe", ""}, {"Quellbox  a.wnl", "a.wnl"}, {"", ""},
    };
    for (const auto& [commandLine, arguments] : cases)
        EXPECT_EQ(ArgumentsAfterProgramPath(commandLine, module), arguments) << commandLine;
}

// Every way in applies the five-character rule to the text as typed or
// offered, and the save's reload has the last word. `edited`: "Second entry"
// edited to the text; `added`: by the add dialog and the taskbar target. A
// full list refuses one more with a message rather than losing an entry.
TEST_F(Frm, TheFiveCharacterRuleAndTheReloadForEveryWayIn) {
    const Strings base = {"Daily offer", "Second entry"};
    const std::string overlong(300, 'x');
    const struct { std::string text; Strings added, edited; bool refused; } cases[] = {
        {"", base, base, false}, {"abcd", base, base, true},
        {"abcde", {"Daily offer", "Second entry", "abcde"}, {"Daily offer", "abcde"}, false},
        {"     ", {"Daily offer", "Second entry", "     "}, {"Daily offer", "     "}, false},
        {"DAILY OFFER", base, {"Daily offer"}, false},
        // Characters as typed, not bytes nor UTF-16 units: four, then five.
        {u8"東京都😀", base, base, true},
        {u8"東京都大阪", {"Daily offer", "Second entry", u8"東京都大阪"}, {"Daily offer", u8"東京都大阪"}, false},
        {overlong, base, {"Daily offer"}, false},
    };
    for (const auto& c : cases) {
        for (int way = 0; way < 3; ++way) {
            // An untitled window is never offered; a title is read to 254 characters.
            if (way == 2 && (c.text.empty() || c.text.size() > 254)) continue;
            List(base);
            process.boxes.clear();
            if (way == 0) {
                AddByDialog(c.text);
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
    Strings full;
    for (int i = 0; i < EntryList::kMaxEntries; ++i) full.push_back("entry number " + std::to_string(i));
    List(full);
    process.boxes.clear();
    AddByDialog("one entry too many");
    EXPECT_EQ(FactsOf(process.boxes), (Boxes{{kListFull, "Error", 0x10010u, addItemView.handle}}));
    EXPECT_EQ(std::make_pair(addItemView.open, addItemView.text),
              std::make_pair(true, std::string("one entry too many")));
    OfferByTarget(9, "Another entry too many", kIdYes);
    EXPECT_EQ(process.boxes.back().text, kListFull);
    frm.Store().LoadWindowList();
    EXPECT_EQ(lv.Items(), full);
}

// The picker lists titles cut at the earliest known browser suffix, matched
// with its case, and windows on other virtual desktops, not those nobody sees;
// the crosshair takes the whole title.
TEST_F(Frm, ThePickerListsEligibleTitlesAndTheCrosshairTakesTheWholeTitle) {
    const Strings titles = {"Start Page - Microsoft Internet Explorer", "Calc", " - Mozilla", "News - Netscape 6",
                            "A - Mozilla - B - Netscape", "Mail - netscape", "Calc"};
    for (std::size_t i = 0; i < titles.size(); ++i) windows.Add(i + 1, titles[i]);
    windows.Add(0x10, "Hidden", false);
    windows.Add(0x300, "Add new item");
    windows.Add(kMain, "Quellwatch v1.6");
    windows.Add(0x20, "Add New Item").root = kMain;  // a button of the main window
    FakeWindow& elsewhere = windows.Add(0x11, "On another virtual desktop");
    elsewhere.cloaked = kDwmCloakedShell, elsewhere.otherDesktop = true;
    windows.Add(0x12, "Microsoft Text Input Application").cloaked = kDwmCloakedShell;
    windows.Add(0x13, "Calc (Not Responding)").className = "Ghost";
    frm.OnCommand(IDC_LADD);
    add.Form_Activate();
    EXPECT_EQ(addItemView.rows,
              (Strings{"Start Page", "Calc", "News", "A", "Mail - netscape", "Calc", "On another virtual desktop"}));
    EXPECT_EQ(windows.calls[0x10].text, 0);  // a hidden window's title is never asked for
    add.WndwList_Click(0);
    EXPECT_EQ(addItemView.text, "Start Page");
    windows.underPointer = 1;
    add.Target_MouseDown();
    EXPECT_TRUE(addItemView.crosshair);
    add.Target_MouseUp();
    const auto whole = std::make_pair(titles[0], false);  // the text, and the crosshair gone
    EXPECT_EQ(std::make_pair(addItemView.text, addItemView.crosshair), whole);
    for (WindowHandle refused : {0x300, 0x20, 0x10, 0}) {  // ours, a control of ours, hidden, none
        windows.underPointer = refused;
        process.boxes.clear();
        add.Target_MouseDown();
        add.Target_MouseUp();
        EXPECT_EQ(std::make_pair(addItemView.text, addItemView.crosshair), whole);
        EXPECT_EQ(FactsOf(process.boxes), (Boxes{{kInvalidWindow, "Error", 0x10010u, 0x300}}));
    }
    add.no_Click();
    EXPECT_EQ(std::make_pair(addItemView.open, addItemView.text), std::make_pair(false, std::string()));
}

// Other commands may change the list while the edit dialog is open, or in the
// removal question's own message loop: Apply changes the entry that was
// opened, OK removes the one confirmed, wherever it moved, and nothing once it
// is gone.
TEST_F(Frm, EditAndRemovalFollowTheChosenEntry) {
    const Strings abc = {"Alpha entry", "Beta entry", "Gamma entry"}, ac = {"Alpha entry", "Gamma entry"};
    const std::tuple<int, Strings, Strings> cases[] = {  // 0: edit, else the removal's answer; `lv` meanwhile; after
        {0, abc, {"Alpha entry", "Edited entry", "Gamma entry"}},
        {0, {"Beta entry", "Gamma entry"}, {"Edited entry", "Gamma entry"}},  // moved up
        {0, {"Alpha entry", "Gamma entry", "BETA ENTRY"}, {"Alpha entry", "Gamma entry", "Edited entry"}},
        {0, ac, ac},                                                          // gone
        {0, {"Alpha entry"}, {"Alpha entry"}},                                // index gone too
        {kIdCancel, {}, abc}, {kIdOk, {}, ac},
        {kIdOk, {"New first", "Alpha entry", "Beta entry", "Gamma entry"}, {"New first", "Alpha entry", "Gamma entry"}},
        {kIdOk, ac, ac},
    };
    for (const auto& [answer, meanwhile, after] : cases) {
        List(abc);
        box.selection = 1;
        process.boxes.clear();
        if (answer) {
            process.answers = {answer};
            if (!meanwhile.empty()) process.duringBox = [&, list = meanwhile] { List(list); };
            frm.OnCommand(IDC_LREM);
            process.duringBox = nullptr;
            const BoxFacts asked("Remove Entry: Beta entry ?", "Are you sure?", 0x10121u, kMain);
            EXPECT_EQ(FactsOf(process.boxes), Boxes{asked});
        } else {
            frm.OnCommand(IDC_EDITENTRY);
            EXPECT_EQ(std::tie(edit.EditIndex(), editView.text), std::make_tuple("1", "Beta entry"));
            List(meanwhile);
            editView.text = "Edited entry";
            edit.Done_Click();
            EXPECT_FALSE(editView.open);
        }
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

TEST_F(Frm, TheTaskbarTargetNotesTheForegroundWindowAndOffersItsCutTitle) {
    target.ShowTargetIcon();
    target.ShowTargetIcon();  // one icon, however often it is asked for
    EXPECT_TRUE(view.checked[IDM_ENTASK1] && view.checked[IDM_ENTASK2]);
    ASSERT_EQ(trays.trays.size(), 1u);
    SysTray& icon = *trays.trays[0];
    EXPECT_EQ(std::make_tuple(icon.Record().hIcon, Tip(icon.Record())),
              std::make_tuple(IconHandle{0x1000 + 104}, kTargetTip));  // its own picture, resource 104
    const std::pair<std::string, Strings> cases[] = {
        {"Start Page - Microsoft Internet Explorer", {"Add \"Start Page\"\r\nto Quellwatch's window list?"}},
        {"A - Mozilla Firefox", {kTitleTooShort}},  // the cut text obeys the rule too
        {" - Mozilla", {}}, {"Calc", {kTitleTooShort}},
    };
    WindowHandle handle = 10;
    for (const auto& [title, boxes] : cases) {
        windows.Add(++handle, title);
        windows.foreground = handle;
        process.boxes.clear();
        process.answers = {kIdNo};
        for (int x : {0x200, 0x204, 0x207, 0x201}) icon.Form_MouseMove(x);  // right and middle buttons do nothing
        EXPECT_EQ(BoxTexts(), boxes) << title;
        for (const auto& b : process.boxes) EXPECT_EQ(b.owner, kMain);
        EXPECT_EQ(lv.Count(), 0);
    }
    // The title is read only when the foreground window changes.
    windows.windows.back().title = "Renamed window";
    target.Target_SysTrayMouseMove();
    EXPECT_EQ(target.PendingTargetTitle(), "Calc");
    windows.Add(0x40, "").className = "TopLevelWindowForOverflowXamlIsland";
    windows.foreground = 0x40;  // the flyout that shows the target: the window before it counts
    target.Target_SysTrayMouseMove();
    EXPECT_EQ(target.PendingTargetTitle(), "Calc");
    windows.foreground = kMain;  // the program's own window offers nothing
    target.Target_SysTrayMouseMove();
    EXPECT_EQ(target.PendingTargetTitle(), "");
    for (const char* stored : {"0", "1"}) {
        target.TaskbarTarget_Click();
        const bool on = *stored == '1';
        EXPECT_EQ(std::make_tuple(target.IconOn(), view.checked[IDM_ENTASK2], trays.unloads),
                  std::make_tuple(on, on, 1));
        EXPECT_EQ(RegReadString(reg, kHkeyCurrentUser, kOptionsKeyPath, "Task Target", ""), stored);
    }
}

// Two copies of the program over one registry: every command tells its save
// what it changed, and when the other copy saved meanwhile, the change is made
// again on the list that copy stored, never written over it.
TEST_F(Frm, EveryCommandsChangeIsMadeAgainOnTheListAnotherCopySaved) {
    const auto adding = [&] { AddByDialog("Added"); };
    const auto editing = [&] {
        box.selection = 1;
        frm.OnCommand(IDC_EDITENTRY);
        editView.text = "Edited";
        edit.Done_Click();
    };
    const auto removing = [&] {
        box.selection = 0;
        process.answers = {kIdOk};
        frm.OnCommand(IDC_LREM);
    };
    const auto offering = [&] { OfferByTarget(7, "Offered", kIdYes); };
    const auto importing = [&] {
        dialogs.answers = {"C:\\lists\\more.wnl"};
        frm.OnCommand(IDM_IMP);
    };
    files.files["C:\\lists\\more.wnl"] = kHead + Line("FILE TWO") + Line("file three");
    const Strings abo = {"Alpha", "Bravo", "Other"};
    const std::tuple<const char*, Strings, std::function<void()>, Strings> cases[] = {  // the other copy stored
        {"both add", abo, adding, {"Alpha", "Bravo", "Other", "Added"}},
        {"added there, edited here", abo, editing, {"Alpha", "Edited", "Other"}},
        {"added there, removed here", abo, removing, {"Bravo", "Other"}},
        {"added there, offered here", abo, offering, {"Alpha", "Bravo", "Other", "Offered"}},
        {"added there, imported here", abo, importing, {"Alpha", "Bravo", "Other", "FILE TWO", "file three"}},
        {"removed there, added here", {"Alpha"}, adding, {"Alpha", "Added"}},
        {"an edit of an entry removed there", {"Alpha"}, editing, {"Alpha"}},
        {"edited there in case only, removed here", {"ALPHA", "Bravo"}, removing, {"Bravo"}},
        {"the same entry added by both", {"Alpha", "Bravo", "ADDED"}, adding, {"Alpha", "Bravo", "ADDED"}},
        {"two files merged", {"Alpha", "Bravo", "file two"}, importing, {"Alpha", "Bravo", "file two", "file three"}},
    };
    for (const auto& [what, theirs, command, stored] : cases) {
        List({"Alpha", "Bravo"});
        EntryList other;
        WindowListStore store(reg, other, nullptr, lower, ",");
        store.LoadWindowList();
        other.Assign(theirs);
        store.SaveWindowList();
        process.boxes.clear();
        command();
        EXPECT_EQ(std::make_tuple(StoredList(), lv.Items(), reg.ValueNames(kHkeyCurrentUser, kDataKeyPath).size()),
                  std::make_tuple(stored, stored, stored.size() + 1)) << what;
        for (const auto& b : process.boxes) EXPECT_EQ(b.flags & 0xF0, 0x20u) << b.text;  // questions only
    }
}

using Values = std::map<std::string, std::string>;
using Text = std::optional<std::string>;
const char kModule[] = "C:\\Program Files\\Quellwatch\\Quellbox.exe";
const char kQuotedModule[] = "\"C:\\Program Files\\Quellwatch\\Quellbox.exe\"";

// What each side makes of a stored text; nothing stored gives the side's default.
TEST(SettingsTable, EachSideReadsStoredTextsItsOwnWay) {
    using S = Setting;
    const std::tuple<Setting, Text, bool, bool> switches[] = {  // program, dialog
        {S::kPlaySound, std::nullopt, false, true},  // checked in the dialog, silent until OK
        {S::kPlaySound, "True", true, false},        // a flag word, but no number
        {S::kPlaySound, "0.5", true, true},          {S::kPlaySound, "1abc", false, true},
        {S::kOnAtStart, std::nullopt, true, true},   {S::kOnAtStart, "0", false, false},
        {S::kOnAtStart, ".25", true, true},          {S::kOnAtStart, " -2", true, true},
        {S::kOnAtStart, "0.00", false, false},       {S::kOnAtStart, "abc", false, false},
        {S::kOnAtStart, "", false, false},           {S::kOnAtStart, "99999999999999999999", true, true},
        {S::kShowSplashScreen, std::nullopt, true, true}, {S::kMinimizedAtStart, std::nullopt, false, false},
        {S::kRunAtStart, std::nullopt, true, true},  {S::kTaskTarget, " 7", true, true},
    };
    for (const auto& [setting, stored, program, dialog] : switches) {
        MemoryRegistry reg;
        if (stored) reg.PutString(kHkeyCurrentUser, kOptionsKeyPath, Info(setting).name, *stored);
        EXPECT_EQ(ReadSwitch(reg, setting), program) << Info(setting).name << " " << stored.value_or("-");
        EXPECT_EQ(ReadSwitch(reg, setting, Side::kDialog), dialog) << Info(setting).name << " " << stored.value_or("-");
    }
    // The close action's flag word: a number other than 0, or True.
    const std::pair<const char*, bool> flags[] = {{"1", true},  {"-1", true}, {"True", true}, {"true", true},
                                                  {"0", false}, {"False", false}, {"", false}, {"yes", false},
                                                  {"1x", false}};
    for (const auto& [text, on] : flags) EXPECT_EQ(SoundFlagOn(text), on) << text;
    // The icon index is 1 to 9 whatever is stored; 65538 would be 2 in 16 bits.
    const std::pair<Text, int> icons[] = {{std::nullopt, 1}, {"9", 9}, {"3abc", 3}, {"0", 1}, {"42", 1},
                                          {"70000", 1}, {"65538", 1}, {"abc", 1}, {"-3", 1}};
    for (const auto& [stored, index] : icons) {
        MemoryRegistry reg;
        if (stored) reg.PutString(kHkeyCurrentUser, kOptionsKeyPath, "FileIcon", *stored);
        EXPECT_EQ(std::make_pair(ReadIconIndex(reg), ReadIconIndex(reg, Side::kDialog)), std::make_pair(index, index))
            << stored.value_or("-");
    }
    MemoryRegistry reg;
    EXPECT_EQ(std::make_pair(ReadText(reg, Setting::kSound), ReadText(reg, Setting::kSound, Side::kDialog)),
              std::make_pair(std::string(), std::string(" ")));
}

struct OptionsWorld {
    MemoryRegistry reg;
    MemoryProcess process;
    MemorySound sound;
    MemoryFileDialogs dialogs;
    FakeOptionsView view;
    std::vector<int> registered;
    std::size_t storedBeforeRegistering = 0;
    Options options{view, OptionsPlatform{reg, process, sound, dialogs,
                                          [this](int index) {
                                              registered.push_back(index);
                                              storedBeforeRegistering =
                                                  reg.ValueNames(kHkeyCurrentUser, kOptionsKeyPath).size();
                                          },
                                          kModule}};

    void Store(const Values& values) {
        for (const auto& [name, text] : values) reg.PutString(kHkeyCurrentUser, kOptionsKeyPath, name, text);
    }
    Values Stored() {
        Values values;
        for (const std::string& name : reg.ValueNames(kHkeyCurrentUser, kOptionsKeyPath))
            values[name] = *reg.GetString(kHkeyCurrentUser, kOptionsKeyPath, name);
        return values;
    }
};

struct OptionsDialog : ::testing::Test, OptionsWorld {};

// The load shows sane states whatever is stored; OK stores all eight values in their forms.
TEST(OptionsDialogLoad, ShowsSaneStatesAndOkStoresTheForms) {
    const Values kInForms = {{"On at Start", "0"},  {"Show Splash Screen", "0"}, {"Minimized at start", "1"},
                             {"Run at Start", "0"}, {"Task Target", "0"},        {"Play Sound", "0"},
                             {"Sound", "C:\\ding.wav"}, {"FileIcon", "7"}};
    // Shown: the controls as FakeOptionsView::state, and the sound's path.
    const struct { const char* label; Values stored; std::array<int, 8> shown; const char* cd; Values afterOk;
                   bool runEntry; } cases[] = {
        {"no Options key", {}, {1, 0, 1, 1, 1, 1, 1, 2}, " ",
         {{"On at Start", "1"}, {"Show Splash Screen", "1"}, {"Minimized at start", "0"}, {"Run at Start", "1"},
          {"Task Target", "1"}, {"Play Sound", "1"}, {"Sound", " "}, {"FileIcon", "1"}},
         true},
        {"in their forms", kInForms, {0, 1, 0, 0, 0, 0, 7, 8}, "C:\\ding.wav", kInForms, false},
        {"outside the forms",
         {{"On at Start", "abc"}, {"Show Splash Screen", "7"}, {"Minimized at start", "0.5"}, {"Run at Start", "2"},
          {"Task Target", " 1"}, {"Play Sound", "True"}, {"FileIcon", "70000"}},
         {0, 1, 1, 1, 1, 0, 1, 2}, " ",
         {{"On at Start", "0"}, {"Show Splash Screen", "1"}, {"Minimized at start", "1"}, {"Run at Start", "1"},
          {"Task Target", "1"}, {"Play Sound", "0"}, {"Sound", " "}, {"FileIcon", "1"}},
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        OptionsWorld w;
        w.Store(c.stored);
        w.options.ShowOptionsPage(kPageSounds);
        EXPECT_TRUE(w.view.visible && w.view.page == kPageSounds && w.view.icon == IDI_TRACK_ON);
        EXPECT_EQ(std::make_pair(w.view.state, w.view.text), std::make_pair(c.shown, std::string(c.cd)));
        w.options.OK_Click();
        const Text run = w.reg.GetString(kHkeyLocalMachine, kRunKeyPath, "Quellwatch");
        EXPECT_EQ(std::make_tuple(w.view.open, w.Stored(), w.registered, run),
                  std::make_tuple(false, c.afterOk, std::vector{c.shown[6]},
                                  c.runEntry ? Text(kQuotedModule) : Text()));
        if (!c.stored.empty()) continue;
        // The association follows the seven values OK writes itself; the Run entry comes last.
        EXPECT_EQ(w.reg.ValueNames(kHkeyCurrentUser, kOptionsKeyPath),
                  (std::vector<std::string>{"On at Start", "Show Splash Screen", "Minimized at start", "Sound",
                                            "Play Sound", "Task Target", "FileIcon", "Run at Start"}));
        EXPECT_EQ(w.storedBeforeRegistering, 7u);
    }
}

// OK failing at any one registry call loses at most the value it was writing.
TEST(OptionsFaults, AFailedWriteLeavesTheOtherSettingsWritten) {
    OptionsWorld clean;
    clean.options.ShowOptionsPage(kPageOnStartup);
    const std::uint64_t before = clean.reg.CallCount();
    clean.options.OK_Click();
    for (std::uint64_t step = 0; step < clean.reg.CallCount() - before; ++step) {
        OptionsWorld w;
        w.options.ShowOptionsPage(kPageOnStartup);
        w.reg.FailAt(step);
        w.options.OK_Click();
        w.reg.Heal();
        std::size_t present = 0;
        for (const SettingInfo& info : kSettings)
            present += w.reg.GetString(kHkeyCurrentUser, kOptionsKeyPath, info.name) ? 1 : 0;
        EXPECT_GE(present, kSettingCount - 1) << "failed call " << step;
        EXPECT_FALSE(w.view.open) << step;  // the dialog closes all the same
    }
}

// Reopened on another page or cancelled, the dialog drops what was not saved.
// A read gives back 254 characters at most: the chooser refuses a longer
// sound path, which would be lost. The held sound plays, stored or not; the
// slider previews icon p + 1.
TEST_F(OptionsDialog, DropsUnsavedChangesTakesOnlyPathsThatReadBackAndPreviews) {
    Store({{"Minimized at start", "1"}, {"Sound", "C:\\ding.wav"}, {"FileIcon", "4"}});
    const Values before = Stored();
    options.ShowOptionsPage(kPageOnStartup);
    const auto loaded = view.state;
    view.state = {0, 0, 0, 0, 0, 0, 9, 10};
    view.text = "C:\\other.wav";
    options.ShowOptionsPage(kPageListIcon);
    EXPECT_EQ(view.loads, 2);
    EXPECT_TRUE(view.visible && view.page == kPageListIcon);
    EXPECT_EQ(view.state, loaded);
    EXPECT_EQ(view.text, "C:\\ding.wav");
    view.SetChecked(OptionsCheck::kStartMin, false);
    options.No_Click();
    EXPECT_FALSE(view.open);
    EXPECT_EQ(Stored(), before);
    EXPECT_TRUE(registered.empty());
    auto path = [](std::size_t length) { return "C:\\" + std::string(length - 7, 'a') + ".wav"; };
    std::string cyrillic = "C:\\";
    for (int i = 0; i < 100; ++i) cyrillic += u8"Ж";
    cyrillic += "\\" + std::string(140, 'a') + ".wav";
    const std::tuple<std::string, std::string, bool, bool> cases[] = {  // answer ("": cancel), CD, refused, reload
        {path(254), path(254), false, false}, {path(255), "C:\\ding.wav", true, false},
        {cyrillic, cyrillic, false, false},  // 248 characters, 348 bytes
        {"", "C:\\ding.wav", false, false},
        {"C:\\chime.wav", "C:\\ding.wav", false, true},  // the answer belongs to the closed dialog
    };
    const BoxFacts told(kSoundPathTooLong, "Error", 0x10010u, kDialog);
    for (const auto& [answer, cd, refused, reload] : cases) {
        options.ShowOptionsPage(kPageSounds);
        process.boxes.clear();
        dialogs.answers = {answer};
        dialogs.during = reload ? std::function<void()>([&] { options.ShowOptionsPage(kPageSounds); }) : nullptr;
        options.BrowseSound_Click();
        EXPECT_EQ(view.text, cd) << answer.size();
        EXPECT_EQ(FactsOf(process.boxes), Boxes(refused, told));
    }
    ASSERT_EQ(dialogs.shown.size(), std::size(cases));
    const auto& [save, request] = dialogs.shown.back();
    EXPECT_EQ(std::tie(save, request.owner, request.title, request.flags, request.filter),
              std::make_tuple(true, kDialog, std::string("Browse for sound"), 0x1100Cu,
                              std::string("Wav Files (*.wav)\0*.wav\0\0", 25)));
    view.text = "C:\\new.wav";
    options.ply_Click();
    EXPECT_EQ(sound.played, (std::vector<std::pair<std::string, unsigned>>{{"C:\\new.wav", 0x13u}}));
    view.SetIconNum(4);
    options.IconNum_Change();
    EXPECT_EQ(view.state[7], 5);
}

// One entry, where the machine lets us, else the user's: the other list's
// entry (written by a copy that ran as administrator, or did not) goes where
// that is allowed, so that two copies never start at logon.
TEST(RunAtStart, WritesTheQuotedPathWhereTheMachineLetsUsAndRemovesBoth) {
    const std::tuple<bool, bool, Text, Text> cases[] = {  // machine refuses, on, machine's entry, user's entry
        {false, true, kQuotedModule, std::nullopt}, {true, true, "\"old\"", kQuotedModule},
        {false, false, std::nullopt, std::nullopt},
        {true, false, "\"old\"", std::nullopt},  // what the machine keeps, it keeps
    };
    for (const auto& [machineRefuses, on, machine, user] : cases) {
        MemoryRegistry reg;
        reg.PutString(kHkeyLocalMachine, kRunKeyPath, "Quellwatch", "\"old\"");
        reg.PutString(kHkeyCurrentUser, kRunKeyPath, "Quellwatch", "\"old\"");
        if (machineRefuses) reg.DenyWrites(kHkeyLocalMachine);
        SetRunAtStart(reg, kModule, on);
        EXPECT_EQ(reg.GetString(kHkeyLocalMachine, kRunKeyPath, "Quellwatch"), machine);
        EXPECT_EQ(reg.GetString(kHkeyCurrentUser, kRunKeyPath, "Quellwatch"), user);
        EXPECT_EQ(reg.GetString(kHkeyCurrentUser, kOptionsKeyPath, "Run at Start"), on ? "1" : "0");
    }
    // The program's name with ".exe", whatever the file is called, in quotes.
    EXPECT_EQ(RunEntryData("C:\\My.Apps\\Quellbox"), "\"C:\\My.Apps\\Quellbox.exe\"");
    EXPECT_EQ(RunEntryData("D:\\Tools\\Quellbox.bin"), "\"D:\\Tools\\Quellbox.exe\"");
}

// A VS_VERSIONINFO record as the resource compiler lays it out: wLength
// (unread), wValueLength 52, wType, the key in UTF-16 padded to 4 bytes, then
// the 52 bytes of VS_FIXEDFILEINFO, little-endian.
std::vector<std::uint8_t> VersionRecord(std::uint32_t ms, std::uint32_t ls, std::uint32_t signature = 0xFEEF04BD) {
    std::vector<std::uint8_t> record(40 + 52);
    record[2] = 52;
    const std::string key = "VS_VERSION_INFO";
    for (std::size_t i = 0; i < key.size(); ++i) record[6 + 2 * i] = static_cast<std::uint8_t>(key[i]);
    const std::uint32_t fixed[] = {signature, 0x10000u, ms, ls, ms, ls};
    for (std::size_t i = 0; i < 24; ++i) record[40 + i] = static_cast<std::uint8_t>(fixed[i / 4] >> 8 * (i % 4));
    return record;
}

// The build label reads the version record; links open with the hourglass meanwhile.
TEST(About, ShowsTheBuildOfTheVersionRecordAndOpensItsLinks) {
    const std::tuple<std::uint32_t, std::uint32_t, std::string> builds[] = {  // FILEVERSION a,b,c,d: a<<16|b, c<<16|d
        {0x00020000, 0x00050011, "Build: 2.0.17"},  // the third number is not shown
        {0xFFFFFFFF, 0xFFFFFFFF, "Build: 65535.65535.65535"}, {0x00010006, 0x000001C6, "Build: 1.6.454"}};
    std::optional<ProgramVersion> version;
    for (const auto& [ms, ls, text] : builds) {
        const auto record = VersionRecord(ms, ls);
        version = ParseVersionResource(record.data(), record.size());
        ASSERT_TRUE(version) << text;
        EXPECT_EQ(BuildText(version->major, version->minor, version->revision), text);
    }
    const auto wrong = VersionRecord(0x00010006, 0x1C6, 0x12345678), whole = VersionRecord(0x00010006, 0x1C6);
    EXPECT_FALSE(ParseVersionResource(wrong.data(), wrong.size()));
    EXPECT_FALSE(ParseVersionResource(whole.data(), 60));  // cut short
    MemoryProcess process;
    FakePointer pointer;
    FakeAboutView view;
    About about(view, process, pointer, *version);
    about.Show();
    about.Form_Load();
    EXPECT_EQ(std::tie(view.text, view.icon), std::make_tuple(std::string("Build: 1.6.454"), IDI_TRACK_ON));
    about.Link_Click(2);
    about.Web_Click();
    about.Link_Click(kMailLinkCount);  // no such label
    ASSERT_EQ(process.executed.size(), 2u);
    const std::string targets[] = {"mailto:" + view.links[2] + "?subject=Quellwatch v1.6", view.web};
    for (std::size_t i = 0; i < 2; ++i) {
        const auto& run = process.executed[i];
        EXPECT_EQ(std::tie(run.operation, run.file, run.parameters, run.directory, run.show),
                  std::make_tuple(std::string("open"), targets[i], std::string(), process.folder, 1));
    }
    EXPECT_EQ(pointer.log, (std::vector<bool>{true, false, true, false}));
    about.Done_Click();
    EXPECT_FALSE(view.open);
}

struct FakeSplashView : SplashView {
    Splash* splash = nullptr;
    bool open = true, topmost = false;
    void ShowTopmost() override { topmost = open; }
    // As the window's destruction does, its unload step follows.
    void Close() override {
        if (!open) return;
        open = false;
        splash->Form_Unload();
    }
};

// However the splash goes, the main window loads exactly once.
TEST(SplashHandOver, LoadsTheMainWindowOnceByAnyRoad) {
    for (const char* road : {"t", "c", "ct", "tt", "tc"}) {  // the tick, or a close by any other road
        FakeSplashView view;
        MemoryTimer killTicker;
        int loads = 0;
        Splash splash(view, killTicker, [&] { ++loads; });
        view.splash = &splash;
        splash.Form_Load();
        splash.Show();
        EXPECT_TRUE(view.topmost && killTicker.IsRunning() && loads == 0);
        for (const char* event = road; *event; ++event) *event == 't' ? splash.KillTicker_Timer() : view.Close();
        EXPECT_EQ(std::make_tuple(loads, view.open, killTicker.IsRunning()), std::make_tuple(1, false, false)) << road;
    }
}

}  // namespace
}  // namespace qw
