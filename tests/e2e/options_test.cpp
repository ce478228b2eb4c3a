// Entry options on the real program, one journey: what the scan makes of an
// entry scoped to a program (the helper, a copy of it under another name,
// Wine's Notepad), of an entry switched off and of the programs never
// closed; the marked main list and its entry menu, the add dialog's options
// part and its preview, the close history's program commands, the "Never
// Close" page, and a list file that carries the options out and back in.
// Saves screenshots when QW_SCREENSHOT_DIR is set.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

#include "e2e_support.h"
#include "resources/resource.h"

#include <commctrl.h>

namespace qwe2e {
namespace {

using namespace std::chrono_literals;
using Strings = std::vector<std::string>;
using Rules = std::map<std::string, Strings>;

const char kProgramKey[] = "Software\\Varn\\Quellwatch";
const char kRulesKey[] = "Software\\Varn\\Quellwatch\\Rules";
const char kHelperExe[] = "qw_e2e_helper.exe";
const char kOtherExe[] = "qw_e2e_other.exe";  // the helper copied under another name

Strings FromMultiSz(const wchar_t* data, DWORD bytes) {
    Strings strings;
    const std::size_t count = bytes / sizeof(wchar_t);
    for (std::size_t at = 0; at < count && data[at];) {
        const std::wstring one(data + at);
        strings.push_back(Utf8(one));
        at += one.size() + 1;
    }
    return strings;
}

Rules StoredRules() {
    Rules rules;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Wide(kRulesKey).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return rules;
    for (DWORD i = 0;; ++i) {
        wchar_t name[1024] = {};
        std::vector<wchar_t> data(8192);
        DWORD nameLength = 1024, type = 0, bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &bytes) !=
            ERROR_SUCCESS)
            break;
        rules[Utf8(name)] = type == REG_MULTI_SZ ? FromMultiSz(data.data(), bytes) : Strings{"(not REG_MULTI_SZ)"};
    }
    RegCloseKey(key);
    return rules;
}

// The "Never Close" value; "(missing)" when there is none.
Strings NeverClose() {
    std::vector<wchar_t> data(8192);
    DWORD type = 0, bytes = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, Wide(kProgramKey).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return {"(missing)"};
    const LONG read = RegQueryValueExW(key, L"Never Close", nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &bytes);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS) return {"(missing)"};
    return type == REG_MULTI_SZ ? FromMultiSz(data.data(), bytes) : Strings{"(not REG_MULTI_SZ)"};
}

Strings ListBoxRows(HWND list) {
    Strings rows;
    for (int i = 0; i < static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0)); ++i) {
        WCHAR wide[512] = {};
        SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide));
        rows.push_back(Utf8(wide));
    }
    return rows;
}

bool Stored(const Strings& entries) { return WaitUntil([&] { return StoredList() == entries; }, 10s); }
bool RulesStored(const Rules& rules) { return WaitUntil([&] { return StoredRules() == rules; }, 10s); }

// Whether `window` of the helpers was never asked to close, after a full
// pass of the scan that began once it was there.
bool Kept(const Helper& helper, HWND sentinel, HWND window) {
    return helper.FullPass(sentinel) && IsWindow(window) && helper.Stamps(window, WM_CLOSE).empty();
}

// Brings `window` to the front as a click on its caption does, for its picture.
void ClickCaption(HWND window) {
    SetForegroundWindow(window);
    RECT r{};
    GetWindowRect(window, &r);
    RunHost("/usr/bin/xdotool mousemove " + std::to_string(r.left + 120) + " " +
            std::to_string(r.top + GetSystemMetrics(SM_CYCAPTION) / 2 + 2) + " click 1");
    WaitUntil([&] { return GetForegroundWindow() == window; }, 2s);
}

// Answers the file dialog that command `id` opens with `path`.
bool ChooseFile(const Quellbox& q, int id, const char* title, const std::string& path) {
    HWND dialog = Open(q, id, title);
    SetDlgItemTextW(dialog, 0x47C, Wide(path).c_str());  // the "File name" box
    return Answer(dialog, IDOK);
}

