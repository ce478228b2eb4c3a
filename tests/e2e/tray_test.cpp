// The tray program as a user meets it: the tray icon and its menus, tracking
// switched from both menus, hiding and restoring, a second copy, exit and help.
#include <gtest/gtest.h>

#include <map>

#include "e2e_support.h"
#include "resources/resource.h"

namespace qwe2e {
namespace {

using namespace std::chrono_literals;
using Strings = std::vector<std::string>;

const char kEnabledTip[] = "Quellwatch [Enabled]";
const char kDisabledTip[] = "Quellwatch [Disabled]";

class Tray : public ::testing::Test {
protected:
    void Start(const std::map<std::string, std::string>& options = {}, const Strings& entries = {}) {
        QuietOptions();
        for (const auto& o : options) SetString(kOptionsKey, o.first.c_str(), o.second);
        SeedList(entries);
        const auto hidden = options.find("Minimized at start");
        ASSERT_TRUE(quellbox.Launch(hidden == options.end() || hidden->second == "0"));
    }

    // The hidden window that carries the main tray icon, once it is added.
    HWND TrayWindow(const FakeShell& shell) {
        HWND tray = nullptr;
        WaitUntil(
            [&] {
                for (const auto& r : shell.RequestsOf(quellbox.Id())) {
                    if (r.message == NIM_ADD) tray = r.window;
                }
                return tray != nullptr;
            },
            10s);
        return tray;
    }

    // The tip and picture the shell shows now for `tray`.
    static std::string TipNow(const FakeShell& shell, HWND tray) {
        std::string tip;
        for (const auto& r : shell.Requests()) {
            if (r.window == tray && (r.flags & NIF_TIP)) tip = r.tip;
            if (r.window == tray && r.message == NIM_DELETE) tip = "(deleted)";
        }
        return tip;
    }
    static std::vector<std::uint8_t> IconNow(const FakeShell& shell, HWND tray) {
        std::vector<std::uint8_t> icon;
        for (const auto& r : shell.Requests()) {
            if (r.window == tray && (r.flags & NIF_ICON)) icon = r.payload;
        }
        return icon;
    }
    bool ShowsState(const FakeShell& shell, HWND tray, bool on) {
        const auto bits = ExpectedIconBits(on ? IDI_TRACK_ON : IDI_TRACK_OFF);
        return WaitUntil(
            [&] {
                return TipNow(shell, tray) == (on ? kEnabledTip : kDisabledTip) && EndsWith(IconNow(shell, tray), bits) &&
                       StatusText() == (on ? "Quellwatch Status: [ENABLED]" : "Quellwatch Status: [DISABLED]");
            },
            10s);
    }

    void Command(int id) { PostMessageA(quellbox.Main(), WM_COMMAND, static_cast<WPARAM>(id), 0); }
    std::string StatusText() { return TextOf(GetDlgItem(quellbox.Main(), IDC_STATUS)); }
    static void Notify(HWND tray, int mouseMessage) { PostMessageA(tray, WM_MOUSEMOVE, 0, MAKELPARAM(mouseMessage, 0)); }

    HWND MessageBoxOf(Program& program) { return WaitForWindowOfClass(program.Id(), "#32770", 10s); }
    // Moves down `position` selectable items of an open pop-up menu and picks it.
    static void ChooseItem(HWND menu, int position) {
        for (int i = 0; i < position; ++i) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    }
    static void Press(HWND box, int button) { PostMessageA(box, WM_COMMAND, static_cast<WPARAM>(button), 0); }

    bool WaitGone(HWND window) { return WaitUntil([&] { return !IsWindow(window) || !IsWindowVisible(window); }, 10s); }

    // Whether `front` is earlier than `back` in the z-order.
    static bool Ahead(HWND front, HWND back) {
        for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
            if (w == front) return true;
            if (w == back) return false;
        }
        return false;
    }

