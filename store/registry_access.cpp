#include "store/registry_access.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "platform/text.h"
#include <limits>

namespace qw {
namespace {
// Values are read through a buffer of 255 characters: a text of 254 reads
// whole, one that fills the buffer (no room for its terminator) or is longer
// does not. Characters as Windows counts them in its buffers, UTF-16 units.
constexpr std::size_t kReadBufferChars = 255;
// Room for 255 characters in UTF-8, at most three bytes each (a character
// beyond the first plane is four bytes for two units).
constexpr std::uint32_t kReadBufferBytes = 3 * kReadBufferChars;

std::size_t Characters(std::uint32_t type, std::string_view data) {
    return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz ? utf8::Utf16Units(data) : data.size();
}
}

RegKeyWriter::RegKeyWriter(RegistryApi& reg, RegKey root, const std::string& path) : reg_(reg) {
    open_ = Done(reg_.CreateKey(root, path, &key_));
}

bool RegKeyWriter::Done(long result) {
    if (result != kErrorSuccess) error_ = result;
    return result == kErrorSuccess;
}

RegKeyWriter::~RegKeyWriter() {
    if (open_) reg_.CloseKey(key_);
}

bool RegKeyWriter::Write(const std::string& name, const std::string& data, std::uint16_t type) {
    // No terminator is written: the stored data is exactly the text's bytes,
    // which is what makes a REG_BINARY write of "\x08\0\0\0" four bytes.
    return open_ && Done(reg_.SetValueEx(key_, name, type, reinterpret_cast<const std::uint8_t*>(data.data()),
                                         static_cast<std::uint32_t>(data.size())));
}

bool RegKeyWriter::Delete(const std::string& name) { return open_ && Done(reg_.DeleteValue(key_, name)); }

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
    if (!open_ && opened != kErrorFileNotFound) error_ = opened;
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
    if (!open_) return error_ != kErrorSuccess ? ReadStatus::kFailed : ReadStatus::kAbsent;
    std::uint8_t buffer[kReadBufferBytes] = {};
    std::uint32_t size = kReadBufferBytes;
    std::uint32_t type = 0;
    switch (const long result = reg_.QueryValueEx(key_, name, &type, buffer, &size)) {
    case kErrorSuccess: break;
    case kErrorFileNotFound: return ReadStatus::kAbsent;
    case kErrorMoreData: return ReadStatus::kUnreadable;
    default: error_ = result; return ReadStatus::kFailed;
    }
    const std::string_view data(reinterpret_cast<const char*>(buffer), std::min(size, kReadBufferBytes));
    // The text ends at its first NUL; a value stored without one ends with its data.
    const std::string_view read = data.substr(0, data.find('\0'));
    if (Characters(type, data) > kReadBufferChars || Characters(type, read) >= kReadBufferChars)
        return ReadStatus::kUnreadable;
    // Data of another type comes byte for byte; the program's texts are
    // UTF-8, so what is not UTF-8 in it reads as U+FFFD, as a text of the
    // registry would.
    *text = utf8::IsValid(read) ? std::string(read) : utf8::FromUtf16(utf8::ToUtf16(read));
    return ReadStatus::kRead;
}

ReadStatus RegKeyReader::TryReadData(const std::string& name, std::uint32_t* type, std::string* data,
                                     std::uint32_t maxBytes) {
    if (!open_) return error_ != kErrorSuccess ? ReadStatus::kFailed : ReadStatus::kAbsent;
    std::string buffer(maxBytes, '\0');
    std::uint32_t size = maxBytes;
    switch (const long result =
                reg_.QueryValueEx(key_, name, type, reinterpret_cast<std::uint8_t*>(&buffer[0]), &size)) {
    case kErrorSuccess: break;
    case kErrorFileNotFound: return ReadStatus::kAbsent;
    case kErrorMoreData: return ReadStatus::kUnreadable;
    default: error_ = result; return ReadStatus::kFailed;
    }
    buffer.resize(std::min(size, maxBytes));
    *data = std::move(buffer);
    return ReadStatus::kRead;
}

bool RegKeyReader::ValueNames(std::vector<std::string>* names) {
    names->clear();
    if (!open_) return error_ == kErrorSuccess;
    std::string name;
    for (std::uint32_t index = 0;; ++index) {
        const long result = reg_.EnumValueName(key_, index, &name);
        if (result == kErrorNoMoreItems) return true;
        if (result != kErrorSuccess) {
            error_ = result;
            return false;
        }
        names->push_back(name);
    }
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
