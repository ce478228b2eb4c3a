#pragma once

#include <windows.h>

#include "shell/startup.h"

namespace qw {

// Creates the main window hidden and runs its load step, which decides
// whether to show it. Returns its handle.
HWND LoadMainFrm(HINSTANCE instance, const PublicFlags& flags);

}  // namespace qw