// How a row of the main list is drawn on the screen, read back through the
// X display: the lightness of the darkest pixel of each column inside the
// row (0 black, 255 white), its edges left out, where the focus is drawn.
std::vector<int> RowInk(HWND list, int row) {
    const int height = static_cast<int>(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0));
    const int top = static_cast<int>(SendMessageW(list, LB_GETTOPINDEX, 0, 0));
    RECT client{};
    GetClientRect(list, &client);
    POINT at{1, (row - top) * height + 1};
    ClientToScreen(list, &at);
    const int width = client.right - 2, rows = height - 2;
    if (width <= 0 || rows <= 0) return {};
    const std::string file = "/tmp/qw-e2e-row-" + std::to_string(GetCurrentProcessId()) + ".rgb";
    if (!RunHost("/usr/bin/import -window root -crop " + std::to_string(width) + "x" + std::to_string(rows) + "+" +
                 std::to_string(at.x) + "+" + std::to_string(at.y) + " +repage -depth 8 rgb:" + file))
        return {};
    std::string dos = "Z:" + file;
    std::replace(dos.begin(), dos.end(), '/', '\\');
    std::ostringstream bytes;
    bytes << std::ifstream(dos, std::ios::binary).rdbuf();
    DeleteFileA(dos.c_str());
    const std::string rgb = bytes.str();
    if (rgb.size() != static_cast<std::size_t>(width) * rows * 3) return {};
    std::vector<int> ink(static_cast<std::size_t>(width), 255);
    for (std::size_t i = 0; i < rgb.size(); i += 3) {
        const auto c = [&](std::size_t k) { return static_cast<int>(static_cast<unsigned char>(rgb[i + k])); };
        const int light = (c(0) * 299 + c(1) * 587 + c(2) * 114) / 1000;
        int& column = ink[i / 3 % static_cast<std::size_t>(width)];
        column = std::min(column, light);
    }
    return ink;
}

// How a row of the main list looks: its text in the window's text colour
// (black) with nothing after it, or with grey marks running on well past
// it; or all grey, an entry switched off.
enum class Look { kPlain, kMarked, kGrey };
bool Looks(HWND list, int row, Look look) {
    const std::vector<int> ink = RowInk(list, row);
    if (ink.empty()) return false;
    int darkest = 255, lastBlack = -1, lastInk = -1;
    for (int x = 0; x < static_cast<int>(ink.size()); ++x) {
        const int light = ink[static_cast<std::size_t>(x)];
        darkest = std::min(darkest, light);
        if (light < 80) lastBlack = x;
        if (light < 200) lastInk = x;
    }
    // Grey text (COLOR_GRAYTEXT) is nowhere darker than its colour.
    if (look == Look::kGrey) return darkest >= 100 && darkest < 200;
    return darkest < 80 && (lastInk - lastBlack > 40) == (look == Look::kMarked);
}

