// Walks through what a user sees, with the real notification area, and saves
// screenshots when QW_SCREENSHOT_DIR is set (scripts/screenshots.sh).
#include <gtest/gtest.h>

#include "e2e_support.h"
#include "resources/resource.h"

namespace qwe2e {
namespace {

using namespace std::chrono_literals;

TEST(Screens, MainWindowTrayMenusAndExitQuestion) {
    QuietOptions();
    SeedList({"Daily Offer", "You have won a prize", "Special deal - Web Browser", "Register now",
              "Unsaved changes reminder"});
    Quellbox quellbox;
    ASSERT_TRUE(quellbox.Launch());
    Screenshot("main-window", &quellbox);

    HWND taskbar = FindWindowA("Shell_TrayWnd", nullptr);
    ASSERT_NE(taskbar, nullptr);
    RECT bar{};
    GetWindowRect(taskbar, &bar);
    const std::string at = std::to_string(bar.right - 12) + " " + std::to_string((bar.top + bar.bottom) / 2);
    HWND status = GetDlgItem(quellbox.Main(), IDC_STATUS);
    for (const char* state : {"enabled", "disabled"}) {
        HWND menu = nullptr;
        for (int attempt = 0; attempt < 3 && !menu; ++attempt) {
            RunHost("/usr/bin/xdotool mousemove " + at + " click 3");
            menu = WaitForWindowOfClass(quellbox.Id(), "#32768", 5s);
        }
        ASSERT_NE(menu, nullptr) << state;
        Screenshot(std::string("tray-menu-") + state, &quellbox);
        // The fifth item switches tracking.
        RunHost("/usr/bin/xdotool key Down Down Down Down Down Return");
        const std::string next = std::string(state) == "enabled" ? "Quellwatch Status: [DISABLED]"
                                                                 : "Quellwatch Status: [ENABLED]";
        ASSERT_TRUE(WaitUntil([&] { return TextOf(status) == next; }, 10s)) << state;
    }

    RECT main{};
    GetWindowRect(quellbox.Main(), &main);
    const std::string inside = std::to_string(main.left + 120) + " " + std::to_string(main.top + 60);

    // Through the real menu bar, as a user would: File, then "E&xit".
    RunHost("/usr/bin/xdotool mousemove " + inside + " click 1 key alt+f x");
    HWND box = WaitForWindowOfClass(quellbox.Id(), "#32770", 10s);
    ASSERT_NE(box, nullptr);
    Screenshot("exit-question", &quellbox);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(quellbox.WaitExit(10s), 0);
}

TEST(Screens, EditingDialogs) {
    QuietOptions();
    SeedList({"Daily Offer", "You have won a prize", "Register now"});
    Helper helper;
    ASSERT_TRUE(helper.Ok());
    for (const char* title : {"Quarterly Report - Mozilla Firefox", "Untitled - Notepad", "Inbox - Mail"})
        helper.Create(title);
    Quellbox quellbox;
    ASSERT_TRUE(quellbox.Launch());

    PostMessageA(quellbox.Main(), WM_COMMAND, IDC_LADD, 0);
    HWND dialog = nullptr;
    // Visible: its controls exist only once the dialog is made.
    ASSERT_TRUE(WaitUntil(
        [&] { return (dialog = FindWindowOf(quellbox.Id(), "Add new item")) != nullptr && IsWindowVisible(dialog); },
        10s));
    HWND list = GetDlgItem(dialog, IDC_WNDWLIST);
    ASSERT_TRUE(WaitUntil([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) >= 3; }, 10s));
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_WNDWLIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    Screenshot("add-dialog", &quellbox);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);

    SendMessageA(GetDlgItem(quellbox.Main(), IDC_LV), LB_SETCURSEL, 1, 0);
    PostMessageA(quellbox.Main(), WM_COMMAND, IDC_EDITENTRY, 0);
    ASSERT_TRUE(WaitUntil(
        [&] { return (dialog = FindWindowOf(quellbox.Id(), "Edit Entry")) != nullptr && IsWindowVisible(dialog); },
        10s));
    Screenshot("edit-dialog", &quellbox);
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
}

TEST(Screens, OptionsPages) {
    QuietOptions();
    SetString(kOptionsKey, "Sound", "C:\\windows\\media\\ding.wav");
    SeedList({});
    Quellbox quellbox;
    ASSERT_TRUE(quellbox.Launch());
    const std::pair<int, const char*> pages[] = {
        {IDM_MODE, "options-on-startup"}, {IDM_SOUND, "options-sounds"}, {IDM_OPTFILEICON, "options-list-icon"}};
    for (const auto& page : pages) {
        PostMessageA(quellbox.Main(), WM_COMMAND, page.first, 0);
        HWND dialog = nullptr;
        ASSERT_TRUE(WaitUntil(
            [&] { return (dialog = FindWindowOf(quellbox.Id(), "Quellwatch Options")) && IsWindowVisible(dialog); },
            10s));
        Screenshot(page.second, &quellbox);
    }
}

}  // namespace
}  // namespace qwe2e
