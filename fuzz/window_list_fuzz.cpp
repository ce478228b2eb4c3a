// Fuzzes what the program reads from the registry keys Data and Rules:
// whatever they hold, a load gives a clean list (non-empty entries of at most
// 254 characters, no repeats ignoring case, the count text to match) that is
// exactly the readable values " 0" up to the stored count, first of each, each
// entry with the options its rule gives, a save and reload keeps that list
// and those options, Rules then holding exactly one rule per entry with any,
// and the matcher agrees with the literal rule on it.
//
// Input: lines. The first is the stored count text; each further line is the
// data of the next entry value " 0", " 1", ...; a line "=name=data" stores a
// value of any other name instead; a line "+name=data" stores a REG_MULTI_SZ
// value under Rules, "|" standing for NUL, and "-name=data" a REG_SZ one.
//
// Inputs of more than kMaxLines lines or a count above kMaxCount are skipped:
// every value read or written costs a scan of the key in the in-memory
// registry, so a damaged count (up to 65,534 reads) or thousands of values
// would slow each run a hundredfold and teach the fuzzer nothing the small
// ones do not. The unit tests load such counts.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <optional>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "engine/entry_matcher.h"
#include "platform/memory/memory_platform.h"
#include "platform/memory/memory_registry.h"
#include "store/entry_options.h"
#include "store/window_list_store.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

std::vector<std::string> Lines(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == '\n') {
            lines.emplace_back();
        } else {
            lines.back() += static_cast<char>(data[i]);
        }
    }
    return lines;
}

constexpr std::size_t kMaxLines = 64;
constexpr unsigned long kMaxCount = 96;

// The count a load takes from a count text: its leading whole number, 0 when
// negative; anything above kMaxCount as kMaxCount + 1.
unsigned long CountOf(const std::string& text) {
    std::size_t i = text.find_first_not_of(" \t");
    if (i == std::string::npos || text[i] == '-') return 0;
    if (text[i] == '+') ++i;
    unsigned long count = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        count = std::min(count * 10 + static_cast<unsigned long>(text[i] - '0'), kMaxCount + 1);
    }
    return count;
}

// What the registry keeps of a text: UTF-16, in which what is not UTF-8
// becomes U+FFFD.
std::string Kept(const std::string& text) { return qw::utf8::FromUtf16(qw::utf8::ToUtf16(text)); }

