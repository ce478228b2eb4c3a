#include "store/registry_access.h"

#include <cstring>
#include <limits>

namespace qw {
namespace {
constexpr std::uint32_t kReadBufferBytes = 255;
}

RegKeyWriter::RegKeyWriter(RegistryApi& reg, RegKey root, const std::string& path) : reg_(reg) {
    open_ = reg_.CreateKey(root, path, &key_) == kErrorSuccess;
}

RegKeyWriter::~RegKeyWriter() {
    if (open_) reg_.CloseKey(key_);
}

bool RegKeyWriter::Write(const std::string& name, const std::string& data, std::uint16_t type) {
    // No terminator is written: the stored data is exactly the text's bytes,
    // which is what makes a REG_BINARY write of "\x08\0\0\0" four bytes.
    return open_ && reg_.SetValueEx(key_, name, type, reinterpret_cast<const std::uint8_t*>(data.data()),
                                    static_cast<std::uint32_t>(data.size())) == kErrorSuccess;
}

bool RegKeyWriter::Delete(const std::string& name) { return open_ && reg_.DeleteValue(key_, name) == kErrorSuccess; }

std::vector<std::string> RegKeyWriter::ValueNames() {
    std::vector<std::string> names;
    std::string name;
    for (std::uint32_t index = 0; open_ && reg_.EnumValueName(key_, index, &name) == kErrorSuccess; ++index) {
        names.push_back(name);
    }
    return names;
}

void RegWriteString(RegistryApi& reg, RegKey root, const std::string& path, const std::string& name,
                    const std::string& data, std::uint16_t type) {
    RegTryWriteString(reg, root, path, name, data, type);
}

bool RegTryWriteString(RegistryApi& reg, RegKey root, const std::string& path, const std::string& name,
                       const std::string& data, std::uint16_t type) {
    return RegKeyWriter(reg, root, path).Write(name, data, type);
}

RegKeyReader::RegKeyReader(RegistryApi& reg, RegKey root, const std::string& path) : reg_(reg) {
    const long opened = reg_.OpenKeyEx(root, path, kKeyQueryValue, &key_);
    open_ = opened == kErrorSuccess;
    failed_ = !open_ && opened != kErrorFileNotFound;
}

RegKeyReader::~RegKeyReader() {
    if (open_) reg_.CloseKey(key_);
}

std::optional<std::string> RegKeyReader::Read(const std::string& name) {
    std::string text;
    if (TryRead(name, &text) != ReadStatus::kRead) return std::nullopt;
    return text;
}

ReadStatus RegKeyReader::TryRead(const std::string& name, std::string* text) {
    if (!open_) return failed_ ? ReadStatus::kFailed : ReadStatus::kAbsent;
    std::uint8_t buffer[kReadBufferBytes + 1] = {};
    std::uint32_t size = kReadBufferBytes;
    std::uint32_t type = 0;
    switch (reg_.QueryValueEx(key_, name, &type, buffer, &size)) {
    case kErrorSuccess: break;
    case kErrorFileNotFound: return ReadStatus::kAbsent;
    case kErrorMoreData: return ReadStatus::kUnreadable;
    default: return ReadStatus::kFailed;
    }
    const std::size_t length = strnlen(reinterpret_cast<const char*>(buffer), kReadBufferBytes);
    // Data that fills the whole buffer has no room for its terminator: a text
    // of 255 characters is as unreadable as a longer one.
    if (length == kReadBufferBytes) return ReadStatus::kUnreadable;
    text->assign(reinterpret_cast<const char*>(buffer), length);
    return ReadStatus::kRead;
}

std::optional<std::string> RegTryReadString(RegistryApi& reg, RegKey root, const std::string& path,
                                            const std::string& name) {
    return RegKeyReader(reg, root, path).Read(name);
}

std::string RegReadString(RegistryApi& reg, RegKey root, const std::string& path,
                          const std::string& name, const std::string& defaultText) {
    auto text = RegTryReadString(reg, root, path, name);
    return text ? *text : defaultText;
}

void RegDeleteValue(RegistryApi& reg, RegKey root, const std::string& path, const std::string& name) {
    RegKey key = 0;
    reg.CreateKey(root, path, &key);
    reg.DeleteValue(key, name);
    reg.CloseKey(key);
}

void RegDeleteSubkey(RegistryApi& reg, RegKey root, const std::string& path) {
    reg.DeleteKey(root, path);
}

namespace {

// Skips the blanks and the sign before a number; true for a minus sign.
bool SkipToDigits(const std::string& text, std::size_t& i) {
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) return text[i++] == '-';
    return false;
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

long LeadingNumber(const std::string& text) {
    std::size_t i = 0;
    const bool negative = SkipToDigits(text, i);
    constexpr long kMax = std::numeric_limits<long>::max();
    long value = 0;
    // A run of digits too long for a long saturates instead of overflowing.
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        const int digit = text[i] - '0';
        value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
    }
    return negative ? -value : value;
}

bool SwitchOn(const std::string& text) {
    std::size_t i = 0;
    SkipToDigits(text, i);
    // The leading decimal number, fraction included: "0.5" is not 0.
    bool any = false, nonZero = false;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        any = true;
        nonZero = nonZero || text[i] != '0';
    }
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && IsDigit(text[i]); ++i) {
            any = true;
            nonZero = nonZero || text[i] != '0';
        }
    }
    return any && nonZero;
}

}  // namespace qw
