// Every way of putting titles into the list and changing it, on the real
// program: the add dialog (picked, typed, crosshair), edit and remove, and
// the taskbar target. Saves screenshots when QW_SCREENSHOT_DIR is set.
#include <gtest/gtest.h>

#include <algorithm>

#include "e2e_support.h"
#include "resources/resource.h"

namespace qwe2e {
namespace {

using namespace std::chrono_literals;
using Strings = std::vector<std::string>;

const char kTooShort[] = "The title must be a least five (5) characters long";

Strings Rows(HWND list) {
    Strings rows;
    for (int i = 0; i < static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)); ++i) {
        // Wide: Wine hands the ANSI form over from another process cut to its first character.
        WCHAR wide[512] = {};
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide));
        char text[1024] = {};
        WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text - 1, nullptr, nullptr);
        rows.push_back(text);
    }
    return rows;
}

// A key typed into a control: the program's message loop must hand it to the dialog.
void Key(HWND control, WPARAM key) {
    PostMessageA(control, WM_KEYDOWN, key, 0);
    PostMessageA(control, WM_KEYUP, key, 0xC0000000);
}

bool Stored(const Strings& entries) { return WaitUntil([&] { return StoredList() == entries; }, 10s); }

TEST(Editing, AddPickedTypedAndByTheCrosshair) {
    QuietOptions();
    SeedList({"Existing entry"});
    Helper helper;
    ASSERT_TRUE(helper.Ok());
    HWND page = helper.Create("Quarterly Report - Mozilla Firefox", "i");
    helper.Create("Calc");
    HWND netscape = helper.Create("Weekly Offer - Netscape");
    MoveWindow(netscape, 20, 560, 300, 100, TRUE);
    Quellbox q;
    ASSERT_TRUE(q.Launch());

    Press(q.Main(), IDC_LADD);
    HWND dialog = WaitForWindow(q, "Add new item");
    ASSERT_NE(dialog, nullptr);
    HWND list = GetDlgItem(dialog, IDC_WNDWLIST), name = GetDlgItem(dialog, IDC_WIN_NAME);
    ASSERT_TRUE(WaitUntil([&] { return Rows(list).size() >= 3; }, 10s));
    Strings rows = Rows(list);
    const auto row = std::find(rows.begin(), rows.end(), "Quarterly Report");  // the browser's name cut off
    ASSERT_NE(row, rows.end());
    EXPECT_NE(std::find(rows.begin(), rows.end(), "Calc"), rows.end());
    for (const char* own : {"Quellwatch v1.6", "Add new item"}) EXPECT_EQ(std::count(rows.begin(), rows.end(), own), 0);

    // The crosshair, dragged with real pointer events: over the dialog's own
    // title bar refused, the text kept; over another program's title bar its
    // whole title, browser name included.
    RECT target{}, own{}, other{};
    GetWindowRect(GetDlgItem(dialog, IDC_TARGET), &target);
    GetWindowRect(dialog, &own);
    GetWindowRect(netscape, &other);
    auto drag = [&](LONG x, LONG y) {
        return RunHost("/usr/bin/xdotool mousemove " + std::to_string((target.left + target.right) / 2) + " " +
                       std::to_string((target.top + target.bottom) / 2) + " sleep 0.2 mousedown 1 mousemove " +
                       std::to_string(x) + " " + std::to_string(y) + " sleep 0.2 mouseup 1");
    };
    SetWindowTextA(name, "typed");
    ASSERT_TRUE(drag(own.left + 60, own.top + 10));
    HWND box = WaitForBox(q, "Invalid Window, Please select title bar.\r\nNote: You cannot select Quellwatch related windows.");
    ASSERT_NE(box, nullptr);
    Press(box, IDOK);
    ASSERT_TRUE(WaitGone(box));
    EXPECT_EQ(TextOf(name), "typed");
    ASSERT_TRUE(drag(other.left + 60, other.top + 10));
    EXPECT_TRUE(WaitUntil([&] { return TextOf(name) == "Weekly Offer - Netscape"; }, 10s));

    // Picking a row fills the text box; Enter adds it, and the next tick closes its window.
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(row - rows.begin()), 0);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_WNDWLIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    ASSERT_TRUE(WaitUntil([&] { return TextOf(name) == "Quarterly Report"; }, 10s));
    Screenshot("add-dialog", &q);
    Key(name, VK_RETURN);
    ASSERT_TRUE(WaitGone(dialog));
    EXPECT_TRUE(Stored({"Existing entry", "Quarterly Report"}));
    EXPECT_TRUE(helper.WaitForMessages(page, WM_CLOSE, 1, 10s));

    // Typed: four characters are refused in a box the dialog owns; "Error"
    // is kept; Escape cancels.
    for (const char* text : {"abcd", "Error", "Not to be added"}) {
        Press(q.Main(), IDM_AD1);
        dialog = WaitForWindow(q, "Add new item");
        ASSERT_NE(dialog, nullptr);
        name = GetDlgItem(dialog, IDC_WIN_NAME);
        SetWindowTextA(name, text);
        Key(name, std::string(text) == "Not to be added" ? VK_ESCAPE : VK_RETURN);
        if (std::string(text) == "abcd") {
            box = WaitForBox(q, kTooShort);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(GetWindow(box, GW_OWNER), dialog);
            Press(box, IDOK);
            ASSERT_TRUE(WaitGone(box));
            EXPECT_EQ(TextOf(name), "abcd");
            Press(dialog, IDCANCEL);
        }
        ASSERT_TRUE(WaitGone(dialog)) << text;
    }
    EXPECT_TRUE(Stored({"Existing entry", "Quarterly Report", "Error"}));
}

