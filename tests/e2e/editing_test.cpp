// Every way of changing the list on the real program: the add dialog (picked,
// typed, crosshair), edit and remove, the taskbar target and window-list
// files (named on the command line, opened in the shell, exported and
// imported through the File menu); then the options dialog, start with
// Windows, the about window and the splash. Saves screenshots when
// QW_SCREENSHOT_DIR is set.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "e2e_support.h"
#include "resources/resource.h"

#include <commctrl.h>

namespace qwe2e {
namespace {

using namespace std::chrono_literals;
using Strings = std::vector<std::string>;

Strings Rows(HWND list) {
    Strings rows;
    for (int i = 0; i < static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0)); ++i) {
        WCHAR wide[512] = {};
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide));
        rows.push_back(Utf8(wide));
    }
    return rows;
}

// A key typed into a control: the program's message loop must hand it to the dialog.
void Key(HWND control, WPARAM key) {
    PostMessageA(control, WM_KEYDOWN, key, 0);
    PostMessageA(control, WM_KEYUP, key, 0xC0000000);
}

bool Stored(const Strings& entries) { return WaitUntil([&] { return StoredList() == entries; }, 10s); }

bool Counts(const Quellbox& q, int entries) {
    const std::string text = "Quellwatch is currently scanning for " + std::to_string(entries) + " windows.";
    return WaitUntil([&] { return TextOf(GetDlgItem(q.Main(), IDC_NUMWINDOWS)) == text; }, 10s);
}

std::string Beside(const std::string& name) { return BinDir() + "\\" + name; }

// Writes a list file as any writer of the format makes it, every key 68 ('D').
void WriteList(const std::string& name, const Strings& entries, const char* header = "QUELLBOX2") {
    std::string file = std::string(header) + "\r\n\r\n";
    for (const std::string& e : entries) {
        for (char c : e) file += {static_cast<char>(static_cast<unsigned char>(c) + 68), 'D'};
        file += "\r\n";
    }
    std::ofstream(Beside(name), std::ios::binary) << file;
}

// The entries of a list file: each pair (a, b) gives the character a - b.
Strings Decode(const std::string& file) {
    Strings entries;
    std::istringstream lines(file.substr(file.find("\r\n\r\n") + 4));
    for (std::string line; std::getline(lines, line, '\n');) {
        std::string entry;
        for (std::size_t i = 0; i + 1 < line.size(); i += 2)
            entry += static_cast<char>(static_cast<unsigned char>(line[i]) - static_cast<unsigned char>(line[i + 1]));
        entries.push_back(entry);
    }
    return entries;
}

// A file's bytes, its path in UTF-8; empty when it cannot be read.
std::string ReadBytes(const std::string& path) {
    std::ostringstream bytes;
    bytes << std::ifstream(std::filesystem::u8path(path), std::ios::binary).rdbuf();
    return bytes.str();
}

// Answers the file dialog that command `id` opens with `path`.
bool ChooseFile(const Quellbox& q, int id, const char* title, const std::string& path) {
    HWND dialog = Open(q, id, title);
    SetDlgItemTextW(dialog, 0x47C, Wide(path).c_str());  // the "File name" box
    return Answer(dialog, IDOK);
}

bool AddTyped(const Quellbox& q, const std::string& text) {
    HWND dialog = Open(q, IDC_LADD, "Add new item");
    SetDlgItemTextW(dialog, IDC_WIN_NAME, Wide(text).c_str());
    return Answer(dialog, IDOK);
}

// Picks `title` in the add dialog's list as a click does: its row, or -1.
LRESULT Pick(HWND dialog, const std::string& title) {
    HWND list = GetDlgItem(dialog, IDC_WNDWLIST);
    Strings rows;
    const auto listed = [&] {
        rows = Rows(list);
        return std::find(rows.begin(), rows.end(), title) != rows.end();
    };
    if (!WaitUntil(listed, 10s)) return -1;
    const auto row = std::find(rows.begin(), rows.end(), title) - rows.begin();
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_WNDWLIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    return WaitUntil([&] { return TextOf(GetDlgItem(dialog, IDC_WIN_NAME)) == title; }, 10s) ? row : -1;
}

const char kInvalidWindow[] = "Invalid Window, Please select title bar.\r\n"
                              "Note: You cannot select Quellwatch related windows.";
const char kTooShort[] = "The title must be a least five (5) characters long";

