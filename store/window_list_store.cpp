#include "store/window_list_store.h"

#include <algorithm>
#include <optional>
#include <unordered_set>
#include <vector>

#include "store/entry_options.h"
#include "store/registry_access.h"

namespace qw {

const char kDataKeyPath[] = "Software\\Varn\\Quellwatch\\Data";
const char kOptionsKeyPath[] = "Software\\Varn\\Quellwatch\\Options";
const char kProgramKeyPath[] = "Software\\Varn\\Quellwatch";
const char kDataStampValue[] = "Data Stamp";

namespace {

// A count can never legitimately exceed two full lists; a larger one is
// damage, and reading it whole would stall start-up on missing values.
constexpr long kMaxStoredCount = 2L * EntryList::kMaxEntries;
// Names the list a save is replacing the old one with: "<first> <count>
// <kept>" (see Span). Absent at rest, so the stored layout is exactly the
// count and " 0" to " N-1"; present, it names the list to load.
const char kStagedValue[] = "Staged";

long CountOf(const std::string& text) { return std::clamp(LeadingNumber(text), 0L, kMaxStoredCount); }

// Where the list to load is: `kept` entries from " 0", then `count` from `first`.
struct Span {
    long first = 0, count = 0;
    long kept = 0;
    long End() const { return first + count; }
};

// "<first> <count>", or "<first> <count> <kept>" when the save kept the
// entries it shares with the old list in place.
std::optional<Span> SpanOf(const std::string& text) {
    Span span;
    std::size_t at = 0;
    long* const fields[] = {&span.first, &span.count, &span.kept};
    int read = 0;
    for (long* field : fields) {
        if (at >= text.size()) break;
        const auto blank = text.find(' ', at);
        *field = LeadingNumber(text.substr(at, blank == std::string::npos ? std::string::npos : blank - at));
        ++read;
        at = blank == std::string::npos ? text.size() : blank + 1;
    }
    if (read < 2 || span.first < 0 || span.count < 0 || span.kept < 0 ||
        span.count + span.kept > EntryList::kMaxEntries || span.first > 4 * kMaxStoredCount)
        return std::nullopt;
    return span;
}

// The count and the staged list as stored; false when the registry would not
// say. A value that is absent or damaged is an answer; a refused read is not.
bool ReadLayout(RegKeyReader& data, long* count, std::optional<Span>* staged) {
    std::string countText, stagedText;
    const ReadStatus countRead = data.TryRead("", &countText);
    const ReadStatus stagedRead = data.TryRead(kStagedValue, &stagedText);
    *count = countRead == ReadStatus::kRead ? CountOf(countText) : 0;
    *staged = stagedRead == ReadStatus::kRead ? SpanOf(stagedText) : std::nullopt;
    return countRead != ReadStatus::kFailed && stagedRead != ReadStatus::kFailed;
}

// A rule of more than this is no rule of ours: it is left unread.
constexpr std::uint32_t kMaxRuleBytes = 16 * 1024;

// The Rules key's values of REG_MULTI_SZ, by the folded name: the name as
// stored and its strings.
using StoredRules = std::unordered_map<std::string, std::pair<std::string, std::vector<std::string>>>;

// False when the registry refused; a key that is not there holds no rules.
bool ReadRules(RegistryApi& registry, const CaseFolding& lower, StoredRules* rules, long* error) {
    RegKeyReader key(registry, kHkeyCurrentUser, kRulesKeyPath);
    std::vector<std::string> names;
    if (!key.ValueNames(&names)) {
        *error = key.Error();
        return false;
    }
    for (const std::string& name : names) {
        std::uint32_t type = 0;
        std::string data;
        const ReadStatus status = key.TryReadData(name, &type, &data, kMaxRuleBytes);
        if (status == ReadStatus::kFailed) {
            *error = key.Error();
            return false;
        }
        // A value of another type is no rule; one gone meanwhile is none either.
        if (status == ReadStatus::kRead && type == kRegMultiSz)
            (*rules)[lower.Lower(name)] = {name, MultiSzStrings(data)};
    }
    return true;
}

}  // namespace

std::string EntryValueName(long index) { return " " + std::to_string(index); }

std::string RegistryRefusalText(long error) {
    switch (error) {
    case kErrorAccessDenied: return "the registry denied access to it.";
    case kErrorKeyDeleted: return "its registry key was deleted meanwhile.";
    case kErrorNotEnoughMemory:
    case kErrorOutOfMemory:
    case kErrorNoSystemResources: return "Windows is short of memory or system resources.";
    case kErrorBadDb:
    case kErrorRegistryCorrupt:
    case kErrorRegistryIoFailed: return "the registry could not be read or written.";
    }
    return "the registry refused it (error " + std::to_string(error) + ").";
}

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

bool AppendNewEntries(EntryList& lv, const std::vector<std::string>& entries, const CaseFolding& lower,
                      const std::vector<EntryOptions>& options) {
    // One lookup per entry instead of a pass over `lv`: a full list would
    // otherwise take a billion comparisons. Lowered texts are equal exactly
    // when CaseFolding::EqualNoCase says so.
    std::unordered_set<std::string> listed;
    listed.reserve(lv.Items().size() + entries.size());
    for (const std::string& entry : lv.Items()) listed.insert(lower.Lower(entry));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::string key = lower.Lower(entries[i]);
        if (listed.count(key)) continue;
        if (!lv.Add(entries[i], i < options.size() ? options[i] : EntryOptions{})) return false;
        listed.insert(std::move(key));
    }
    return true;
}