TEST(Editing, EditRemoveAndTheTaskbarTarget) {
    FakeShell shell;
    QuietOptions();
    SetString(kOptionsKey, "Task Target", "1");
    SeedList({"Alpha window", "Beta window", "Gamma window"});
    Helper helper;
    ASSERT_TRUE(helper.Ok());
    Quellbox q;
    ASSERT_TRUE(q.Launch());
    HWND lv = GetDlgItem(q.Main(), IDC_LV);
    Press(q.Main(), IDC_EDITENTRY);  // nothing selected
    HWND box = WaitForBox(q, "You must select an item");
    ASSERT_NE(box, nullptr);
    Press(box, IDOK);
    ASSERT_TRUE(WaitGone(box));

    SendMessageA(lv, LB_SETCURSEL, 1, 0);
    Press(q.Main(), IDC_EDITENTRY);
    HWND dialog = WaitForWindow(q, "Edit Entry");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_TEXT)), "Beta window");
    Screenshot("edit-dialog", &q);
    SetWindowTextA(GetDlgItem(dialog, IDC_TEXT), "Beta changed");
    Key(GetDlgItem(dialog, IDC_TEXT), VK_RETURN);
    ASSERT_TRUE(WaitGone(dialog));
    EXPECT_TRUE(Stored({"Alpha window", "Beta changed", "Gamma window"}));
    for (int answer : {IDCANCEL, IDOK}) {
        SendMessageA(lv, LB_SETCURSEL, 0, 0);
        Press(q.Main(), IDC_LREM);
        box = WaitForBox(q, "Remove Entry: Alpha window ?");
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(TextOf(box), "Are you sure?");
        Press(box, answer);
        ASSERT_TRUE(WaitGone(box));
    }
    EXPECT_TRUE(Stored({"Beta changed", "Gamma window"}));
    EXPECT_EQ(TextOf(GetDlgItem(q.Main(), IDC_NUMWINDOWS)), "Quellwatch is currently scanning for 2 windows.");

    // The target notes the window the user works in and offers its title,
    // the browser's name cut off; Yes adds it and the next tick closes it.
    HWND target = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        for (const auto& r : shell.RequestsOf(q.Id())) target = r.tip == "Quellwatch Taskbar Target" ? r.window : target;
        return target != nullptr;
    }, 10s));
    HWND page = helper.Create("Start Page - Microsoft Internet Explorer", "i");
    SetForegroundWindow(page);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == page; }, 10s));
    PostMessageA(target, WM_MOUSEMOVE, 0, MAKELPARAM(WM_MOUSEMOVE, 0));
    PostMessageA(target, WM_MOUSEMOVE, 0, MAKELPARAM(WM_LBUTTONDOWN, 0));
    box = WaitForBox(q, "Add \"Start Page\"\r\nto Quellwatch's window list?");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(TextOf(box), "Question...");
    Screenshot("quick-add-question", &q);
    Press(box, IDYES);
    EXPECT_TRUE(Stored({"Beta changed", "Gamma window", "Start Page"}));
    EXPECT_TRUE(helper.WaitForMessages(page, WM_CLOSE, 1, 10s));

    // Switched off from the other tray menu: the icon goes, the choice is stored.
    Press(q.Main(), IDM_ENTASK2);
    EXPECT_TRUE(WaitUntil([&] {
        const auto requests = shell.Requests();  // all: the window is gone, so no longer the program's
        return !requests.empty() && requests.back().window == target && requests.back().message == NIM_DELETE;
    }, 10s));
    std::string stored;
    EXPECT_TRUE(WaitUntil([&] { return GetString(kOptionsKey, "Task Target", &stored) && stored == "0"; }, 10s));
}

}  // namespace
}  // namespace qwe2e
