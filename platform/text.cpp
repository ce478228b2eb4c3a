#include "platform/text.h"

#include <utility>

namespace qw {

namespace utf8 {

void Append(std::string& out, char32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

bool IsValid(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t from = at;
        if (Next(text, at) == kReplacement && text.substr(from, 3) != "\xEF\xBF\xBD") return false;
    }
    return true;
}

std::size_t CodePoints(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t at = 0; at < text.size(); ++count) Next(text, at);
    return count;
}

std::size_t Utf16Units(std::string_view text) {
    std::size_t units = 0;
    for (std::size_t at = 0; at < text.size();) units += Next(text, at) < 0x10000 ? 1 : 2;
    return units;
}

std::u16string ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const char32_t code = Next(text, at);
        if (code < 0x10000) {
            out += static_cast<char16_t>(code);
        } else {
            out += static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        }
    }
    return out;
}

std::string FromUtf16(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            code = kReplacement;
        }
        Append(out, code);
    }
    return out;
}

std::string CutToUtf16Units(std::string_view text, std::size_t units) {
    // Never more units than bytes: a text of no more bytes fits whole.
    if (text.size() <= units) return std::string(text);
    std::size_t at = 0, used = 0;
    while (at < text.size()) {
        std::size_t next = at;
        used += Next(text, next) < 0x10000 ? 1 : 2;
        if (used > units) break;
        at = next;
    }
    return std::string(text.substr(0, at));
}

}  // namespace utf8

CaseFolding::CaseFolding() : lower_(0x10000) {
    for (std::size_t c = 0; c < lower_.size(); ++c) lower_[c] = static_cast<char16_t>(c >= 'A' && c <= 'Z' ? c + 32 : c);
}

CaseFolding::CaseFolding(std::vector<char16_t> lower) : lower_(std::move(lower)) {
    if (lower_.size() != 0x10000) *this = CaseFolding();
}

std::string CaseFolding::Lower(std::string_view text) const {
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const auto c = static_cast<unsigned char>(text[at]);
        if (c < 0x80) {
            out += static_cast<char>(lower_[c]);
            ++at;
            continue;
        }
        const std::size_t from = at;
        const char32_t code = utf8::Next(text, at);
        // A byte that is not UTF-8 is kept as it is, so that it still equals
        // itself and nothing else.
        if (code == utf8::kReplacement && at == from + 1) {
            out += text[from];
        } else {
            utf8::Append(out, Lower(code));
        }
    }
    return out;
}

bool CaseFolding::EqualNoCase(std::string_view a, std::string_view b) const { return Lower(a) == Lower(b); }

void TableCodePage::Map(std::string bytes, char32_t code) {
    if (bytes.size() == 2) lead_[static_cast<unsigned char>(bytes[0])] = true;
    toCode_[bytes] = code;
    toBytes_.emplace(code, std::move(bytes));
}

std::optional<std::string> TableCodePage::FromUtf8(std::string_view text) const {
    std::string out;
    for (std::size_t at = 0; at < text.size();) {
        const auto found = toBytes_.find(utf8::Next(text, at));
        if (found == toBytes_.end()) return std::nullopt;
        out += found->second;
    }
    return out;
}

std::string TableCodePage::ToUtf8(std::string_view bytes) const {
    std::string out;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = lead_[static_cast<unsigned char>(bytes[at])] && at + 1 < bytes.size() ? 2 : 1;
        const auto found = toCode_.find(std::string(bytes.substr(at, length)));
        utf8::Append(out, found == toCode_.end() ? utf8::kReplacement : found->second);
        at += length;
    }
    return out;
}

const TableCodePage& TableCodePage::Windows1252() {
    static const TableCodePage page = [] {
        TableCodePage p;
        static const char16_t kHigh[32] = {
            0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
            0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
            0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
        for (int b = 1; b < 256; ++b)
            p.Map(std::string(1, static_cast<char>(b)), b >= 0x80 && b < 0xA0 ? kHigh[b - 0x80] : static_cast<char32_t>(b));
        return p;
    }();
    return page;
}

const TableCodePage& TableCodePage::Japanese932() {
    static const TableCodePage page = [] {
        TableCodePage p;
        for (int b = 1; b < 0x80; ++b) p.Map(std::string(1, static_cast<char>(b)), static_cast<char32_t>(b));
        for (int b = 0xA1; b <= 0xDF; ++b) p.Map(std::string(1, static_cast<char>(b)), 0xFF61 + (b - 0xA1));
        const std::pair<const char*, char32_t> kanji[] = {
            {"\x93\x8C", 0x6771}, {"\x8B\x9E", 0x4EAC}, {"\x93\x73", 0x90FD},   // 東 京 都
            {"\x91\xE5", 0x5927}, {"\x8D\xE3", 0x962A}, {"\x95\x7B", 0x5E9C}};  // 大 阪 府
        for (const auto& [bytes, code] : kanji) p.Map(bytes, code);
        return p;
    }();
    return page;
}

CaseFolding CaseFolding::Common() {
    std::vector<char16_t> lower(0x10000);
    for (std::size_t c = 0; c < lower.size(); ++c) lower[c] = static_cast<char16_t>(c);
    const auto range = [&](char16_t first, char16_t last, int shift) {
        for (char16_t c = first; c <= last; ++c) lower[c] = static_cast<char16_t>(c + shift);
    };
    // Pairs of capital then small letter, from `first` (a capital) to `last`.
    const auto pairs = [&](char16_t first, char16_t last) {
        for (char16_t c = first; c < last; c += 2) lower[c] = static_cast<char16_t>(c + 1);
    };
    range('A', 'Z', 32);
    range(0xC0, 0xDE, 32);
    lower[0xD7] = 0xD7;  // the multiplication sign
    pairs(0x100, 0x12F);
    lower[0x130] = 'i';  // I with a dot above
    pairs(0x132, 0x137);
    pairs(0x139, 0x148);
    pairs(0x14A, 0x177);
    lower[0x178] = 0xFF;  // Y with diaeresis
    pairs(0x179, 0x17E);
    // Greek: the accented capitals, then the alphabet.
    lower[0x386] = 0x3AC;
    range(0x388, 0x38A, 37);
    lower[0x38C] = 0x3CC;
    range(0x38E, 0x38F, 63);
    range(0x391, 0x3A9, 32);
    lower[0x3A2] = 0x3A2;  // no capital final sigma
    // Cyrillic.
    range(0x400, 0x40F, 80);
    range(0x410, 0x42F, 32);
    return CaseFolding(std::move(lower));
}

}  // namespace qw
