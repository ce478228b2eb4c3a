// The program's only road to the registry. Writes and deletes fail silently;
// a read that fails gives the caller's default, which stands for "not set".
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry_api.h"

namespace qw {

void RegWriteString(RegistryApi& reg, RegKey root, const std::string& path, const std::string& name,
                    const std::string& data, std::uint16_t type);
// RegWriteString's steps, saying whether the key could be opened for writing
// and the value set: for callers that write elsewhere when refused.
bool RegTryWriteString(RegistryApi& reg, RegKey root, const std::string& path, const std::string& name,
                       const std::string& data, std::uint16_t type);
std::string RegReadString(RegistryApi& reg, RegKey root, const std::string& path,
                          const std::string& name, const std::string& defaultText);
void RegDeleteValue(RegistryApi& reg, RegKey root, const std::string& path, const std::string& name);
void RegDeleteSubkey(RegistryApi& reg, RegKey root, const std::string& path);

// How a read through RegKeyReader ended.
enum class ReadStatus {
    kRead,        // the text is there
    kAbsent,      // no such key or value
    kUnreadable,  // the value is there but does not fit the buffer
    kFailed,      // the registry refused: nothing is known of the value
};

// A key held open for many reads, each through the same 255-byte buffer as
// RegReadString; for loads that read thousands of values.
class RegKeyReader {
public:
    RegKeyReader(RegistryApi& reg, RegKey root, const std::string& path);
    ~RegKeyReader();
    RegKeyReader(const RegKeyReader&) = delete;
    RegKeyReader& operator=(const RegKeyReader&) = delete;
    // Nothing when the key or value is missing or the text does not fit.
    std::optional<std::string> Read(const std::string& name);
    ReadStatus TryRead(const std::string& name, std::string* text);
    // The value's data whole (text in UTF-8) and its type; data of more than
    // `maxBytes` reads kUnreadable.
    ReadStatus TryReadData(const std::string& name, std::uint32_t* type, std::string* data, std::uint32_t maxBytes);
    // The key's value names (none for a key that is not there); false when
    // the registry refused.
    bool ValueNames(std::vector<std::string>* names);
    // The error of the last read that ended kFailed.
    long Error() const { return error_; }

private:
    RegistryApi& reg_;
    RegKey key_ = 0;
    bool open_ = false;
    long error_ = kErrorSuccess;  // the key is there, or may be, but could not be opened
};

// A key held open (and created if missing) for many writes, each as
// RegWriteString writes.
class RegKeyWriter {
public:
    RegKeyWriter(RegistryApi& reg, RegKey root, const std::string& path);
    ~RegKeyWriter();
    RegKeyWriter(const RegKeyWriter&) = delete;
    RegKeyWriter& operator=(const RegKeyWriter&) = delete;
    // Whether the value was written (or deleted).
    bool Write(const std::string& name, const std::string& data, std::uint16_t type);
    bool Delete(const std::string& name);
    std::vector<std::string> ValueNames();
    RegKey Key() const { return key_; }
    // The error of the last write or delete that failed, or of opening the key.
    long Error() const { return error_; }

private:
    bool Done(long result);

    RegistryApi& reg_;
    RegKey key_ = 0;
    bool open_ = false;
    long error_ = kErrorSuccess;
};

// The read behind RegReadString, for callers whose data may equal any default:
// nothing when the key or value is missing or the text does not fit the
// 255-byte buffer with its terminator.
std::optional<std::string> RegTryReadString(RegistryApi& reg, RegKey root, const std::string& path,
                                            const std::string& name);

// The leading whole number of a text (counts); a text that does not begin
// with a number counts as 0. Leading blanks are skipped; a number too large
// for a long reads as the largest long.
long LeadingNumber(const std::string& text);
// A switch setting: on when the text's leading decimal number, fraction
// included, is not 0. A text that does not begin with a number is off.
bool SwitchOn(const std::string& text);

}  // namespace qw
