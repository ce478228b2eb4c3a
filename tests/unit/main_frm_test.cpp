// The tray icon's record and events; the main window's logic: its load step,
// the tracking indicators, the tray icon's mouse handling, help, exit and the
// File menu; and the start-up that chooses between the tray program and a
// one-shot import.
#include <gtest/gtest.h>

#include <tuple>

#include "resources/resource.h"
#include "shell/startup.h"
#include "shell/sys_tray.h"
#include "tests/unit/fake_dialogs.h"

namespace qw {
namespace {

using Strings = std::vector<std::string>;
constexpr WindowHandle kMain = 0x100;

// One record for the icon's life: added with the window's picture and no
// tip, each change sending only its own field, added again as it stands when
// Explorer restarts, removed once and then gone for good.
TEST(SysTray, KeepsOneRecordFromAddToRemove) {
    MemoryShellNotify shell;
    SysTray tray(shell);
    tray.Form_Load(0x500, 0x77);
    tray.SetIconHandle(0x88);
    tray.SetToolTip("Quellwatch [Disabled]");
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
    EXPECT_EQ(calls, (std::vector<Call>{{kNimAdd, 7, 0x77, ""}, {kNimModify, kNifIcon, 0x88, ""},
                                        {kNimModify, kNifTip, 0x88, tip}, {kNimAdd, 7, 0x88, tip},
                                        {kNimDelete, 7, 0x88, tip}}));
    EXPECT_EQ(std::string(shell.calls[0].data.szTip, 64), std::string(64, '\0'));
    EXPECT_EQ(shell.calls[2].data.szTip[tip.size() + 1], ' ');  // blanks after the terminator
}

TEST(SysTray, DecodesTheMouseMessageInX) {
    MemoryShellNotify shell;
    SysTray tray(shell);
    tray.Form_MouseMove(0x205);  // no handler yet: nothing happens
    std::vector<std::string> events;
    tray.SysTrayMouseUp = [&](int b) { events.push_back("up" + std::to_string(b)); };
    tray.SysTrayMouseDown = [&](int b) { events.push_back("down" + std::to_string(b)); };
    tray.SysTrayDoubleClick = [&](int b) { events.push_back("dbl" + std::to_string(b)); };
    tray.SysTrayMouseMove = [&] { events.push_back("move"); };
    for (int x : {0x201, 0x202, 0x203, 0x204, 0x205, 0x206, 0x207, 0x208, 0x209, 0x200, 0, 600}) tray.Form_MouseMove(x);
    EXPECT_EQ(events, (std::vector<std::string>{"down1", "up1", "dbl1", "down2", "up2", "dbl2", "down4", "up4", "dbl4",
                                                "move", "move", "move"}));
    EXPECT_TRUE(shell.calls.empty());
}

// Every indicator of the tracking state agrees with the tick.
void ExpectTracking(FrmWorld& w, bool on) {
    EXPECT_EQ(w.tm.IsRunning(), on);
    EXPECT_EQ(w.view.status, on ? kStatusEnabled : kStatusDisabled);
    EXPECT_EQ(w.view.windowIcon, 0x1000u + (on ? IDI_TRACK_ON : IDI_TRACK_OFF));
    EXPECT_EQ(Tip(w.frm.SysIcon()->Record()), on ? kTipEnabled : kTipDisabled);
    EXPECT_EQ(w.frm.SysIcon()->Record().hIcon, w.view.windowIcon);
    EXPECT_EQ(w.view.enabled[IDM_STAT_ENABLE], !on);
    EXPECT_EQ(w.view.enabled[IDM_STATUS_DISABLE], on);
}

struct Frm : ::testing::Test, FrmWorld {};

// Missing options mean tracking on, the window shown, the taskbar target and
// the start-with-Windows entry; switches read their leading decimal number.
TEST(FrmLoad, FollowsTheOptions) {
    struct Case {
        std::vector<std::pair<const char*, const char*>> options;
        bool on, shown, target, runEntry;
    } cases[] = {
        {{}, true, true, true, true},
        {{{"On at Start", "0"}, {"Task Target", "0"}, {"Run at Start", "0"}}, false, true, false, false},
        {{{"On at Start", "0.5"}, {"Minimized at start", "1"}}, true, false, true, true},
        {{{"On at Start", "abc"}, {"Minimized at start", "0.00"}}, false, true, true, true},
    };
    for (const Case& c : cases) {
        FrmWorld w;
        for (const auto& [name, value] : c.options) w.Option(name, value);
        w.SeedList({"Daily Offer"});
        w.frm.Form_Load();
        ExpectTracking(w, c.on);
        EXPECT_EQ(w.view.visible, c.shown);
        EXPECT_EQ(w.frm.Target().IconOn(), c.target);
        EXPECT_EQ(w.reg.GetString(kHkeyLocalMachine, kRunKeyPath, "Quellwatch").has_value(), c.runEntry);
        EXPECT_EQ(w.trays.shell.calls.front().data.hIcon, 0x1000u + IDI_TRACK_ON);  // the window's icon at first
        EXPECT_EQ(w.box.items, Strings{"Daily Offer"});
        EXPECT_EQ(w.numWindows.text, "Quellwatch is currently scanning for 1 window.");
        // The association follows the program wherever it moved.
        EXPECT_EQ(w.reg.GetString(kHkeyClassesRoot, "Quellwatch Window List\\shell\\open\\command", ""),
                  "\"" + w.process.ProgramPath() + "\" %1");
        EXPECT_EQ(w.view.removedSystemItems, (std::vector<int>{6, 5}));  // Close and the separator above it
    }
}

TEST_F(Frm, EveryTrackingCommandMovesEveryIndicatorAndWritesNoOption) {
    frm.Form_Load();
    const std::pair<int, bool> commands[] = {
        {IDM_DISABLE, false}, {IDM_STAT_ENABLE, true}, {IDM_STATUS_DISABLE, false}, {IDM_STATUS_DISABLE, false},
        {IDM_ENABLE, true}};
    for (const auto& [command, on] : commands) {
        ASSERT_TRUE(frm.OnCommand(command));
        ExpectTracking(*this, on);
    }
    EXPECT_FALSE(reg.GetString(kHkeyCurrentUser, kOptionsKeyPath, "On at Start"));
}

TEST_F(Frm, TheTrayIconPopsTheMenuOfTheStateUpAndRestoresTheWindow) {
    frm.Form_Load();
    view.log.clear();
    SysTray& icon = *frm.SysIcon();
    icon.Form_MouseMove(0x204);  // right down: nothing
    icon.Form_MouseMove(0x205);
    frm.DisableTracking();
    icon.Form_MouseMove(0x205);
    icon.Form_MouseMove(0x202);  // left and middle clicks do nothing
    icon.Form_MouseMove(0x208);
    // The icon's own window owns the menu: the main window is not raised.
    const WindowHandle iconWindow = icon.Record().hWnd;
    EXPECT_EQ(view.popups, (std::vector<std::pair<TrayMenu, WindowHandle>>{{TrayMenu::kEnabled, iconWindow},
                                                                           {TrayMenu::kDisabled, iconWindow}}));
    EXPECT_TRUE(view.log.empty());
    icon.Form_MouseMove(0x203);  // any double click restores and raises
    icon.Form_MouseMove(0x209);
    frm.Form_Resize(false);
    frm.Form_Resize(true);  // minimized: hidden, until opened from either menu
    frm.OnCommand(IDM_OPEN2);
    frm.OnCommand(IDM_OPEN1);
    EXPECT_EQ(view.log, (Strings{"show", "front", "show", "front", "hide", "show", "show"}));
}

TEST_F(Frm, ExitAsksAndEndsOnlyOnOk) {
    frm.Form_Load();
    process.answers = {kIdCancel};
    frm.OnCommand(IDM_EXIT1);
    ASSERT_EQ(process.boxes.size(), 1u);
    EXPECT_EQ(FactsOf(process.boxes[0]), BoxFacts(kExitQuestion, "Quellwatch", 0x10031u, kMain));
    EXPECT_EQ(process.ended, 0);
    EXPECT_NE(trays.shell.calls.back().message, kNimDelete);
    EXPECT_TRUE(tm.IsRunning());
    frm.OnCommand(IDM_CLOSE);
    EXPECT_EQ(trays.shell.calls.back().message, kNimDelete);
    EXPECT_EQ(process.ended, 1);
    EXPECT_EQ(frm.SysIcon(), nullptr);
}

TEST_F(Frm, HelpOpensTheFileBesideTheProgramOrSaysItIsMissing) {
    frm.OnCommand(IDM_HELPFILE);
    ASSERT_EQ(process.boxes.size(), 1u);
    EXPECT_EQ(FactsOf(process.boxes[0]), BoxFacts(kHelpMissing, "Error", 0x10010u, kMain));
    EXPECT_TRUE(process.executed.empty());
    process.files = {process.folder + "\\Quellbox.chm"};
    frm.OnCommand(IDM_HELPFILE);
    ASSERT_EQ(process.executed.size(), 1u);
    const auto& run = process.executed[0];
    EXPECT_EQ(std::tie(run.operation, run.file, run.parameters, run.directory, run.show),
              std::make_tuple(std::string("open"), process.files[0], std::string(), process.folder, 1));
}

// The File menu: the dialogs' results are used only when a file was chosen,
// an import is saved either way, and an export to a new file works.
TEST_F(Frm, ImportAndExportGoThroughTheFileDialogs) {
    frm.Form_Load();
    SeedList({"Daily offer"});
    frm.OnCommand(IDC_REFRESHL);
    EXPECT_EQ(box.items, Strings{"Daily offer"});
    dialogs.answers = {"", "C:\\lists\\new.wnl"};
    frm.OnCommand(IDM_EXPORT);
    EXPECT_TRUE(files.files.empty());  // cancelled
    frm.OnCommand(IDM_EXPORT);
    ASSERT_EQ(dialogs.shown.size(), 2u);
    const FileDialogRequest& save = dialogs.shown[0].second;
    EXPECT_EQ(std::tie(dialogs.shown[0].first, save.owner, save.title, save.flags, save.defaultExtension),
              std::make_tuple(true, kMain, std::string("Export Window List"), 0x1806u, std::string("wnl")));
    EXPECT_EQ(save.filter, std::string("Window Lists (*.wnl)\0*.wnl\0\0", 28));
    EXPECT_EQ(files.files["C:\\lists\\new.wnl"].substr(0, 13), "QUELLBOX2\r\n\r\n");

    files.files["C:\\lists\\more.wnl"] = std::string("QUELLBOX2\r\n\r\n") + "\xA5\x44\xA6\x44\xA7\x44\xA8\x44\xA9\x44";
    dialogs.answers = {"", "C:\\lists\\more.wnl"};
    const int savesBefore = lock.acquired;
    frm.OnCommand(IDM_IMP);
    EXPECT_EQ(StoredList(), Strings{"Daily offer"});
    frm.OnCommand(IDM_IMP);
    const FileDialogRequest& open = dialogs.shown[2].second;
    EXPECT_EQ(std::tie(dialogs.shown[2].first, open.title, open.flags),
              std::make_tuple(false, std::string("Import Window List"), 0x1804u));
    EXPECT_EQ(open.filter, std::string("Window Lists (*.wnl)\0*.wnl\0All Files (*.*)\0*.*\0\0", 48));
    EXPECT_EQ(StoredList(), (Strings{"Daily offer", "abcde"}));
    EXPECT_EQ(numWindows.text, "Quellwatch is currently scanning for 2 windows.");
    EXPECT_GE(lock.acquired - savesBefore, 2);  // both imports saved under the lock
    EXPECT_EQ(lock.depth, 0);
}

struct FakeStartup : StartupHost {
    MainFrm* frm = nullptr;
    std::string commandLine, title;
    bool another = false, trayCopy = false;
    int loads = 0, reloads = 0, splashes = 0;
    std::string CommandLine() override { return commandLine; }
    bool AnotherInstanceRunning() override { return another; }
    bool TrayCopyRunning() override { return trayCopy; }
    void TellTrayCopyToReload() override { ++reloads; }
    void SetAppTitle(const std::string& t) override { title = t; }
    MainFrm& LoadMainFrm() override {
        ++loads;
        frm->Form_Load();
        return *frm;
    }
    void ShowSplash() override { ++splashes; }
};

struct Start : Frm {
    FakeStartup host;
    PublicFlags flags;
    Start() { host.frm = &frm; }
    void Run() {
        commandLineMode = true;  // what Main sets first, seen by the window
        Main(host, process, reg, flags);
        commandLineMode = flags.commandLineMode;
    }
};

// Without a file to import: a second copy is refused; otherwise the splash
// comes first unless "Show Splash Screen" reads as 0, and it loads the main
// window itself when it goes.
TEST_F(Start, TheTrayProgramStartsOnceOutOfCommandLineMode) {
    const std::tuple<bool, const char*, int, int> cases[] = {  // another copy, the option, splashes, loads
        {false, nullptr, 1, 0}, {false, "1", 1, 0}, {false, "0", 0, 1}, {false, "abc", 0, 1}, {true, "1", 0, 0}};
    for (const auto& [another, option, splashes, loads] : cases) {
        if (option) Option("Show Splash Screen", option);
        host.another = another;
        host.loads = host.splashes = process.ended = 0;
        Run();
        EXPECT_EQ(host.title, "Quellwatch 1.6");
        EXPECT_EQ(std::make_tuple(host.splashes, host.loads, flags.commandLineMode, process.ended),
                  std::make_tuple(splashes, loads, another, another ? 1 : 0)) << (option ? option : "missing");
        EXPECT_EQ(FactsOf(process.boxes), (another ? std::vector<BoxFacts>{{kAlreadyRunning, "Quellwatch", 0x10040u, 0}}
                                                   : std::vector<BoxFacts>{}));  // no window of ours exists yet
    }
}

// The one-shot import: asked, merged into the stored list, reported, and
// the tray copy told; the process never shows a window or scans.
TEST_F(Start, ACommandLineImportsTheFileAndEnds) {
    const std::string abcde = "\xA5\x44\xA6\x44\xA7\x44\xA8\x44\xA9\x44", wnl = "QUELLBOX2\r\n\r\n" + abcde + "\r\n";
    struct Case {
        std::string commandLine, file;
        int answer;
        bool trayCopy;
        Strings boxes, stored;
    } cases[] = {
        {"C:\\lists\\my list.wnl", wnl, kIdYes, false, {"Import my list.wnl ?", kImported}, {"Offer", "abcde"}},
        {" \"C:\\lists\\my list.wnl\" ", wnl, kIdYes, true, {"Import my list.wnl ?", kImportedPressRefresh},
         {"Offer", "abcde"}},
        {"C:\\lists\\my list.wnl", wnl, kIdNo, false, {"Import my list.wnl ?"}, {"Offer"}},
        {"C:\\lists\\gone.wnl", "", kIdYes, false, {"Import gone.wnl ?", "Cannot open the window list\r\nC:\\lists\\gone.wnl"},
         {"Offer"}},
        {"C:\\lists\\my list.wnl", "quellbox2\r\n", kIdYes, false,
         {"Import my list.wnl ?", "This window list is invalid, or it may be from an newer version of Quellwatch."}, {"Offer"}},
        {"C:\\lists\\my list.wnl", wnl + "\x41", kIdYes, false,
         {"Import my list.wnl ?", "The window list could not be read to its end\r\nC:\\lists\\my list.wnl"}, {"Offer", "abcde"}},
    };
    for (const Case& c : cases) {
        SeedList({"Offer"});
        files.files.clear();
        if (!c.file.empty()) files.files["C:\\lists\\my list.wnl"] = c.file;
        process.boxes.clear();
        process.answers = {c.answer};
        process.ended = host.reloads = 0;
        host.commandLine = c.commandLine;
        host.trayCopy = c.trayCopy;
        Run();
        EXPECT_EQ(BoxTexts(), c.boxes) << c.commandLine;
        for (const auto& b : process.boxes) EXPECT_EQ(b.owner, kMain);  // an owner of ours, which the scan spares
        EXPECT_EQ(StoredList(), c.stored) << c.commandLine;
        EXPECT_EQ(host.reloads, c.trayCopy && c.answer == kIdYes ? 1 : 0);
        EXPECT_EQ(process.ended, 1);
        EXPECT_TRUE(flags.commandLineMode);
        EXPECT_FALSE(tm.IsRunning());  // never scans
        EXPECT_EQ(frm.SysIcon(), nullptr);
        EXPECT_FALSE(view.visible);
        EXPECT_EQ(lock.depth, 0);
    }
}

// An import cut short anywhere (the file layer stops the process, or the
// registry does during the save) leaves the stored list old or merged, whole.
TEST_F(Start, AnImportCutShortAnywhereKeepsTheStoredListWhole) {
    std::string wnl = "QUELLBOX2\r\n\r\n";
    for (const char* e : {"Imported one", "Imported two", "Imported three"}) {
        for (const char* c = e; *c; ++c) wnl += {static_cast<char>(*c + 68), 'D'};
        wnl += "\r\n";
    }
    const Strings old = {"Offer"}, merged = {"Offer", "Imported one", "Imported two", "Imported three"};
    host.commandLine = "C:\\lists\\my list.wnl";
    for (std::uint64_t step = 1; step < 400; ++step) {
        SeedList(old);
        files.Restart();
        files.files.clear();
        files.files[host.commandLine] = wnl;
        files.SetReadChunk(7);
        process.answers = {kIdYes};
        if (step < 40) files.StopAt(step); else reg.StopAfter(step - 40);
        try {
            Run();
        } catch (const ProcessStopped&) {
        }
        reg.Heal();
        files.Restart();
        const Strings stored = StoredList();
        EXPECT_TRUE(stored == old || stored == merged) << "step " << step;
    }
}

TEST(CommandLine, TheArgumentsFollowTheProgramsOwnPath) {
    const std::string module = "C:\\Program Files\\Quellwatch\\Quellbox.exe";
    const std::pair<const char*, const char*> cases[] = {
        {"\"C:\\Program Files\\Quellwatch\\Quellbox.exe\"", ""},
        {"\"C:\\Program Files\\Quellwatch\\Quellbox.exe\"  C:\\my lists\\a.wnl", "C:\\my lists\\a.wnl"},
        {"\"C:\\Program Files\\Quellwatch\\Quellbox.exe\" \"C:\\a b.wnl\"", "\"C:\\a b.wnl\""},
        // Unquoted, as a Run entry of a path with a space is handed over.
        {"C:\\Program Files\\Quellwatch\\Quellbox.exe", ""},
        {"c:\\program files\\quellwatch\\QUELLBOX.EXE ", ""},
        {"C:\\Program Files\\Quellwatch\\Quellbox.exe C:\\my lists\\a.wnl", "C:\\my lists\\a.wnl"},
        {"C:\\Program Files\\Quellwatch\\Quellbox C:\\a.wnl", "C:\\a.wnl"},
        // Started by another name: the first word is the program.
        {"Quellbox.exe", ""},
        {"Quellbox  a.wnl", "a.wnl"},
        {"", ""},
    };
    for (const auto& [commandLine, arguments] : cases)
        EXPECT_EQ(ArgumentsAfterProgramPath(commandLine, module), arguments) << commandLine;
}

}  // namespace
}  // namespace qw
