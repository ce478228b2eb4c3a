#include "platform/ansi_case.h"

namespace qw {

LowerTable::LowerTable() {
    for (int i = 0; i < 256; ++i) map_[i] = static_cast<std::uint8_t>(i);
}

std::string LowerTable::Lower(std::string_view text) const {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(map_[static_cast<unsigned char>(c)]);
    return out;
}

bool LowerTable::EqualNoCase(std::string_view a, std::string_view b) const {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (map_[static_cast<unsigned char>(a[i])] != map_[static_cast<unsigned char>(b[i])]) return false;
    }
    return true;
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

}  // namespace qw
