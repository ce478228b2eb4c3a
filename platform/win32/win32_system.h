// What the adapters and WinMain need of Windows beyond the plain calls: DLLs
// loaded from the system folder only, named objects that every copy of this
// user may open, and messages let through from programs of lower integrity.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "platform/shell_api.h"
#include "platform/text.h"

namespace qw {

// Text crosses into Windows as UTF-16 and comes back as UTF-8.
std::wstring Wide(std::string_view text);
std::string Utf8(std::wstring_view text);

// The program file's full path (GetModuleFileNameW), however long.
std::string ModulePath();

// The system's ANSI code page (CP_ACP).
class Win32CodePage : public AnsiCodePage {
public:
    std::optional<std::string> FromUtf8(std::string_view text) const override;
    std::string ToUtf8(std::string_view bytes) const override;
};

// Windows looks for a DLL that is not one of its "known DLLs" in the
// program's own folder first: a DLL planted beside the program (a Downloads
// folder) would run inside it. From here on DLLs come from the system folder.
void LoadDllsFromSystemOnly();

// A procedure of a DLL of the system folder, loaded on first use; null where
// that Windows lacks it.
FARPROC SystemProcedure(const wchar_t* dll, const char* procedure);
template <class Procedure>
Procedure SystemProcedureAs(const wchar_t* dll, const char* procedure) {
    return reinterpret_cast<Procedure>(reinterpret_cast<void*>(SystemProcedure(dll, procedure)));
}

// A named mutex of this user that every process of the user may open,
// whether it runs as administrator or not; null when it cannot be had.
HANDLE CreateUserMutex(const std::string& name, NamedObject* result);
// Whether that mutex exists, without creating it.
NamedObject FindUserMutex(const std::string& name);

// Lets `message` reach `window` from programs of lower integrity, as a copy
// running as administrator must hear "TaskbarCreated" from Explorer and the
// list-changed message from an importing copy (ChangeWindowMessageFilterEx,
// Windows 7 and later).
void AllowFromLowerPrograms(HWND window, UINT message);

}  // namespace qw