// What a read through the buffer of 255 characters gives: the text before the
// first NUL, nothing when the data does not fit with a terminator.
std::optional<std::string> Readable(const std::string& data) {
    const std::string kept = Kept(data);
    if (qw::utf8::Utf16Units(kept) > 255) return std::nullopt;
    std::string text = kept.substr(0, kept.find('\0'));
    if (qw::utf8::Utf16Units(text) >= 255) return std::nullopt;
    return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qw;
    const std::vector<std::string> lines = Lines(data, size);
    if (lines.size() > kMaxLines) return 0;

    std::vector<std::pair<std::string, std::string>> values{{"", lines[0]}};
    struct Rule {
        std::string name, data;
        bool multi;
    };
    std::vector<Rule> rules;
    long next = 0;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const bool other = line.size() > 1 && (line[0] == '=' || line[0] == '+' || line[0] == '-');
        const auto split = other ? line.find('=', 1) : std::string::npos;
        if (split == std::string::npos) {
            values.emplace_back(EntryValueName(next++), line);
        } else if (line[0] == '=') {
            values.emplace_back(line.substr(1, split - 1), line.substr(split + 1));
        } else {
            std::string data = line.substr(split + 1);
            std::replace(data.begin(), data.end(), '|', '\0');
            rules.push_back({line.substr(1, split - 1), data, line[0] == '+'});
        }
    }
    MemoryRegistry reg;
    for (const Rule& rule : rules) {
        const std::string kept = Kept(rule.data);
        if (!rule.multi) {
            reg.PutString(kHkeyCurrentUser, kRulesKeyPath, rule.name, rule.data);
            continue;
        }
        std::vector<std::uint8_t> stored;  // UTF-16, as the registry keeps text
        for (char16_t unit : utf8::ToUtf16(kept))
            stored.insert(stored.end(), {static_cast<std::uint8_t>(unit), static_cast<std::uint8_t>(unit >> 8)});
        reg.PutValue(kHkeyCurrentUser, kRulesKeyPath, rule.name, kRegMultiSz, stored);
    }
    for (const auto& [name, text] : values) {
        // "==text" replaces the count, so each count text is bounded.
        if (name.empty() && CountOf(text) > kMaxCount) return 0;
        reg.PutString(kHkeyCurrentUser, kDataKeyPath, name, text);
    }

    const CaseFolding lower = CaseFolding::Common();
    // The load literally: the last data stored under each name (names are
    // case-blind), entries " 0" up to the count, unreadable or empty ones and
    // repeats skipped.
    std::map<std::string, std::string> stored;
    for (const auto& [name, text] : values) stored[lower.Lower(Kept(name))] = text;
    const auto countText = Readable(stored[""]);
    const unsigned long count = countText ? CountOf(*countText) : 0;
    std::vector<std::string> expected;
    std::unordered_set<std::string> folded;
    for (unsigned long i = 0; i < count; ++i) {
        const auto it = stored.find(lower.Lower(EntryValueName(static_cast<long>(i))));
        const auto entry = it == stored.end() ? std::nullopt : Readable(it->second);
        if (entry && !entry->empty() && folded.insert(lower.Lower(*entry)).second) expected.push_back(*entry);
    }

    MemoryListBox box;
    EntryList lv(&box);
    MemoryText numWindows;
    WindowListStore store(reg, lv, &numWindows, lower, ",");
    store.LoadWindowList();

    std::unordered_set<std::string> seen;
    for (const std::string& entry : lv.Items()) {
        Check(!entry.empty() && utf8::Utf16Units(entry) <= 254 && utf8::IsValid(entry));
        Check(seen.insert(lower.Lower(entry)).second);
        Check(store.IsListedTitle(entry));
    }
    Check(lv.Items() == expected);
    Check(box.items == lv.Items());
    Check(numWindows.text == CountText(lv.Count(), ","));
    // Each entry's options literally: the last rule stored under its name, of
    // REG_MULTI_SZ, its strings up to the first empty one.
    std::map<std::string, const Rule*> byName;
    for (const Rule& rule : rules) byName[lower.Lower(Kept(rule.name))] = &rule;
    std::vector<EntryOptions> options;
    int withOptions = 0;
    for (const std::string& entry : expected) {
        const auto it = byName.find(lower.Lower(entry));
        const bool rule = it != byName.end() && it->second->multi && Kept(it->second->data).size() <= 16 * 1024;
        options.push_back(rule ? ParseRuleStrings(MultiSzStrings(Kept(it->second->data))) : EntryOptions{});
        withOptions += options.back().IsDefault() ? 0 : 1;
    }
    for (int i = 0; i < lv.Count(); ++i) Check(lv.OptionsAt(i) == options[static_cast<std::size_t>(i)]);

    const std::vector<std::string> loaded = lv.Items();
    store.SaveWindowList();
    Check(lv.Items() == loaded);
    for (int i = 0; i < lv.Count(); ++i) Check(lv.OptionsAt(i) == options[static_cast<std::size_t>(i)]);
    Check(reg.GetString(kHkeyCurrentUser, kDataKeyPath, "").value_or("") == std::to_string(loaded.size()));
    Check(reg.ValueNames(kHkeyCurrentUser, kDataKeyPath).size() == loaded.size() + 1);
    int multi = 0;  // values of other types are no rules, and are left alone
    for (const std::string& name : reg.ValueNames(kHkeyCurrentUser, kRulesKeyPath))
        multi += reg.GetValue(kHkeyCurrentUser, kRulesKeyPath, name)->type == kRegMultiSz ? 1 : 0;
    Check(multi == withOptions);

    EntryMatcher matcher;
    matcher.Build(loaded, lower);
    for (const std::string& line : lines) {
        Check(matcher.Matches(line) == LiteralMatchesListEntry(line, loaded, lower));
    }
    for (const std::string& entry : loaded) Check(matcher.Matches("[" + entry + "]"));
    return 0;
}
