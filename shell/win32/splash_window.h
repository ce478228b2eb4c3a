// The splash window's glue.
#pragma once

#include <windows.h>

#include <functional>

namespace qw {

// Creates the splash window, shows it topmost and starts KillTicker. When it
// goes, at its tick or closed some other way, `loadMainFrm` runs, once; if
// it cannot be created, `loadMainFrm` runs at once.
void ShowSplash(HINSTANCE instance, std::function<void()> loadMainFrm);

}  // namespace qw
