// Entry actions on the real program: a dialog's button pressed as a click
// presses it, a window minimized once, a stubborn program ended 2 s after its
// window was asked, a window only recorded, a wait before the request; the
// close history follows each.
#include <gtest/gtest.h>

#include "e2e_support.h"
#include "resources/resource.h"

namespace qwe2e {
namespace {

using namespace std::chrono_literals;

// The program's clock is the system tick, which moves in steps: a span by it
// may be a step or two short by ours.
constexpr double kTickSlack = 100;  // ms

TEST(Actions, EachActionOnTheRealProgram) {
    QuietOptions();
    SeedList({"Untitled - Notepad", "Notepad", "Save changes", "Minimize me", "Stubborn program", "Just watching",
              "Patience"});
    SeedRules({{"Untitled - Notepad", {"program=notepad.exe"}},
               {"Notepad", {"title=exact", "dialogs=1", "program=notepad.exe", "action=press", "button=No"}},
               {"Save changes", {"action=press", "button=no"}},
               {"Minimize me", {"action=minimize"}},
               {"Stubborn program", {"action=end"}},
               {"Just watching", {"action=record"}},
               {"Patience", {"delay=1500"}}});
    // Wine's Notepad with unsaved text asks "Save changes?" in a box titled
    // "Notepad" when asked to close; the entry naming its "&No" answers it.
    Program notepad;
    ASSERT_NE(StartNotepadWithText(notepad, "Words nobody saved"), nullptr);
    Helper helper;
    ASSERT_TRUE(helper.Ok());
    Quellbox q;
    ASSERT_TRUE(q.Launch());
    HWND history = Open(q, IDM_CLOSEDWINDOWS, "Closed Windows");
    ASSERT_NE(history, nullptr);
    EXPECT_NE(notepad.WaitExit(10s), -1);

    // "&No" pressed as a click: the dialog hears BN_CLICKED from its button
    // and closes; "&Yes" and WM_CLOSE never come.
    HWND dialog = helper.Create("Save changes? - Helper", "b");
    ASSERT_TRUE(WaitGone(dialog));
    EXPECT_EQ(helper.Messages(dialog), std::vector<std::uint32_t>{kPressed + IDNO});

    // Minimized once: brought back by its user, it stays.
    HWND minimized = helper.Create("Minimize me - Helper", "n");
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(minimized) != FALSE; }, 10s));
    ShowWindow(minimized, SW_RESTORE);

    // Waits 1.5 s from when it showed, then is asked as any window; it
    // ignores the request, so it is asked again every 500 ms: each two more
    // requests are a full pass over every window.
    HWND patient = helper.Create("Patience - Helper", "i");
    ASSERT_TRUE(helper.WaitForMessages(patient, WM_CLOSE, 1, 10s));
    EXPECT_GE(Millis(helper.Stamps(patient, WM_CLOSE).front() - helper.Stamps(patient, kShown).front()),
              1500.0 - kTickSlack);

    // Only recorded: nothing is sent, the history has its row.
    HWND watched = helper.Create("Just watching - Helper", "n");
    ASSERT_TRUE(helper.FullPass(patient));

    // Another process whose window ignores the request: ended 2 s after it
    // was first asked, its window still there.
    Program stubborn;
    ASSERT_TRUE(stubborn.Start(BinDir() + "\\qw_e2e_helper.exe", std::string(kAloneWord) + "Stubborn program"));
    HWND alone = WaitForWindow(stubborn, "Stubborn program");
    ASSERT_NE(alone, nullptr);
    const std::int64_t shown = helper.Stamps(alone, kShown).front();
    EXPECT_EQ(stubborn.WaitExit(15s), 1);  // TerminateProcess's code
    const std::int64_t ended = Now();
    ASSERT_FALSE(helper.Stamps(alone, WM_CLOSE).empty());
    EXPECT_GE(Millis(ended - shown), 2000.0 - kTickSlack);

    ASSERT_TRUE(helper.FullPass(patient));
    EXPECT_FALSE(IsIconic(minimized));
    EXPECT_EQ(helper.Messages(minimized), std::vector<std::uint32_t>{kMinimizing});
    EXPECT_TRUE(helper.Messages(watched).empty());
    EXPECT_TRUE(IsWindow(watched));

    // Newest first: what the history says of each, once its 2 s have passed.
    const auto outcomes = [&] {
        std::vector<std::string> seen;
        for (const auto& row : Rows(q, GetDlgItem(history, IDC_HISTORYLIST))) seen.push_back(row[1] + ": " + row[4]);
        return seen;
    };
    const std::vector<std::string> expected{"Stubborn program: Program ended", "Just watching - Helper: Recorded",
                                            "Patience - Helper: Still open", "Minimize me - Helper: Minimized",
                                            "Save changes? - Helper: Closed", "Notepad: Closed",
                                            "Untitled - Notepad: Closed"};
    EXPECT_TRUE(WaitUntil([&] { return outcomes() == expected; }, 10s)) << ::testing::PrintToString(outcomes());
    SetForegroundWindow(history);
    Screenshot("closed-windows-actions", &q);
    ASSERT_TRUE(Answer(history, IDCANCEL));
}


