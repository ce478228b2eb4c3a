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

long StoredCount(RegistryApi& registry) {
    auto text = RegTryReadString(registry, kHkeyCurrentUser, kDataKeyPath, "");
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

void WindowListStore::WriteEntries(long firstIndex) {
    const auto& items = lv_.Items();
    for (std::size_t i = 0; i < items.size(); ++i) {
        RegWriteString(registry_, kHkeyCurrentUser, kDataKeyPath,
                       EntryValueName(firstIndex + static_cast<long>(i)), items[i], kRegSz);
    }
}

void WindowListStore::WriteCount(long count) {
    RegWriteString(registry_, kHkeyCurrentUser, kDataKeyPath, "", std::to_string(count), kRegSz);
}

void WindowListStore::DeleteValuesBeyond(long count) {
    RegKey key = 0;
    if (registry_.OpenKeyEx(kHkeyCurrentUser, kDataKeyPath, kKeyQueryValue, &key) != kErrorSuccess) return;
    std::unordered_set<std::string> keep{""};
    for (long i = 0; i < count; ++i) keep.insert(EntryValueName(i));
    std::vector<std::string> doomed;
    std::string name;
    for (std::uint32_t index = 0; registry_.EnumValueName(key, index, &name) == kErrorSuccess; ++index) {
        if (!keep.count(name)) doomed.push_back(name);
    }
    registry_.CloseKey(key);
    for (const std::string& value : doomed) RegDeleteValue(registry_, kHkeyCurrentUser, kDataKeyPath, value);
}

void WindowListStore::SaveWindowList() {
    const long count = lv_.Count();
    const long oldCount = std::min(StoredCount(registry_), static_cast<long>(EntryList::kMaxEntries));
    if (oldCount > 0) {
        // Stage the new list beyond the old count, where loads do not look,
        // then show both; only then overwrite the old entries in place.
        WriteEntries(oldCount);
        WriteCount(oldCount + count);
    }
    WriteEntries(0);
    WriteCount(count);
    DeleteValuesBeyond(count);
    LoadWindowList();
}

void WindowListStore::LoadWindowList() {
    lv_.Clear();
    const long count = StoredCount(registry_);
    std::unordered_set<std::string> seen;
    for (long i = 0; i < count && lv_.Count() < EntryList::kMaxEntries; ++i) {
        // A missing or unreadable value is skipped; a stored text is kept
        // whatever it reads, "Error" included.
        auto entry = RegTryReadString(registry_, kHkeyCurrentUser, kDataKeyPath, EntryValueName(i));
        if (!entry || entry->empty()) continue;
        if (!seen.insert(lower_.Lower(*entry)).second) continue;
        lv_.Add(*entry);
    }
    if (numWindows_) numWindows_->SetText(CountText(lv_.Count(), separator_));
}

}  // namespace qw
