// The tray program as a user meets it: the tray icon and its menus, tracking
// switched from the menu bar and the tray menu, hiding and restoring, its own
// message boxes, a second copy, help and exit. Saves screenshots when QW_SCREENSHOT_DIR is set.
#include <gtest/gtest.h>

#include <algorithm>

#include "e2e_support.h"
#include "resources/resource.h"

namespace qwe2e {
namespace {

using namespace std::chrono_literals;

// Earlier in the z-order.
bool Ahead(HWND front, HWND back) {
    for (HWND w = GetTopWindow(nullptr); w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w == front) return true;
        if (w == back) return false;
    }
    return false;
}

bool StatusSays(const Quellbox& q, bool on) {
    return WaitUntil([&] {
        return TextOf(GetDlgItem(q.Main(), IDC_STATUS)) ==
               (on ? "Quellwatch Status: [ENABLED]" : "Quellwatch Status: [DISABLED]");
    }, 10s);
}

// The tip and icon the stand-in notification area shows for `tray`, and the
// status line of the main window, all tell tracking `on` or off.
bool ShowsState(const FakeShell& shell, HWND tray, const Quellbox& q, bool on) {
    const auto bits = IconBits(on ? IDI_TRACK_ON : IDI_TRACK_OFF, GetSystemMetrics(SM_CXSMICON));
    return !bits.empty() && StatusSays(q, on) && WaitUntil([&] {
        std::string tip;
        std::vector<std::uint8_t> icon;
        for (const auto& r : shell.Requests()) {
            if (r.window != tray) continue;
            if (r.flags & NIF_TIP) tip = r.tip;
            if (r.flags & NIF_ICON) icon = r.payload;
        }
        return tip == (on ? "Quellwatch [Enabled]" : "Quellwatch [Disabled]") && SameIcon(icon, bits);
    }, 10s);
}

void Notify(HWND tray, int mouseMessage) { PostMessageA(tray, WM_MOUSEMOVE, 0, MAKELPARAM(mouseMessage, 0)); }

// Moves down `position` selectable items of the open pop-up menu and picks it; false without a menu.
bool ChooseItem(HWND menu, int position) {
    for (int i = 0; i < position; ++i) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    return menu != nullptr;
}

TEST(Tray, IconMenusTrackingWindowAndExit) {
    Helper helper;
    FakeShell shell;
    QuietOptions();
    SetString(kOptionsKey, "Minimized at start", "1");
    SeedList({"Daily Offer", "quellwatch", "error"});
    // At logon the taskbar may not be ready: a refused icon is tried again
    // every 2 s until the notification area takes it.
    shell.RefuseAdds(2);
    Quellbox q;
    ASSERT_TRUE(helper.Ok() && q.Launch(false));
    std::vector<FakeShell::Request> adds;
    ASSERT_TRUE(WaitUntil([&] {
        adds.clear();
        for (const auto& r : shell.Requests(q.Id())) {
            if (r.message == NIM_ADD) adds.push_back(r);
        }
        return adds.size() == 3 && adds.back().accepted;
    }, 10s));
    EXPECT_GT(Millis(adds[2].qpc - adds[0].qpc), 3500.0);
    HWND tray = adds[0].window;  // its hidden window
    EXPECT_TRUE(ShowsState(shell, tray, q, true));
    EXPECT_FALSE(IsWindowVisible(q.Main()) || IsWindowVisible(tray));

    // Hidden at start; a double click brings it in front, not topmost.
    HWND other = helper.Create("Another program");
    for (int click : {WM_LBUTTONUP, WM_LBUTTONDBLCLK}) Notify(tray, click);
    // The raise passes through topmost for a moment, so wait for it to settle.
    ASSERT_TRUE(WaitUntil([&] {
        return IsWindowVisible(q.Main()) && Ahead(q.Main(), other) &&
               !(GetWindowLongA(q.Main(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    }, 10s));
    SendMessageA(q.Main(), WM_SYSCOMMAND, SC_CLOSE, 0);  // the close button and Alt+F4 do nothing
    EXPECT_TRUE(IsWindowVisible(q.Main()));

    // Off, from the menu bar: every indicator follows, and nothing is closed.
    Press(q.Main(), IDM_STATUS_DISABLE);
    EXPECT_TRUE(ShowsState(shell, tray, q, false));
    HWND offer = helper.Create("Daily Offer while off");

    // A right click pops the menu of the state up without raising the main
    // window over the program in front; its sixth item switches tracking.
    SetForegroundWindow(other);
    ASSERT_TRUE(WaitUntil([&] { return Ahead(other, q.Main()); }, 10s));
    for (int click : {WM_LBUTTONUP, WM_MBUTTONUP, WM_RBUTTONUP}) Notify(tray, click);
    HWND menu = WaitForWindowOfClass(q.Id(), "#32768", 10s);
    EXPECT_TRUE(helper.Messages(offer).empty());
    const std::int64_t enabledAt = Now();
    ASSERT_TRUE(ChooseItem(menu, 6));
    ASSERT_TRUE(ShowsState(shell, tray, q, true));
    EXPECT_TRUE(Ahead(other, q.Main()));
    ASSERT_TRUE(helper.WaitForMessages(offer, WM_CLOSE, 1, 5s));
    EXPECT_GT(helper.Stamps(offer, WM_CLOSE)[0], enabledAt);

    // Minimized it hides; the menu's "&Restore" shows it again.
    PostMessageA(q.Main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(q.Main()); }, 10s));
    Notify(tray, WM_RBUTTONUP);
    ASSERT_TRUE(ChooseItem(WaitForWindowOfClass(q.Id(), "#32768", 10s), 1));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(q.Main()) && !IsIconic(q.Main()); }, 10s));

    // A recreated notification area gets the icon again, as it is now.
    const std::size_t before = shell.Requests(q.Id()).size();
    shell.Restart();
    SendNotifyMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return shell.Requests(q.Id()).size() > before; }, 10s));
    const auto again = shell.Requests(q.Id()).back();
    EXPECT_TRUE(again.message == NIM_ADD && again.tip == "Quellwatch [Enabled]") << again.message << again.tip;

    // Its own boxes are owned by its main window and never closed, whatever
    // the list holds ("error" matches the caption, "quellwatch" the window's).
    HWND sentinel = helper.Create("Error sentinel", "i");
    const std::string chm = BinDir() + "\\Quellbox.chm", aside = chm + ".aside";
    ASSERT_TRUE(MoveFileA(chm.c_str(), aside.c_str()));
    Press(q.Main(), IDM_HELPFILE);
    HWND box = WaitForBox(q, "Cannot open help file!\r\n\r\nMake sure that 'Quellbox.chm' is in the same directory as "
                             "'Quellbox.exe'", "Error");
    MoveFileA(aside.c_str(), chm.c_str());
    EXPECT_EQ(GetWindow(box, GW_OWNER), q.Main());
    ASSERT_TRUE(helper.FullPass(sentinel));
    ASSERT_TRUE(Answer(box, IDOK));
    Press(q.Main(), IDM_EXIT1);
    ASSERT_TRUE(Answer(WaitForBox(q, "Warning: Exiting Quellwatch will disable the\r\nautomatic closing of listed "
                                     "windows!", "Quellwatch"), IDOK));
    EXPECT_EQ(q.WaitExit(10s), 0);
    EXPECT_TRUE(shell.Removed(tray));
}

