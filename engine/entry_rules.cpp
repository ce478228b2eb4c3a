#include "engine/entry_rules.h"

namespace qw {

const char kDialogClass[] = "#32770";

bool TitleRuleHolds(TitleRule rule, std::string_view loweredTitle, std::string_view loweredEntry) {
    switch (rule) {
    case TitleRule::kExact: return loweredTitle == loweredEntry;
    case TitleRule::kPrefix: return loweredTitle.substr(0, loweredEntry.size()) == loweredEntry;
    case TitleRule::kContains: break;
    }
    return loweredTitle.find(loweredEntry) != std::string_view::npos;
}

namespace {
// ASCII letters in any case: class and file names as Windows compares them.
bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
        if (x != y) return false;
    }
    return true;
}

template <std::size_t N>
bool OneOf(std::string_view name, const char* const (&names)[N]) {
    for (const char* known : names) {
        if (SameIgnoringCase(name, known)) return true;
    }
    return false;
}
}  // namespace

bool IsShellWindowClass(std::string_view className) {
    static const char* const kShellClasses[] = {
        "Shell_TrayWnd", "Shell_SecondaryTrayWnd", "TrayNotifyWnd", "NotifyIconOverflowWindow",
        "TopLevelWindowForOverflowXamlIsland", "Xaml_WindowedPopupClass", "Windows.UI.Core.CoreWindow",
        "Progman", "WorkerW"};
    return OneOf(className, kShellClasses);
}

bool IsShellProgram(std::string_view program) {
    static const char* const kShellPrograms[] = {"StartMenuExperienceHost.exe", "SearchHost.exe", "SearchApp.exe",
                                                 "SearchUI.exe", "ShellExperienceHost.exe"};
    return OneOf(program, kShellPrograms);
}

bool IsSystemProgram(std::string_view program) {
    static const char* const kSystemPrograms[] = {
        "csrss.exe",    "smss.exe",        "wininit.exe",  "winlogon.exe", "services.exe", "lsass.exe",
        "svchost.exe",  "dwm.exe",         "fontdrvhost.exe", "sihost.exe", "ctfmon.exe", "taskhostw.exe",
        "LogonUI.exe",  "explorer.exe",    "RuntimeBroker.exe", "audiodg.exe", "spoolsv.exe", "System"};
    return OneOf(program, kSystemPrograms) || IsShellProgram(program);
}

std::string_view ProgramFileName(std::string_view program) {
    const auto slash = program.find_last_of("\\/");
    return slash == std::string_view::npos ? program : program.substr(slash + 1);
}

}  // namespace qw
