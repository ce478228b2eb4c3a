// The close history (each request followed to its outcome, the last 1,000
// kept newest first), its window (remove, save as CSV, clear, find the entry)
// and the live preview of the add and edit dialogs.
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "tests/unit/fake_dialogs.h"

namespace qw {
namespace {

struct FakeHistoryView : Fake<ClosedWindowsView> {
    int rows = 0, selected = -1, shown = 0;
    void ShowRows(int count) override { rows = count, ++shown; }
    int SelectedRow() const override { return selected; }
    void SelectRow(int row) override { selected = row; }
};

struct FakeLine : PreviewView {
    std::string text;
    bool caution = false;
    void SetPreview(const std::string& value, bool on) override { text = value, caution = on; }
};

// The main window with the history and the preview lines, as the glue wires it.
struct History : ::testing::Test, FrmWorld {
    MemoryClock clock;
    MemoryTimer check, addDelay, editDelay;
    FakeHistoryView historyView;
    FakeLine addLine, editLine;
    HistoryParts parts{clock, check, historyView};
    PreviewParts addPreview{addLine, addDelay}, editPreview{editLine, editDelay};
    MainFrm app{[this] {
        MainFrmPlatform p{reg, windows, sound, tm, reInit, &box, &numWindows, lower, TableCodePage::Windows1252(), ",",
                          view, trays, process, commandLineMode, addItemView, editView, files, random, dialogs,
                          &lock, optionsView, aboutView, pointer, ProgramVersion{1, 6, 454}};
        p.history = &parts;
        p.addPreview = &addPreview;
        p.editPreview = &editPreview;
        return p;
    }()};
    CloseHistory& history = *app.History();
    ClosedWindows& closed = *app.Closed();

