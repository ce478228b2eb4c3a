// Finds the first list entry a title contains, ignoring case, in one walk of
// the title (an Aho-Corasick automaton over the lower-cased entries). Built
// once per change of the list; a pass then costs the length of the titles,
// not titles times entries.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text.h"

namespace qw {

class EntryMatcher {
public:
    // `folding` must outlive the matcher.
    void Build(const std::vector<std::string>& entries, const CaseFolding& folding);
    void Build(const std::vector<std::string>& entries, CaseFolding&& folding) = delete;
    // The index of the first entry in list order that the title contains;
    // -1 for none.
    int FirstMatch(std::string_view title) const;
    bool Matches(std::string_view title) const { return FirstMatch(title) >= 0; }
    // The indices of every entry the title contains, in list order (an entry
    // equal to an earlier one counts as that one).
    void AllMatches(std::string_view title, std::vector<int>* out) const;
    std::size_t StateCount() const { return fail_.size(); }

private:
    std::uint32_t Next(std::uint32_t state, unsigned char c) const;
    // Feeds the title's lower-cased bytes through the automaton, calling
    // `at(state)` after each; stops when it returns false.
    template <class AtState>
    void Walk(std::string_view title, AtState at) const;

    const CaseFolding* folding_ = nullptr;
    std::array<std::uint32_t, 256> rootNext_{};
    std::vector<std::uint32_t> edgeBegin_;  // per state, into edgeChar_/edgeTarget_; one extra at the end
    std::vector<unsigned char> edgeChar_;    // sorted within a state
    std::vector<std::uint32_t> edgeTarget_;
    std::vector<std::uint32_t> fail_;
    // The least index of the entries that end here or at a suffix of here;
    // kNone where none does.
    std::vector<std::uint32_t> least_;
    // The entry that ends exactly here (kNone for none), and the nearest
    // shorter suffix state where one does (0 for none).
    std::vector<std::uint32_t> own_;
    std::vector<std::uint32_t> output_;
    static constexpr std::uint32_t kNone = ~std::uint32_t{0};
};

// Lower-cases the title and each entry at every comparison and searches entry
// by entry: the plain reading of the rule, kept as the oracle for the matcher.
bool LiteralMatchesListEntry(const std::string& title, const std::vector<std::string>& entries,
                             const CaseFolding& folding);
// The same, giving the first entry found: its index, -1 for none.
int LiteralFirstListEntry(const std::string& title, const std::vector<std::string>& entries,
                          const CaseFolding& folding);

}  // namespace qw
