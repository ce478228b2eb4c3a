// The program's only road to the registry. Writes and deletes fail silently;
// a read that fails gives the caller's default, which stands for "not set".
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "platform/registry_api.h"

namespace qw {

void RegWriteString(RegistryApi& reg, RegKey root, const std::string& path, const std::string& name,
                    const std::string& data, std::uint16_t type);
std::string RegReadString(RegistryApi& reg, RegKey root, const std::string& path,
                          const std::string& name, const std::string& defaultText);
void RegDeleteValue(RegistryApi& reg, RegKey root, const std::string& path, const std::string& name);
void RegDeleteSubkey(RegistryApi& reg, RegKey root, const std::string& path);

// The read behind RegReadString, for callers whose data may equal any default:
// nothing when the key or value is missing or the text does not fit the
// 255-byte buffer with its terminator.
std::optional<std::string> RegTryReadString(RegistryApi& reg, RegKey root, const std::string& path,
                                            const std::string& name);

// The leading decimal number of a setting text; a text that does not begin
// with a number counts as 0. Leading blanks are skipped.
long LeadingNumber(const std::string& text);

}  // namespace qw
