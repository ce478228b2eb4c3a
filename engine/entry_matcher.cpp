#include "engine/entry_matcher.h"

#include <algorithm>
#include <deque>
#include <utility>

namespace qw {

void EntryMatcher::Build(const std::vector<std::string>& entries, const CaseFolding& folding) {
    folding_ = &folding;
    // Lower-cased UTF-8: a match found byte by byte begins and ends on whole
    // characters, since no character's bytes occur inside another's.
    std::vector<std::string> patterns;
    patterns.reserve(entries.size());
    for (const std::string& entry : entries) patterns.push_back(folding.Lower(entry));
    // Inserted in sorted order; each pattern keeps its place in the list.
    std::vector<std::uint32_t> order(patterns.size());
    for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        return std::lexicographical_compare(patterns[a].begin(), patterns[a].end(), patterns[b].begin(),
                                            patterns[b].end(), [](char x, char y) {
                                                return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
                                            });
    });

    // Trie in insertion order. With sorted patterns a node's new child always
    // sorts after its existing ones, so children stay sorted without searching.
    std::vector<std::vector<std::pair<unsigned char, std::uint32_t>>> children(1);
    std::vector<std::uint32_t> terminal(1, kNone);
    for (const std::uint32_t index : order) {
        std::uint32_t node = 0;
        for (char ch : patterns[index]) {
            const auto c = static_cast<unsigned char>(ch);
            auto& kids = children[node];
            if (!kids.empty() && kids.back().first == c) {
                node = kids.back().second;
                continue;
            }
            const auto created = static_cast<std::uint32_t>(children.size());
            kids.emplace_back(c, created);
            children.emplace_back();
            terminal.push_back(kNone);
            node = created;
        }
        // Equal patterns: the first in the list counts.
        terminal[node] = std::min(terminal[node], index);
    }

    // Renumber breadth-first so failure links point to earlier states, and lay
    // the edges out flat.
    const std::size_t count = children.size();
    std::vector<std::uint32_t> breadth;
    breadth.reserve(count);
    std::vector<std::uint32_t> renumber(count);
    breadth.push_back(0);
    for (std::size_t i = 0; i < breadth.size(); ++i) {
        renumber[breadth[i]] = static_cast<std::uint32_t>(i);
        for (const auto& kid : children[breadth[i]]) breadth.push_back(kid.second);
    }
    edgeBegin_.assign(count + 1, 0);
    edgeChar_.clear();
    edgeTarget_.clear();
    edgeChar_.reserve(count);
    edgeTarget_.reserve(count);
    least_.assign(count, kNone);
    fail_.assign(count, 0);
    for (std::size_t i = 0; i < count; ++i) {
        edgeBegin_[i] = static_cast<std::uint32_t>(edgeChar_.size());
        for (const auto& kid : children[breadth[i]]) {
            edgeChar_.push_back(kid.first);
            edgeTarget_.push_back(renumber[kid.second]);
        }
        least_[i] = terminal[breadth[i]];
    }
    own_ = least_;
    output_.assign(count, 0);
    edgeBegin_[count] = static_cast<std::uint32_t>(edgeChar_.size());

    rootNext_.fill(0);
    for (std::uint32_t e = edgeBegin_[0]; e < edgeBegin_[1]; ++e) rootNext_[edgeChar_[e]] = edgeTarget_[e];

    // States are in breadth-first order, so a state's failure target is final
    // before its children need it.
    for (std::uint32_t state = 0; state < count; ++state) {
        for (std::uint32_t e = edgeBegin_[state]; e < edgeBegin_[state + 1]; ++e) {
            const std::uint32_t child = edgeTarget_[e];
            const unsigned char c = edgeChar_[e];
            std::uint32_t target = 0;
            if (state != 0) target = Next(fail_[state], c);
            fail_[child] = target;
            least_[child] = std::min(least_[child], least_[target]);
            output_[child] = own_[target] != kNone ? target : output_[target];
        }
    }
}

