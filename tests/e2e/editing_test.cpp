// Every way of putting titles into the list and changing it, on the real
// program: the add dialog (typed, picked, crosshair), edit and remove, and
// the taskbar target.
#include <gtest/gtest.h>

#include <algorithm>

#include "e2e_support.h"
#include "resources/resource.h"

namespace qwe2e {
namespace {

using namespace std::chrono_literals;
using Strings = std::vector<std::string>;

const char kTooShort[] = "The title must be a least five (5) characters long";

class Editing : public ::testing::Test {
protected:
    void Start(const Strings& entries, const char* taskTarget = "0") {
        QuietOptions();
        SetString(kOptionsKey, "Task Target", taskTarget);
        SeedList(entries);
        ASSERT_TRUE(helper.Ok());
        ASSERT_TRUE(quellbox.Launch());
    }
    void Command(int id) { PostMessageA(quellbox.Main(), WM_COMMAND, static_cast<WPARAM>(id), 0); }
    HWND Dialog(const char* caption) {
        HWND dialog = nullptr;
        WaitUntil([&] { return (dialog = FindWindowOf(quellbox.Id(), caption)) && IsWindowVisible(dialog); }, 10s);
        return dialog;
    }
    HWND Box() { return WaitForWindowOfClass(quellbox.Id(), "#32770", 10s); }
    // A message box that is not `dialog`: the dialogs are #32770 too.
    HWND BoxOver(HWND dialog) {
        HWND box = nullptr;
        WaitUntil(
            [&] {
                for (HWND w : WindowsOf(quellbox.Id())) {
                    char cls[32] = {};
                    GetClassNameA(w, cls, sizeof cls);
                    if (w != dialog && std::string(cls) == "#32770" && IsWindowVisible(w) && GetDlgItem(w, 0xFFFF))
                        box = w;
                }
                return box != nullptr;
            },
            10s);
        return box;
    }
    static void Press(HWND window, int id) { PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(id), 0); }
    static bool Gone(HWND window) { return WaitUntil([&] { return !IsWindow(window); }, 10s); }
    static std::string Text(HWND dialog, int id) { return TextOf(GetDlgItem(dialog, id)); }
    static Strings Rows(HWND list) {
        Strings rows;
        const int n = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            // Wide: Wine hands the ANSI form of this message over from another
            // process cut to its first character.
            WCHAR wide[512] = {};
            SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide));
            char text[1024] = {};
            WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text - 1, nullptr, nullptr);
            rows.push_back(text);
        }
        return rows;
    }
    bool StoredListIs(const Strings& entries) {
        return WaitUntil([&] { return StoredList() == entries; }, 10s);
    }
    // A key as the user types it into the focused control of a dialog: the
    // program's message loop must route it to the dialog.
    static void Key(HWND control, WPARAM key) {
        PostMessageA(control, WM_KEYDOWN, key, 0);
        PostMessageA(control, WM_KEYUP, key, 0xC0000000);
    }

    Helper helper;
    Quellbox quellbox;
};

