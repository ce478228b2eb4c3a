// Lower-casing of ANSI code-page bytes, one table built once.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace qw {

class LowerTable {
public:
    // Maps every byte to itself.
    LowerTable();
    explicit LowerTable(const std::array<std::uint8_t, 256>& map) : map_(map) {}

    unsigned char operator()(unsigned char c) const { return map_[c]; }
    std::string Lower(std::string_view text) const;
    bool EqualNoCase(std::string_view a, std::string_view b) const;

    // Windows-1252, the usual ANSI code page; the native build's system table.
    static LowerTable Windows1252();
    // The table of this system's ANSI code page (CharLowerBuffA on Windows).
    static const LowerTable& System();

private:
    std::array<std::uint8_t, 256> map_;
};

}  // namespace qw