    Quellbox quellbox;
};

TEST_F(Tray, IconAppearsWithTheTrackingStateAndFollowsBothMenus) {
    FakeShell shell;
    Start();
    HWND tray = TrayWindow(shell);
    ASSERT_NE(tray, nullptr);
    const auto add = shell.RequestsOf(quellbox.Id()).front();
    EXPECT_EQ(add.message, static_cast<std::uint32_t>(NIM_ADD));
    EXPECT_EQ(add.id, 0u);
    EXPECT_EQ(add.flags, 7u);
    EXPECT_EQ(add.callback, static_cast<std::uint32_t>(WM_MOUSEMOVE));
    EXPECT_FALSE(IsWindowVisible(tray));
    EXPECT_TRUE(ShowsState(shell, tray, true));
    EXPECT_TRUE(IsWindowVisible(quellbox.Main()));

    Command(IDM_DISABLE);  // the tray menu's "Disable"
    EXPECT_TRUE(ShowsState(shell, tray, false));
    Command(IDM_STAT_ENABLE);  // the "&Status" menu's " Enable"
    EXPECT_TRUE(ShowsState(shell, tray, true));
    Command(IDM_STATUS_DISABLE);
    EXPECT_TRUE(ShowsState(shell, tray, false));
    Command(IDM_ENABLE);
    EXPECT_TRUE(ShowsState(shell, tray, true));
    std::string value;
    EXPECT_FALSE(GetString(kOptionsKey, "On at Start", &value));  // switching writes no option
}

TEST_F(Tray, TrackingOffClosesNothingUntilEnabled) {
    Helper helper;
    ASSERT_TRUE(helper.Ok());
    FakeShell shell;
    Start({{"On at Start", "0"}}, {"offer"});
    HWND tray = TrayWindow(shell);
    ASSERT_TRUE(ShowsState(shell, tray, false));
    HWND window = helper.Create("Daily Offer");
    // Some twenty ticks' worth of time in which a running scan would have closed it.
    std::this_thread::sleep_for(300ms);
    EXPECT_TRUE(helper.Messages(window).empty());
    const std::int64_t enabledAt = Now();
    Command(IDM_ENABLE);
    ASSERT_TRUE(helper.WaitForMessages(window, WM_CLOSE, 1, 5s));
    EXPECT_GT(helper.Stamps(window, WM_CLOSE)[0], enabledAt);
}

TEST_F(Tray, RightClickPopsUpTheMenuOfTheCurrentState) {
    Helper helper;
    ASSERT_TRUE(helper.Ok());
    FakeShell shell;
    Start({}, {"Daily Offer", "You have won", "Special deal"});
    HWND tray = TrayWindow(shell);
    ASSERT_TRUE(ShowsState(shell, tray, true));
    // Another program's window covers the main window; the menu must not
    // bring the main window forward.
    HWND cover = helper.Create("Another program");
    ASSERT_TRUE(WaitUntil([&] { return Ahead(cover, quellbox.Main()); }, 10s));

    // Left and middle clicks open nothing; a right click opens the menu of
    // the state. Its fifth item ("Restore", "Taskbar Target", "Options",
    // "Add Item", then the switch) turns tracking off.
    Notify(tray, WM_LBUTTONDOWN);
    Notify(tray, WM_LBUTTONUP);
    Notify(tray, WM_MBUTTONUP);
    Notify(tray, WM_RBUTTONDOWN);
    Notify(tray, WM_RBUTTONUP);
    HWND menu = WaitForWindowOfClass(quellbox.Id(), "#32768", 10s);
    ASSERT_NE(menu, nullptr);
    ChooseItem(menu, 5);
    ASSERT_TRUE(WaitGone(menu));
    ASSERT_TRUE(ShowsState(shell, tray, false));
    EXPECT_TRUE(Ahead(cover, quellbox.Main()));

    Notify(tray, WM_RBUTTONUP);
    menu = WaitForWindowOfClass(quellbox.Id(), "#32768", 10s);
    ASSERT_NE(menu, nullptr);
    ChooseItem(menu, 5);
    ASSERT_TRUE(WaitGone(menu));
    EXPECT_TRUE(ShowsState(shell, tray, true));

    // Its first item restores a hidden window; Escape closes it choosing nothing.
    PostMessageA(quellbox.Main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(quellbox.Main()); }, 10s));
    Notify(tray, WM_RBUTTONUP);
    menu = WaitForWindowOfClass(quellbox.Id(), "#32768", 10s);
    ASSERT_NE(menu, nullptr);
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(WaitGone(menu));
    EXPECT_FALSE(IsWindowVisible(quellbox.Main()));
    Notify(tray, WM_RBUTTONUP);
    menu = WaitForWindowOfClass(quellbox.Id(), "#32768", 10s);
    ASSERT_NE(menu, nullptr);
    ChooseItem(menu, 1);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(quellbox.Main()) != FALSE; }, 10s));
}