    History() {
        app.Attach(kMain);
        app.Own().addItem = addItemView.handle;
        app.Own().edit = editView.handle = 0x301;
    }
    void Pass(std::int64_t later = 0) {
        clock.milliseconds += later;
        app.ReInitCloseTmr_Timer();
        app.Tm_Timer();
        app.HistoryCheckTmr_Timer();
    }
    std::vector<std::string> Column(int column) {
        std::vector<std::string> cells;
        for (int row = 0; row < static_cast<int>(history.Rows().size()); ++row) cells.push_back(closed.Cell(row, column));
        return cells;
    }
};

// Gone within 2 s of the request: "Closed"; there after 2 s: "Still open",
// and "Closed" should it go while still asked; refused by Windows:
// "Refused"; a program that does not answer is not asked, and not recorded.
// Each row names the first entry in list order that the title contains.
TEST_F(History, EachRequestIsFollowedToItsOutcome) {
    app.Form_Load();
    closed.Form_Load();
    app.lv().Assign({"zzzzz", "offer", "daily"});
    windows.Add(1, "Special daily offer").program = "browser.exe";
    windows.Add(2, "Offer that asks a question").program = "editor.exe";
    windows.Add(3, "Offer as admin").elevated = true;
    windows.Add(4, "Offer not answering").hung = true;
    windows.Add(5, "Daily news");  // its program cannot be named
    Pass();
    EXPECT_EQ(std::make_pair(historyView.rows, check.IsRunning()), std::make_pair(4, true));
    windows.Remove(1);
    windows.windows[3].visible = false;  // its program hid it: the user no longer has it
    const int shown = historyView.shown;
    EXPECT_EQ(Column(4), (Strings{"Closing\xE2\x80\xA6", "Refused", "Closing\xE2\x80\xA6", "Closing\xE2\x80\xA6"}));
    Pass(1999);  // asked again, every 500 ms: still one row each
    EXPECT_EQ(Column(1), (Strings{"Daily news", "Offer as admin", "Offer that asks a question", "Special daily offer"}));
    EXPECT_EQ(Column(2), (Strings{"daily", "offer", "offer", "offer"}));
    EXPECT_EQ(Column(3), (Strings{"", "", "editor.exe", "browser.exe"}));
    EXPECT_EQ(Column(4), (Strings{"Closed", "Refused", "Closing\xE2\x80\xA6", "Closed"}));
    EXPECT_EQ(std::make_pair(closed.Cell(0, 0), historyView.shown), std::make_pair(std::string("2024-05-31 14:03:07"), shown + 1));
    Pass(1);
    EXPECT_EQ(Column(4)[2], "Still open");
    Pass(400);
    windows.Remove(2);  // its user answered the question
    app.HistoryCheckTmr_Timer();
    EXPECT_EQ(Column(4)[2], "Closed");
    EXPECT_FALSE(check.IsRunning());  // nothing waits: nothing looks
    // A window left alone past 2 s stays "Still open"; asked again later, it is a new row.
    windows.Add(6, "Offer ignored");
    Pass();
    clock.milliseconds += 2000;
    app.HistoryCheckTmr_Timer();  // tracking was off meanwhile: nothing asked it again
    Pass();
    EXPECT_EQ(Column(4), (Strings{"Closing\xE2\x80\xA6", "Still open", "Closed", "Refused", "Closed", "Closed"}));
}

// The last 1,000 closes, newest first; the window follows them while open,
// its selection staying with its row, and forgets them on Clear.
TEST_F(History, KeepsTheLastThousandNewestFirst) {
    for (int id : {IDM_CLOSEDWINDOWS, IDM_CLOSEDWINDOWS1, IDM_CLOSEDWINDOWS2}) {
        historyView.open = false;
        EXPECT_TRUE(app.OnCommand(id));
        EXPECT_TRUE(historyView.open);
    }
    closed.Form_Load();
    historyView.selected = -1;
    for (int i = 1; i <= 1001; ++i) {
        history.Asked(static_cast<WindowHandle>(i), "Window " + std::to_string(i), "Window", true);
        if (i == 3) historyView.selected = 1;  // "Window 2"
    }
    EXPECT_EQ(std::make_tuple(historyView.rows, closed.Cell(0, 1), closed.Cell(999, 1), closed.Cell(1000, 1)),
              std::make_tuple(1000, std::string("Window 1001"), std::string("Window 2"), std::string()));
    EXPECT_EQ(historyView.selected, 999);
    history.Asked(1002, "Window 1002", "Window", true);  // the selected row goes
    EXPECT_EQ(historyView.selected, -1);
    closed.Clear_Click();
    EXPECT_EQ(std::make_pair(historyView.rows, history.Rows().size()), std::make_pair(0, std::size_t{0}));
    closed.Form_Unload();
    history.Asked(1, "Window 1", "Window", true);
    EXPECT_EQ(historyView.rows, 0);  // closed: no longer followed
}

// "Remove Entry" asks as "Remove Item" does; a double click finds the entry
// in the main window's list. Both say so when no row is chosen or its entry
// has gone meanwhile, and find an entry whose case was edited since.
TEST_F(History, RemoveEntryAndDoubleClickFindTheRowsEntry) {
    app.Form_Load();
    app.lv().Assign({"Daily offer", "Weekly news"});
    app.Store().SaveWindowList();
    history.Asked(1, "Big Daily Offer", "daily offer", true);
    history.Asked(2, "Weekly News", "Weekly news", true);
    history.Asked(3, "Gone", "gone entry", true);
    app.OnCommand(IDM_CLOSEDWINDOWS);
    closed.Form_Load();
    closed.RemoveEntry_Click();
    historyView.selected = 0;
    closed.RemoveEntry_Click();
    historyView.selected = 2;
    process.answers = {kIdCancel, kIdOk};
    closed.RemoveEntry_Click();
    closed.RemoveEntry_Click();
    const WindowHandle at = historyView.handle;
    EXPECT_EQ(FactsOf(process.boxes),
              (Boxes{{kMustSelect, "Error", 0x10000u, at},
                     {"\"gone entry\" is no longer in the window list.", "Quellwatch", 0x10040u, at},
                     {"Remove Entry: Daily offer ?", "Are you sure?", 0x10121u, at},
                     {"Remove Entry: Daily offer ?", "Are you sure?", 0x10121u, at}}));
    EXPECT_EQ(StoredList(), Strings{"Weekly news"});
    view.log.clear();
    closed.Rows_DblClick(-1);  // below the rows
    closed.Rows_DblClick(1);
    EXPECT_EQ(std::make_tuple(box.selection, view.log, process.boxes.size()),
              std::make_tuple(0, Strings{"show", "front"}, std::size_t{4}));
}

// CSV: a byte-order mark, a header, CR LF, and quotes only around a field
// that needs them, its quotes doubled; written through a temporary file.
TEST_F(History, SaveAsWritesRfc4180Csv) {
    std::deque<CloseRecord> rows = {
        {{2024, 1, 2, 3, 4, 5}, "Plain", "plain", "a.exe", CloseOutcome::kClosed},
        {{2024, 12, 31, 23, 59, 59}, "Offer, \"today\"\r\nonly", u8"Привет, мир", "", CloseOutcome::kStillOpen},
    };
    const std::string expected = "\xEF\xBB\xBFTime,Title,Entry,Program,Outcome\r\n"
                                 "2024-01-02 03:04:05,Plain,plain,a.exe,Closed\r\n"
                                 "2024-12-31 23:59:59,\"Offer, \"\"today\"\"\r\nonly\",\"" u8"Привет, мир" "\",,Still open\r\n";
    EXPECT_EQ(HistoryCsv(rows), expected);
    history.Asked(1, "Plain", "plain", false);
    app.OnCommand(IDM_CLOSEDWINDOWS);
    dialogs.answers = {"", "C:\\history.csv", "C:\\history.csv"};
    closed.SaveAs_Click();
    closed.SaveAs_Click();
    files.FailAt(1, MemoryFiles::kReplace);
    closed.SaveAs_Click();
    const FileDialogRequest& save = dialogs.shown[0].second;
    EXPECT_EQ(std::tie(dialogs.shown[0].first, save.owner, save.title, save.flags, save.defaultExtension, save.filter),
              std::make_tuple(true, historyView.handle, std::string("Save Closed Windows"), 0x80Eu, std::string("csv"),
                              std::string("CSV Files (*.csv)\0*.csv\0All Files (*.*)\0*.*\0\0", 45)));
    EXPECT_EQ(files.files, (std::map<std::string, std::string>{
                               {"C:\\history.csv", "\xEF\xBB\xBFTime,Title,Entry,Program,Outcome\r\n2024-05-31 "
                                                   "14:03:07,Plain,plain,,Closing\xE2\x80\xA6\r\n"}}));
    EXPECT_EQ(BoxTexts(), Strings{"Cannot write the closed windows to\r\nC:\\history.csv"});
}

// The preview counts what the scan would close: not the program's own
// windows, hidden ones or popups owned by the program; five characters at
// least; a caution past five windows.
TEST_F(History, PreviewCountsByTheScansRules) {
    const auto popup = [&](WindowHandle w, WindowHandle owner, const std::string& title) {
        FakeWindow& made = windows.Add(w, title);
        made.popup = true;
        made.owner = owner;
    };
    windows.Add(kMain, "Offer in the main window");
    windows.Add(1, "Daily OFFER");
    windows.Add(2, "Hidden offer", false);
    popup(3, kMain, "Offer of ours");
    popup(4, 1, "Offer dialog of another program");
    windows.Add(5, "Offer on another desktop").cloaked = true;
    windows.Add(6, "Program Manager");
    app.OnCommand(IDC_LADD);
    const struct { const char* typed; const char* line; bool caution; } cases[] = {
        {"offr", "Would close now: (at least five characters)", false},
        {"", "Would close now: (at least five characters)", false},
        {"zzzzz", "Would close now: nothing", false},
        {"program manager", "Would close now: nothing", false},
        {"dialog", "Would close now: 1 window \xE2\x80\x94 Offer dialog of another program", false},
        {"offer", "Would close now: 3 windows \xE2\x80\x94 Daily OFFER; Offer dialog of another program; Offer on "
                  "another desktop", false},
    };
    for (const auto& c : cases) {
        addItemView.text = c.typed;
        app.Adder().RefreshWndwList_Click();
        EXPECT_EQ(std::make_pair(addLine.text, addLine.caution), std::make_pair(std::string(c.line), c.caution));
    }
    EXPECT_EQ(windows.calls[2].text, 0);  // a hidden window's title is not even read
    for (WindowHandle w = 10; w < 13; ++w) windows.Add(w, "Offer " + std::to_string(w));
    app.Adder().RefreshWndwList_Click();
    EXPECT_EQ(std::make_pair(addLine.text.substr(0, 26), addLine.caution), std::make_pair(std::string("Would close now: 6 windows"), true));
}

// Typing refreshes the line 150 ms after the last key; a pick, a drag onto
// a window and opening the edit dialog at once.
TEST_F(History, PreviewFollowsTypingAfterItsDelay) {
    windows.Add(1, "Daily Offer");
    app.OnCommand(IDC_LADD);
    app.Adder().Form_Activate();
    addItemView.text = "Daily";
    app.Adder().win_name_Change();
    app.Adder().win_name_Change();
    EXPECT_EQ(std::make_tuple(addLine.text, addDelay.IsRunning(), addDelay.starts),
              std::make_tuple(std::string(kPreviewTooShort), true, 2));
    app.Adder().PreviewTmr_Timer();
    EXPECT_EQ(std::make_pair(addLine.text, addDelay.IsRunning()),
              std::make_pair(std::string("Would close now: 1 window \xE2\x80\x94 Daily Offer"), false));
    addLine.text.clear();
    app.Adder().WndwList_Click(0);
    EXPECT_EQ(addLine.text, "Would close now: 1 window \xE2\x80\x94 Daily Offer");
    windows.underPointer = 1;
    addLine.text.clear();
    app.Adder().Target_MouseUp();
    EXPECT_EQ(addLine.text, "Would close now: 1 window \xE2\x80\x94 Daily Offer");
    app.lv().Assign({"Weekly news"});
    box.selection = 0;
    app.OnCommand(IDC_EDITENTRY);
    EXPECT_EQ(editLine.text, "Would close now: nothing");
    editView.text = "daily offer";
    app.Editor().Text_Change();
    app.Editor().PreviewTmr_Timer();
    EXPECT_EQ(editLine.text, "Would close now: 1 window \xE2\x80\x94 Daily Offer");
}

}  // namespace
}  // namespace qw
