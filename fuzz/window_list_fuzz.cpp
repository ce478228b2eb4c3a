// Fuzzes what the program reads from the registry key Data: whatever it holds,
// a load gives a clean list (non-empty entries of at most 254 characters, no
// repeats ignoring case, the count text to match), a save and reload keeps
// that list, and the matcher agrees with the literal rule on it.
//
// Input: lines. The first is the stored count text; each further line is the
// data of the next entry value " 0", " 1", ...; a line "=name=data" stores a
// value of any other name instead.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unordered_set>
#include <vector>

#include "engine/entry_matcher.h"
#include "platform/memory/memory_platform.h"
#include "platform/memory/memory_registry.h"
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qw;
    const std::vector<std::string> lines = Lines(data, size);
    if (lines.size() > 2000) return 0;

    MemoryRegistry reg;
    reg.PutString(kHkeyCurrentUser, kDataKeyPath, "", lines[0]);
    long next = 0;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const auto split = line.size() > 1 && line[0] == '=' ? line.find('=', 1) : std::string::npos;
        if (split != std::string::npos) {
            reg.PutString(kHkeyCurrentUser, kDataKeyPath, line.substr(1, split - 1), line.substr(split + 1));
        } else {
            reg.PutString(kHkeyCurrentUser, kDataKeyPath, EntryValueName(next++), line);
        }
    }

    const LowerTable lower = LowerTable::Windows1252();
    MemoryListBox box;
    EntryList lv(&box);
    MemoryText numWindows;
    WindowListStore store(reg, lv, &numWindows, lower, ",");
    store.LoadWindowList();

    std::unordered_set<std::string> seen;
    for (const std::string& entry : lv.Items()) {
        Check(!entry.empty() && entry.size() <= 254);
        Check(seen.insert(lower.Lower(entry)).second);
        Check(store.IsListedTitle(entry));
    }
    Check(box.items == lv.Items());
    Check(numWindows.text == CountText(lv.Count(), ","));

    const std::vector<std::string> loaded = lv.Items();
    store.SaveWindowList();
    Check(lv.Items() == loaded);
    Check(reg.GetString(kHkeyCurrentUser, kDataKeyPath, "").value_or("") == std::to_string(loaded.size()));
    Check(reg.ValueNames(kHkeyCurrentUser, kDataKeyPath).size() == loaded.size() + 1);

    EntryMatcher matcher;
    matcher.Build(loaded, lower);
    for (const std::string& line : lines) {
        Check(matcher.Matches(line) == LiteralMatchesListEntry(line, loaded, lower));
    }
    for (const std::string& entry : loaded) Check(matcher.Matches("[" + entry + "]"));
    return 0;
}
