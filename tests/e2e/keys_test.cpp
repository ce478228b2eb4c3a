// The keys that work in every program and the power saver on the real
// program: a pause key held as the program starts, pressed as a user
// presses it in Notepad, over the program's own question and beside "Closed
// Windows", named in the tray tip; the add key over Wine's Notepad; the
// "Keys" page refusing a key another program holds; "Save power" set on
// its page, seen in the program's own count of its walks, with a new
// window still closed. Saves screenshots when QW_SCREENSHOT_DIR is set.
#include <gtest/gtest.h>

#include <cstdio>

#include "e2e_support.h"
#include "resources/resource.h"

#include <commctrl.h>

namespace qwe2e {
namespace {

using namespace std::chrono_literals;

// How often the program's walk ran since it started (WM_APP + 3, the count of
// its tick's wake-ups).
unsigned long Walks(const Quellbox& q) {
    DWORD_PTR count = 0;
    SendMessageTimeoutA(q.Main(), WM_APP + 3, 2, 0, SMTO_NORMAL, 5000, &count);
    return static_cast<unsigned long>(count);
}

double WalksPerSecond(const Quellbox& q, std::chrono::milliseconds span) {
    const unsigned long before = Walks(q);
    const auto start = std::chrono::steady_clock::now();
    std::this_thread::sleep_for(span);
    const unsigned long after = Walks(q);
    return (after - before) / std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

bool StatusSays(const Quellbox& q, const char* text) {
    return WaitUntil([&] { return TextOf(GetDlgItem(q.Main(), IDC_STATUS)) == text; }, 5s);
}

// The last tip the stand-in notification area holds for the program's main icon.
std::string LastTip(const FakeShell& shell, const Quellbox& q) {
    std::string tip;
    for (const auto& r : shell.Requests(q.Id())) {
        if (r.flags & NIF_TIP) tip = r.tip;
    }
    return tip;
}

// Whether some window holds the key: this driver may not register it.
bool HeldByAnother(UINT modifiers, UINT key) {
    if (RegisterHotKey(nullptr, 0x7F00, modifiers, key)) {
        UnregisterHotKey(nullptr, 0x7F00);
        return false;
    }
    return GetLastError() == ERROR_HOTKEY_ALREADY_REGISTERED;
}

HWND OpenOptionsPage(const Quellbox& q, int command, int page) {
    Press(q.Main(), command);
    HWND options = nullptr;
    WaitUntil([&] {
        options = FindWindowOf(q.Id(), "Quellwatch Options");
        return options && IsWindowVisible(options) && TabCtrl_GetCurSel(GetDlgItem(options, IDC_TABB)) == page;
    }, 10s);
    return options;
}

constexpr WORD kCtrlAlt = HOTKEYF_CONTROL | HOTKEYF_ALT;

TEST(Keys, ThePauseAndAddKeysWorkInEveryProgramAndThePageRefusesATakenKey) {
    FakeShell shell;
    QuietOptions();
    SeedList({"keys journey entry"});
    SetString(kOptionsKey, "Pause Key", std::to_string(MAKEWORD('P', kCtrlAlt)));
    Quellbox q;
    ASSERT_TRUE(q.Launch());
    EXPECT_TRUE(WaitUntil([&] { return LastTip(shell, q) == "Quellwatch [Enabled] (Ctrl+Alt+P to pause)"; }, 10s));
    EXPECT_TRUE(HeldByAnother(MOD_CONTROL | MOD_ALT, 'P'));

    // Wine's Notepad, in front.
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    Program notepad;
    ASSERT_TRUE(notepad.Start(std::string(system) + "\\notepad.exe"));
    HWND pad = WaitForWindowOf(notepad.Id(), [](HWND w) { return IsWindowVisible(w) && TextOf(w) == "Untitled - Notepad"; }, 10s);
    ASSERT_NE(pad, nullptr);
    SetForegroundWindow(pad);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == pad; }, 5s));
    // Pressed as a user presses it while Notepad has the keyboard, which
    // never sees the key.
    RunHost("/usr/bin/xdotool key ctrl+alt+p");
    EXPECT_TRUE(StatusSays(q, "Quellwatch Status: [DISABLED]"));
    EXPECT_TRUE(WaitUntil([&] { return LastTip(shell, q) == "Quellwatch [Disabled] (Ctrl+Alt+P to resume)"; }, 10s));
    RunHost("/usr/bin/xdotool key ctrl+alt+p");
    EXPECT_TRUE(StatusSays(q, "Quellwatch Status: [ENABLED]"));
    EXPECT_EQ(TextOf(FindWindowExA(pad, nullptr, "Edit", nullptr)), "");