bool WindowListStore::Locked(bool saving, const std::function<void()>& work) {
    for (;;) {
        {
            ListLockGuard guard(lock_);
            if (guard.Held()) {
                work();
                return true;
            }
        }
        if (!whenBusy_ || !whenBusy_(saving)) return false;
    }
}

std::optional<std::string> WindowListStore::ReadStamp() {
    RegKeyReader key(registry_, kHkeyCurrentUser, kProgramKeyPath);
    std::string stamp;
    if (key.TryRead(kDataStampValue, &stamp) == ReadStatus::kFailed) {
        error_ = key.Error();
        return std::nullopt;
    }
    return stamp;  // empty where no copy ever saved
}

SaveOutcome WindowListStore::SaveWindowList(ListChange change) {
    if (change.kind != ListChange::Kind::kNone) pending_.push_back(std::move(change));
    SaveOutcome outcome;
    const bool unread = unread_;
    const bool locked = Locked(true, [&] {
        const auto refused = [&](long error) { outcome.error = error; };
        const std::optional<std::string> stored = ReadStamp();
        // Without the stamp no other copy could tell that this one saved.
        if (!stored) return refused(error_);
        if (stamp_ != *stored) {
            // Another copy saved since this one last loaded or saved, or this
            // one never read the list whole: the stored list is the one to change.
            if (!Load()) return refused(error_);
            for (const ListChange& made : pending_) outcome.listFull = !Apply(made) || outcome.listFull;
        }
        // Raised before the list is written, so that a save cut short still
        // tells the other copies to look again.
        const std::string next = std::to_string(std::max(LeadingNumber(*stored), 0L) % 1000000000L + 1);
        RegKeyWriter program(registry_, kHkeyCurrentUser, kProgramKeyPath);
        if (!program.Write(kDataStampValue, next, kRegSz)) return refused(program.Error());
        stamp_ = next;
        // Refused before the new list took over: the old one is stored, and
        // `lv` and the waiting changes keep the new one for the next save.
        if (!StoreList()) return refused(error_);
        pending_.clear();
        // A reload refused leaves `lv` as just stored, which the stamp still
        // stands for.
        Load();
    });
    outcome.saved = locked && outcome.error == kErrorSuccess;
    Tell(unread, outcome.error);
    return outcome;
}

void WindowListStore::LoadWindowList() {
    const bool unread = unread_;
    Locked(false, [&] {
        // Either read refused leaves the stamp unknown: the next save reloads first.
        stamp_ = ReadStamp();
        if (!Load()) return stamp_.reset();
        for (const ListChange& made : pending_) Apply(made);
    });
    Tell(unread, kErrorSuccess);
}

// Outside the lock: the user's answer must never hold the other copies.
void WindowListStore::Tell(bool unreadBefore, long saveError) {
    if (!whenRefused_) return;
    if (saveError != kErrorSuccess) {
        whenRefused_(true, saveError);
    } else if (unread_) {
        whenRefused_(false, error_);
    } else if (unreadBefore) {
        whenRefused_(false, kErrorSuccess);
    }
}

