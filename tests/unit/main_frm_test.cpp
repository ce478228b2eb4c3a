// The main window's logic: its load step, the tracking indicators, the tray
// icon's mouse handling, help and exit, against in-memory twins.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

#include "platform/memory/memory_files.h"
#include "platform/memory/memory_platform.h"
#include "platform/memory/memory_registry.h"
#include "resources/resource.h"
#include "shell/main_frm.h"
#include "tests/unit/fake_dialogs.h"
#include "shell/startup.h"
#include "store/registry_access.h"

namespace qw {
namespace {

using Strings = std::vector<std::string>;

struct FakeView : MainFrmView {
    Strings log;
    bool visible = false;
    IconHandle windowIcon = 0;
    std::string status;
    std::map<int, bool> enabled;
    std::vector<std::pair<TrayMenu, WindowHandle>> popups;
    std::vector<std::pair<int, int>> bitmaps;
    std::vector<int> removedSystemItems;

    IconHandle LoadIconResource(int id) override { return 0x1000 + static_cast<IconHandle>(id); }
    void SetWindowIcon(IconHandle icon) override { windowIcon = icon; }
    void ShowNormal() override {
        visible = true;
        log.push_back("show");
    }
    void Hide() override {
        visible = false;
        log.push_back("hide");
    }
    void BringToFront() override { log.push_back("front"); }
    void SetStatusText(const std::string& text) override { status = text; }
    void EnableMenuItem(int id, bool on) override { enabled[id] = on; }
    void PopupTrayMenu(TrayMenu menu, WindowHandle owner) override { popups.emplace_back(menu, owner); }
    int MenuItemId(int menu, int item) override { return menu * 100 + item; }
    void SetMenuItemBitmaps(int id, unsigned flags, int bitmap) override {
        EXPECT_EQ(flags, 4u);
        bitmaps.emplace_back(id, bitmap);
    }
    void RemoveSystemMenuItem(int position) override { removedSystemItems.push_back(position); }
    std::map<int, bool> checked;
    void CheckTrayMenuItem(int id, bool on) override { checked[id] = on; }
};

struct FakeTrays : TrayHost {
    MemoryShellNotify shell;
    std::vector<std::unique_ptr<SysTray>> trays;
    WindowHandle next = 0x700;
    SysTray* LoadTrayIcon(IconHandle icon) override {
        trays.push_back(std::make_unique<SysTray>(shell));
        trays.back()->Form_Load(next++, icon);
        return trays.back().get();
    }
    void UnloadTrayIcon(SysTray* tray) override { tray->Form_Unload(); }
};

std::string Tip(const NotifyIconData& d) { return std::string(d.szTip, strnlen(d.szTip, sizeof d.szTip)); }

struct Frm : ::testing::Test {
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

