// What the program leaves in the registry when its file goes: the
// start-with-Windows entries and the .WNL association that name that file,
// and, when the user asks for it, the window list and the options.
#pragma once

#include <string>

#include "platform/registry_api.h"
#include "platform/text.h"

namespace qw {

// Removes the "Quellwatch" value of both Run keys (HKEY_LOCAL_MACHINE, then
// HKEY_CURRENT_USER) and the association (HKEY_CURRENT_USER\Software\Classes,
// then HKEY_CLASSES_ROOT) where they name `programPath`, the program file as
// the association and Run entry write it; whatever names another file
// belongs to another copy of the program and stays. With `removeData`, also
// HKEY_CURRENT_USER\Software\Varn\Quellwatch whole. False when anything that
// was to go stayed: the registry refused its read or its removal.
bool RemoveTraces(RegistryApi& registry, const CaseFolding& lower, const std::string& programPath, bool removeData,
                  bool* associationRemoved);

// Whether a Run entry or an open command names `programPath`: the path in
// double quotes at its start, or else the whole text without a trailing "%1"
// argument; case ignored, as the file system ignores it.
bool NamesProgram(const CaseFolding& lower, const std::string& text, const std::string& programPath);

}  // namespace qw