// Titles are shown as they are, in every script, and an entry taken from one
// closes its window and leaves one of another script that the ANSI code page
// would spell the same ("??????"). The crosshair refuses a control of the
// main window (the display tests drag it onto another program's title bar).
TEST(Editing, AddPickedTypedAndByTheCrosshairInEveryScript) {
    QuietOptions();
    SeedList({"Existing entry"});
    Helper helper;
    HWND page = helper.Create("Quarterly Report - Mozilla Firefox", "i");
    helper.Create("Calc");
    MoveWindow(helper.Create("Weekly Offer - Netscape"), 20, 560, 300, 100, TRUE);
    Quellbox q;
    ASSERT_TRUE(helper.Ok() && q.Launch());
    HWND dialog = Open(q, IDC_LADD, "Add new item");
    ASSERT_NE(dialog, nullptr);
    HWND list = GetDlgItem(dialog, IDC_WNDWLIST), name = GetDlgItem(dialog, IDC_WIN_NAME);

    // Dragged with real pointer events onto a button of the main window:
    // refused in a box the dialog owns, the text kept.
    RECT button{};
    MoveWindow(q.Main(), 0, 0, 470, 380, TRUE);
    SetWindowPos(dialog, HWND_TOP, 520, 0, 0, 0, SWP_NOSIZE);
    GetWindowRect(GetDlgItem(q.Main(), IDC_LADD), &button);
    SetWindowTextA(name, "typed");
    ASSERT_TRUE(DragCrosshair(dialog, (button.left + button.right) / 2, (button.top + button.bottom) / 2));
    HWND box = WaitForBox(q, kInvalidWindow);
    EXPECT_EQ(GetWindow(box, GW_OWNER), dialog);
    ASSERT_TRUE(Answer(box, IDOK));
    EXPECT_EQ(TextOf(name), "typed");

    // The pick, the browser's name cut off, is kept through the dialog's own
    // question, which keeps the text; Enter adds it, and the next tick closes
    // its window.
    const LRESULT picked = Pick(dialog, "Quarterly Report");
    ASSERT_GE(picked, 0);
    SetWindowTextA(name, "abcd");
    Key(name, VK_RETURN);
    ASSERT_TRUE(Answer(WaitForBox(q, kTooShort), IDOK));
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == dialog; }, 10s));
    EXPECT_EQ(std::make_pair(SendMessageA(list, LB_GETCURSEL, 0, 0), TextOf(name)), std::make_pair(picked, std::string("abcd")));
    SetWindowTextA(name, "Quarterly Report");
    Screenshot("add-dialog", &q);
    Key(name, VK_RETURN);
    ASSERT_TRUE(WaitGone(dialog));
    EXPECT_TRUE(Stored({"Existing entry", "Quarterly Report"}));
    EXPECT_TRUE(helper.WaitForMessages(page, WM_CLOSE, 1, 10s));
    ASSERT_NE(dialog = Open(q, IDM_AD1, "Add new item"), nullptr);  // Escape cancels
    SetDlgItemTextA(dialog, IDC_WIN_NAME, "Not to be added");
    Key(GetDlgItem(dialog, IDC_WIN_NAME), VK_ESCAPE);
    ASSERT_TRUE(WaitGone(dialog));

    HWND privet = helper.Create(u8"Привет - Report", "w");
    HWND sentinel = helper.Create(u8"Привет - Report, the sentinel", "wi");
    ASSERT_NE(dialog = Open(q, IDC_LADD, "Add new item"), nullptr);
    ASSERT_GE(Pick(dialog, u8"Привет - Report"), 0);
    Key(GetDlgItem(dialog, IDC_WIN_NAME), VK_RETURN);
    ASSERT_TRUE(WaitGone(dialog));
    EXPECT_TRUE(Stored({"Existing entry", "Quarterly Report", u8"Привет - Report"}));
    EXPECT_TRUE(helper.WaitForMessages(privet, WM_CLOSE, 1, 10s));
    HWND tokyo = helper.Create(u8"東京都大阪府 - Report", "w");
    ASSERT_TRUE(helper.FullPass(sentinel));
    EXPECT_TRUE(helper.Messages(tokyo).empty());
}

