// Lower-casing of ANSI code-page text, one table built once. In a double-byte
// code page (Japanese, Chinese, Korean) only single-byte characters change
// case: the second byte of a two-byte character is left as it stands, and
// CharBoundaries tells where characters begin.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qw {

class LowerTable {
public:
    // Maps every byte to itself.
    LowerTable();
    explicit LowerTable(const std::array<std::uint8_t, 256>& map) : map_(map) { lead_.fill(false); }
    // A double-byte code page: `lead` marks the bytes that begin a two-byte character.
    LowerTable(const std::array<std::uint8_t, 256>& map, const std::array<bool, 256>& lead);

    // The single-byte mapping; for a double-byte code page apply it only
    // where IsLeadByte says a character does not begin with two bytes.
    unsigned char operator()(unsigned char c) const { return map_[c]; }
    bool IsDoubleByte() const { return doubleByte_; }
    bool IsLeadByte(unsigned char c) const { return lead_[c]; }
    std::string Lower(std::string_view text) const;
    bool EqualNoCase(std::string_view a, std::string_view b) const;
    // For each byte of `text`, whether a character begins there.
    std::vector<bool> CharBoundaries(std::string_view text) const;
    // Characters, not bytes: a two-byte character counts once.
    std::size_t CharCount(std::string_view text) const;

    // Windows-1252, the usual ANSI code page; the native build's system table.
    static LowerTable Windows1252();
    // Code page 932 (Japanese): ASCII letters change case, lead bytes 81-9F and E0-FC.
    static LowerTable Japanese932();
    // The table of this system's ANSI code page (CharLowerBuffA on Windows).
    static const LowerTable& System();

private:
    std::array<std::uint8_t, 256> map_;
    std::array<bool, 256> lead_;
    bool doubleByte_ = false;
};

}  // namespace qw
