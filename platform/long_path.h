// Paths at or beyond MAX_PATH: Windows opens them only in the extended-length
// form ("\\?\C:\...", "\\?\UNC\server\share\..."), which it takes as it
// stands, without the clean-up it gives every other path.
#pragma once

#include <cstddef>
#include <string>

namespace qw {

// MAX_PATH: 260 UTF-16 units, the terminating NUL included.
constexpr std::size_t kMaxPath = 260;

// An absolute drive or UNC path of kMaxPath units or more in the
// extended-length form, cleaned up as Windows would clean it up ('/' read as
// '\', repeated separators as one, "." and ".." resolved, dots and spaces at
// the end of the last name dropped); any other path as it is.
std::string ExtendedLengthPath(const std::string& path);

}  // namespace qw
