#include "platform/memory/memory_files.h"

#include <algorithm>
#include <cstring>

namespace qw {

bool MemoryFiles::Proceed(Op op) {
    ++operations_;
    if (stopped_) return false;
    // Both triggers count every operation, whichever fires.
    const bool stop = stop_.Fires(op);
    const bool fail = fail_.Fires(op);
    if (stop) {
        stopped_ = true;
        throw ProcessStopped();
    }
    return !fail;
}

bool MemoryFiles::IsOpen(const std::string& path) const {
    return std::any_of(handles_.begin(), handles_.end(), [&](const auto& h) { return h.second.path == path; });
}

FileHandle MemoryFiles::OpenRead(const std::string& path) {
    if (!Proceed(kOpen) || !files.count(path)) return 0;
    handles_[nextHandle_] = Open{path, 0, false};
    return nextHandle_++;
}

long MemoryFiles::Read(FileHandle file, char* buffer, std::size_t size) {
    if (!Proceed(kRead)) return -1;
    auto it = handles_.find(file);
    if (it == handles_.end() || it->second.writing) return -1;
    Open& open = it->second;
    auto data = files.find(open.path);
    if (data == files.end()) return -1;
    const std::size_t left = data->second.size() - std::min(open.position, data->second.size());
    const std::size_t n = std::min({size, chunk_, left});
    if (n) std::memcpy(buffer, data->second.data() + open.position, n);
    open.position += n;
    return static_cast<long>(n);
}

FileHandle MemoryFiles::Create(const std::string& path) {
    // Windows refuses to replace a file someone holds open.
    if (!Proceed(kCreate) || IsOpen(path)) return 0;
    files[path].clear();
    handles_[nextHandle_] = Open{path, 0, true};
    return nextHandle_++;
}

bool MemoryFiles::Write(FileHandle file, const char* data, std::size_t size) {
    if (!Proceed(kWrite)) return false;
    auto it = handles_.find(file);
    if (it == handles_.end() || !it->second.writing) return false;
    files[it->second.path].append(data, size);
    return true;
}

bool MemoryFiles::Close(FileHandle file) {
    if (!handles_.count(file)) return false;
    const bool ok = Proceed(kClose);
    // The handle is gone whether or not its data could be committed.
    handles_.erase(file);
    return ok;
}

bool MemoryFiles::Replace(const std::string& from, const std::string& to) {
    if (!Proceed(kReplace) || !files.count(from) || IsOpen(from) || IsOpen(to)) return false;
    files[to] = std::move(files[from]);
    files.erase(from);
    return true;
}

bool MemoryFiles::Delete(const std::string& path) {
    if (!Proceed(kDelete) || IsOpen(path)) return false;
    return files.erase(path) > 0;
}

std::vector<std::string> MemoryFiles::NamesStartingWith(const std::string& pathPrefix) {
    std::vector<std::string> names;
    if (!Proceed(kList)) return names;
    const std::size_t folder = pathPrefix.find_last_of("\\/:") + 1;  // 0 without one
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (const auto& file : files) {
        const std::string& path = file.first;
        if (path.size() < pathPrefix.size() || path.find_first_of("\\/:", folder) != std::string::npos) continue;
        if (std::equal(pathPrefix.begin(), pathPrefix.end(), path.begin(),
                       [&](char a, char b) { return lower(a) == lower(b); }))
            names.push_back(path.substr(folder));
    }
    return names;
}

}  // namespace qw
