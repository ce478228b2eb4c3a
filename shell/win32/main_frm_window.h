#pragma once

#include <windows.h>

namespace qw {

// Creates the main window (hidden) and runs its load step. Returns its handle.
HWND CreateMainFrm(HINSTANCE instance);

}  // namespace qw
