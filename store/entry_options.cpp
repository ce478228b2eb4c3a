#include "store/entry_options.h"

namespace qw {

const char kRulesKeyPath[] = "Software\\Varn\\Quellwatch\\Rules";
const char kNeverCloseValue[] = "Never Close";

namespace {

// Names and values are compared as an administrator may have typed them:
// ASCII letters in any case.
bool SameWord(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y + 32);
        if (x != y) return false;
    }
    return i == a.size() && !b[i];
}

// "0" or "1" as a switch; nothing else is one.
bool ReadFlag(const std::string& value, bool* flag) {
    if (value != "0" && value != "1") return false;
    *flag = value == "1";
    return true;
}

}  // namespace

bool EntryOptions::IsDefault() const { return *this == EntryOptions{}; }

bool EntryOptions::operator==(const EntryOptions& other) const {
    return enabled == other.enabled && title == other.title && program == other.program &&
           dialogsOnly == other.dialogsOnly && kept == other.kept;
}

std::vector<std::string> RuleStrings(const EntryOptions& options) {
    std::vector<std::string> strings;
    if (!options.enabled) strings.push_back("enabled=0");
    if (options.title == TitleRule::kExact) strings.push_back("title=exact");
    if (options.title == TitleRule::kPrefix) strings.push_back("title=prefix");
    if (!options.program.empty()) strings.push_back("program=" + options.program);
    if (options.dialogsOnly) strings.push_back("dialogs=1");
    strings.insert(strings.end(), options.kept.begin(), options.kept.end());
    return strings;
}

EntryOptions ParseRuleStrings(const std::vector<std::string>& strings) {
    EntryOptions options;
    for (const std::string& text : strings) {
        const auto equals = text.find('=');
        if (equals == std::string::npos) continue;
        const std::string name = text.substr(0, equals), value = text.substr(equals + 1);
        if (SameWord(name, "enabled")) {
            ReadFlag(value, &options.enabled);
        } else if (SameWord(name, "dialogs")) {
            ReadFlag(value, &options.dialogsOnly);
        } else if (SameWord(name, "title")) {
            if (SameWord(value, "contains")) options.title = TitleRule::kContains;
            if (SameWord(value, "exact")) options.title = TitleRule::kExact;
            if (SameWord(value, "prefix")) options.title = TitleRule::kPrefix;
        } else if (SameWord(name, "program")) {
            options.program = value;
        } else {
            options.kept.push_back(text);
        }
    }
    return options;
}

std::string MultiSzData(const std::vector<std::string>& strings) {
    std::string data;
    for (const std::string& text : strings) {
        // A string cannot hold a NUL, nor be empty, in this form: either
        // would end the list early.
        const std::string cut = text.substr(0, text.find('\0'));
        if (cut.empty()) continue;
        data += cut;
        data += '\0';
    }
    data += '\0';
    return data;
}

std::vector<std::string> MultiSzStrings(const std::string& data) {
    std::vector<std::string> strings;
    std::size_t at = 0;
    while (at < data.size()) {
        const auto end = data.find('\0', at);
        std::string text = data.substr(at, end == std::string::npos ? std::string::npos : end - at);
        if (text.empty()) break;
        strings.push_back(std::move(text));
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return strings;
}

}  // namespace qw
