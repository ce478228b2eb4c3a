#include "store/window_list_store.h"

#include <algorithm>
#include <optional>
#include <unordered_set>
#include <vector>

#include "store/registry_access.h"

namespace qw {

const char kDataKeyPath[] = "Software\\Varn\\Quellwatch\\Data";
const char kOptionsKeyPath[] = "Software\\Varn\\Quellwatch\\Options";

namespace {

// A count can never legitimately exceed two full lists; a larger one is
// damage, and reading it whole would stall start-up on missing values.
constexpr long kMaxStoredCount = 2L * EntryList::kMaxEntries;
// Names the list a save is replacing the old one with: "<first> <count>
// <kept>" (see Span). Absent at rest, so the stored layout is exactly the
// count and " 0" to " N-1"; present, it names the list to load.
const char kStagedValue[] = "Staged";

long StoredCount(RegKeyReader& data) {
    auto text = data.Read("");
    if (!text) return 0;
    return std::clamp(LeadingNumber(*text), 0L, kMaxStoredCount);
}

// Where the list to load is: `kept` entries from " 0", then `count` from `first`.
struct Span {
    long first = 0, count = 0;
    long kept = 0;
    long End() const { return first + count; }
};

std::optional<Span> StagedSpan(RegKeyReader& data) {
    auto text = data.Read(kStagedValue);
    if (!text) return std::nullopt;
    // "<first> <count>", or "<first> <count> <kept>" when the save kept the
    // entries it shares with the old list in place.
    Span span;
    std::size_t at = 0;
    long* const fields[] = {&span.first, &span.count, &span.kept};
    int read = 0;
    for (long* field : fields) {
        if (at >= text->size()) break;
        const auto blank = text->find(' ', at);
        *field = LeadingNumber(text->substr(at, blank == std::string::npos ? std::string::npos : blank - at));
        ++read;
        at = blank == std::string::npos ? text->size() : blank + 1;
    }
    if (read < 2 || span.first < 0 || span.count < 0 || span.kept < 0 ||
        span.count + span.kept > EntryList::kMaxEntries || span.first > 4 * kMaxStoredCount)
        return std::nullopt;
    return span;
}

}  // namespace

std::string EntryValueName(long index) { return " " + std::to_string(index); }

std::string CountText(int count, const std::string& separator) {
    if (count == 1) return "Quellwatch is currently scanning for 1 window.";
    std::string digits = std::to_string(count);
    std::string grouped;
    const int n = static_cast<int>(digits.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) grouped += separator;
        grouped += digits[static_cast<std::size_t>(i)];
    }
    return "Quellwatch is currently scanning for " + grouped + " windows.";
}

bool WindowListStore::IsListedTitle(const std::string& text) const {
    for (const std::string& entry : lv_.Items()) {
        if (lower_.EqualNoCase(text, entry)) return true;
    }
    return false;
}

void WindowListStore::SaveWindowList() {
    // Another copy of the program (an import through the shell) may be saving.
    ListLockGuard guard(lock_);
    StoreList();
    LoadWindowList();
}

