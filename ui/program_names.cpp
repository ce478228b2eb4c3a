#include "ui/program_names.h"

namespace qw {

std::string ProgramBoxName(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    std::string name = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    const auto folder = name.find_last_of("\\/");
    return folder == std::string::npos ? name : name.substr(folder + 1);
}

bool SameProgram(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

}  // namespace qw
