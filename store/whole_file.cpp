#include "store/whole_file.h"

#include <utility>

namespace qw {

WholeFileWriter::WholeFileWriter(FileApi& files, std::string path)
    : files_(files), path_(std::move(path)), temp_(path_ + ".tmp"), file_(files_.Create(temp_)), ok_(file_ != 0) {}

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