    void SetUp() override { frm.Attach(0x100); }
    void Option(const char* name, const char* value) {
        RegWriteString(reg, kHkeyCurrentUser, kOptionsKeyPath, name, value, kRegSz);
    }
    const NotifyIconData& TrayNow() { return trays.shell.calls.back().data; }
    void SeedList(const Strings& entries) {
        reg.PutString(kHkeyCurrentUser, kDataKeyPath, "", std::to_string(entries.size()));
        for (std::size_t i = 0; i < entries.size(); ++i)
            reg.PutString(kHkeyCurrentUser, kDataKeyPath, EntryValueName(static_cast<long>(i)), entries[i]);
    }
    Strings StoredList() {
        Strings entries;
        const long count = LeadingNumber(reg.GetString(kHkeyCurrentUser, kDataKeyPath, "").value_or("0"));
        for (long i = 0; i < count; ++i) entries.push_back(*reg.GetString(kHkeyCurrentUser, kDataKeyPath, EntryValueName(i)));
        return entries;
    }
};

TEST_F(Frm, SwitchesReadTheLeadingDecimalNumber) {
    struct Case {
        const char* onAtStart;
        bool on;
    } cases[] = {{"0.5", true}, {"1", true}, {" -2", true}, {".25", true}, {"0", false}, {"0.00", false},
                 {"abc", false}, {"", false}, {"99999999999999999999", true}};
    for (const Case& c : cases) {
        Option("On at Start", c.onAtStart);
        frm.Form_Load();
        EXPECT_EQ(tm.IsRunning(), c.on) << c.onAtStart;
        EXPECT_EQ(view.status, c.on ? kStatusEnabled : kStatusDisabled) << c.onAtStart;
        EXPECT_EQ(view.windowIcon, 0x1000u + (c.on ? IDI_TRACK_ON : IDI_TRACK_OFF)) << c.onAtStart;
        EXPECT_EQ(Tip(frm.SysIcon()->Record()), c.on ? kTipEnabled : kTipDisabled) << c.onAtStart;
        EXPECT_EQ(view.enabled[IDM_STAT_ENABLE], !c.on) << c.onAtStart;
        EXPECT_EQ(view.enabled[IDM_STATUS_DISABLE], c.on) << c.onAtStart;
    }
}

TEST_F(Frm, LoadWithNoOptionsStartsTrackingShownWithTheListLoaded) {
    reg.PutString(kHkeyCurrentUser, kDataKeyPath, "", "1");
    reg.PutString(kHkeyCurrentUser, kDataKeyPath, " 0", "Daily Offer");
    frm.Form_Load();
    EXPECT_TRUE(tm.IsRunning());
    EXPECT_EQ(view.status, kStatusEnabled);
    EXPECT_EQ(view.windowIcon, 0x1000u + IDI_TRACK_ON);
    ASSERT_NE(frm.SysIcon(), nullptr);
    EXPECT_EQ(trays.shell.calls.front().message, kNimAdd);
    EXPECT_EQ(trays.shell.calls.front().data.hIcon, 0x1000u + IDI_TRACK_ON);
    EXPECT_EQ(Tip(frm.SysIcon()->Record()), kTipEnabled);
    EXPECT_EQ(frm.SysIcon()->Record().hIcon, 0x1000u + IDI_TRACK_ON);
    EXPECT_FALSE(view.enabled[IDM_STAT_ENABLE]);
    EXPECT_TRUE(view.enabled[IDM_STATUS_DISABLE]);
    EXPECT_EQ(box.items, Strings{"Daily Offer"});
    EXPECT_EQ(numWindows.text, "Quellwatch is currently scanning for 1 window.");
    EXPECT_EQ(view.removedSystemItems, (std::vector<int>{6, 5}));
    EXPECT_TRUE(view.visible);
    EXPECT_EQ(view.bitmaps, (std::vector<std::pair<int, int>>{{0, IDB_IMPORT}, {1, IDB_EXPORT}, {3, IDB_CLOSE},
                                                              {100, IDB_START}, {101, IDB_SOUND}, {102, IDB_ICON},
                                                              {200, IDB_GO}, {201, IDB_STOP}, {300, IDB_HELP}}));
}

TEST_F(Frm, MinimizedAtStartKeepsTheWindowHidden) {
    Option("Minimized at start", "1");
    frm.Form_Load();
    EXPECT_FALSE(view.visible);
    EXPECT_TRUE(view.log.empty());
    frm.SysIcon()->Form_MouseMove(0x203);  // double click restores and raises
    EXPECT_EQ(view.log, (Strings{"show", "front"}));
}

TEST_F(Frm, CommandLineModeLoadsNothing) {
    commandLineMode = true;
    frm.Form_Load();
    EXPECT_EQ(frm.SysIcon(), nullptr);
    EXPECT_TRUE(trays.shell.calls.empty());
    EXPECT_FALSE(tm.IsRunning());
    EXPECT_TRUE(view.removedSystemItems.empty());
    EXPECT_FALSE(reg.KeyExists(kHkeyCurrentUser, "Software"));
}

TEST_F(Frm, SwitchingFromEitherMenuMovesEveryIndicatorAndWritesNoOption) {
    frm.Form_Load();
    ASSERT_TRUE(frm.OnCommand(IDM_DISABLE));
    EXPECT_FALSE(tm.IsRunning());
    EXPECT_EQ(Tip(TrayNow()), kTipDisabled);
    EXPECT_EQ(frm.SysIcon()->Record().hIcon, 0x1000u + IDI_TRACK_OFF);
    EXPECT_EQ(view.windowIcon, 0x1000u + IDI_TRACK_OFF);
    EXPECT_EQ(view.status, kStatusDisabled);
    ASSERT_TRUE(frm.OnCommand(IDM_STAT_ENABLE));
    EXPECT_TRUE(tm.IsRunning());
    EXPECT_EQ(Tip(TrayNow()), kTipEnabled);
    EXPECT_EQ(view.windowIcon, 0x1000u + IDI_TRACK_ON);
    EXPECT_EQ(view.status, kStatusEnabled);
    EXPECT_FALSE(view.enabled[IDM_STAT_ENABLE]);
    frm.OnCommand(IDM_STATUS_DISABLE);
    frm.OnCommand(IDM_STATUS_DISABLE);  // twice is the same as once
    EXPECT_FALSE(tm.IsRunning());
    frm.OnCommand(IDM_ENABLE);
    EXPECT_TRUE(tm.IsRunning());
    EXPECT_FALSE(reg.GetString(kHkeyCurrentUser, kOptionsKeyPath, "On at Start"));
}

TEST_F(Frm, DisablingLeavesTheDebounceAlone) {
    frm.Form_Load();
    frm.lv().Add("offer");
    windows.Add(1, "Daily Offer");
    frm.Tm_Timer();
    frm.DisableTracking();
    EXPECT_TRUE(reInit.IsRunning());
    EXPECT_EQ(frm.Scan().LastClosedTitle(), "Daily Offer");
    frm.ReInitCloseTmr_Timer();
    EXPECT_EQ(frm.Scan().LastClosedTitle(), "");
}

TEST_F(Frm, RightButtonUpPopsTheMenuOfTheCurrentState) {
    frm.Form_Load();
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
    EXPECT_EQ(std::count(view.log.begin(), view.log.end(), "front"), 0);
    icon.Form_MouseMove(0x209);  // a middle double click restores too
    EXPECT_EQ(view.log.back(), "front");
}

TEST_F(Frm, MinimizeHidesAndRestoreShowsWithoutRaising) {
    frm.Form_Load();
    view.log.clear();
    frm.Form_Resize(false);
    frm.Form_Resize(true);
    frm.OnCommand(IDM_OPEN2);
    EXPECT_EQ(view.log, (Strings{"hide", "show"}));
}

TEST_F(Frm, ExitAsksAndCancelKeepsEverything) {
    frm.Form_Load();
    process.answers = {kIdCancel};
    frm.OnCommand(IDM_EXIT1);
    ASSERT_EQ(process.boxes.size(), 1u);
    EXPECT_EQ(process.boxes[0].text, "Warning: Exiting Quellwatch will disable the\r\nautomatic closing of listed windows!");
    EXPECT_EQ(process.boxes[0].caption, "Quellwatch");
    EXPECT_EQ(process.boxes[0].flags, 0x10031u);
    EXPECT_EQ(process.boxes[0].owner, 0x100u);
    EXPECT_EQ(process.ended, 0);
    EXPECT_NE(trays.shell.calls.back().message, kNimDelete);
    EXPECT_TRUE(tm.IsRunning());
}

TEST_F(Frm, ExitConfirmedRemovesTheIconThenEnds) {
    frm.Form_Load();
    frm.OnCommand(IDM_CLOSE);
    EXPECT_EQ(trays.shell.calls.back().message, kNimDelete);
    EXPECT_EQ(process.ended, 1);
    EXPECT_EQ(frm.SysIcon(), nullptr);
}

TEST_F(Frm, HelpOpensTheFileBesideTheProgramOrSaysItIsMissing) {
    frm.OnCommand(IDM_HELPFILE);
    ASSERT_EQ(process.boxes.size(), 1u);
    EXPECT_EQ(process.boxes[0].text, "Cannot open help file!\r\n\r\nMake sure that 'Quellbox.chm' is in the same "
                                     "directory as 'Quellbox.exe'");
    EXPECT_EQ(process.boxes[0].caption, "Error");
    EXPECT_EQ(process.boxes[0].flags, 0x10010u);
    EXPECT_EQ(process.boxes[0].owner, 0x100u);
    EXPECT_TRUE(process.executed.empty());
    process.files = {process.folder + "\\Quellbox.chm"};
    frm.OnCommand(IDM_HELPFILE);
    ASSERT_EQ(process.executed.size(), 1u);
    EXPECT_EQ(process.executed[0].operation, "open");
    EXPECT_EQ(process.executed[0].file, process.folder + "\\Quellbox.chm");
    EXPECT_EQ(process.executed[0].parameters, "");
    EXPECT_EQ(process.executed[0].directory, process.folder);
    EXPECT_EQ(process.executed[0].show, 1);
}

TEST_F(Frm, RefreshReloadsTheListFromTheRegistry) {
    frm.Form_Load();
    reg.PutString(kHkeyCurrentUser, kDataKeyPath, "", "2");
    reg.PutString(kHkeyCurrentUser, kDataKeyPath, " 0", "imported one");
    reg.PutString(kHkeyCurrentUser, kDataKeyPath, " 1", "imported two");
    frm.OnCommand(IDC_REFRESHL);
    EXPECT_EQ(box.items, (Strings{"imported one", "imported two"}));
    EXPECT_EQ(numWindows.text, "Quellwatch is currently scanning for 2 windows.");
}

// The File menu: the dialogs' results are used only when a file was chosen,
// an import is saved either way, and an export to a new file works.
TEST_F(Frm, ImportAndExportGoThroughTheFileDialogs) {
    frm.Form_Load();
    SeedList({"Daily offer"});
    frm.RefreshL_Click();
    dialogs.answers = {"", "C:\\lists\\new.wnl"};
    frm.OnCommand(IDM_EXPORT);
    EXPECT_TRUE(files.files.empty());  // cancelled
    frm.OnCommand(IDM_EXPORT);
    ASSERT_EQ(dialogs.shown.size(), 2u);
    const FileDialogRequest& save = dialogs.shown[0].second;
    EXPECT_TRUE(dialogs.shown[0].first);
    EXPECT_EQ(save.owner, 0x100u);
    EXPECT_EQ(save.title, "Export Window List");
    EXPECT_EQ(save.filter, std::string("Window Lists (*.wnl)\0*.wnl\0\0", 28));
    EXPECT_EQ(save.flags, 0x1806u);
    EXPECT_EQ(save.defaultExtension, "wnl");
    ASSERT_EQ(files.files.count("C:\\lists\\new.wnl"), 1u);
    EXPECT_EQ(files.files["C:\\lists\\new.wnl"].substr(0, 13), "QUELLBOX2\r\n\r\n");

    files.files["C:\\lists\\more.wnl"] = std::string("QUELLBOX2\r\n\r\n") + "\xA5\x44\xA6\x44\xA7\x44\xA8\x44\xA9\x44";
    dialogs.answers = {"", "C:\\lists\\more.wnl"};
    const int savesBefore = lock.acquired;
    frm.OnCommand(IDM_IMP);
    EXPECT_EQ(StoredList(), Strings{"Daily offer"});
    frm.OnCommand(IDM_IMP);
    const FileDialogRequest& open = dialogs.shown[2].second;
    EXPECT_FALSE(dialogs.shown[2].first);
    EXPECT_EQ(open.title, "Import Window List");
    EXPECT_EQ(open.filter, std::string("Window Lists (*.wnl)\0*.wnl\0All Files (*.*)\0*.*\0\0", 48));
    EXPECT_EQ(open.flags, 0x1804u);
    EXPECT_EQ(StoredList(), (Strings{"Daily offer", "abcde"}));
    EXPECT_EQ(numWindows.text, "Quellwatch is currently scanning for 2 windows.");
    EXPECT_GE(lock.acquired - savesBefore, 2);  // both imports saved under the lock
    EXPECT_EQ(lock.depth, 0);
}

struct FakeStartup : StartupHost {
    MainFrm* frm = nullptr;
    std::string commandLine;
    bool another = false, trayCopy = false;
    std::string title;
    int loads = 0, reloads = 0;
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
    int splashes = 0;
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

// The splash comes first unless "Show Splash Screen" reads as 0; it loads the
// main window itself when it goes.
TEST_F(Start, TheTrayProgramLoadsTheMainWindowOutOfCommandLineMode) {
    const std::pair<const char*, bool> cases[] = {{nullptr, true}, {"1", true}, {"0", false}, {"abc", false}};
    for (const auto& c : cases) {
        if (c.first) Option("Show Splash Screen", c.first);
        host.loads = host.splashes = 0;
        Run();
        EXPECT_EQ(host.title, "Quellwatch 1.6");
        EXPECT_FALSE(flags.commandLineMode);
        EXPECT_EQ(host.splashes, c.second ? 1 : 0) << (c.first ? c.first : "missing");
        EXPECT_EQ(host.loads, c.second ? 0 : 1);
        EXPECT_EQ(process.ended, 0);
        EXPECT_TRUE(process.boxes.empty());
    }
}

// The one-shot import: asked, merged into the stored list, reported, and
// the tray copy told; the process never shows a window or scans.
TEST_F(Start, ACommandLineImportsTheFileAndEnds) {
    const std::string wnl = std::string("QUELLBOX2\r\n\r\n") + "\xA5\x44\xA6\x44\xA7\x44\xA8\x44\xA9\x44\r\n";  // "abcde"
    struct Case {
        std::string commandLine, file;
        int answer;
        bool trayCopy;
        Strings boxes;
        Strings stored;
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
        SetUp();
        SeedList({"Offer"});
        files.files.clear();
        if (!c.file.empty()) files.files["C:\\lists\\my list.wnl"] = c.file;
        process.boxes.clear();
        process.answers = {c.answer};
        host.commandLine = c.commandLine;
        host.trayCopy = c.trayCopy;
        host.reloads = 0;
        Run();
        Strings texts;
        for (const auto& b : process.boxes) texts.push_back(b.text);
        EXPECT_EQ(texts, c.boxes) << c.commandLine;
        EXPECT_EQ(StoredList(), c.stored) << c.commandLine;
        EXPECT_EQ(host.reloads, c.trayCopy && c.answer == kIdYes ? 1 : 0);
        EXPECT_EQ(process.ended, 1);
        process.ended = 0;
        EXPECT_TRUE(flags.commandLineMode);
        EXPECT_FALSE(tm.IsRunning());  // never scans
        EXPECT_EQ(frm.SysIcon(), nullptr);
        EXPECT_FALSE(view.visible);
        EXPECT_EQ(lock.depth, 0);
    }
}

TEST(CommandLine, TheArgumentsFollowTheProgramsOwnPath) {
    const std::string module = "C:\\Program Files\\Quellwatch\\Quellbox.exe";
    struct Case {
        const char* commandLine;
        const char* arguments;
    } cases[] = {
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
    for (const Case& c : cases) EXPECT_EQ(ArgumentsAfterProgramPath(c.commandLine, module), c.arguments) << c.commandLine;
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

TEST_F(Start, ASecondCopyIsRefused) {
    host.another = true;
    Run();
    ASSERT_EQ(process.boxes.size(), 1u);
    EXPECT_EQ(process.boxes[0].text, "Quellwatch is already running.");
    EXPECT_EQ(process.boxes[0].caption, "Quellwatch");
    EXPECT_EQ(process.boxes[0].flags, 0x10040u);
    EXPECT_EQ(process.boxes[0].owner, 0u);
    EXPECT_EQ(process.ended, 1);
    EXPECT_EQ(host.loads, 0);
    EXPECT_TRUE(flags.commandLineMode);
}

}  // namespace
}  // namespace qw
