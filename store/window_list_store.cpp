#include "store/window_list_store.h"

#include <algorithm>
#include <unordered_set>
#include <vector>

#include "store/registry_access.h"

namespace qw {

const char kDataKeyPath[] = "Software\\Varn\\Quellwatch\\Data";
const char kOptionsKeyPath[] = "Software\\Varn\\Quellwatch\\Options";

namespace {

// A count can never legitimately exceed two full lists (a save stages the new
// list after the old one); a larger one is damage, and reading it whole would
// stall start-up on millions of missing values.
constexpr long kMaxStoredCount = 2L * EntryList::kMaxEntries;

long StoredCount(RegKeyReader& data) {
    auto text = data.Read("");
    if (!text) return 0;
    return std::clamp(LeadingNumber(*text), 0L, kMaxStoredCount);
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
    const long count = lv_.Count();
    long oldCount = 0;
    {
        RegKeyReader stored(registry_, kHkeyCurrentUser, kDataKeyPath);
        oldCount = std::min(StoredCount(stored), static_cast<long>(EntryList::kMaxEntries));
    }
    {
        // One handle for the whole save: thousands of entries are thousands of writes.
        RegKeyWriter data(registry_, kHkeyCurrentUser, kDataKeyPath);
        const auto writeEntries = [&](long firstIndex) {
            for (long i = 0; i < count; ++i) data.Write(EntryValueName(firstIndex + i), lv_.At(i), kRegSz);
        };
        if (oldCount > 0) {
            // Stage the new list beyond the old count, where loads do not look,
            // then show both; only then overwrite the old entries in place.
            writeEntries(oldCount);
            data.Write("", std::to_string(oldCount + count), kRegSz);
        }
        writeEntries(0);
        data.Write("", std::to_string(count), kRegSz);
        std::unordered_set<std::string> keep{""};
        for (long i = 0; i < count; ++i) keep.insert(EntryValueName(i));
        for (const std::string& name : data.ValueNames()) {
            if (!keep.count(name)) data.Delete(name);
        }
    }
    LoadWindowList();
}

void WindowListStore::LoadWindowList() {
    RegKeyReader data(registry_, kHkeyCurrentUser, kDataKeyPath);
    const long count = StoredCount(data);
    std::vector<std::string> entries;
    std::unordered_set<std::string> seen;
    for (long i = 0; i < count && entries.size() < static_cast<std::size_t>(EntryList::kMaxEntries); ++i) {
        // A missing or unreadable value is skipped; a stored text is kept
        // whatever it reads, "Error" included.
        auto entry = data.Read(EntryValueName(i));
        if (!entry || entry->empty()) continue;
        if (!seen.insert(lower_.Lower(*entry)).second) continue;
        entries.push_back(std::move(*entry));
    }
    lv_.Assign(std::move(entries));
    if (numWindows_) numWindows_->SetText(CountText(lv_.Count(), separator_));
}

}  // namespace qw
