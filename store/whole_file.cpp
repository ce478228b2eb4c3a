#include "store/whole_file.h"

#include <algorithm>
#include <utility>

namespace qw {
namespace {

constexpr std::string_view kTempMark = ".~qw", kTempEnd = ".tmp";

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) {
               return lower(x) == lower(y);
           });
}

// `rest` is what follows the target's name in the name of a file beside it:
// a temporary file of ours has the mark, a process id and the end, nothing else.
bool IsTemporaryRest(std::string_view rest) {
    if (rest.size() <= kTempMark.size() + kTempEnd.size()) return false;
    const std::string_view id = rest.substr(kTempMark.size(), rest.size() - kTempMark.size() - kTempEnd.size());
    return SameIgnoringCase(rest.substr(0, kTempMark.size()), kTempMark) &&
           SameIgnoringCase(rest.substr(rest.size() - kTempEnd.size()), kTempEnd) &&
           std::all_of(id.begin(), id.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

WholeFileWriter::WholeFileWriter(FileApi& files, std::string path)
    : files_(files),
      path_(std::move(path)),
      temp_(path_ + std::string(kTempMark) + std::to_string(files_.ProcessId()) + std::string(kTempEnd)) {
    TidyLeftovers();
    file_ = files_.Create(temp_);
    ok_ = file_ != 0;
}

void WholeFileWriter::TidyLeftovers() {
    const std::size_t nameStart = path_.find_last_of("\\/:") + 1;  // 0 without a folder
    const std::string folder = path_.substr(0, nameStart);
    const std::size_t nameLength = path_.size() - nameStart;
    for (const std::string& name : files_.NamesStartingWith(path_ + std::string(kTempMark))) {
        // One that cannot go (another process still writes it) stays for a later write.
        if (name.size() > nameLength && IsTemporaryRest(std::string_view(name).substr(nameLength)))
            files_.Delete(folder + name);
    }
}

bool WholeFileWriter::Write(std::string_view data) {
    ok_ = ok_ && (data.empty() || files_.Write(file_, data.data(), data.size()));
    return ok_;
}

bool WholeFileWriter::Commit() {
    if (file_) ok_ = files_.Close(file_) && ok_;
    file_ = 0;
    ok_ = ok_ && files_.Replace(temp_, path_);
    if (!ok_) files_.Delete(temp_);
    return ok_;
}

}  // namespace qw