TEST(Editing, EditRemoveAndTheTaskbarTarget) {
    FakeShell shell;
    QuietOptions();
    SetString(kOptionsKey, "Task Target", "1");
    SeedList({"Alpha window", "Beta window", "Gamma window"});
    Helper helper;
    Quellbox q;
    ASSERT_TRUE(helper.Ok() && q.Launch());
    HWND lv = GetDlgItem(q.Main(), IDC_LV);
    SendMessageA(lv, LB_SETCURSEL, 1, 0);
    HWND dialog = Open(q, IDC_EDITENTRY, "Edit Entry"), text = GetDlgItem(dialog, IDC_TEXT);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(TextOf(text), "Beta window");
    Screenshot("edit-dialog", &q);
    SetWindowTextA(text, "Beta changed");
    Key(text, VK_RETURN);
    ASSERT_TRUE(WaitGone(dialog));
    EXPECT_TRUE(Stored({"Alpha window", "Beta changed", "Gamma window"}));
    SendMessageA(lv, LB_SETCURSEL, 0, 0);
    Press(q.Main(), IDC_LREM);
    ASSERT_TRUE(Answer(WaitForBox(q, "Remove Entry: Alpha window ?", "Are you sure?"), IDOK));
    EXPECT_TRUE(Stored({"Beta changed", "Gamma window"}));
    EXPECT_TRUE(Counts(q, 2));

    // The target notes the window the user works in and offers its title,
    // the browser's name cut off; Yes adds it and the next tick closes it.
    HWND target = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        for (const auto& r : shell.Requests(q.Id())) target = r.tip == "Quellwatch Taskbar Target" ? r.window : target;
        return target != nullptr;
    }, 10s));
    HWND page = helper.Create("Start Page - Microsoft Internet Explorer", "i");
    SetForegroundWindow(page);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == page; }, 10s));
    PostMessageA(target, WM_MOUSEMOVE, 0, MAKELPARAM(WM_MOUSEMOVE, 0));
    PostMessageA(target, WM_MOUSEMOVE, 0, MAKELPARAM(WM_LBUTTONDOWN, 0));
    HWND box = WaitForBox(q, "Add \"Start Page\"\r\nto Quellwatch's window list?", "Question...");
    ASSERT_NE(box, nullptr);
    Screenshot("quick-add-question", &q);
    Press(box, IDYES);
    EXPECT_TRUE(Stored({"Beta changed", "Gamma window", "Start Page"}));
    EXPECT_TRUE(helper.WaitForMessages(page, WM_CLOSE, 1, 10s));
}

