// FileApi on the Win32 file calls, paths in UTF-8 handed over in UTF-16, those
// at or beyond MAX_PATH in the extended-length form.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "platform/file_api.h"

namespace qw {

class Win32Files : public FileApi {
public:
    FileHandle OpenRead(const std::string& path) override;
    long Read(FileHandle file, char* buffer, std::size_t size) override;
    FileHandle Create(const std::string& path) override;
    bool Write(FileHandle file, const char* data, std::size_t size) override;
    bool Close(FileHandle file) override;
    bool Replace(const std::string& from, const std::string& to) override;
    bool Delete(const std::string& path) override;
    std::vector<std::string> NamesStartingWith(const std::string& pathPrefix) override;
    std::uint32_t ProcessId() override;

private:
    // Handles opened for writing: their data is flushed to disk on close, so
    // a file that replaces another is complete on disk, not only in the cache.
    std::set<FileHandle> writing_;
};

}  // namespace qw