// With the real notification area and real clicks: the menus (screenshots
// of both), a second copy refused, help opened by the shell, and exit
// through the menu bar.
TEST(Tray, RealClicksSecondCopyHelpAndTheMenuBar) {
    QuietOptions();
    SeedList({"Daily Offer", "You have won a prize", "Special deal - Web Browser", "Register now",
              "Unsaved changes reminder"});
    Quellbox q;
    ASSERT_TRUE(q.Launch());
    Screenshot("main-window", &q);
    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    ASSERT_NE(taskbar, nullptr);
    RECT bar{};
    GetWindowRect(taskbar, &bar);
    // Ours is the only icon: the rightmost place of the notification area.
    const std::string at = std::to_string(bar.right - 12) + " " + std::to_string((bar.top + bar.bottom) / 2);
    for (const char* state : {"enabled", "disabled"}) {
        HWND menu = nullptr;
        for (int attempt = 0; attempt < 3 && !menu; ++attempt) {
            ASSERT_TRUE(RunHost("/usr/bin/xdotool mousemove " + at + " click 3"));
            menu = WaitForWindowOfClass(q.Id(), "#32768", 5s);
        }
        ASSERT_NE(menu, nullptr) << state;
        Screenshot(std::string("tray-menu-") + state, &q);
        RunHost("/usr/bin/xdotool key Down Down Down Down Down Down Return");
        EXPECT_TRUE(StatusSays(q, std::string(state) == "disabled")) << state;
    }

    Program second;
    ASSERT_TRUE(second.Start(BinDir() + "\\Quellbox.exe"));
    ASSERT_TRUE(Answer(WaitForBox(second, "Quellwatch is already running.", "Quellwatch"), IDOK));
    EXPECT_NE(second.WaitExit(10s), -1);
    EXPECT_TRUE(q.Running());

    Press(q.Main(), IDM_HELPFILE);  // the shell hands the file to its viewer
    HWND viewer = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (viewer = FindWindowA(nullptr, "Quellwatch Help")) != nullptr; }, 20s));
    PostMessageA(viewer, WM_CLOSE, 0, 0);
    WaitGone(viewer);
    SetForegroundWindow(q.Main());

    RECT main{};
    GetWindowRect(q.Main(), &main);
    RunHost("/usr/bin/xdotool mousemove " + std::to_string(main.left + 120) + " " + std::to_string(main.top + 60) +
            " click 1 key alt+f x");
    HWND box = WaitForBox(q);
    ASSERT_NE(box, nullptr);
    Screenshot("exit-question", &q);
    ASSERT_TRUE(Answer(box, IDOK));
    EXPECT_EQ(q.WaitExit(10s), 0);
}

}  // namespace
}  // namespace qwe2e