// Opening a .wnl file in the shell runs "Quellbox.exe <path>": a one-shot
// import that asks first, never shows a window or scans, reports a file it
// cannot read, and tells a running copy to reload, so that its next save
// keeps what was imported. A running copy never closes the importer's
// questions, whatever its list holds. The importer holds the list lock only
// for its merge, never while it asks or tells: the tray copy answers at once
// throughout, and neither copy's entries are lost, whichever saves last.
TEST(ListFiles, CommandLineShellTwoCopiesAndTheFileMenu) {
    QuietOptions();
    SeedList({"Daily Offer"});
    Helper helper;
    HWND offer = helper.Create("Daily Offer - a window no importer may close");
    const std::string mine = Beside("my list.wnl"), pressRefresh = "Window List imported, please press refresh\r\n"
                                                                   "on the main dialog to see the new entries.";
    WriteList("my list.wnl", {"Imported entry one", "Imported entry two"});
    WriteList("good.wnl", {"Imported entry"});
    const std::pair<std::string, std::string> runs[] = {
        // The file named, and what Yes to the question leads to ("" to answer No).
        {mine, ""}, {Beside("missing.wnl"), "Cannot open the window list\r\n"}, {mine, "Window List imported."}};
    Program importer;
    for (const auto& [file, says] : runs) {
        const bool imports = says == "Window List imported.";
        ASSERT_TRUE(importer.Start(Beside("Quellbox.exe"), "\"" + file + "\""));
        HWND question = WaitForBox(importer, file == mine ? "Import my list.wnl ?" : "");
        ASSERT_TRUE(Answer(question, says.empty() ? IDNO : IDYES)) << file;
        if (!says.empty()) {
            ASSERT_TRUE(Answer(WaitForBox(importer, imports ? says : says + file, imports ? "" : "Error"), IDOK));
        }
        EXPECT_EQ(importer.WaitExit(10s), says.empty() ? 1 : imports ? 0 : 2) << file;  // No; imported; unreadable
        const Strings after = imports ? Strings{"Daily Offer", "Imported entry one", "Imported entry two"}
                                       : Strings{"Daily Offer"};
        EXPECT_EQ(StoredList(), after) << file;
    }
    EXPECT_TRUE(helper.Messages(offer).empty());  // the importer never scanned

    // The association, written at start and used as Explorer does.
    SeedList({"Quellwatch", u8"Café au lait"});
    Quellbox q;
    ASSERT_TRUE(helper.Ok() && q.Launch());
    EXPECT_EQ(Value("Quellwatch Window List\\shell\\open\\command", "", HKEY_CLASSES_ROOT),
              "\"" + Beside("Quellbox.exe") + "\" %1");
    HWND sentinel = helper.Create("Quellwatch sentinel", "i");
    ASSERT_GT(reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", mine.c_str(), nullptr, nullptr, SW_SHOWNORMAL)),
              32);
    HWND box = nullptr;
    const auto importerSays = [&](const std::string& text) {
        return WaitUntil([&] { return (box = FindWindowA("#32770", "Quellwatch")) && BoxText(box) == text; }, 20s);
    };
    ASSERT_TRUE(importerSays("Import my list.wnl ?"));
    ASSERT_TRUE(helper.FullPass(sentinel));
    ASSERT_TRUE(Answer(box, IDYES));
    ASSERT_TRUE(importerSays(pressRefresh));
    Press(box, IDOK);
    EXPECT_TRUE(Counts(q, 4));
    ASSERT_TRUE(AddTyped(q, "Added afterwards"));
    Strings all = {"Quellwatch", u8"Café au lait", "Imported entry one", "Imported entry two", "Added afterwards"};
    ASSERT_TRUE(Stored(all));
    {
        // The tray copy adds while the importer's report is up.
        AnswerTimer answers(q.Main());
        ASSERT_TRUE(importer.Start(Beside("Quellbox.exe"), "\"" + Beside("good.wnl") + "\""));
        ASSERT_TRUE(Answer(WaitForBox(importer, "Import good.wnl ?"), IDYES));
        HWND told = WaitForBox(importer, pressRefresh);
        ASSERT_NE(told, nullptr);
        all.insert(all.end(), {"Imported entry", "Added beside"});
        ASSERT_TRUE(AddTyped(q, all.back()));
        EXPECT_TRUE(Stored(all));
        ASSERT_TRUE(Answer(told, IDOK));
        EXPECT_EQ(importer.WaitExit(10s), 0);
        EXPECT_TRUE(Counts(q, static_cast<int>(all.size())));
        EXPECT_LT(answers.Slowest(), 1000.0);
    }

    // Every entry fits the ANSI code page: the older header, in that code page
    // (the dialog adds ".wnl" to a name without it).
    DeleteFileA(Beside("export.wnl").c_str());
    ASSERT_TRUE(ChooseFile(q, IDM_EXPORT, "Export Window List", Beside("export")));
    std::string bytes;
    ASSERT_TRUE(WaitUntil([&] { return !(bytes = ReadBytes(Beside("export.wnl"))).empty(); }, 10s));
    EXPECT_EQ(bytes.substr(0, 13), "QUELLBOX2\r\n\r\n");
    Strings decoded = Decode(bytes);
    for (std::string& entry : decoded) entry = Utf8(Wide(entry, CP_ACP));
    EXPECT_EQ(decoded, all);

    // A title outside the ANSI code page: the list goes under the newer
    // header, in UTF-8, to a folder named outside the code page too, and
    // comes back whole from there.
    ASSERT_TRUE(AddTyped(q, all.emplace_back(u8"Привет - Report")));
    ASSERT_TRUE(Stored(all));
    const std::string folder = Beside(u8"Łukasz 東京"), file = folder + u8"\\списки.wnl";
    CreateDirectoryW(Wide(folder).c_str(), nullptr);
    DeleteFileW(Wide(file).c_str());  // a new file: no question whether to replace it
    ASSERT_TRUE(ChooseFile(q, IDM_EXPORT, "Export Window List", file));
    ASSERT_TRUE(WaitUntil([&] { return !(bytes = ReadBytes(file)).empty(); }, 10s));
    EXPECT_EQ(bytes.substr(0, 13), "QUELLBOX3\r\n\r\n");
    EXPECT_EQ(Decode(bytes), all);
    SeedList({});
    Press(q.Main(), IDC_REFRESHL);
    ASSERT_TRUE(Counts(q, 0));
    ASSERT_TRUE(ChooseFile(q, IDM_IMP, "Import Window List", file));
    EXPECT_TRUE(Stored(all));
}

