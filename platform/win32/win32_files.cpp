#include "platform/win32/win32_files.h"

#include <algorithm>

#include "platform/long_path.h"
#include "platform/win32/win32_system.h"

namespace qw {
namespace {

HANDLE Handle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

// Every path reaches Windows in UTF-16, a long one in its extended-length form.
std::wstring PathOf(const std::string& path) { return Wide(ExtendedLengthPath(path)); }

FileHandle FromHandle(HANDLE handle) {
    return handle == INVALID_HANDLE_VALUE ? 0 : reinterpret_cast<FileHandle>(handle);
}

}  // namespace

FileHandle Win32Files::OpenRead(const std::string& path) {
    return FromHandle(CreateFileW(PathOf(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

long Win32Files::Read(FileHandle file, char* buffer, std::size_t size) {
    DWORD read = 0;
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    if (!ReadFile(Handle(file), buffer, wanted, &read, nullptr)) return -1;
    return static_cast<long>(read);
}

FileHandle Win32Files::Create(const std::string& path) {
    const FileHandle file = FromHandle(
        CreateFileW(PathOf(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) writing_.insert(file);
    return file;
}

bool Win32Files::Write(FileHandle file, const char* data, std::size_t size) {
    while (size > 0) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        if (!WriteFile(Handle(file), data, chunk, &written, nullptr) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

bool Win32Files::Close(FileHandle file) {
    bool ok = true;
    if (writing_.erase(file)) ok = FlushFileBuffers(Handle(file)) != 0;
    return CloseHandle(Handle(file)) && ok;
}

bool Win32Files::Replace(const std::string& from, const std::string& to) {
    const DWORD flags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
    return MoveFileExW(PathOf(from).c_str(), PathOf(to).c_str(), flags) != 0;
}

bool Win32Files::Delete(const std::string& path) { return DeleteFileW(PathOf(path).c_str()) != 0; }

std::vector<std::string> Win32Files::NamesStartingWith(const std::string& pathPrefix) {
    std::vector<std::string> names;
    const std::wstring wanted = Wide(pathPrefix.substr(pathPrefix.find_last_of("\\/:") + 1));
    WIN32_FIND_DATAW found;
    const HANDLE find =
        FindFirstFileExW(PathOf(pathPrefix + "*").c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        // The pattern also matches short (8.3) names: only a long name that begins so counts.
        const std::size_t length = wcslen(found.cFileName);
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && length >= wanted.size() &&
            CompareStringOrdinal(found.cFileName, static_cast<int>(wanted.size()), wanted.c_str(),
                                 static_cast<int>(wanted.size()), TRUE) == CSTR_EQUAL) {
            names.push_back(Utf8(std::wstring_view(found.cFileName, length)));
        }
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return names;
}

std::uint32_t Win32Files::ProcessId() { return GetCurrentProcessId(); }

}  // namespace qw
