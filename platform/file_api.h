// Whole-file operations the list-file import and export need, in the terms of
// the Win32 calls behind them: handles, byte reads and writes, and a rename
// that replaces its target in one step. Paths of any length: the adapter
// hands Windows the extended-length form of a long one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace qw {

using FileHandle = std::uintptr_t;  // 0: none

class FileApi {
public:
    virtual ~FileApi() = default;
    // Opens an existing file for reading; 0 when it cannot.
    virtual FileHandle OpenRead(const std::string& path) = 0;
    // Bytes read into `buffer`, 0 at the end of the file, -1 on failure.
    virtual long Read(FileHandle file, char* buffer, std::size_t size) = 0;
    // Creates the file for writing, replacing any file of that name; 0 when it cannot.
    virtual FileHandle Create(const std::string& path) = 0;
    // Writes all of `data` or reports failure.
    virtual bool Write(FileHandle file, const char* data, std::size_t size) = 0;
    // Closes the handle in every case; false when data written through it
    // could not be committed.
    virtual bool Close(FileHandle file) = 0;
    // Renames `from` to `to`, replacing `to` in one step (MoveFileExA with
    // MOVEFILE_REPLACE_EXISTING).
    virtual bool Replace(const std::string& from, const std::string& to) = 0;
    virtual bool Delete(const std::string& path) = 0;
    // The names of the files in the folder of `pathPrefix` that begin with its
    // last part, case ignored as Windows compares names (FindFirstFileExW);
    // none when the folder cannot be read.
    virtual std::vector<std::string> NamesStartingWith(const std::string& pathPrefix) = 0;
    // GetCurrentProcessId: no other running process has it, so a file named
    // with it is this process's own.
    virtual std::uint32_t ProcessId() = 0;
};

}  // namespace qw
