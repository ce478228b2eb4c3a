#include "ui/program_names.h"

#include <algorithm>

namespace qw {

const char kNeverCloseUnsaved[] =
    "Could not save the programs never closed: the registry refused the change.\r\n"
    "Quellwatch keeps to the new list until it ends.";

namespace {

char Folded(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

class Pickable : public WindowVisitor {
public:
    explicit Pickable(Scanner& scanner) : scanner_(scanner) {}
    void Visit(WindowHandle window) override {
        // Asked in the picker's order: a hidden window's title is not read.
        if (scanner_.IsShown(window) && !scanner_.IsUnseen(window) &&
            scanner_.IsCandidateWindow(window, scanner_.GetTitle(window)))
            found.push_back(window);
    }
    std::vector<WindowHandle> found;

private:
    Scanner& scanner_;
};

}  // namespace

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
        if (Folded(a[i]) != Folded(b[i])) return false;
    }
    return true;
}

std::vector<std::string> ProgramsOf(Scanner& scanner, const std::vector<WindowHandle>& windows) {
    std::vector<std::string> programs;
    for (WindowHandle window : windows) {
        std::string program = scanner.ProgramOf(window);
        if (!program.empty()) programs.push_back(std::move(program));
    }
    const auto before = [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                            [](char x, char y) { return Folded(x) < Folded(y); });
    };
    std::stable_sort(programs.begin(), programs.end(), before);
    programs.erase(std::unique(programs.begin(), programs.end(), SameProgram), programs.end());
    return programs;
}

std::vector<std::string> RunningPrograms(Scanner& scanner, WindowApi& windows) {
    Pickable pickable(scanner);
    windows.EnumTopLevel(pickable);
    return ProgramsOf(scanner, pickable.found);
}

}  // namespace qw