TEST(Options, AJourneyThroughEntryOptions) {
    const std::string other = BinDir() + "\\" + kOtherExe;
    ASSERT_TRUE(CopyFileA((BinDir() + "\\" + kHelperExe).c_str(), other.c_str(), FALSE));
    QuietOptions();
    const Strings seeded = {"Daily Offer",        "Scoped offer", "Switched off offer", "Untitled - Notepad",
                            "Setup Wizard",       "Weekly digest", "Register now",      "Stubborn sentinel"};
    SeedList(seeded);
    SeedRules({{"Scoped offer", {"program=qw_e2e_helper.exe"}},
               {"Switched off offer", {"enabled=0"}},
               {"Untitled - Notepad", {"program=notepad.exe"}},
               {"Setup Wizard", {"title=exact", "dialogs=1"}},
               {"Register now", {"title=prefix"}}});
    // The helpers' windows show without taking the focus from the program's.
    Helper helper, copy(kOtherExe);
    ASSERT_TRUE(helper.Ok() && copy.Ok());
    Quellbox q;
    ASSERT_TRUE(q.Launch());

    // The main list holds the entries' texts as ever; each is drawn with its
    // options: the one switched off in grey, the one scoped with its mark.
    HWND lv = GetDlgItem(q.Main(), IDC_LV);
    EXPECT_EQ(ListBoxRows(lv), seeded);
    EXPECT_TRUE(GetWindowLongW(lv, GWL_STYLE) & LBS_OWNERDRAWFIXED);
    SendMessageW(lv, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    EXPECT_TRUE(WaitUntil([&] { return Looks(lv, 2, Look::kGrey); }, 10s)) << "switched off: grey";
    EXPECT_TRUE(Looks(lv, 1, Look::kMarked)) << "scoped: marked";
    EXPECT_TRUE(Looks(lv, 0, Look::kPlain)) << "plain";
    Screenshot("main-window-options", &q);

    // The scan: the scoped entry closes the helper's window and leaves the
    // same title in the other program; the entry switched off closes nothing;
    // Notepad is closed by the entry scoped to it, the helper's window of
    // that title is not.
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    Program notepad;
    ASSERT_TRUE(notepad.Start(std::string(system) + "\\notepad.exe"));
    HWND sentinel = helper.Create("Stubborn sentinel", "in");
    HWND mine = helper.Create("Scoped offer", "n"), theirs = copy.Create("Scoped offer", "n");
    HWND off = helper.Create("Switched off offer", "n"), notepadTitle = helper.Create("Untitled - Notepad", "n");
    HWND digest = copy.Create("Weekly digest", "n");
    EXPECT_TRUE(helper.WaitForMessages(mine, WM_CLOSE, 1, 10s));
    EXPECT_TRUE(helper.WaitForMessages(digest, WM_CLOSE, 1, 10s));
    EXPECT_NE(notepad.WaitExit(10s), -1) << "Notepad closed by the entry scoped to notepad.exe";
    EXPECT_TRUE(Kept(helper, sentinel, theirs));
    EXPECT_TRUE(IsWindow(off) && helper.Stamps(off, WM_CLOSE).empty());
    EXPECT_TRUE(IsWindow(notepadTitle) && helper.Stamps(notepadTitle, WM_CLOSE).empty());

    // The entry menu on a right click: "Enabled" switches the entry on, which
    // closes its window, stores it and draws it black again.
    SetForegroundWindow(q.Main());
    const int rowHeight = static_cast<int>(SendMessageW(lv, LB_GETITEMHEIGHT, 0, 0));
    POINT click{20, 2 * rowHeight + rowHeight / 2};
    ClientToScreen(lv, &click);
    HWND menu = nullptr;
    for (int attempt = 0; attempt < 3 && !menu; ++attempt) {
        ASSERT_TRUE(RunHost("/usr/bin/xdotool mousemove " + std::to_string(click.x) + " " + std::to_string(click.y) +
                            " click 3"));
        menu = WaitForWindowOfClass(q.Id(), "#32768", 5s);
    }
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(SendMessageW(lv, LB_GETCURSEL, 0, 0), 2);  // the entry under the pointer
    ASSERT_TRUE(RunHost("/usr/bin/xdotool key Down Return"));  // "Enabled"
    EXPECT_TRUE(helper.WaitForMessages(off, WM_CLOSE, 1, 10s));
    EXPECT_TRUE(WaitUntil([] { return StoredRules().count("Switched off offer") == 0; }, 10s));
    SendMessageW(lv, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    EXPECT_TRUE(WaitUntil([&] { return Looks(lv, 2, Look::kPlain); }, 10s)) << "switched on: black";

    // The add dialog: a picked window suggests its program, which counts only
    // once ticked; the preview follows each option as it changes and names
    // each window's program.
    HWND nightly = copy.Create("Nightly build report", "n");
    HWND draft = helper.Create("Nightly build report - draft", "n"), old = helper.Create("Old Nightly build report", "n");
    HWND dialog = Open(q, IDC_LADD, "Add new item");
    ASSERT_NE(dialog, nullptr);
    HWND list = GetDlgItem(dialog, IDC_WNDWLIST), line = GetDlgItem(dialog, IDC_PREVIEW);
    Strings rows;
    ASSERT_TRUE(WaitUntil([&] {
        rows = ListBoxRows(list);
        return std::find(rows.begin(), rows.end(), "Nightly build report") != rows.end();
    }, 10s));
    const auto picked = std::find(rows.begin(), rows.end(), "Nightly build report") - rows.begin();
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(picked), 0);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_WNDWLIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    const std::string dash = " \xE2\x80\x94 ";
    const auto says = [&](const std::string& text) {
        return WaitUntil([&] { return TextOf(line) == "Would close now: " + text; }, 10s);
    };
    const std::string theirsNamed = "Nightly build report (qw_e2e_other.exe)",
                      draftNamed = "Nightly build report - draft (qw_e2e_helper.exe)",
                      oldNamed = "Old Nightly build report (qw_e2e_helper.exe)";
    // Every window the line names, in any order.
    const auto names = [&](std::size_t count, const Strings& named) {
        return WaitUntil([&] {
            const std::string text = TextOf(line);
            bool all = text.rfind("Would close now: " + std::to_string(count) + (count == 1 ? " window" : " windows") + dash, 0) == 0;
            for (const std::string& n : named) all = all && text.find(n) != std::string::npos;
            return all;
        }, 10s);
    };
    EXPECT_TRUE(names(3, {theirsNamed, draftNamed, oldNamed})) << TextOf(line);
    EXPECT_EQ(TextOf(GetDlgItem(dialog, IDC_OPTPROGRAM)), kOtherExe);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_OPTGROUP)));
    RECT folded{};
    GetClientRect(dialog, &folded);
    Press(dialog, IDC_OPTIONS);
    EXPECT_TRUE(WaitUntil([&] {
        RECT now{};
        GetClientRect(dialog, &now);
        return IsWindowVisible(GetDlgItem(dialog, IDC_OPTGROUP)) && now.bottom > folded.bottom;
    }, 10s));
    EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_OPTPROGRAMONLY, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_OPTPROGRAM)));
    PostMessageW(GetDlgItem(dialog, IDC_OPTPREFIX), BM_CLICK, 0, 0);
    EXPECT_TRUE(names(2, {theirsNamed, draftNamed})) << TextOf(line);
    PostMessageW(GetDlgItem(dialog, IDC_OPTPROGRAMONLY), BM_CLICK, 0, 0);
    EXPECT_TRUE(says("1 window" + dash + theirsNamed));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_OPTPROGRAM)));
    ClickCaption(dialog);
    Screenshot("add-dialog-options", &q);
    ASSERT_TRUE(Answer(dialog, IDOK));
    EXPECT_TRUE(helper.WaitForMessages(nightly, WM_CLOSE, 1, 10s));
    EXPECT_TRUE(Kept(helper, sentinel, draft));
    EXPECT_TRUE(IsWindow(old) && helper.Stamps(old, WM_CLOSE).empty());
    Rules rules = {{"Scoped offer", {"program=qw_e2e_helper.exe"}},
                   {"Untitled - Notepad", {"program=notepad.exe"}},
                   {"Setup Wizard", {"title=exact", "dialogs=1"}},
                   {"Register now", {"title=prefix"}},
                   {"Nightly build report", {"title=prefix", "program=qw_e2e_other.exe"}}};
    EXPECT_TRUE(RulesStored(rules));

    // The close history: the row of the copy's window closed by "Weekly
    // digest" offers its program to both commands; each asks first.
    // Opened from the menu bar with real keys, as a user does.
    HWND history = OpenHistoryFromMenuBar(q);
    ASSERT_NE(history, nullptr);
    HWND table = GetDlgItem(history, IDC_HISTORYLIST), limit = GetDlgItem(history, IDC_HISTORYLIMIT),
         never = GetDlgItem(history, IDC_HISTORYNEVER);
    EXPECT_FALSE(IsWindowEnabled(limit) || IsWindowEnabled(never));
    int digestRow = -1;
    ASSERT_TRUE(WaitUntil([&] {
        const int count = static_cast<int>(SendMessageW(table, LVM_GETITEMCOUNT, 0, 0));
        for (int r = 0; r < count && digestRow < 0; ++r) {
            if (ListViewCell(q, table, r, 1) == "Weekly digest" && ListViewCell(q, table, r, 3) == kOtherExe) digestRow = r;
        }
        return digestRow >= 0;
    }, 10s));
    SelectListViewRow(q, table, digestRow);
    EXPECT_TRUE(WaitUntil([&] {
        return TextOf(limit) == "Li&mit Entry to qw_e2e_other.exe" && TextOf(never) == "&Never Close qw_e2e_other.exe" &&
               IsWindowEnabled(limit) && IsWindowEnabled(never);
    }, 10s));
    ClickCaption(history);
    Screenshot("closed-windows-options", &q);
    Press(history, IDC_HISTORYLIMIT);
    HWND box = WaitForBox(q, "Limit the entry \"Weekly digest\" to windows of qw_e2e_other.exe?\r\n"
                             "It will no longer close windows of other programs.", "Are you sure?");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(GetWindow(box, GW_OWNER), history);
    ASSERT_TRUE(Answer(box, IDOK));
    rules["Weekly digest"] = {"program=qw_e2e_other.exe"};
    EXPECT_TRUE(RulesStored(rules));
    Press(history, IDC_HISTORYNEVER);
    box = WaitForBox(q, "Never close windows of qw_e2e_other.exe?\r\nNo entry will close them until you take "
                        "qw_e2e_other.exe off the list under Options, Never Close.", "Are you sure?");
    ASSERT_TRUE(Answer(box, IDOK));
    EXPECT_TRUE(WaitUntil([&] { return NeverClose() == Strings{kOtherExe}; }, 10s));
    ASSERT_TRUE(Answer(history, IDCANCEL));

    // Limited, the entry leaves the helper's window of its title; never
    // closed, the copy keeps its own; the entry scoped to the helper still
    // closes.
    HWND limited = helper.Create("Weekly digest", "n"), spared = copy.Create("Weekly digest", "n");
    HWND again = helper.Create("Scoped offer", "n");
    EXPECT_TRUE(helper.WaitForMessages(again, WM_CLOSE, 1, 10s));
    EXPECT_TRUE(Kept(helper, sentinel, limited));
    EXPECT_TRUE(IsWindow(spared) && helper.Stamps(spared, WM_CLOSE).empty());

    // The "Never Close" page lists the copy; Notepad added there, and OK,
    // keeps Notepad open under the entry scoped to it.
    Press(q.Main(), IDM_NEVERCLOSE);
    HWND options = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        options = FindWindowOf(q.Id(), "Quellwatch Options");
        return options && IsWindowVisible(options) && TabCtrl_GetCurSel(GetDlgItem(options, IDC_TABB)) == 3;
    }, 10s));
    HWND programs = GetDlgItem(options, IDC_NCLIST);
    EXPECT_EQ(ListBoxRows(programs), Strings{kOtherExe});
    EXPECT_TRUE(IsWindowVisible(programs));
    SetDlgItemTextW(options, IDC_NCPROGRAM, L"notepad.exe");
    Press(options, IDC_NCADD);
    EXPECT_TRUE(WaitUntil([&] { return ListBoxRows(programs) == Strings{kOtherExe, "notepad.exe"}; }, 10s));
    EXPECT_EQ(NeverClose(), Strings{kOtherExe});  // nothing stored until OK
    ClickCaption(options);
    Screenshot("options-never-close", &q);
    ASSERT_TRUE(Answer(options, IDOK));
    EXPECT_TRUE(WaitUntil([&] { return NeverClose() == Strings({kOtherExe, "notepad.exe"}); }, 10s));
    Program kept;
    ASSERT_TRUE(kept.Start(std::string(system) + "\\notepad.exe"));
    HWND keptWindow = WaitForWindowOf(kept.Id(), [](HWND w) { return IsWindowVisible(w) && TextOf(w) == "Untitled - Notepad"; }, 10s);
    ASSERT_NE(keptWindow, nullptr);
    EXPECT_TRUE(helper.FullPass(sentinel) && kept.Running() && IsWindow(keptWindow));
    kept.Kill();

    // Export and import carry the options: the list file under the header
    // that holds them, the list and its options emptied, then merged back.
    const Strings entries = StoredList();
    const std::string path = BinDir() + "\\options.wnl";
    DeleteFileA(path.c_str());
    ASSERT_TRUE(ChooseFile(q, IDM_EXPORT, "Export Window List", path));
    std::string bytes;
    ASSERT_TRUE(WaitUntil([&] {
        std::ostringstream read;
        read << std::ifstream(path, std::ios::binary).rdbuf();
        return !(bytes = read.str()).empty();
    }, 10s));
    EXPECT_EQ(bytes.substr(0, 11), "QUELLBOX4\r\n");
    SeedList({});
    RegDeleteTreeA(HKEY_CURRENT_USER, kRulesKey);
    Press(q.Main(), IDC_REFRESHL);
    ASSERT_TRUE(WaitUntil([&] { return SendMessageW(lv, LB_GETCOUNT, 0, 0) == 0; }, 10s));
    ASSERT_TRUE(ChooseFile(q, IDM_IMP, "Import Window List", path));
    EXPECT_TRUE(Stored(entries));
    EXPECT_TRUE(RulesStored(rules));
    DeleteFileA(path.c_str());
}

}  // namespace
}  // namespace qwe2e
