#include "platform/ansi_case.h"

namespace qw {

LowerTable::LowerTable() {
    for (int i = 0; i < 256; ++i) map_[i] = static_cast<std::uint8_t>(i);
    lead_.fill(false);
}

LowerTable::LowerTable(const std::array<std::uint8_t, 256>& map, const std::array<bool, 256>& lead)
    : map_(map), lead_(lead) {
    for (bool b : lead_) doubleByte_ = doubleByte_ || b;
}

std::string LowerTable::Lower(std::string_view text) const {
    std::string out(text);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const auto c = static_cast<unsigned char>(out[i]);
        if (doubleByte_ && lead_[c] && i + 1 < out.size()) {
            ++i;  // a two-byte character keeps both bytes
            continue;
        }
        out[i] = static_cast<char>(map_[c]);
    }
    return out;
}

bool LowerTable::EqualNoCase(std::string_view a, std::string_view b) const {
    if (a.size() != b.size()) return false;
    if (doubleByte_) return Lower(a) == Lower(b);
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (map_[static_cast<unsigned char>(a[i])] != map_[static_cast<unsigned char>(b[i])]) return false;
    }
    return true;
}

std::vector<bool> LowerTable::CharBoundaries(std::string_view text) const {
    std::vector<bool> starts(text.size(), false);
    for (std::size_t i = 0; i < text.size(); ++i) {
        starts[i] = true;
        if (doubleByte_ && lead_[static_cast<unsigned char>(text[i])] && i + 1 < text.size()) ++i;
    }
    return starts;
}

std::size_t LowerTable::CharCount(std::string_view text) const {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i, ++count) {
        if (doubleByte_ && lead_[static_cast<unsigned char>(text[i])] && i + 1 < text.size()) ++i;
    }
    return count;
}

LowerTable LowerTable::Windows1252() {
    std::array<std::uint8_t, 256> map{};
    for (int i = 0; i < 256; ++i) map[i] = static_cast<std::uint8_t>(i);
    for (int c = 'A'; c <= 'Z'; ++c) map[c] = static_cast<std::uint8_t>(c + 32);
    for (int c = 0xC0; c <= 0xDE; ++c) {
        if (c != 0xD7) map[c] = static_cast<std::uint8_t>(c + 32);  // 0xD7 is the multiplication sign
    }
    map[0x8A] = 0x9A;  // S caron
    map[0x8C] = 0x9C;  // OE
    map[0x8E] = 0x9E;  // Z caron
    map[0x9F] = 0xFF;  // Y diaeresis
    return LowerTable(map);
}

LowerTable LowerTable::Japanese932() {
    std::array<std::uint8_t, 256> map{};
    std::array<bool, 256> lead{};
    for (int i = 0; i < 256; ++i) {
        map[i] = static_cast<std::uint8_t>(i >= 'A' && i <= 'Z' ? i + 32 : i);
        lead[i] = (i >= 0x81 && i <= 0x9F) || (i >= 0xE0 && i <= 0xFC);
    }
    return LowerTable(map, lead);
}

}  // namespace qw
