// Walks through what a user sees, with the real notification area, and saves
// screenshots when QW_SCREENSHOT_DIR is set (scripts/screenshots.sh).
#include <gtest/gtest.h>

#include "e2e_support.h"
#include "resources/resource.h"

namespace qwe2e {
namespace {

using namespace std::chrono_literals;

// Lets the program paint what it just opened before the picture is taken.
void Settle(const Program& program) {
    WaitForInputIdle(program.Handle(), 5000);
    std::this_thread::sleep_for(1500ms);
}

TEST(Screens, MainWindowTrayMenusAndExitQuestion) {
    DeleteTree(kOptionsKey);
    SetString(kOptionsKey, "Run at Start", "0");
    SeedList({"Daily Offer", "You have won a prize", "Special deal - Web Browser", "Register now",
              "Unsaved changes reminder"});
    Quellbox quellbox;
    ASSERT_TRUE(quellbox.Launch());
    Settle(quellbox);
    Screenshot("main-window");

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
        Settle(quellbox);
        Screenshot(std::string("tray-menu-") + state);
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
    Settle(quellbox);
    Screenshot("exit-question");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(quellbox.WaitExit(10s), 0);
}

}  // namespace
}  // namespace qwe2e
