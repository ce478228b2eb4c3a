#include "store/entry_options.h"

#include <algorithm>

#include "store/registry_access.h"
#include "store/window_list_store.h"

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

// Milliseconds in decimal digits; more than the longest wait waits that long.
bool ReadDelay(const std::string& value, int* delay) {
    if (value.empty() || value.size() > 9 || value.find_first_not_of("0123456789") != std::string::npos) return false;
    *delay = std::min(std::stoi(value), EntryOptions::kMaxDelay);
    return true;
}

}  // namespace

bool EntryOptions::IsDefault() const { return *this == EntryOptions{}; }

bool EntryOptions::operator==(const EntryOptions& other) const {
    return enabled == other.enabled && title == other.title && program == other.program &&
           dialogsOnly == other.dialogsOnly && action == other.action && button == other.button &&
           delay == other.delay && kept == other.kept;
}

// The words of "action=", in EntryAction's order: one table to write and read.
const char* const kActionWords[] = {"close", "press", "minimize", "end", "record"};

std::vector<std::string> RuleStrings(const EntryOptions& options) {
    std::vector<std::string> strings;
    if (!options.enabled) strings.push_back("enabled=0");
    if (options.title == TitleRule::kExact) strings.push_back("title=exact");
    if (options.title == TitleRule::kPrefix) strings.push_back("title=prefix");
    if (!options.program.empty()) strings.push_back("program=" + options.program);
    if (options.dialogsOnly) strings.push_back("dialogs=1");
    if (options.action != EntryAction::kClose)
        strings.push_back(std::string("action=") + kActionWords[static_cast<int>(options.action)]);
    if (!options.button.empty()) strings.push_back("button=" + options.button);
    if (options.delay > 0) strings.push_back("delay=" + std::to_string(options.delay));
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
        } else if (SameWord(name, "action")) {
            for (int action = 0; action <= static_cast<int>(EntryAction::kRecord); ++action) {
                if (SameWord(value, kActionWords[action])) options.action = static_cast<EntryAction>(action);
            }
        } else if (SameWord(name, "button")) {
            options.button = value;
        } else if (SameWord(name, "delay")) {
            ReadDelay(value, &options.delay);
        } else {
            options.kept.push_back(text);
        }
    }
    return options;
}

namespace {
// Blanks around a name are no part of a file name.
std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The registry's own comparison of names is enough for file names, which
// Windows compares without regard to case.
bool SameName(const std::string& a, const std::string& b) { return a.size() == b.size() && SameWord(a, b.c_str()); }

constexpr std::uint32_t kMaxNeverCloseBytes = 64 * 1024;
}  // namespace

std::vector<std::string> CleanProgramNames(const std::vector<std::string>& names) {
    std::vector<std::string> clean;
    for (const std::string& name : names) {
        std::string trimmed = Trimmed(name);
        if (trimmed.empty()) continue;
        bool repeat = false;
        for (const std::string& kept : clean) repeat = repeat || SameName(kept, trimmed);
        if (!repeat) clean.push_back(std::move(trimmed));
    }
    return clean;
}

std::optional<std::vector<std::string>> ReadNeverClose(RegistryApi& registry) {
    RegKeyReader key(registry, kHkeyCurrentUser, kProgramKeyPath);
    std::uint32_t type = 0;
    std::string data;
    switch (key.TryReadData(kNeverCloseValue, &type, &data, kMaxNeverCloseBytes)) {
    case ReadStatus::kFailed: return std::nullopt;
    case ReadStatus::kRead: break;
    default: return std::vector<std::string>{};
    }
    if (type != kRegMultiSz) return std::vector<std::string>{};
    return CleanProgramNames(MultiSzStrings(data));
}

bool WriteNeverClose(RegistryApi& registry, const std::vector<std::string>& programs) {
    return RegTryWriteString(registry, kHkeyCurrentUser, kProgramKeyPath, kNeverCloseValue,
                             MultiSzData(CleanProgramNames(programs)), kRegMultiSz);
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
