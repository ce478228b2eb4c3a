// A full list of 32,767 entries on the real program: start-up and "Refresh
// List" (until the count text shows them all), two removals (each one save
// and reload), an export through the File menu and an import of that file.
#include <cstdio>

#include "e2e_support.h"
#include "resources/resource.h"

using namespace qwe2e;

namespace {

HWND VisibleWindow(const Program& program, const char* title) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindWindowOf(program.Id(), title)) && IsWindowVisible(found); },
              std::chrono::seconds(30));
    return found;
}

}  // namespace

int main() {
    QuietOptions();
    std::vector<std::string> entries;
    for (int i = 0; i < 32767; ++i) entries.push_back("entry number " + std::to_string(i) + " of a long list");
    SeedList(entries);
    const auto minutes = std::chrono::minutes(10);

    Quellbox quellbox;
    std::int64_t start = Now();
    if (!quellbox.Launch()) return 2;
    HWND label = GetDlgItem(quellbox.Main(), IDC_NUMWINDOWS);
    const auto shows = [&](const char* count) { return [=] { return TextOf(label).find(count) != std::string::npos; }; };
    if (!WaitUntil(shows("32,767"), minutes)) return 3;
    std::printf("BIGLIST start=%.0f", Millis(Now() - start));

    SetWindowTextA(label, "");
    start = Now();
    PostMessageA(quellbox.Main(), WM_COMMAND, IDC_REFRESHL, 0);
    if (!WaitUntil(shows("32,767"), minutes)) return 4;
    std::printf(" refresh=%.0f", Millis(Now() - start));

    // Remove the last entry, then the first: a save that only cuts the list
    // short, then one that moves every entry, each with its reload.
    HWND lv = GetDlgItem(quellbox.Main(), IDC_LV);
    struct Removal {
        int index;
        const char* name;
        const char* after;
    } removals[] = {{32766, "save_tail", "32,766"}, {0, "save_whole", "32,765"}};
    for (const Removal& removal : removals) {
        SendMessageA(lv, LB_SETCURSEL, removal.index, 0);
        PostMessageA(quellbox.Main(), WM_COMMAND, IDC_LREM, 0);
        HWND box = WaitForWindowOfClass(quellbox.Id(), "#32770", minutes);
        if (!box) return 5;
        start = Now();
        PostMessageA(box, WM_COMMAND, IDOK, 0);
        if (!WaitUntil(shows(removal.after), minutes)) return 6;
        std::printf(" %s=%.0f", removal.name, Millis(Now() - start));
    }

    const std::string path = BinDir() + "\\big-list.wnl";
    DeleteFileA(path.c_str());
    PostMessageA(quellbox.Main(), WM_COMMAND, IDM_EXPORT, 0);
    HWND dialog = VisibleWindow(quellbox, "Export Window List");
    if (!dialog) return 7;
    SetDlgItemTextA(dialog, 0x47C, path.c_str());
    start = Now();
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    // Written whole and renamed into place in one step.
    if (!WaitUntil([&] { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }, minutes)) return 8;
    std::printf(" export=%.0f", Millis(Now() - start));

    // Import the 32,765 exported entries into that same list: every line is
    // read and checked against the list, and the list saved.
    PostMessageA(quellbox.Main(), WM_COMMAND, IDM_IMP, 0);
    dialog = VisibleWindow(quellbox, "Import Window List");
    if (!dialog) return 10;
    SetDlgItemTextA(dialog, 0x47C, path.c_str());
    SetWindowTextA(label, "");
    start = Now();
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    if (!WaitUntil(shows("32,765"), minutes)) return 11;
    std::printf(" import=%.0f\n", Millis(Now() - start));
    DeleteFileA(path.c_str());
    return 0;
}