TEST_F(Tray, ARealRightClickOnTheNotificationAreaOpensTheMenu) {
    Start();
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    ASSERT_NE(taskbar, nullptr);
    RECT bar{};
    GetWindowRect(taskbar, &bar);
    // Ours is the only icon: the rightmost place of the notification area.
    const int x = bar.right - 12, y = (bar.top + bar.bottom) / 2;
    HWND menu = nullptr;
    for (int attempt = 0; attempt < 3 && !menu; ++attempt) {
        ASSERT_TRUE(RunHost("/usr/bin/xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click 3"));
        menu = WaitForWindowOfClass(quellbox.Id(), "#32768", 5s);
    }
    ASSERT_NE(menu, nullptr);
    RunHost("/usr/bin/xdotool key Down Down Down Down Down Return");
    EXPECT_TRUE(WaitGone(menu));
    EXPECT_TRUE(WaitUntil([&] { return StatusText() == "Quellwatch Status: [DISABLED]"; }, 10s));
}

TEST_F(Tray, MinimizedAtStartStaysHiddenUntilDoubleClicked) {
    Helper helper;
    ASSERT_TRUE(helper.Ok());
    FakeShell shell;
    Start({{"Minimized at start", "1"}});
    HWND tray = TrayWindow(shell);
    ASSERT_TRUE(ShowsState(shell, tray, true));
    EXPECT_FALSE(IsWindowVisible(quellbox.Main()));
    HWND other = helper.Create("Another program");

    Notify(tray, WM_LBUTTONUP);
    Notify(tray, WM_LBUTTONDBLCLK);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(quellbox.Main()) != FALSE; }, 10s));
    EXPECT_FALSE(GetWindowLongA(quellbox.Main(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    // In front of the other program's window: earlier in the z-order.
    EXPECT_TRUE(Ahead(quellbox.Main(), other));

    PostMessageA(quellbox.Main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(quellbox.Main()); }, 10s));
    Command(IDM_OPEN1);  // "&Restore"
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(quellbox.Main()) && !IsIconic(quellbox.Main()); }, 10s));
}

