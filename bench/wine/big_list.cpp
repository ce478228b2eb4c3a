// Start-up and "Refresh List" with a full list of 32,767 entries: the time
// until the count text shows them all.
#include <cstdio>

#include "e2e_support.h"
#include "resources/resource.h"

using namespace qwe2e;

int main() {
    QuietOptions();
    std::vector<std::string> entries;
    for (int i = 0; i < 32767; ++i) entries.push_back("entry number " + std::to_string(i) + " of a long list");
    SeedList(entries);

    Quellbox quellbox;
    std::int64_t start = Now();
    if (!quellbox.Launch()) return 2;
    HWND label = GetDlgItem(quellbox.Main(), IDC_NUMWINDOWS);
    const auto full = [&] { return TextOf(label).find("32,767") != std::string::npos; };
    if (!WaitUntil(full, std::chrono::minutes(10))) return 3;
    std::printf("BIGLIST start=%.0f", Millis(Now() - start));

    SetWindowTextA(label, "");
    start = Now();
    PostMessageA(quellbox.Main(), WM_COMMAND, IDC_REFRESHL, 0);
    if (!WaitUntil(full, std::chrono::minutes(10))) return 4;
    std::printf(" refresh=%.0f\n", Millis(Now() - start));
    return 0;
}
