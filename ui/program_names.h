// Program file names as the user gives them, in the add and edit dialogs'
// options part and on the options dialog's "Never Close" page.
#pragma once

#include <string>
#include <vector>

#include "engine/scanner.h"
#include "platform/window_api.h"

namespace qw {

// A list of programs never closed that the registry would not store.
extern const char kNeverCloseUnsaved[];

// A program as a box gives it: blanks around it and any folders before its
// file name are no part of it.
std::string ProgramBoxName(const std::string& text);
// Whether two names are one program's: Windows compares file names without
// regard to case (the letters A to Z here, as the stored list does).
bool SameProgram(const std::string& a, const std::string& b);

// The programs of these windows, each once (case ignored), in alphabetical
// order; a window whose program Windows will not name adds none.
std::vector<std::string> ProgramsOf(Scanner& scanner, const std::vector<WindowHandle>& windows);
// The programs of the windows the user can pick now: those the add
// dialog's list shows, by the scan's own filter.
std::vector<std::string> RunningPrograms(Scanner& scanner, WindowApi& windows);

}  // namespace qw