TEST_F(Editing, AddByPickingAndByTypingTheNewEntryClosesItsWindow) {
    Start({"Existing entry"});
    HWND page = helper.Create("Quarterly Report - Mozilla Firefox", "i");
    helper.Create("Calc");
    Command(IDC_LADD);
    HWND dialog = Dialog("Add new item");
    ASSERT_NE(dialog, nullptr);
    HWND list = GetDlgItem(dialog, IDC_WNDWLIST);
    ASSERT_TRUE(WaitUntil([&] { return Rows(list).size() >= 2; }, 10s));
    const Strings rows = Rows(list);
    EXPECT_NE(std::find(rows.begin(), rows.end(), "Quarterly Report"), rows.end());  // browser suffix cut
    EXPECT_NE(std::find(rows.begin(), rows.end(), "Calc"), rows.end());
    for (const char* own : {"Quellwatch v1.6", "Add new item"})
        EXPECT_EQ(std::find(rows.begin(), rows.end(), own), rows.end()) << own;
    EXPECT_TRUE(helper.Messages(page).empty());

    // Picking a row fills the text box; Enter adds it.
    const int row = static_cast<int>(std::find(rows.begin(), rows.end(), "Quarterly Report") - rows.begin());
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_WNDWLIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    ASSERT_TRUE(WaitUntil([&] { return Text(dialog, IDC_WIN_NAME) == "Quarterly Report"; }, 10s));
    Key(GetDlgItem(dialog, IDC_WIN_NAME), VK_RETURN);
    ASSERT_TRUE(Gone(dialog));
    EXPECT_TRUE(StoredListIs({"Existing entry", "Quarterly Report"}));
    EXPECT_TRUE(helper.WaitForMessages(page, WM_CLOSE, 1, 10s));  // the next tick uses it

    // Typed: four characters are refused and the dialog stays; "Error" is kept.
    Command(IDM_AD1);
    dialog = Dialog("Add new item");
    ASSERT_NE(dialog, nullptr);
    SetWindowTextA(GetDlgItem(dialog, IDC_WIN_NAME), "abcd");
    Press(dialog, IDOK);
    HWND box = BoxOver(dialog);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(BoxText(box), kTooShort);
    EXPECT_EQ(TextOf(box), "Error");
    EXPECT_EQ(GetWindow(box, GW_OWNER), dialog);
    Press(box, IDOK);
    ASSERT_TRUE(Gone(box));
    EXPECT_TRUE(IsWindowVisible(dialog));
    EXPECT_EQ(Text(dialog, IDC_WIN_NAME), "abcd");
    SetWindowTextA(GetDlgItem(dialog, IDC_WIN_NAME), "Error");
    Press(dialog, IDOK);
    ASSERT_TRUE(Gone(dialog));
    EXPECT_TRUE(StoredListIs({"Existing entry", "Quarterly Report", "Error"}));

    // Escape cancels: nothing added.
    Command(IDC_LADD);
    dialog = Dialog("Add new item");
    ASSERT_NE(dialog, nullptr);
    SetWindowTextA(GetDlgItem(dialog, IDC_WIN_NAME), "Not to be added");
    Key(GetDlgItem(dialog, IDC_WIN_NAME), VK_ESCAPE);
    ASSERT_TRUE(Gone(dialog));
    EXPECT_EQ(StoredList(), (Strings{"Existing entry", "Quarterly Report", "Error"}));
}

TEST_F(Editing, TheCrosshairTakesTheWholeTitleOfTheWindowUnderIt) {
    Start({});
    HWND other = helper.Create("Weekly Offer - Netscape");
    MoveWindow(other, 20, 560, 300, 100, TRUE);
    Command(IDC_LADD);
    HWND dialog = Dialog("Add new item");
    ASSERT_NE(dialog, nullptr);
    RECT target{}, title{}, own{};
    GetWindowRect(GetDlgItem(dialog, IDC_TARGET), &target);
    GetWindowRect(other, &title);
    GetWindowRect(dialog, &own);
    auto drag = [&](int x, int y) {
        return RunHost("/usr/bin/xdotool mousemove " + std::to_string((target.left + target.right) / 2) + " " +
                       std::to_string((target.top + target.bottom) / 2) + " sleep 0.2 mousedown 1 mousemove " +
                       std::to_string(x) + " " + std::to_string(y) + " sleep 0.2 mouseup 1");
    };
    // Over the dialog's own title bar: refused, and the text stays.
    SetWindowTextA(GetDlgItem(dialog, IDC_WIN_NAME), "typed");
    ASSERT_TRUE(drag(own.left + 60, own.top + 10));
    HWND box = BoxOver(dialog);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(BoxText(box), "Invalid Window, Please select title bar.\r\nNote: You cannot select Quellwatch related windows.");
    Press(box, IDOK);
    EXPECT_TRUE(Gone(box));
    EXPECT_EQ(Text(dialog, IDC_WIN_NAME), "typed");
    // Over another program's title bar: its full title, browser name included.
    ASSERT_TRUE(drag(title.left + 60, title.top + 10));
    EXPECT_TRUE(WaitUntil([&] { return Text(dialog, IDC_WIN_NAME) == "Weekly Offer - Netscape"; }, 10s));
}

