// What was closed, and what an entry would close: the "Closed Windows"
// window opened from the menu bar and the tray menu, its rows followed live,
// saved as CSV; the add dialog's preview line. Saves screenshots when
// QW_SCREENSHOT_DIR is set.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "e2e_support.h"
#include "resources/resource.h"

#include <commctrl.h>

namespace qwe2e {
namespace {

using namespace std::chrono_literals;
using Row = std::vector<std::string>;

TEST(History, ClosedWindowsFromBothMenusSavedAndThePreview) {
    FakeShell shell;
    QuietOptions();
    SeedList({"Daily Offer", "Stubborn popup", "Register now"});
    Helper helper;
    ASSERT_TRUE(helper.Ok());
    Quellbox q;
    ASSERT_TRUE(q.Launch());

    // From the menu bar: the last item of "&Status". The window is the main
    // window's, and follows closes while it is open.
    HWND history = OpenHistoryFromMenuBar(q);
    ASSERT_NE(history, nullptr);
    EXPECT_EQ(GetWindow(history, GW_OWNER), q.Main());
    HWND list = GetDlgItem(history, IDC_HISTORYLIST);
    helper.Create("=Daily Offer from the helper");  // begins as a spreadsheet formula would
    HWND stubborn = helper.Create("Stubborn popup - it ignores requests", "i");
    helper.Create("Register now to keep reading - Web Browser");
    std::vector<Row> rows;
    ASSERT_TRUE(WaitUntil([&] { return (rows = Rows(q, list)).size() == 3 && rows[1][4] == "Still open"; }, 10s));
    ASSERT_TRUE(helper.WaitForMessages(stubborn, WM_CLOSE, 2, 10s));  // asked again: still one row
    EXPECT_EQ(Rows(q, list), rows);
    for (Row& row : rows) row[0] = row[0].size() == 19 && row[0][4] == '-' ? "time" : row[0];
    const std::string helperExe = "qw_e2e_helper.exe";
    EXPECT_EQ(rows, (std::vector<Row>{
                        {"time", "Register now to keep reading - Web Browser", "Register now", helperExe, "Closed"},
                        {"time", "Stubborn popup - it ignores requests", "Stubborn popup", helperExe, "Still open"},
                        {"time", "=Daily Offer from the helper", "Daily Offer", helperExe, "Closed"}}));
    MoveWindow(stubborn, 620, 560, 300, 100, TRUE);
    SetForegroundWindow(history);
    Screenshot("closed-windows", &q);

    // "Save As…" writes what the list shows (no field here needs quotes), a
    // title that begins as a formula would after an apostrophe; a file of the
    // user's own named as temporary files often are stays as it was.
    const std::string path = BinDir() + "\\closed-windows.csv", mine = path + ".tmp";
    DeleteFileA(path.c_str());
    std::ofstream(mine, std::ios::binary) << "the user's own";
    Press(history, IDC_HISTORYSAVE);
    HWND save = WaitForWindow(q, "Save Closed Windows");
    ASSERT_NE(save, nullptr);
    SetDlgItemTextW(save, 0x47C, Wide(path).c_str());  // the "File name" box
    ASSERT_TRUE(Answer(save, IDOK));
    std::string csv;
    ASSERT_TRUE(WaitUntil([&] {
        std::ostringstream bytes;
        bytes << std::ifstream(path, std::ios::binary).rdbuf();
        return !(csv = bytes.str()).empty();
    }, 10s));
    std::string expected = "\xEF\xBB\xBFTime,Title,Entry,Program,Outcome\r\n";
    for (const Row& row : Rows(q, list)) {
        const std::string title = row[1][0] == '=' ? "'" + row[1] : row[1];
        expected += row[0] + ',' + title + ',' + row[2] + ',' + row[3] + ',' + row[4] + "\r\n";
    }
    EXPECT_EQ(csv, expected);
    std::ostringstream kept;
    kept << std::ifstream(mine, std::ios::binary).rdbuf();
    EXPECT_EQ(kept.str(), "the user's own");
    DeleteFileA(mine.c_str());
    ASSERT_TRUE(Answer(history, IDCANCEL));

    // From the tray menu: "Closed Windows" right after "Add Item".
    HWND tray = shell.Requests(q.Id()).front().window;
    PostMessageA(tray, WM_MOUSEMOVE, 0, MAKELPARAM(WM_RBUTTONUP, 0));
    HWND menu = WaitForWindowOfClass(q.Id(), "#32768", 10s);
    ASSERT_NE(menu, nullptr);
    for (int i = 0; i < 5; ++i) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    ASSERT_NE(history = WaitForWindow(q, "Closed Windows"), nullptr);
    EXPECT_EQ(Rows(q, list = GetDlgItem(history, IDC_HISTORYLIST)).size(), 3u);  // kept while the program runs
    ASSERT_TRUE(Answer(history, IDCANCEL));

    // The add dialog names what the typed text would close now, and warns
    // past five windows.
    for (int i = 1; i <= 6; ++i) helper.Create("Quarterly report draft " + std::to_string(i));
    HWND dialog = Open(q, IDC_LADD, "Add new item");
    ASSERT_NE(dialog, nullptr);
    HWND name = GetDlgItem(dialog, IDC_WIN_NAME), line = GetDlgItem(dialog, IDC_PREVIEW);
    const auto says = [&](const std::string& typed, const std::string& start) {  // once typing stops
        SetWindowTextW(name, Wide(typed).c_str());
        return WaitUntil([&] { return TextOf(line).rfind("Would close now: " + start, 0) == 0; }, 10s);
    };
    EXPECT_TRUE(says("stubborn", "1 window \xE2\x80\x94 Stubborn popup - it ignores requests"));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_PREVIEWICON)));
    EXPECT_TRUE(says("Nothing has a title like this", "nothing"));
    EXPECT_TRUE(says("Quarterly report", "6 windows \xE2\x80\x94 Quarterly report draft "));
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dialog, IDC_PREVIEWICON)));
    Screenshot("add-dialog-preview", &q);
    ASSERT_TRUE(Answer(dialog, IDCANCEL));
}

}  // namespace
}  // namespace qwe2e
