// What an entry's options ask of a window, and the windows that are never
// asked to close whatever the list holds: Windows' own shell, and the
// programs the user named in "Never Close".
#pragma once

#include <string>
#include <string_view>

#include "store/entry_options.h"

namespace qw {

// The class of a standard dialog box, which "dialog boxes only" asks for.
extern const char kDialogClass[];

// Whether `title` holds `entry` as the rule asks; both already lower-cased.
bool TitleRuleHolds(TitleRule rule, std::string_view loweredTitle, std::string_view loweredEntry);

// A window the user sees as part of Windows itself: the taskbars, the
// notification area and its overflow flyout (which Windows 11 brings to the
// front to show the taskbar target), the Start and search surfaces, the
// desktop.
bool IsShellWindowClass(std::string_view className);
// The programs behind Start, search and the other shell surfaces.
bool IsShellProgram(std::string_view program);

// Windows' own processes, which an entry that ends programs never ends.
bool IsSystemProgram(std::string_view program);

// A rule's program as the window's is compared: its file name alone (an
// administrator may have written a path), case folded by the caller.
std::string_view ProgramFileName(std::string_view program);

}  // namespace qw