// The options part sets the action: "press its button:" with its caption,
// the preview counting the window that has it; "end its program" asks
// first, and "No" puts the press back; the entry added presses the button.
TEST(Actions, TheOptionsPartSetsAnEntrysAction) {
    QuietOptions();
    SeedList({"Daily Offer"});
    Helper helper;
    ASSERT_TRUE(helper.Ok());
    HWND dialogBox = helper.Create("Save changes? - Helper", "bn");
    Quellbox q;
    ASSERT_TRUE(q.Launch());
    HWND dialog = Open(q, IDC_LADD, "Add new item");
    ASSERT_NE(dialog, nullptr);
    Press(dialog, IDC_OPTIONS);
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(GetDlgItem(dialog, IDC_OPTACTION)) != FALSE; }, 10s));
    SetWindowTextW(GetDlgItem(dialog, IDC_WIN_NAME), L"Save changes");
    HWND action = GetDlgItem(dialog, IDC_OPTACTION), button = GetDlgItem(dialog, IDC_OPTBUTTON);
    const auto choose = [&](int choice) {
        SendMessageW(action, CB_SETCURSEL, static_cast<WPARAM>(choice), 0);
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_OPTACTION, CBN_SELCHANGE), reinterpret_cast<LPARAM>(action));
    };
    EXPECT_FALSE(IsWindowEnabled(button));
    choose(1);  // press its button:
    ASSERT_TRUE(WaitUntil([&] { return IsWindowEnabled(button) != FALSE; }, 10s));
    SetWindowTextW(button, L"No");
    const std::string said = "Would press No in 1 window \xE2\x80\x94 Save changes? - Helper (qw_e2e_helper.exe)";
    EXPECT_TRUE(WaitUntil([&] { return TextOf(GetDlgItem(dialog, IDC_PREVIEW)) == said; }, 10s))
        << TextOf(GetDlgItem(dialog, IDC_PREVIEW));
    Screenshot("add-dialog-actions", &q);
    choose(3);  // end its program: asked first
    HWND box = WaitForBox(q, "", "End the Program");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(GetWindow(box, GW_OWNER), dialog);
    ASSERT_TRUE(Answer(box, IDNO));
    EXPECT_TRUE(WaitUntil([&] { return SendMessageW(action, CB_GETCURSEL, 0, 0) == 1; }, 10s));
    ASSERT_TRUE(Answer(dialog, IDOK));
    ASSERT_TRUE(WaitGone(dialogBox));
    EXPECT_EQ(helper.Messages(dialogBox), std::vector<std::uint32_t>{kPressed + IDNO});
    EXPECT_EQ(Value("Software\\Varn\\Quellwatch\\Rules", "Save changes"), "action=press");
}

}  // namespace
}  // namespace qwe2e