// Each of the nine menu items opens the dialog on its page; OK on a dialog
// that found nothing stored stores all eight values, the association with the
// slider's icon and the Run entry. The splash, off at first, then comes first
// and the main window about 3.5 s later.
TEST(Settings, OptionsOnEachPageOkStoresEverythingAboutAndSplash) {
    QuietOptions();
    SetString(kOptionsKey, "Sound", "C:\\windows\\media\\ding.wav");
    SeedList({});
    Quellbox q;
    ASSERT_TRUE(q.Launch());
    for (HWND w : WindowsOf(q.Id())) EXPECT_EQ(GetDlgItem(w, IDC_SPLASHPICTURE), nullptr);
    const std::pair<int, int> items[] = {{IDM_OPTMENU_START, 0}, {IDM_OPTMENU_SOUND, 1}, {IDM_FILEICON1, 2},
                                         {IDM_OPTMENU2_START, 0}, {IDM_OPTMENU2_SOUND, 1}, {IDM_FILEICON2, 2},
                                         {IDM_MODE, 0},          {IDM_SOUND, 1},          {IDM_OPTFILEICON, 2}};
    const char* shots[] = {"options-on-startup", "options-sounds", "options-list-icon"};
    HWND dialog = nullptr;
    const auto onPage = [&](int page, HWND other) {
        HWND now = FindWindowOf(q.Id(), "Quellwatch Options");
        return now && now != other && IsWindowVisible(now) &&
               TabCtrl_GetCurSel(GetDlgItem(now, IDC_TABB)) == page && (dialog = now);
    };
    for (std::size_t i = 0; i < 9; ++i) {
        Press(q.Main(), items[i].first);
        ASSERT_TRUE(WaitUntil([&] { return onPage(items[i].second, nullptr); }, 10s)) << items[i].first;
        if (i >= 6) Screenshot(shots[items[i].second], &q);
    }
    RegDeleteTreeA(HKEY_CURRENT_USER, kOptionsKey);  // reopened, the dialog finds nothing stored at all
    Press(q.Main(), IDM_OPTFILEICON);
    ASSERT_TRUE(WaitUntil([&, old = dialog] { return onPage(2, old); }, 10s));
    HWND slider = GetDlgItem(dialog, IDC_ICONNUM);
    const LRESULT first = SendDlgItemMessageA(dialog, IDC_ICONVIEW, STM_GETICON, 0, 0);
    SendMessageA(slider, TBM_SETPOS, TRUE, 5);
    SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 5), reinterpret_cast<LPARAM>(slider));
    EXPECT_NE(SendDlgItemMessageA(dialog, IDC_ICONVIEW, STM_GETICON, 0, 0), first);  // the preview follows
    ASSERT_TRUE(Answer(dialog, IDOK));
    const std::pair<const char*, const char*> stored[] = {
        {"On at Start", "1"}, {"Show Splash Screen", "1"}, {"Minimized at start", "0"}, {"Run at Start", "1"},
        {"Task Target", "1"}, {"Play Sound", "1"},         {"Sound", " "},                {"FileIcon", "5"}};
    for (const auto& s : stored) EXPECT_EQ(Value(kOptionsKey, s.first), s.second) << s.first;
    const std::string exe = BinDir() + "\\Quellbox.exe";
    const char run[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    EXPECT_EQ(Value(run, "Quellwatch", HKEY_LOCAL_MACHINE), "\"" + exe + "\"");
    EXPECT_EQ(Value("Quellwatch Window List\\DefaultIcon", "", HKEY_CLASSES_ROOT), exe + ",5");
    // Unchecked, the Run entry goes (and the next Wine session starts no copy of its own).
    ASSERT_NE(dialog = Open(q, IDM_MODE, "Quellwatch Options"), nullptr);
    SendDlgItemMessageA(dialog, IDC_RUNATSTART, BM_SETCHECK, BST_UNCHECKED, 0);
    ASSERT_TRUE(Answer(dialog, IDOK));
    EXPECT_EQ(Value(run, "Quellwatch", HKEY_LOCAL_MACHINE), "(missing)");

    HWND about = Open(q, IDM_ABT, "About Quellwatch 1.6");
    EXPECT_EQ(TextOf(GetDlgItem(about, IDC_BLD)), "Build: 1.6.454");  // from the version record
    EXPECT_NE(TextOf(GetDlgItem(about, IDC_LINK2)).find("@example.com"), std::string::npos);
    Screenshot("about", &q);
    EXPECT_TRUE(Answer(about, IDOK));

    // Started again with the splash now on.
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(q.Start(exe));
    HWND splash = WaitForSplash(q);
    ASSERT_NE(splash, nullptr);
    EXPECT_EQ(FindWindowOf(q.Id(), "Quellwatch v1.6"), nullptr);
    Screenshot("splash", &q);
    ASSERT_TRUE(WaitUntil([&] { return FindWindowOf(q.Id(), "Quellwatch v1.6") != nullptr; }, 20s));
    EXPECT_GE(std::chrono::steady_clock::now() - started, 3s);  // never before the splash's 3.5 s
    EXPECT_TRUE(WaitGone(splash));
}

}  // namespace
}  // namespace qwe2e
