#include "ui/win32/dialog_window.h"

#include <algorithm>
#include <vector>

namespace qw {
namespace {
std::vector<HWND>& Modeless() {
    static std::vector<HWND> dialogs;
    return dialogs;
}
}  // namespace

void AddModelessDialog(HWND dialog) { Modeless().push_back(dialog); }

void RemoveModelessDialog(HWND dialog) {
    auto& dialogs = Modeless();
    dialogs.erase(std::remove(dialogs.begin(), dialogs.end(), dialog), dialogs.end());
}

bool RouteDialogMessage(MSG* msg) {
    // A copy: the key may close the dialog, which leaves the list.
    const std::vector<HWND> dialogs = Modeless();
    for (HWND dialog : dialogs) {
        if (IsDialogMessageW(dialog, msg)) return true;
    }
    return false;
}

}  // namespace qw