TEST_F(Tray, TheCloseCommandDoesNotCloseTheWindow) {
    Start();
    // What the title bar's close button and Alt+F4 would send; sent, so it
    // has been handled when the call returns.
    ASSERT_TRUE(IsWindowVisible(quellbox.Main()));
    SendMessageA(quellbox.Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(IsWindow(quellbox.Main()));
    EXPECT_TRUE(IsWindowVisible(quellbox.Main()));
    EXPECT_TRUE(quellbox.Running());
}

TEST_F(Tray, ASecondCopyIsRefusedAndTheFirstRunsOn) {
    Start();
    Program second;
    ASSERT_TRUE(second.Start(BinDir() + "\\Quellbox.exe"));
    HWND box = MessageBoxOf(second);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(BoxText(box), "Quellwatch is already running.");
    EXPECT_EQ(TextOf(box), "Quellwatch");
    EXPECT_EQ(FindWindowOf(second.Id(), "Quellwatch v1.6"), nullptr);
    Press(box, IDOK);
    EXPECT_NE(second.WaitExit(10s), -1);
    EXPECT_TRUE(quellbox.Running());
    EXPECT_TRUE(IsWindow(quellbox.Main()));
}

TEST_F(Tray, ExitAsksCancelKeepsEverythingOkRemovesTheIconAndEnds) {
    FakeShell shell;
    Start();
    HWND tray = TrayWindow(shell);
    ASSERT_TRUE(ShowsState(shell, tray, true));

    Command(IDM_CLOSE);  // File, "E&xit"
    HWND box = MessageBoxOf(quellbox);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(BoxText(box), "Warning: Exiting Quellwatch will disable the\r\nautomatic closing of listed windows!");
    EXPECT_EQ(TextOf(box), "Quellwatch");
    Press(box, IDCANCEL);
    ASSERT_TRUE(WaitGone(box));
    EXPECT_TRUE(quellbox.Running());
    EXPECT_EQ(TipNow(shell, tray), kEnabledTip);

    Command(IDM_EXIT1);  // the tray menu's "Exit"
    box = MessageBoxOf(quellbox);
    ASSERT_NE(box, nullptr);
    Press(box, IDOK);
    EXPECT_EQ(quellbox.WaitExit(10s), 0);
    EXPECT_EQ(TipNow(shell, tray), "(deleted)");
}

TEST_F(Tray, TheIconComesBackWhenTheNotificationAreaIsRecreated) {
    FakeShell shell;
    Start();
    HWND tray = TrayWindow(shell);
    Command(IDM_DISABLE);
    ASSERT_TRUE(ShowsState(shell, tray, false));
    const std::size_t before = shell.RequestsOf(quellbox.Id()).size();
    shell.BroadcastTaskbarCreated();
    ASSERT_TRUE(WaitUntil([&] { return shell.RequestsOf(quellbox.Id()).size() > before; }, 10s));
    const auto again = shell.RequestsOf(quellbox.Id()).back();
    EXPECT_EQ(again.message, static_cast<std::uint32_t>(NIM_ADD));
    EXPECT_EQ(again.window, tray);
    EXPECT_EQ(again.flags, 7u);
    EXPECT_EQ(again.tip, kDisabledTip);
    EXPECT_TRUE(EndsWith(again.payload, ExpectedIconBits(IDI_TRACK_OFF)));
}

// The program's own message boxes are owned by its main window, and the scan
// never closes them, whatever the list holds: not the exit question (caption
// "Quellwatch"), nor the missing-help message (caption "Error").
TEST_F(Tray, OwnMessageBoxesSurviveEntriesMatchingThem) {
    Helper helper;
    ASSERT_TRUE(helper.Ok());
    Start({}, {"quellwatch", "error"});
    // Asked to close every 500 ms for as long as it lives: each further
    // request proves that full passes have run.
    HWND sentinel = helper.Create("Error sentinel", "i");
    auto passes = [&](std::size_t closes) { return helper.WaitForMessages(sentinel, WM_CLOSE, closes, 10s); };
    ASSERT_TRUE(passes(1));

    Command(IDM_CLOSE);
    HWND box = MessageBoxOf(quellbox);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(GetWindow(box, GW_OWNER), quellbox.Main());
    const std::size_t seen = helper.Stamps(sentinel, WM_CLOSE).size();
    ASSERT_TRUE(passes(seen + 2));
    EXPECT_TRUE(IsWindow(box) && IsWindowVisible(box));
    Press(box, IDCANCEL);
    ASSERT_TRUE(WaitGone(box));

    const std::string chm = BinDir() + "\\Quellbox.chm";
    const std::string aside = BinDir() + "\\Quellbox.chm.aside";
    ASSERT_TRUE(MoveFileA(chm.c_str(), aside.c_str()));
    Command(IDM_HELPFILE);
    box = MessageBoxOf(quellbox);
    MoveFileA(aside.c_str(), chm.c_str());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(TextOf(box), "Error");
    const std::size_t later = helper.Stamps(sentinel, WM_CLOSE).size();
    ASSERT_TRUE(passes(later + 2));
    EXPECT_TRUE(IsWindow(box) && IsWindowVisible(box));
    Press(box, IDOK);
    EXPECT_TRUE(WaitGone(box));
    EXPECT_TRUE(quellbox.Running());
}

TEST_F(Tray, HelpOpensTheHelpFileOrSaysItIsMissing) {
    const std::string chm = BinDir() + "\\Quellbox.chm";
    const std::string aside = BinDir() + "\\Quellbox.chm.aside";
    ASSERT_NE(GetFileAttributesA(chm.c_str()), INVALID_FILE_ATTRIBUTES) << "the build places the help file";
    Start();
    ASSERT_TRUE(MoveFileA(chm.c_str(), aside.c_str()));
    Command(IDM_HELPFILE);
    HWND box = MessageBoxOf(quellbox);
    MoveFileA(aside.c_str(), chm.c_str());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(BoxText(box), "Cannot open help file!\r\n\r\nMake sure that 'Quellbox.chm' is in the same directory as "
                            "'Quellbox.exe'");
    EXPECT_EQ(TextOf(box), "Error");
    Press(box, IDOK);
    ASSERT_TRUE(WaitGone(box));

    Command(IDM_HELPFILE);
    // The shell hands the file to the help viewer, a process of its own.
    HWND viewer = nullptr;
    EXPECT_TRUE(WaitUntil(
        [&] {
            viewer = FindWindowA(nullptr, "Quellwatch Help");
            return viewer != nullptr;
        },
        20s));
    if (viewer) {
        DWORD pid = 0;
        GetWindowThreadProcessId(viewer, &pid);
        EXPECT_NE(pid, quellbox.Id());
        PostMessageA(viewer, WM_CLOSE, 0, 0);
    }
}

}  // namespace
}  // namespace qwe2e
