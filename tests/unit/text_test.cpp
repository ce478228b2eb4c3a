// UTF-8 as the program reads and writes it, lower-casing in every script,
// and the ANSI code page of the older list files.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text.h"

namespace qw {
namespace {

// Well-formed UTF-8 only: what is not is one replacement character per byte.
TEST(Utf8, ReadsWellFormedTextAndCountsItTheWaysThePlatformDoes) {
    const struct { std::string text; bool valid; std::size_t codePoints, units; } cases[] = {
        {"", true, 0, 0},
        {"abc", true, 3, 3},
        {u8"Привет", true, 6, 6},
        {u8"東京", true, 2, 2},
        {u8"😀 a", true, 3, 4},                      // beyond the first plane: two units
        {u8"\uFFFD", true, 1, 1},                     // the replacement character itself
        {"\xC0\xAF", false, 2, 2},                    // an overlong slash
        {"\xED\xA0\x80", false, 3, 3},                // a surrogate
        {"\xF4\x90\x80\x80", false, 4, 4},            // past U+10FFFF
        {"\xE6\x9D", false, 2, 2},                    // cut short
        {"\x80" "a", false, 2, 2},                    // a continuation byte alone
    };
    for (const auto& c : cases) {
        EXPECT_EQ(std::make_tuple(utf8::IsValid(c.text), utf8::CodePoints(c.text), utf8::Utf16Units(c.text)),
                  std::make_tuple(c.valid, c.codePoints, c.units)) << c.text;
        if (c.valid) EXPECT_EQ(utf8::FromUtf16(utf8::ToUtf16(c.text)), c.text);
    }
    EXPECT_EQ(utf8::FromUtf16(u"a\xD83D" "b"), u8"a\uFFFDb");  // a lone surrogate
    // Never half a character at a cut.
    EXPECT_EQ(utf8::CutToUtf16Units(u8"ab😀c", 3), "ab");
    EXPECT_EQ(utf8::CutToUtf16Units(u8"ab😀c", 4), u8"ab😀");
    EXPECT_EQ(utf8::CutToUtf16Units(u8"Жжжж", 2), u8"Жж");
}

TEST(CaseFolding, LowersEveryScriptTheTableKnowsAndLeavesTheRest) {
    const CaseFolding folding = CaseFolding::Common();
    const std::pair<const char*, const char*> cases[] = {
        {"ABC xyz", "abc xyz"},
        {u8"ÀÉÎÕÜ ÆØÞ ×", u8"àéîõü æøþ ×"},
        {u8"ŁÓDŹ ŐŰ Ÿ İ", u8"łódź őű ÿ i"},
        {u8"ΑΒΓ ΆΈΏ Σ", u8"αβγ άέώ σ"},
        {u8"ЁЖИК ЪЯ", u8"ёжик ъя"},
        {u8"東京 😀 \u200B", u8"東京 😀 \u200B"},
        {"Caf\xC3", "caf\xC3"},  // a byte that is not UTF-8 stays as it is
    };
    for (const auto& [text, lower] : cases) EXPECT_EQ(folding.Lower(text), lower) << text;
    EXPECT_TRUE(folding.EqualNoCase(u8"ПРИВЕТ", u8"привет"));
    EXPECT_FALSE(folding.EqualNoCase(u8"Привет", u8"Привет!"));
}

// Windows-1252 whole, and the bytes of 932 the tests use; no best fit.
TEST(AnsiCodePage, ConvertsExactlyOrNotAtAll) {
    const auto& western = TableCodePage::Windows1252();
    const auto& japanese = TableCodePage::Japanese932();
    EXPECT_EQ(western.FromUtf8(u8"Café €5"), std::optional<std::string>("Caf\xE9 \x80" "5"));
    EXPECT_EQ(western.ToUtf8("Caf\xE9 \x80" "5 \x9F"), u8"Café €5 Ÿ");
    for (const char* outside : {u8"Łukasz", u8"Привет", u8"😀"}) EXPECT_EQ(western.FromUtf8(outside), std::nullopt);
    EXPECT_EQ(japanese.FromUtf8(u8"東京 ｱ"), std::optional<std::string>("\x93\x8C\x8B\x9E \xB1"));
    EXPECT_EQ(japanese.ToUtf8("\x93\x8C\x8B\x9E \xB1"), u8"東京 ｱ");
    EXPECT_EQ(japanese.FromUtf8(u8"é"), std::nullopt);
}

}  // namespace
}  // namespace qw
