// The tray program as a user meets it: the tray icon and its menus, tracking
// switched from every door, hiding and restoring, its own message boxes, a
// second copy, help and exit. Saves screenshots when QW_SCREENSHOT_DIR is set.
#include <gtest/gtest.h>

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

// What the stand-in notification area shows now for the icon of `tray`.
struct Shown {
    std::string tip;
    std::vector<std::uint8_t> icon;
    bool deleted = false;
};
Shown ShownFor(const FakeShell& shell, HWND tray) {
    Shown now;
    for (const auto& r : shell.Requests()) {
        if (r.window != tray) continue;
        if (r.flags & NIF_TIP) now.tip = r.tip;
        if (r.flags & NIF_ICON) now.icon = r.payload;
        now.deleted = r.message == NIM_DELETE;
    }
    return now;
}

bool ShowsState(const FakeShell& shell, HWND tray, const Quellbox& q, bool on) {
    const auto bits = ExpectedIconBits(on ? IDI_TRACK_ON : IDI_TRACK_OFF);
    return WaitUntil(
        [&] {
            const Shown now = ShownFor(shell, tray);
            return now.tip == (on ? "Quellwatch [Enabled]" : "Quellwatch [Disabled]") && EndsWith(now.icon, bits) &&
                   TextOf(GetDlgItem(q.Main(), IDC_STATUS)) ==
                       (on ? "Quellwatch Status: [ENABLED]" : "Quellwatch Status: [DISABLED]");
        },
        10s);
}

void Notify(HWND tray, int mouseMessage) { PostMessageA(tray, WM_MOUSEMOVE, 0, MAKELPARAM(mouseMessage, 0)); }

// Moves down `position` selectable items of the open pop-up menu and picks it.
void ChooseItem(HWND menu, int position) {
    for (int i = 0; i < position; ++i) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
}