// The goto function with failure links folded in.
std::uint32_t EntryMatcher::Next(std::uint32_t state, unsigned char c) const {
    while (state != 0) {
        const std::uint32_t begin = edgeBegin_[state];
        const std::uint32_t end = edgeBegin_[state + 1];
        if (end - begin <= 8) {
            for (std::uint32_t e = begin; e < end; ++e) {
                if (edgeChar_[e] == c) return edgeTarget_[e];
            }
        } else {
            const unsigned char* first = edgeChar_.data() + begin;
            const unsigned char* last = edgeChar_.data() + end;
            const unsigned char* hit = std::lower_bound(first, last, c);
            if (hit != last && *hit == c) return edgeTarget_[begin + static_cast<std::uint32_t>(hit - first)];
        }
        state = fail_[state];
    }
    return rootNext_[c];
}

namespace {

// The UTF-8 bytes of a code point, into `out`; their count.
int Encode(char32_t code, unsigned char* out) {
    if (code < 0x80) {
        out[0] = static_cast<unsigned char>(code);
        return 1;
    }
    if (code < 0x800) {
        out[0] = static_cast<unsigned char>(0xC0 | (code >> 6));
        out[1] = static_cast<unsigned char>(0x80 | (code & 0x3F));
        return 2;
    }
    if (code < 0x10000) {
        out[0] = static_cast<unsigned char>(0xE0 | (code >> 12));
        out[1] = static_cast<unsigned char>(0x80 | ((code >> 6) & 0x3F));
        out[2] = static_cast<unsigned char>(0x80 | (code & 0x3F));
        return 3;
    }
    out[0] = static_cast<unsigned char>(0xF0 | (code >> 18));
    out[1] = static_cast<unsigned char>(0x80 | ((code >> 12) & 0x3F));
    out[2] = static_cast<unsigned char>(0x80 | ((code >> 6) & 0x3F));
    out[3] = static_cast<unsigned char>(0x80 | (code & 0x3F));
    return 4;
}

}  // namespace

template <class AtState>
void EntryMatcher::Walk(std::string_view title, AtState at) const {
    // Each character is lower-cased on the way in, its UTF-8 bytes fed one by
    // one: one walk of the title, nothing allocated.
    std::uint32_t state = 0;
    unsigned char bytes[4];
    for (std::size_t from = 0; from < title.size();) {
        const auto c = static_cast<unsigned char>(title[from]);
        int count = 1;
        if (c < 0x80) {
            ++from;
            bytes[0] = static_cast<unsigned char>(folding_->Lower(static_cast<char32_t>(c)));
        } else {
            const std::size_t start = from;
            const char32_t code = utf8::Next(title, from);
            if (code == utf8::kReplacement && from == start + 1) {
                bytes[0] = c;  // not UTF-8: as it stands, as CaseFolding keeps it
            } else {
                count = Encode(folding_->Lower(code), bytes);
            }
        }
        for (int i = 0; i < count; ++i) {
            state = Next(state, bytes[i]);
            if (!at(state)) return;
        }
    }
}

int EntryMatcher::FirstMatch(std::string_view title) const {
    if (least_.empty()) return -1;
    // An empty entry is inside every title.
    std::uint32_t best = least_[0];
    // The first entry of the list ends the walk: no other can come before it.
    if (best != 0) {
        Walk(title, [&](std::uint32_t state) {
            best = std::min(best, least_[state]);
            return best != 0;
        });
    }
    return best == kNone ? -1 : static_cast<int>(best);
}

void EntryMatcher::AllMatches(std::string_view title, std::vector<int>* out) const {
    out->clear();
    if (own_.empty()) return;
    if (own_[0] != kNone) out->push_back(static_cast<int>(own_[0]));
    Walk(title, [&](std::uint32_t state) {
        for (std::uint32_t s = own_[state] != kNone ? state : output_[state]; s != 0; s = output_[s])
            out->push_back(static_cast<int>(own_[s]));
        return true;
    });
    std::sort(out->begin(), out->end());
    out->erase(std::unique(out->begin(), out->end()), out->end());
}

bool LiteralMatchesListEntry(const std::string& title, const std::vector<std::string>& entries,
                             const CaseFolding& folding) {
    return LiteralFirstListEntry(title, entries, folding) >= 0;
}

int LiteralFirstListEntry(const std::string& title, const std::vector<std::string>& entries,
                          const CaseFolding& folding) {
    const std::string text = folding.Lower(title);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (text.find(folding.Lower(entries[i])) != std::string::npos) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace qw
