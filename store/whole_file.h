// A file written whole or not at all: the text goes to a temporary file
// beside the target, which replaces the target in one step once written in
// full. The old file stays whole when anything fails. The temporary file is
// named after the target and the process ("history.csv.~qw4242.tmp"), a name
// no user picks; one that a stopped write left beside the target goes with
// the next write rather than pile up.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/file_api.h"

namespace qw {

class WholeFileWriter {
public:
    WholeFileWriter(FileApi& files, std::string path);
    WholeFileWriter(const WholeFileWriter&) = delete;
    WholeFileWriter& operator=(const WholeFileWriter&) = delete;

    // False once anything failed; later writes do nothing.
    bool Write(std::string_view data);
    // Closes the file and puts it in place; false when anything failed, and
    // then the temporary file is gone.
    bool Commit();

private:
    // Deletes the temporary files of earlier writes to the target; one that
    // another process still writes is open, and stays.
    void TidyLeftovers();

    FileApi& files_;
    std::string path_, temp_;
    FileHandle file_;
    bool ok_;
};

}  // namespace qw
