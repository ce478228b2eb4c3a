// Text inside the program is UTF-8; the platform's adapters convert at the
// boundary. Here: reading and writing UTF-8 and UTF-16, and lower-casing for
// every script, with one table of the Basic Multilingual Plane built once
// from the platform's own mapping.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qw {

namespace utf8 {

constexpr char32_t kReplacement = 0xFFFD;

// The code point at `at`, which moves past it; an invalid or cut sequence
// gives kReplacement and moves one byte. Inline: every title's every
// character passes through it at every tick.
inline char32_t Next(std::string_view text, std::size_t& at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    if (lead < 0x80) {
        ++at;
        return lead;
    }
    // The length a lead byte announces, and the least code point of that length.
    std::size_t length = 0;
    char32_t code = 0, least = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, code = lead & 0x1F, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, code = lead & 0x0F, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, code = lead & 0x07, least = 0x10000;
    }
    if (length == 0 || at + length > text.size()) {
        ++at;
        return kReplacement;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto c = static_cast<unsigned char>(text[at + i]);
        if ((c & 0xC0) != 0x80) {
            ++at;
            return kReplacement;
        }
        code = (code << 6) | (c & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
        ++at;
        return kReplacement;
    }
    at += length;
    return code;
}
void Append(std::string& out, char32_t code);
// Well-formed UTF-8: no overlong forms, no surrogates, nothing past U+10FFFF.
bool IsValid(std::string_view text);
// Characters as a user counts them: code points.
std::size_t CodePoints(std::string_view text);
// UTF-16 code units, as the platform's buffers count them.
std::size_t Utf16Units(std::string_view text);
std::u16string ToUtf16(std::string_view text);
// A lone surrogate becomes kReplacement.
std::string FromUtf16(std::u16string_view text);
// The text cut to at most `units` UTF-16 code units, never inside a character.
std::string CutToUtf16Units(std::string_view text, std::size_t units);

}  // namespace utf8

class CaseFolding {
public:
    // Only A to Z change.
    CaseFolding();
    // `lower` maps each code unit of the Basic Multilingual Plane (65,536
    // entries); characters beyond it are their own lower case.
    explicit CaseFolding(std::vector<char16_t> lower);

    char32_t Lower(char32_t code) const {
        return code < 0x10000 ? static_cast<char32_t>(lower_[code]) : code;
    }
    // The UTF-8 text lower-cased; bytes that are not UTF-8 stay as they are.
    std::string Lower(std::string_view text) const;
    bool EqualNoCase(std::string_view a, std::string_view b) const;

    // Latin (Basic, Latin-1 and Extended-A), Greek and Cyrillic: the
    // in-memory platform's mapping.
    static CaseFolding Common();
    // The platform's mapping (CharLowerBuffW on Windows), built once.
    static const CaseFolding& System();

private:
    std::vector<char16_t> lower_;
};

// The system's ANSI code page, the one list files of the older header are
// written in.
class AnsiCodePage {
public:
    virtual ~AnsiCodePage() = default;
    // The text in the code page; nothing when a character has no exact form
    // there (no best fit: "ł" is not written as "l").
    virtual std::optional<std::string> FromUtf8(std::string_view text) const = 0;
    virtual std::string ToUtf8(std::string_view bytes) const = 0;
};

// A code page from a table: each character of one byte or of a lead byte and
// a second byte. The in-memory platform's code pages.
class TableCodePage : public AnsiCodePage {
public:
    std::optional<std::string> FromUtf8(std::string_view text) const override;
    std::string ToUtf8(std::string_view bytes) const override;

    // Western European: Windows-1252, whole.
    static const TableCodePage& Windows1252();
    // Japanese (932): ASCII, the half-width katakana and a few kanji, enough
    // for the tests.
    static const TableCodePage& Japanese932();

private:
    void Map(std::string bytes, char32_t code);
    std::map<std::string, char32_t> toCode_;
    std::map<char32_t, std::string> toBytes_;
    bool lead_[256] = {};
};

}  // namespace qw
