#pragma once

#include <windows.h>

#include "shell/startup.h"

namespace qw {

// Creates the main window hidden and runs its load step, which decides
// whether to show it. Returns its logic.
MainFrm& LoadMainFrm(HINSTANCE instance, const PublicFlags& flags);

// The registered message by which an importing copy tells the tray copy that
// the stored list changed.
UINT ListChangedMessage();

// The registered message "Quellwatch.Exit", by which "Quellbox.exe /exit" (or
// any program) asks the tray copy to end as its Exit does after OK.
UINT ExitRequestMessage();

}  // namespace qw
