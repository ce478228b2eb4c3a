// An entry matches every title that contains it, ignoring case, and nothing else.
#include <gtest/gtest.h>

#include <random>

#include "engine/entry_matcher.h"

namespace qw {
namespace {

using Strings = std::vector<std::string>;

TEST(EntryMatcher, AnEntryMustLieWhollyInsideTheTitle) {
    const LowerTable lower = LowerTable::Windows1252();
    struct Case {
        Strings entries;
        std::string title;
        bool matches;
    };
    const Case cases[] = {
        {{"notepad"}, "Untitled - Notepad", true},
        {{"Untitled - Notepad - extra"}, "Untitled - Notepad", false},
        {{"manager"}, "program manager", true},
        {{"offer"}, "Daily Offer", true},
        {{"OFFER"}, "daily offer", true},
        {{"offerx"}, "Daily Offer", false},
        {{"zzzzz", "daily"}, "Daily Offer", true},
        {{}, "Daily Offer", false},
        {{"abcab"}, "xxabcabcabyy", true},   // needs a failure link
        {{"abcd", "bce"}, "xabcexx", true},   // the shorter entry ends inside the longer one's path
        {{"b", "abc"}, "ab", true},
        {{"\xC4rger"}, "Gro\xDF" "er \xE4RGER", true},  // Windows-1252 letters fold too
        {{"\xD7"}, "\xF7", false},  // the multiplication and division signs are not a case pair
    };
    for (const Case& c : cases) {
        EntryMatcher m;
        m.Build(c.entries, lower);
        EXPECT_EQ(m.Matches(c.title), c.matches) << c.title;
        EXPECT_EQ(LiteralMatchesListEntry(c.title, c.entries, lower), c.matches) << c.title;
    }
}

// Code page 932: a match begins only where a character begins, and the
// second byte of a two-byte character never changes case.
TEST(EntryMatcher, DoubleByteTitlesMatchWholeCharactersOnly) {
    const LowerTable lower = LowerTable::Japanese932();
    struct Case {
        Strings entries;
        std::string title;
        bool matches;
    };
    const Case cases[] = {
        {{"abcde"}, "\x83" "abcde", false},            // 'a' is the second byte of katakana 83 61
        {{"abcde"}, "\x83" "aabcde", true},            // the next 'a' begins a character
        {{"bcde"}, "\x83" "abcde", true},
        {{"ABCDE"}, "xx abcde", true},                  // single-byte letters still fold
        {{"\x83" "A"}, "\x83" "a", false},              // 83 41 and 83 61 are different katakana
        {{"\x83" "a\x83" "A"}, "x\x83" "a\x83" "A!", true},
        {{"\x83" "A"}, "\x83\x83" "A", false},          // 83 83 is one character, then 'A'
        {{"a"}, "\x83", false},
    };
    for (const Case& c : cases) {
        EntryMatcher m;
        m.Build(c.entries, lower);
        EXPECT_EQ(m.Matches(c.title), c.matches) << c.title;
        EXPECT_EQ(LiteralMatchesListEntry(c.title, c.entries, lower), c.matches) << c.title;
    }
    EXPECT_FALSE(lower.EqualNoCase("\x83" "A", "\x83" "a"));
    EXPECT_TRUE(lower.EqualNoCase("\x83" "Ab", "\x83" "AB"));
}

TEST(EntryMatcher, AgreesWithTheLiteralRuleOnRandomLists) {
  for (const LowerTable& lower : {LowerTable::Windows1252(), LowerTable::Japanese932()}) {
    std::mt19937 rng(12345);
    const std::string alphabet = "abcABC \xC4\xE4-\x83\x81";
    auto text = [&](int maxLen) {
        std::string s(rng() % maxLen + 1, ' ');
        for (char& ch : s) ch = alphabet[rng() % alphabet.size()];
        return s;
    };
    for (int round = 0; round < 300; ++round) {
        Strings entries;
        const int count = static_cast<int>(rng() % 12);
        for (int i = 0; i < count; ++i) entries.push_back(text(6));
        EntryMatcher m;
        m.Build(entries, lower);
        for (int t = 0; t < 40; ++t) {
            const std::string title = text(20);
            ASSERT_EQ(m.Matches(title), LiteralMatchesListEntry(title, entries, lower))
                << "round " << round << " title '" << title << "'";
        }
    }
  }
}

TEST(EntryMatcher, WideNodesAndManyEntries) {
    const LowerTable lower = LowerTable::Windows1252();
    Strings entries;
    for (int c = 1; c < 256; ++c) entries.push_back(std::string("k") + static_cast<char>(c) + "tail");
    for (int i = 0; i < 5000; ++i) entries.push_back("entry number " + std::to_string(i * 7));
    EntryMatcher m;
    m.Build(entries, lower);
    EXPECT_TRUE(m.Matches("a window about ENTRY NUMBER 34993 here"));
    EXPECT_FALSE(m.Matches("entry number 34994"));
    EXPECT_TRUE(m.Matches(std::string("xk") + '\xFE' + "tail"));
    EXPECT_TRUE(m.Matches(std::string("xK") + '\xDE' + "TAIL"));  // upper thorn folds to 0xFE
    EXPECT_FALSE(m.Matches("ktail"));
}

}  // namespace
}  // namespace qw
