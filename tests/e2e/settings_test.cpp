// The options dialog, start with Windows, the about window and the splash on
// the real program. Saves screenshots when QW_SCREENSHOT_DIR is set.
#include <gtest/gtest.h>

#include "e2e_support.h"
#include "resources/resource.h"

#include <commctrl.h>

namespace qwe2e {
namespace {

using namespace std::chrono_literals;

// A value under HKEY_LOCAL_MACHINE or HKEY_CLASSES_ROOT; "(missing)" if absent.
std::string Machine(HKEY root, const char* path, const char* name) {
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return "(missing)";
    char data[1024] = {};
    DWORD size = sizeof data - 1;
    const bool ok = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    return ok ? data : "(missing)";
}

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Each of the nine menu items opens the dialog on its page; OK on the
// untouched dialog stores all eight values, the association and the Run
// entry; unchecking "Start-up with Windows" removes it.
TEST(Settings, OptionsOnEachPageAndOkStoresEverything) {
    QuietOptions();
    SetString(kOptionsKey, "Sound", "C:\\windows\\media\\ding.wav");
    SeedList({});
    Quellbox q;
    ASSERT_TRUE(q.Launch());
    const std::pair<int, int> items[] = {{IDM_OPTMENU_START, 0}, {IDM_OPTMENU_SOUND, 1}, {IDM_FILEICON1, 2},
                                         {IDM_OPTMENU2_START, 0}, {IDM_OPTMENU2_SOUND, 1}, {IDM_FILEICON2, 2},
                                         {IDM_MODE, 0},          {IDM_SOUND, 1},          {IDM_OPTFILEICON, 2}};
    const char* shots[] = {"options-on-startup", "options-sounds", "options-list-icon"};
    HWND dialog = nullptr;
    for (std::size_t i = 0; i < 9; ++i) {
        Press(q.Main(), items[i].first);
        ASSERT_TRUE(WaitUntil([&] {
            dialog = FindWindowOf(q.Id(), "Quellwatch Options");
            return dialog && IsWindowVisible(dialog) && TabCtrl_GetCurSel(GetDlgItem(dialog, IDC_TABB)) == items[i].second;
        }, 10s)) << items[i].first;
        if (i >= 6) Screenshot(shots[items[i].second], &q);
    }
    DeleteTree(kOptionsKey);  // reopened, the dialog finds nothing stored at all
    Press(q.Main(), IDM_OPTFILEICON);
    ASSERT_TRUE(WaitUntil([&] {
        HWND now = FindWindowOf(q.Id(), "Quellwatch Options");
        return now && now != dialog && IsWindowVisible(now) && (dialog = now);
    }, 10s));
    // The slider changes the preview.
    HWND slider = GetDlgItem(dialog, IDC_ICONNUM);
    EXPECT_EQ(SendMessageA(slider, TBM_GETPOS, 0, 0), 1);
    const LRESULT first = SendDlgItemMessageA(dialog, IDC_ICONVIEW, STM_GETICON, 0, 0);
    for (int position : {5, 1}) {
        SendMessageA(slider, TBM_SETPOS, TRUE, position);
        SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, position), reinterpret_cast<LPARAM>(slider));
        EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_ICONVIEW, STM_GETICON, 0, 0) != first, position == 5);
    }
    Press(dialog, IDOK);
    ASSERT_TRUE(WaitGone(dialog));
    const std::pair<const char*, const char*> stored[] = {
        {"On at Start", "1"}, {"Show Splash Screen", "1"}, {"Minimized at start", "0"}, {"Run at Start", "1"},
        {"Task Target", "1"}, {"Play Sound", "1"},         {"Sound", " "},                {"FileIcon", "1"}};
    for (const auto& s : stored) {
        std::string value;
        EXPECT_TRUE(GetString(kOptionsKey, s.first, &value) && value == s.second) << s.first << " = " << value;
    }
    const std::string exe = BinDir() + "\\Quellbox.exe";
    EXPECT_EQ(Machine(HKEY_LOCAL_MACHINE, kRunKey, "Quellwatch"), "\"" + exe + "\"");
    EXPECT_EQ(Machine(HKEY_CLASSES_ROOT, "Quellwatch Window List\\DefaultIcon", ""), exe + ",1");

    Press(q.Main(), IDM_MODE);
    dialog = WaitForWindow(q, "Quellwatch Options");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_RUNATSTART, BM_GETCHECK, 0, 0), BST_CHECKED);
    SendDlgItemMessageA(dialog, IDC_RUNATSTART, BM_SETCHECK, BST_UNCHECKED, 0);
    Press(dialog, IDOK);
    ASSERT_TRUE(WaitGone(dialog));
    EXPECT_EQ(Machine(HKEY_LOCAL_MACHINE, kRunKey, "Quellwatch"), "(missing)");

    Press(q.Main(), IDM_ABT);
    HWND about = WaitForWindow(q, "About Quellwatch 1.6");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(TextOf(GetDlgItem(about, IDC_BLD)), "Build: 1.6.454");  // from the version record
    EXPECT_NE(TextOf(GetDlgItem(about, IDC_LINK2)).find("@example.com"), std::string::npos);
    Screenshot("about", &q);
    Press(about, IDOK);
    EXPECT_TRUE(WaitGone(about));
}

// The splash comes first and the main window about 3.5 s later; with
// "Show Splash Screen" = "0" the main window comes at once and no splash.
TEST(Settings, TheSplashDelaysTheMainWindowUnlessSwitchedOff) {
    QuietOptions();
    SetString(kOptionsKey, "Show Splash Screen", "1");
    Quellbox q;
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(q.Start(BinDir() + "\\Quellbox.exe"));
    HWND splash = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        for (HWND w : WindowsOf(q.Id())) splash = IsWindowVisible(w) && GetDlgItem(w, IDC_SPLASHPICTURE) ? w : splash;
        return splash != nullptr;
    }, 10s));
    EXPECT_EQ(FindWindowOf(q.Id(), "Quellwatch v1.6"), nullptr);
    Screenshot("splash", &q);
    ASSERT_TRUE(WaitUntil([&] { return FindWindowOf(q.Id(), "Quellwatch v1.6") != nullptr; }, 20s));
    EXPECT_GE(std::chrono::steady_clock::now() - started, 3s);  // never before the splash's 3.5 s
    EXPECT_TRUE(WaitGone(splash));

    SetString(kOptionsKey, "Show Splash Screen", "0");
    ASSERT_TRUE(q.Launch());
    for (HWND w : WindowsOf(q.Id())) EXPECT_EQ(GetDlgItem(w, IDC_SPLASHPICTURE), nullptr);
}

}  // namespace
}  // namespace qwe2e