    // The add key with the pointer on Notepad's text, a control, offers the
    // window's title; Yes stores it and Notepad is closed.
    RECT text{};
    GetWindowRect(FindWindowExA(pad, nullptr, "Edit", nullptr), &text);
    SetCursorPos((text.left + text.right) / 2, (text.top + text.bottom) / 2);
    ASSERT_TRUE(WaitUntil([&] {
        POINT at{};
        GetCursorPos(&at);
        return GetAncestor(WindowFromPoint(at), GA_ROOT) == pad;
    }, 5s));
    PostMessageA(q.Main(), WM_HOTKEY, 2, 0);
    HWND box = WaitForBox(q, "Add \"Untitled - Notepad\"\r\nto Quellwatch's window list?", "Question...");
    ASSERT_NE(box, nullptr);
    PostMessageA(q.Main(), WM_HOTKEY, 2, 0);  // pressed again while asked: no second question
    // The pause key works while the program's own question is open.
    for (const char* status : {"Quellwatch Status: [DISABLED]", "Quellwatch Status: [ENABLED]"}) {
        RunHost("/usr/bin/xdotool key ctrl+alt+p");
        EXPECT_TRUE(StatusSays(q, status));
    }
    EXPECT_TRUE(Answer(box, IDYES));
    EXPECT_TRUE(WaitUntil([] { return StoredList() == std::vector<std::string>{"keys journey entry", "Untitled - Notepad"}; }, 10s));
    EXPECT_NE(notepad.WaitExit(10s), -1);
    for (HWND w : WindowsOf(q.Id())) EXPECT_FALSE(IsWindowVisible(w) && GetDlgItem(w, 0xFFFF)) << TextOf(w);

    // The "Keys" page: a key this driver holds is refused at OK with the
    // reason, the dialog open and nothing stored; a free one is held at once.
    ASSERT_TRUE(RegisterHotKey(nullptr, 0x7F01, MOD_CONTROL | MOD_ALT, 'X'));
    HWND options = OpenOptionsPage(q, IDM_KEYS, 4);
    ASSERT_NE(options, nullptr);
    EXPECT_EQ(SendDlgItemMessageA(options, IDC_PAUSEKEY, HKM_GETHOTKEY, 0, 0), MAKEWORD('P', kCtrlAlt));
    SendDlgItemMessageA(options, IDC_ADDKEY, HKM_SETHOTKEY, MAKEWORD('X', kCtrlAlt), 0);
    Press(options, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return TextOf(GetDlgItem(options, IDC_KEYSNOTE)) == "Ctrl+Alt+X is used by another program"; }, 10s));
    EXPECT_TRUE(IsWindowVisible(options));
    EXPECT_EQ(Value(kOptionsKey, "Add Key"), "(missing)");
    Screenshot("options-keys", &q);
    SendDlgItemMessageA(options, IDC_ADDKEY, HKM_SETHOTKEY, MAKEWORD('Q', kCtrlAlt), 0);
    EXPECT_TRUE(Answer(options, IDOK));
    EXPECT_EQ(Value(kOptionsKey, "Add Key"), std::to_string(MAKEWORD('Q', kCtrlAlt)));
    EXPECT_TRUE(HeldByAnother(MOD_CONTROL | MOD_ALT, 'Q'));
    UnregisterHotKey(nullptr, 0x7F01);

    // And while "Closed Windows" is open.
    Press(q.Main(), IDM_CLOSEDWINDOWS);
    ASSERT_NE(WaitForWindow(q, "Closed Windows"), nullptr);
    for (const char* status : {"Quellwatch Status: [DISABLED]", "Quellwatch Status: [ENABLED]"}) {
        RunHost("/usr/bin/xdotool key ctrl+alt+p");
        EXPECT_TRUE(StatusSays(q, status));
    }
    Press(q.Main(), IDM_CLOSE);
    ASSERT_TRUE(Answer(WaitForBox(q, "", "Quellwatch"), IDOK));
    EXPECT_NE(q.WaitExit(10s), -1);
    EXPECT_FALSE(HeldByAnother(MOD_CONTROL | MOD_ALT, 'P'));  // let go with the program
}

// "Save power", set on its page: the walk runs about 4 times a second
// instead of about 66, and a window opened meanwhile is still closed, by
// the window events.
TEST(Keys, SavingPowerWalksFourTimesASecondAndStillClosesNewWindows) {
    Helper helper;
    ASSERT_TRUE(helper.Ok());
    QuietOptions();
    SeedList({"Power Saver Nag"});
    Quellbox q;
    ASSERT_TRUE(q.Launch());
    const double walking = WalksPerSecond(q, 1s);
    HWND options = OpenOptionsPage(q, IDM_MODE, 0);
    ASSERT_NE(options, nullptr);
    HWND batteryOnly = GetDlgItem(options, IDC_SAVEPOWERBATTERY);
    EXPECT_EQ(std::make_pair(IsWindowEnabled(batteryOnly) != FALSE, SendMessageA(batteryOnly, BM_GETCHECK, 0, 0)),
              std::make_pair(false, LRESULT{BST_CHECKED}));
    SendDlgItemMessageA(options, IDC_SAVEPOWER, BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(batteryOnly) != FALSE; }, 5s));
    SendMessageA(batteryOnly, BM_CLICK, 0, 0);  // this machine may not run on battery
    Screenshot("options-on-startup-power", &q);
    ASSERT_TRUE(Answer(options, IDOK));
    EXPECT_EQ(std::make_pair(Value(kOptionsKey, "Save Power"), Value(kOptionsKey, "Save Power On Battery Only")),
              std::make_pair(std::string("1"), std::string("0")));
    const double saving = WalksPerSecond(q, 3s);
    std::printf("walks per second: %.1f, then %.1f saving power\n", walking, saving);
    EXPECT_LE(saving, 5.0);
    EXPECT_GT(walking, saving);
    HWND nag = helper.Create("Power Saver Nag", "n");
    EXPECT_TRUE(helper.WaitForMessages(nag, WM_CLOSE, 1, 10s));
}

}  // namespace
}  // namespace qwe2e
