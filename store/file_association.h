// The .WNL file type, so that opening a window-list file in the shell starts
// the program with the file's path on its command line, which imports it.
#pragma once

#include <string>

#include "platform/registry_api.h"

namespace qw {

extern const char kListFileType[];

// The program path as the shell is given it: the program's folder, a
// backslash, the file name without its extension, and ".exe".
std::string ProgramExePath(const std::string& modulePath);

// Writes the association for the program at `programPath` with icon group
// `iconIndex` of the program file. Under HKEY_CLASSES_ROOT as long as the
// machine lets us; a key it refuses (a standard user's account) is written
// for the current user instead, under HKEY_CURRENT_USER\Software\Classes,
// which the shell merges into HKEY_CLASSES_ROOT.
void RegisterListFileType(RegistryApi& registry, const std::string& programPath, int iconIndex);

}  // namespace qw