TEST_F(Editing, EditAndRemoveTheSelectedEntry) {
    Start({"Alpha window", "Beta window", "Gamma window"});
    HWND lv = GetDlgItem(quellbox.Main(), IDC_LV);
    Command(IDC_EDITENTRY);  // nothing selected
    HWND box = Box();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(BoxText(box), "You must select an item");
    Press(box, IDOK);
    ASSERT_TRUE(Gone(box));

    SendMessageA(lv, LB_SETCURSEL, 1, 0);
    Command(IDC_EDITENTRY);
    HWND dialog = Dialog("Edit Entry");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Text(dialog, IDC_TEXT), "Beta window");
    SetWindowTextA(GetDlgItem(dialog, IDC_TEXT), "Beta changed");
    Key(GetDlgItem(dialog, IDC_TEXT), VK_RETURN);
    ASSERT_TRUE(Gone(dialog));
    EXPECT_TRUE(StoredListIs({"Alpha window", "Beta changed", "Gamma window"}));

    for (int answer : {IDCANCEL, IDOK}) {
        SendMessageA(lv, LB_SETCURSEL, 0, 0);
        Command(IDC_LREM);
        box = Box();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(BoxText(box), "Remove Entry: Alpha window ?");
        EXPECT_EQ(TextOf(box), "Are you sure?");
        Press(box, answer);
        ASSERT_TRUE(Gone(box));
    }
    EXPECT_TRUE(StoredListIs({"Beta changed", "Gamma window"}));
    EXPECT_EQ(TextOf(GetDlgItem(quellbox.Main(), IDC_NUMWINDOWS)), "Quellwatch is currently scanning for 2 windows.");
}

TEST_F(Editing, TheTaskbarTargetOffersTheForegroundWindowsTitle) {
    FakeShell shell;
    Start({}, "1");
    HWND target = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (const auto& r : shell.RequestsOf(quellbox.Id())) {
                if (r.tip == "Quellwatch Taskbar Target") target = r.window;
            }
            return target != nullptr;
        },
        10s));
    HWND page = helper.Create("Start Page - Microsoft Internet Explorer", "i");
    SetForegroundWindow(page);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == page; }, 10s));
    PostMessageA(target, WM_MOUSEMOVE, 0, MAKELPARAM(WM_MOUSEMOVE, 0));
    PostMessageA(target, WM_MOUSEMOVE, 0, MAKELPARAM(WM_LBUTTONDOWN, 0));
    HWND box = Box();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(BoxText(box), "Add \"Start Page\"\r\nto Quellwatch's window list?");
    EXPECT_EQ(TextOf(box), "Question...");
    Screenshot("quick-add-question", &quellbox);
    Press(box, IDYES);
    EXPECT_TRUE(StoredListIs({"Start Page"}));
    EXPECT_TRUE(helper.WaitForMessages(page, WM_CLOSE, 1, 10s));

    // Switched off from the tray menu: the icon goes and the choice is stored.
    Command(IDM_ENTASK2);
    EXPECT_TRUE(WaitUntil(
        [&] {
            // All requests: the window is gone, so it no longer counts as the program's.
            const auto requests = shell.Requests();
            return !requests.empty() && requests.back().window == target && requests.back().message == NIM_DELETE;
        },
        10s));
    std::string stored;
    EXPECT_TRUE(WaitUntil([&] { return GetString(kOptionsKey, "Task Target", &stored) && stored == "0"; }, 10s));
}

}  // namespace
}  // namespace qwe2e