// Every registry write can fail or be the last before a crash. At every
// moment the key loads as exactly the old list or exactly the new one:
//   1. the new list is written where no load looks, beyond the old list and
//      beyond any earlier staged list;
//   2. one write of "Staged" switches every load over to it;
//   3. the entries are overwritten in place and the count set;
//   4. one delete of "Staged" switches loads back to the count, now the new
//      list's; the leftovers go.
// A write that fails ends the save where it stands, as a crash would.
void WindowListStore::StoreList() {
    const long count = lv_.Count();
    long oldCount = 0, kept = 0;
    std::optional<Span> staged;
    {
        RegKeyReader stored(registry_, kHkeyCurrentUser, kDataKeyPath);
        oldCount = StoredCount(stored);
        staged = StagedSpan(stored);
        // The entries the old list shares with the new from the start stay
        // where they are: adding, removing or editing near the end of a long
        // list writes little. Not after an unfinished save, whose list is
        // elsewhere.
        if (!staged) {
            while (kept < std::min(oldCount, count) && stored.Read(EntryValueName(kept)) == lv_.At(kept)) ++kept;
        }
    }

    // One handle for the whole save: thousands of entries are thousands of writes.
    RegKeyWriter data(registry_, kHkeyCurrentUser, kDataKeyPath);
    Span next{std::max(oldCount, count), count - kept, kept};
    if (!staged && (kept == count || kept == oldCount)) {
        // The new list is the old one cut short, or the old one with entries
        // added beyond the count where no load looks: the count switches.
        for (long i = kept; i < count; ++i) {
            if (!data.Write(EntryValueName(i), lv_.At(i), kRegSz)) return;
        }
        if (!data.Write("", std::to_string(count), kRegSz)) return;
        next.count = 0;
    } else {
        // The list an earlier, unfinished save staged is what loads show until
        // the new marker replaces it: stage beside it, never over it.
        if (staged && next.first < staged->End() && staged->first < next.End()) next.first = staged->End();
        for (long i = kept; i < count; ++i) {
            if (!data.Write(EntryValueName(next.first + i - kept), lv_.At(i), kRegSz)) return;
        }
        const std::string marker =
            std::to_string(next.first) + " " + std::to_string(next.count) + " " + std::to_string(kept);
        if (!data.Write(kStagedValue, marker, kRegSz)) return;
        for (long i = kept; i < count; ++i) {
            if (!data.Write(EntryValueName(i), lv_.At(i), kRegSz)) return;
        }
        if (!data.Write("", std::to_string(count), kRegSz)) return;
        if (!data.Delete(kStagedValue)) return;
    }
    // The leftovers: this save's staged values, the old list's tail and an
    // earlier save's staged values, by name; the registry enumerates slowly
    // (seconds for a full list under Wine).
    if (staged && !data.Delete(kStagedValue)) return;
    const auto leftovers = [&](long first, long end) {
        for (long i = std::max(first, count); i < end; ++i) data.Delete(EntryValueName(i));
    };
    leftovers(next.first, next.End());
    leftovers(count, oldCount);
    if (staged) leftovers(staged->first, staged->End());
    // Anything else (values a damaged key holds) shows as more values than
    // the count and its entries: only then are all the names read.
    std::string extra;
    if (registry_.EnumValueName(data.Key(), static_cast<std::uint32_t>(count) + 1, &extra) != kErrorSuccess) return;
    std::unordered_set<std::string> keep{""};
    for (long i = 0; i < count; ++i) keep.insert(EntryValueName(i));
    for (const std::string& name : data.ValueNames()) {
        if (!keep.count(name) && !data.Delete(name)) return;
    }
}

void WindowListStore::LoadWindowList() {
    RegKeyReader data(registry_, kHkeyCurrentUser, kDataKeyPath);
    // A save cut short leaves its new list staged and named: that list counts.
    const std::optional<Span> staged = StagedSpan(data);
    const Span span = staged ? *staged : Span{0, StoredCount(data)};
    std::vector<std::string> entries;
    std::unordered_set<std::string> seen;
    const auto read = [&](long first, long end) {
        for (long i = first; i < end && entries.size() < static_cast<std::size_t>(EntryList::kMaxEntries); ++i) {
            // A missing or unreadable value is skipped; a stored text is kept
            // whatever it reads, "Error" included.
            auto entry = data.Read(EntryValueName(i));
            if (!entry || entry->empty()) continue;
            if (!seen.insert(lower_.Lower(*entry)).second) continue;
            entries.push_back(std::move(*entry));
        }
    };
    read(0, span.kept);
    read(span.first, span.End());
    lv_.Assign(std::move(entries));
    if (numWindows_) numWindows_->SetText(CountText(lv_.Count(), separator_));
}

}  // namespace qw
