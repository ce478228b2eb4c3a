#include "platform/long_path.h"

#include <vector>

#include "platform/text.h"

namespace qw {

std::string ExtendedLengthPath(const std::string& path) {
    if (utf8::Utf16Units(path) < kMaxPath) return path;
    std::string p = path;
    for (char& c : p) {
        if (c == '/') c = '\\';
    }
    const auto isLetter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    std::string root;
    std::size_t floor = 0;  // names ".." cannot climb above: a UNC path's server and share
    std::size_t at = 0;
    if (p.size() >= 3 && isLetter(p[0]) && p[1] == ':' && p[2] == '\\') {
        root = "\\\\?\\" + p.substr(0, 3);
        at = 3;
    } else if (p.size() > 2 && p[0] == '\\' && p[1] == '\\' && p[2] != '\\' && p[2] != '?' && p[2] != '.') {
        root = "\\\\?\\UNC\\";
        at = 2;
        floor = 2;
    } else {
        return path;  // relative, rooted on the current drive, or a device path already
    }
    std::vector<std::string> names;
    while (at <= p.size()) {
        std::size_t end = p.find('\\', at);
        if (end == std::string::npos) end = p.size();
        const std::string name = p.substr(at, end - at);
        if (name == "..") {
            if (names.size() > floor) names.pop_back();
        } else if (!name.empty() && name != ".") {
            names.push_back(name);
        }
        at = end + 1;
    }
    if (!names.empty() && names.size() > floor) {
        std::string& last = names.back();
        while (!last.empty() && (last.back() == '.' || last.back() == ' ')) last.pop_back();
        if (last.empty()) names.pop_back();
    }
    std::string extended = root;
    for (std::size_t i = 0; i < names.size(); ++i) extended += (i ? "\\" : "") + names[i];
    return extended;
}

}  // namespace qw
