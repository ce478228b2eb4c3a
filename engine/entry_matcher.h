// Finds whether a title contains any list entry, ignoring case, in one walk of
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
    bool Matches(std::string_view title) const;
    std::size_t StateCount() const { return fail_.size(); }

private:
    std::uint32_t Next(std::uint32_t state, unsigned char c) const;

    const CaseFolding* folding_ = nullptr;
    std::array<std::uint32_t, 256> rootNext_{};
    std::vector<std::uint32_t> edgeBegin_;  // per state, into edgeChar_/edgeTarget_; one extra at the end
    std::vector<unsigned char> edgeChar_;    // sorted within a state
    std::vector<std::uint32_t> edgeTarget_;
    std::vector<std::uint32_t> fail_;
    std::vector<std::uint8_t> output_;       // an entry ends here or at a suffix of here
    bool any_ = false;
};

// Lower-cases the title and each entry at every comparison and searches entry
// by entry: the plain reading of the rule, kept as the oracle for the matcher.
bool LiteralMatchesListEntry(const std::string& title, const std::vector<std::string>& entries,
                             const CaseFolding& folding);

}  // namespace qw
