#include "platform/win32/win32_files.h"

#include <algorithm>

#include "platform/win32/win32_system.h"

namespace qw {
namespace {

HANDLE Handle(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

FileHandle FromHandle(HANDLE handle) {
    return handle == INVALID_HANDLE_VALUE ? 0 : reinterpret_cast<FileHandle>(handle);
}

}  // namespace

FileHandle Win32Files::OpenRead(const std::string& path) {
    return FromHandle(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
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
        CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
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
    return MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool Win32Files::Delete(const std::string& path) { return DeleteFileW(Wide(path).c_str()) != 0; }

}  // namespace qw
