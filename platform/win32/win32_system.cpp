#include "platform/win32/win32_system.h"

#include <sddl.h>

#include <vector>

namespace qw {

std::wstring Wide(std::string_view text) {
    const std::u16string units = utf8::ToUtf16(text);
    return std::wstring(units.begin(), units.end());
}

std::string Utf8(std::wstring_view text) {
    return utf8::FromUtf16(std::u16string(text.begin(), text.end()));
}

std::string ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (n < path.size() || path.size() >= 32768) {
            path.resize(n);
            return Utf8(path);
        }
        path.resize(path.size() * 2);
    }
}

std::optional<std::string> Win32CodePage::FromUtf8(std::string_view text) const {
    // Where the system's code page is UTF-8 itself (a setting of Windows 10
    // and 11), every text fits as it is.
    if (GetACP() == CP_UTF8) return std::string(text);
    const std::wstring wide = Wide(text);
    if (wide.empty()) return std::string();
    BOOL usedDefault = FALSE;
    const int size = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0, nullptr, &usedDefault);
    std::string bytes(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length <= 0 || !WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, &bytes[0], length,
                                            nullptr, &usedDefault) ||
        usedDefault)
        return std::nullopt;
    return bytes;
}

std::string Win32CodePage::ToUtf8(std::string_view bytes) const {
    if (bytes.empty()) return std::string();
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, &wide[0], length);
    return Utf8(wide);
}

namespace {
constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32, Windows 8 and 7 with its update
}  // namespace

void LoadDllsFromSystemOnly() {
    using SetDefault = BOOL(WINAPI*)(DWORD);
    auto set = reinterpret_cast<SetDefault>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (set) set(kSearchSystem32);
}

FARPROC SystemProcedure(const wchar_t* dll, const char* procedure) {
    HMODULE module = LoadLibraryExW(dll, nullptr, kSearchSystem32);
    if (!module) {
        // Without the flag (Windows 7 before its update): the full path.
        wchar_t path[MAX_PATH];
        const UINT length = GetSystemDirectoryW(path, MAX_PATH);
        if (length == 0 || length + wcslen(dll) + 2 > MAX_PATH) return nullptr;
        std::wstring full(path, length);
        full += L'\\';
        full += dll;
        module = LoadLibraryW(full.c_str());
    }
    return module ? GetProcAddress(module, procedure) : nullptr;
}

namespace {

std::string UserSid() {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return "";
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> user(size ? size : 1);
    std::string text;
    char* sid = nullptr;
    if (size && GetTokenInformation(token, TokenUser, user.data(), size, &size) &&
        ConvertSidToStringSidA(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &sid)) {
        text = sid;
        LocalFree(sid);
    }
    CloseHandle(token);
    return text;
}

// The user's own SID may do anything with the object, and it carries the
// medium integrity label, so that a copy not running as administrator may
// open one that a copy running as administrator made. Null (the default
// security) where the descriptor cannot be built.
SECURITY_ATTRIBUTES* UserObjectAttributes() {
    static SECURITY_ATTRIBUTES attributes{};
    static const bool built = [] {
        const std::string sid = UserSid();
        if (sid.empty()) return false;
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        for (const std::string& sddl : {"D:(A;;GA;;;" + sid + ")S:(ML;;NW;;;ME)", "D:(A;;GA;;;" + sid + ")"}) {
            if (ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1, &descriptor,
                                                                     nullptr))
                break;
        }
        if (!descriptor) return false;
        // Kept for the whole run: every named object of the program uses it.
        attributes = SECURITY_ATTRIBUTES{sizeof attributes, descriptor, FALSE};
        return true;
    }();
    return built ? &attributes : nullptr;
}

}  // namespace

HANDLE CreateUserMutex(const std::string& name, NamedObject* result) {
    HANDLE mutex = CreateMutexW(UserObjectAttributes(), FALSE, Wide(name).c_str());
    const DWORD error = GetLastError();
    if (mutex) {
        *result = error == ERROR_ALREADY_EXISTS ? NamedObject::kExisted : NamedObject::kCreated;
    } else {
        // A copy running as administrator made it, with the default security
        // of an older version: it exists all the same.
        *result = error == ERROR_ACCESS_DENIED ? NamedObject::kDenied : NamedObject::kAbsent;
    }
    return mutex;
}

NamedObject FindUserMutex(const std::string& name) {
    HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, Wide(name).c_str());
    if (mutex) {
        CloseHandle(mutex);
        return NamedObject::kExisted;
    }
    return GetLastError() == ERROR_ACCESS_DENIED ? NamedObject::kDenied : NamedObject::kAbsent;
}

void AllowFromLowerPrograms(HWND window, UINT message) {
    using Filter = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    static const auto filter = reinterpret_cast<Filter>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"user32.dll"), "ChangeWindowMessageFilterEx")));
    if (filter && window && message) filter(window, message, MSGFLT_ALLOW, nullptr);
}

}  // namespace qw