int WindowListStore::Find(const std::string& text) const {
    for (int i = 0; i < lv_.Count(); ++i) {
        if (lv_.At(i) == text) return i;
    }
    for (int i = 0; i < lv_.Count(); ++i) {
        if (lower_.EqualNoCase(lv_.At(i), text)) return i;
    }
    return -1;
}

bool WindowListStore::Apply(const ListChange& change) {
    switch (change.kind) {
    case ListChange::Kind::kNone: break;
    case ListChange::Kind::kAdd:
        // An entry the other copy added meanwhile keeps its own options.
        return IsListedTitle(change.text) || lv_.Add(change.text, change.options.value_or(EntryOptions{}));
    case ListChange::Kind::kEdit:
    case ListChange::Kind::kRemove:
    case ListChange::Kind::kOptions: {
        // An entry the other copy removed meanwhile stays removed.
        const int index = Find(change.text);
        if (index < 0) break;
        if (change.kind == ListChange::Kind::kRemove) {
            lv_.RemoveAt(index);
            break;
        }
        if (change.kind == ListChange::Kind::kEdit) lv_.SetAt(index, change.replacement);
        if (change.options) lv_.SetOptions(index, *change.options);
        break;
    }
    case ListChange::Kind::kMerge: return AppendNewEntries(lv_, change.entries, lower_, change.entryOptions);
    }
    return true;
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
bool WindowListStore::StoreList() {
    const long count = lv_.Count();
    long oldCount = 0, kept = 0;
    std::optional<Span> staged;
    {
        RegKeyReader stored(registry_, kHkeyCurrentUser, kDataKeyPath);
        // A read the registry refused could hide a staged list or a longer
        // old one: writing on a guess could mix the old list and the new.
        if (!ReadLayout(stored, &oldCount, &staged)) return Refused(stored.Error());
        // The entries the old list shares with the new from the start stay
        // where they are: adding, removing or editing near the end of a long
        // list writes little. Not after an unfinished save, whose list is
        // elsewhere.
        if (!staged) {
            while (kept < std::min(oldCount, count) && stored.Read(EntryValueName(kept)) == lv_.At(kept)) ++kept;
        }
    }

    // An entry's options are written before the entry appears and removed
    // after it is gone, so that whatever moment a save stops at, every
    // entry has its old options or its new ones, never none that had some.
    StoredRules rules;
    long error = 0;
    if (!ReadRules(registry_, lower_, &rules, &error)) return Refused(error);
    std::unordered_set<std::string> withOptions;
    if (lv_.AnyOptions() || !rules.empty()) {
        RegKeyWriter ruleKey(registry_, kHkeyCurrentUser, kRulesKeyPath);
        for (long i = 0; i < count; ++i) {
            if (lv_.OptionsAt(i).IsDefault()) continue;
            const std::vector<std::string> strings = RuleStrings(lv_.OptionsAt(i));
            std::string folded = lower_.Lower(lv_.At(i));
            const auto stored = rules.find(folded);
            withOptions.insert(std::move(folded));
            if (stored != rules.end() && stored->second.second == strings) continue;
            if (!ruleKey.Write(lv_.At(i), MultiSzData(strings), kRegMultiSz)) return Refused(ruleKey.Error());
        }
    }
    // Once the new list took over: the rules of entries that are gone or lost their options.
    const auto tidyRules = [&] {
        RegKeyWriter ruleKey(registry_, kHkeyCurrentUser, kRulesKeyPath);
        for (const auto& [folded, rule] : rules) {
            if (!withOptions.count(folded)) ruleKey.Delete(rule.first);
        }
    };

    // One handle for the whole save: thousands of entries are thousands of writes.
    RegKeyWriter data(registry_, kHkeyCurrentUser, kDataKeyPath);
    Span next{std::max(oldCount, count), count - kept, kept};
    if (!staged && (kept == count || kept == oldCount)) {
        // The new list is the old one cut short, or the old one with entries
        // added beyond the count where no load looks: the count switches.
        for (long i = kept; i < count; ++i) {
            if (!data.Write(EntryValueName(i), lv_.At(i), kRegSz)) return Refused(data.Error());
        }
        if (!data.Write("", std::to_string(count), kRegSz)) return Refused(data.Error());
        next.count = 0;
        tidyRules();
    } else {
        // The list an earlier, unfinished save staged is what loads show until
        // the new marker replaces it: stage beside it, never over it.
        if (staged && next.first < staged->End() && staged->first < next.End()) next.first = staged->End();
        for (long i = kept; i < count; ++i) {
            if (!data.Write(EntryValueName(next.first + i - kept), lv_.At(i), kRegSz)) return Refused(data.Error());
        }
        const std::string marker =
            std::to_string(next.first) + " " + std::to_string(next.count) + " " + std::to_string(kept);
        if (!data.Write(kStagedValue, marker, kRegSz)) return Refused(data.Error());
        // From here on every load takes the new list: what is left is tidying,
        // which the next save finishes where this one stops.
        tidyRules();
        for (long i = kept; i < count; ++i) {
            if (!data.Write(EntryValueName(i), lv_.At(i), kRegSz)) return true;
        }
        if (!data.Write("", std::to_string(count), kRegSz) || !data.Delete(kStagedValue)) return true;
    }
    // The leftovers: this save's staged values, the old list's tail and an
    // earlier save's staged values, by name; the registry enumerates slowly
    // (seconds for a full list under Wine).
    const auto leftovers = [&](long first, long end) {
        for (long i = std::max(first, count); i < end; ++i) data.Delete(EntryValueName(i));
    };
    leftovers(next.first, next.End());
    leftovers(count, oldCount);
    if (staged) leftovers(staged->first, staged->End());
    // Anything else (values a damaged key holds) shows as more values than
    // the count and its entries: only then are all the names read.
    std::string extra;
    if (registry_.EnumValueName(data.Key(), static_cast<std::uint32_t>(count) + 1, &extra) != kErrorSuccess) return true;
    std::unordered_set<std::string> keep{""};
    for (long i = 0; i < count; ++i) keep.insert(EntryValueName(i));
    for (const std::string& name : data.ValueNames()) {
        if (!keep.count(name) && !data.Delete(name)) break;
    }
    return true;
}

bool WindowListStore::Refused(long error) {
    error_ = error;
    return false;
}

bool WindowListStore::Unread(long error) {
    unread_ = true;
    return Refused(error);
}

bool WindowListStore::Load() {
    RegKeyReader data(registry_, kHkeyCurrentUser, kDataKeyPath);
    // A save cut short leaves its new list staged and named: that list counts.
    long count = 0;
    std::optional<Span> staged;
    if (!ReadLayout(data, &count, &staged)) return Unread(data.Error());
    const Span span = staged ? *staged : Span{0, count};
    std::vector<std::string> entries;
    std::unordered_set<std::string> seen;
    const auto read = [&](long first, long end) {
        for (long i = first; i < end && entries.size() < static_cast<std::size_t>(EntryList::kMaxEntries); ++i) {
            // A missing or unreadable value is skipped; a stored text is kept
            // whatever it reads, "Error" included. A refused read is no
            // answer: the list read short would stand for the stored one.
            std::string entry;
            const ReadStatus status = data.TryRead(EntryValueName(i), &entry);
            if (status == ReadStatus::kFailed) return false;
            if (status != ReadStatus::kRead || entry.empty()) continue;
            if (!seen.insert(lower_.Lower(entry)).second) continue;
            entries.push_back(std::move(entry));
        }
        return true;
    };
    if (!read(0, span.kept) || !read(span.first, span.End())) return Unread(data.Error());
    // Each entry's options, where its rule names it; a rule whose entry is
    // gone is left out.
    StoredRules rules;
    long error = 0;
    if (!ReadRules(registry_, lower_, &rules, &error)) return Unread(error);
    std::vector<EntryOptions> options;
    if (!rules.empty()) {
        options.reserve(entries.size());
        for (const std::string& entry : entries) {
            const auto rule = rules.find(lower_.Lower(entry));
            options.push_back(rule == rules.end() ? EntryOptions{} : ParseRuleStrings(rule->second.second));
        }
    }
    unread_ = false;
    lv_.Assign(std::move(entries), std::move(options));
    if (numWindows_) numWindows_->SetText(CountText(lv_.Count(), separator_));
    return true;
}

}  // namespace qw