TEST(Tray, IconMenusTrackingWindowAndExit) {
    Helper helper;
    ASSERT_TRUE(helper.Ok());
    FakeShell shell;
    QuietOptions();
    SetString(kOptionsKey, "Minimized at start", "1");
    SeedList({"Daily Offer", "quellwatch", "error"});
    Quellbox q;
    ASSERT_TRUE(q.Launch(false));
    HWND tray = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        for (const auto& r : shell.RequestsOf(q.Id())) tray = r.message == NIM_ADD ? r.window : tray;
        return tray != nullptr;
    }, 10s));
    const auto add = shell.RequestsOf(q.Id()).front();
    EXPECT_EQ(add.id, 0u);
    EXPECT_EQ(add.flags, 7u);
    EXPECT_EQ(add.callback, static_cast<std::uint32_t>(WM_MOUSEMOVE));
    EXPECT_TRUE(ShowsState(shell, tray, q, true));
    EXPECT_FALSE(IsWindowVisible(q.Main()) || IsWindowVisible(tray));

    // Hidden at start; a double click brings it in front, not topmost.
    HWND other = helper.Create("Another program");
    Notify(tray, WM_LBUTTONUP);
    Notify(tray, WM_LBUTTONDBLCLK);
    // The raise passes through topmost for a moment, so wait for it to settle.
    ASSERT_TRUE(WaitUntil([&] {
        return IsWindowVisible(q.Main()) && Ahead(q.Main(), other) &&
               !(GetWindowLongA(q.Main(), GWL_EXSTYLE) & WS_EX_TOPMOST);
    }, 10s));
    SendMessageA(q.Main(), WM_SYSCOMMAND, SC_CLOSE, 0);  // the close button and Alt+F4 do nothing
    EXPECT_TRUE(IsWindowVisible(q.Main()));

    // Every switch moves every indicator; none writes an option; off closes nothing.
    for (int id : {IDM_DISABLE, IDM_STAT_ENABLE, IDM_STATUS_DISABLE}) {
        Press(q.Main(), id);
        EXPECT_TRUE(ShowsState(shell, tray, q, id == IDM_STAT_ENABLE)) << id;
    }
    std::string value;
    EXPECT_FALSE(GetString(kOptionsKey, "On at Start", &value));
    HWND offer = helper.Create("Daily Offer while off");

    // A right click pops the menu of the state up without raising the main
    // window over the program in front; its fifth item switches tracking.
    SetForegroundWindow(other);
    ASSERT_TRUE(WaitUntil([&] { return Ahead(other, q.Main()); }, 10s));
    Notify(tray, WM_LBUTTONUP);
    Notify(tray, WM_MBUTTONUP);
    Notify(tray, WM_RBUTTONUP);
    HWND menu = WaitForWindowOfClass(q.Id(), "#32768", 10s);
    ASSERT_NE(menu, nullptr);
    EXPECT_TRUE(helper.Messages(offer).empty());
    const std::int64_t enabledAt = Now();
    ChooseItem(menu, 5);
    ASSERT_TRUE(ShowsState(shell, tray, q, true));
    EXPECT_TRUE(Ahead(other, q.Main()));
    ASSERT_TRUE(helper.WaitForMessages(offer, WM_CLOSE, 1, 5s));
    EXPECT_GT(helper.Stamps(offer, WM_CLOSE)[0], enabledAt);

    // Minimized it hides; the menu's "&Restore" shows it again.
    PostMessageA(q.Main(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(q.Main()); }, 10s));
    Notify(tray, WM_RBUTTONUP);
    menu = WaitForWindowOfClass(q.Id(), "#32768", 10s);
    ASSERT_NE(menu, nullptr);
    ChooseItem(menu, 1);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(q.Main()) && !IsIconic(q.Main()); }, 10s));

    // A recreated notification area gets the icon again, as it is now.
    const std::size_t before = shell.RequestsOf(q.Id()).size();
    shell.BroadcastTaskbarCreated();
    ASSERT_TRUE(WaitUntil([&] { return shell.RequestsOf(q.Id()).size() > before; }, 10s));
    const auto again = shell.RequestsOf(q.Id()).back();
    EXPECT_EQ(again.message, static_cast<std::uint32_t>(NIM_ADD));
    EXPECT_EQ(again.tip, "Quellwatch [Enabled]");

    // Its own boxes are owned by its main window and never closed, whatever
    // the list holds ("quellwatch" and "error" match their captions).
    HWND sentinel = helper.Create("Error sentinel", "i");
    const std::string chm = BinDir() + "\\Quellbox.chm", aside = chm + ".aside";
    ASSERT_TRUE(MoveFileA(chm.c_str(), aside.c_str()));
    Press(q.Main(), IDM_HELPFILE);
    HWND box = WaitForBox(q, "Cannot open help file!\r\n\r\nMake sure that 'Quellbox.chm' is in the same directory as "
                             "'Quellbox.exe'");
    MoveFileA(aside.c_str(), chm.c_str());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(TextOf(box), "Error");
    EXPECT_EQ(GetWindow(box, GW_OWNER), q.Main());
    std::size_t asked = helper.Stamps(sentinel, WM_CLOSE).size();
    ASSERT_TRUE(helper.WaitForMessages(sentinel, WM_CLOSE, asked + 2, 10s));
    EXPECT_TRUE(IsWindowVisible(box));
    Press(box, IDOK);
    ASSERT_TRUE(WaitGone(box));

    Press(q.Main(), IDM_CLOSE);
    box = WaitForBox(q, "Warning: Exiting Quellwatch will disable the\r\nautomatic closing of listed windows!");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(TextOf(box), "Quellwatch");
    asked = helper.Stamps(sentinel, WM_CLOSE).size();
    ASSERT_TRUE(helper.WaitForMessages(sentinel, WM_CLOSE, asked + 2, 10s));
    Press(box, IDCANCEL);
    ASSERT_TRUE(WaitGone(box));
    EXPECT_TRUE(q.Running());
    Press(q.Main(), IDM_EXIT1);
    box = WaitForBox(q);
    ASSERT_NE(box, nullptr);
    Press(box, IDOK);
    EXPECT_EQ(q.WaitExit(10s), 0);
    EXPECT_TRUE(ShownFor(shell, tray).deleted);
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
        RunHost("/usr/bin/xdotool key Down Down Down Down Down Return");
        const bool on = std::string(state) == "disabled";
        EXPECT_TRUE(WaitUntil([&] {
            return TextOf(GetDlgItem(q.Main(), IDC_STATUS)) ==
                   (on ? "Quellwatch Status: [ENABLED]" : "Quellwatch Status: [DISABLED]");
        }, 10s)) << state;
    }

    Program second;
    ASSERT_TRUE(second.Start(BinDir() + "\\Quellbox.exe"));
    HWND box = WaitForBox(second, "Quellwatch is already running.");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(TextOf(box), "Quellwatch");
    Press(box, IDOK);
    EXPECT_NE(second.WaitExit(10s), -1);
    EXPECT_TRUE(q.Running());

    Press(q.Main(), IDM_HELPFILE);  // the shell hands the file to its viewer
    HWND viewer = nullptr;
    EXPECT_TRUE(WaitUntil([&] { return (viewer = FindWindowA(nullptr, "Quellwatch Help")) != nullptr; }, 20s));
    if (viewer) {
        PostMessageA(viewer, WM_CLOSE, 0, 0);
        WaitGone(viewer);
    }
    SetForegroundWindow(q.Main());

    RECT main{};
    GetWindowRect(q.Main(), &main);
    RunHost("/usr/bin/xdotool mousemove " + std::to_string(main.left + 120) + " " + std::to_string(main.top + 60) +
            " click 1 key alt+f x");
    box = WaitForBox(q);
    ASSERT_NE(box, nullptr);
    Screenshot("exit-question", &q);
    Press(box, IDOK);
    EXPECT_EQ(q.WaitExit(10s), 0);
}

}  // namespace
}  // namespace qwe2e
