// The options dialog, start with Windows, the about window and the splash on
// the real program.
#include <gtest/gtest.h>

#include "e2e_support.h"

#include <commctrl.h>

#include "resources/resource.h"

namespace qwe2e {
namespace {

using namespace std::chrono_literals;

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

bool MachineString(const char* path, const char* name, std::string* value) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    char data[1024] = {};
    DWORD size = sizeof data - 1;
    const bool ok = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS;
    RegCloseKey(key);
    if (ok) *value = data;
    return ok;
}

class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        QuietOptions();
        SeedList({});
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            RegDeleteValueA(key, "Quellwatch");
            RegCloseKey(key);
        }
    }
    void Command(int id) { PostMessageA(quellbox.Main(), WM_COMMAND, static_cast<WPARAM>(id), 0); }
    HWND Window(const char* caption) {
        HWND found = nullptr;
        WaitUntil([&] { return (found = FindWindowOf(quellbox.Id(), caption)) && IsWindowVisible(found); }, 10s);
        return found;
    }
    static void Press(HWND window, int id) { PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(id), 0); }
    static bool Gone(HWND window) { return WaitUntil([&] { return !IsWindow(window); }, 10s); }
    static std::string Stored(const char* name) {
        std::string value;
        return GetString(kOptionsKey, name, &value) ? value : "(missing)";
    }

    Quellbox quellbox;
};

// Each of the nine menu items opens the dialog on its page; OK on the
// untouched dialog stores all eight values, the association and the Run
// entry; unchecking "Start-up with Windows" removes it.
TEST_F(Settings, TheOptionsDialogOpensOnEachPageAndOkStoresEverything) {
    ASSERT_TRUE(quellbox.Launch());
    DeleteTree(kOptionsKey);  // the dialog then finds nothing stored at all
    const std::pair<int, int> items[] = {
        {IDM_MODE, 0},         {IDM_SOUND, 1},         {IDM_OPTFILEICON, 2},
        {IDM_OPTMENU_START, 0}, {IDM_OPTMENU_SOUND, 1}, {IDM_FILEICON1, 2},
        {IDM_OPTMENU2_START, 0}, {IDM_OPTMENU2_SOUND, 1}, {IDM_FILEICON2, 2},
    };
    HWND dialog = nullptr;
    for (const auto& item : items) {
        Command(item.first);
        // Each item loads the dialog anew.
        ASSERT_TRUE(WaitUntil(
            [&] {
                HWND now = FindWindowOf(quellbox.Id(), "Quellwatch Options");
                if (!now || !IsWindowVisible(now)) return false;
                dialog = now;
                return TabCtrl_GetCurSel(GetDlgItem(dialog, IDC_TABB)) == item.second;
            },
            10s))
            << item.first;
    }
    // The slider changes the preview.
    HWND slider = GetDlgItem(dialog, IDC_ICONNUM);
    EXPECT_EQ(SendMessageA(slider, TBM_GETPOS, 0, 0), 1);
    const LRESULT before = SendDlgItemMessageA(dialog, IDC_ICONVIEW, STM_GETICON, 0, 0);
    SendMessageA(slider, TBM_SETPOS, TRUE, 5);
    SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 5), reinterpret_cast<LPARAM>(slider));
    EXPECT_TRUE(WaitUntil([&] { return SendDlgItemMessageA(dialog, IDC_ICONVIEW, STM_GETICON, 0, 0) != before; }, 10s));
    SendMessageA(slider, TBM_SETPOS, TRUE, 1);
    SendMessageA(dialog, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 1), reinterpret_cast<LPARAM>(slider));

    Press(dialog, IDOK);
    ASSERT_TRUE(Gone(dialog));
    const std::pair<const char*, const char*> stored[] = {
        {"On at Start", "1"}, {"Show Splash Screen", "1"}, {"Minimized at start", "0"}, {"Run at Start", "1"},
        {"Task Target", "1"}, {"Play Sound", "1"},         {"Sound", " "},                {"FileIcon", "1"},
    };
    for (const auto& s : stored) EXPECT_EQ(Stored(s.first), s.second) << s.first;
    const std::string exe = BinDir() + "\\Quellbox.exe";
    std::string run;
    EXPECT_TRUE(MachineString(kRunKey, "Quellwatch", &run));
    EXPECT_EQ(run, "\"" + exe + "\"");
    HKEY icon;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, "Quellwatch Window List\\DefaultIcon", 0, KEY_QUERY_VALUE, &icon),
              ERROR_SUCCESS);
    char text[512] = {};
    DWORD size = sizeof text - 1;
    RegQueryValueExA(icon, "", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(icon);
    EXPECT_EQ(std::string(text), exe + ",1");

    Command(IDM_MODE);
    dialog = Window("Quellwatch Options");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SendDlgItemMessageA(dialog, IDC_RUNATSTART, BM_GETCHECK, 0, 0), BST_CHECKED);
    SendDlgItemMessageA(dialog, IDC_RUNATSTART, BM_SETCHECK, BST_UNCHECKED, 0);
    Press(dialog, IDOK);
    ASSERT_TRUE(Gone(dialog));
    EXPECT_EQ(Stored("Run at Start"), "0");
    EXPECT_FALSE(MachineString(kRunKey, "Quellwatch", &run));
}

TEST_F(Settings, TheAboutWindowShowsTheBuildFromTheVersionRecord) {
    ASSERT_TRUE(quellbox.Launch());
    Command(IDM_ABT);
    HWND about = Window("About Quellwatch 1.6");
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(TextOf(GetDlgItem(about, IDC_BLD)), "Build: 1.6.454");
    EXPECT_NE(TextOf(GetDlgItem(about, IDC_LINK2)).find("@example.com"), std::string::npos);
    Screenshot("about", &quellbox);
    Press(about, IDOK);
    EXPECT_TRUE(Gone(about));
}

// The splash comes first and the main window about 3.5 s later; with
// "Show Splash Screen" = "0" the main window comes at once and no splash.
TEST_F(Settings, TheSplashDelaysTheMainWindowUnlessSwitchedOff) {
    SetString(kOptionsKey, "Show Splash Screen", "1");
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(quellbox.Start(BinDir() + "\\Quellbox.exe"));
    HWND splash = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (HWND w : WindowsOf(quellbox.Id())) {
                if (IsWindowVisible(w) && GetDlgItem(w, IDC_SPLASHPICTURE)) splash = w;
            }
            return splash != nullptr;
        },
        10s));
    EXPECT_EQ(FindWindowOf(quellbox.Id(), "Quellwatch v1.6"), nullptr);
    Screenshot("splash", &quellbox);
    HWND main = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (main = FindWindowOf(quellbox.Id(), "Quellwatch v1.6")) != nullptr; }, 20s));
    EXPECT_GE(std::chrono::steady_clock::now() - started, 3s);  // never before the splash's 3.5 s
    EXPECT_TRUE(Gone(splash));

    SetString(kOptionsKey, "Show Splash Screen", "0");
    ASSERT_TRUE(quellbox.Launch());
    for (HWND w : WindowsOf(quellbox.Id())) EXPECT_EQ(GetDlgItem(w, IDC_SPLASHPICTURE), nullptr);
}

}  // namespace
}  // namespace qwe2e
