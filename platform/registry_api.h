// The registry operations the program uses, shaped like their advapi32 namesakes
// so the in-memory twin can be held to the same contract in native tests.
// Names, paths and text data are UTF-8 here; Windows keeps them in UTF-16,
// and the adapter converts (data of other types passes as it is).
#pragma once

#include <cstdint>
#include <string>

namespace qw {

using RegKey = std::uintptr_t;

constexpr RegKey kHkeyClassesRoot = 0x80000000u;
constexpr RegKey kHkeyCurrentUser = 0x80000001u;
constexpr RegKey kHkeyLocalMachine = 0x80000002u;

constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegMultiSz = 7;
constexpr std::uint32_t kKeyQueryValue = 1;
constexpr std::uint32_t kKeyRead = 0x20019;  // KEY_READ: values and subkeys listed and read

// Win32 error codes the callers and tests look at.
constexpr long kErrorSuccess = 0;
constexpr long kErrorFileNotFound = 2;
constexpr long kErrorAccessDenied = 5;
constexpr long kErrorInvalidHandle = 6;
constexpr long kErrorNotEnoughMemory = 8;
constexpr long kErrorOutOfMemory = 14;
constexpr long kErrorInvalidParameter = 87;
constexpr long kErrorMoreData = 234;
constexpr long kErrorNoMoreItems = 259;
constexpr long kErrorBadDb = 1009;
constexpr long kErrorRegistryCorrupt = 1015;
constexpr long kErrorRegistryIoFailed = 1016;
constexpr long kErrorKeyDeleted = 1018;
constexpr long kErrorNoSystemResources = 1450;

class RegistryApi {
public:
    virtual ~RegistryApi() = default;

    // RegCreateKeyW: opens the key, creating it and any missing keys above it.
    virtual long CreateKey(RegKey root, const std::string& path, RegKey* out) = 0;
    // RegSetValueExW: creates or replaces the named value ("" is the default value).
    virtual long SetValueEx(RegKey key, const std::string& name, std::uint32_t type,
                            const std::uint8_t* data, std::uint32_t size) = 0;
    // RegOpenKeyExW: opens an existing key; fails if it does not exist.
    virtual long OpenKeyEx(RegKey root, const std::string& path, std::uint32_t access,
                           RegKey* out) = 0;
    // RegQueryValueExW in UTF-8: `*size` gives the room in `data` and takes
    // back the size of the data (text in UTF-8 bytes, terminator included
    // where stored with one). No `data`: the size alone, ERROR_SUCCESS. Too
    // little room: ERROR_MORE_DATA, the size needed, nothing written past the
    // room. No `size` either: the type alone.
    virtual long QueryValueEx(RegKey key, const std::string& name, std::uint32_t* type,
                              std::uint8_t* data, std::uint32_t* size) = 0;
    // RegEnumValueW, names only.
    virtual long EnumValueName(RegKey key, std::uint32_t index, std::string* name) = 0;
    // RegEnumKeyExW, names only.
    virtual long EnumKeyName(RegKey key, std::uint32_t index, std::string* name) = 0;
    virtual long DeleteValue(RegKey key, const std::string& name) = 0;
    // RegDeleteKeyW: fails on a key that has subkeys.
    virtual long DeleteKey(RegKey root, const std::string& path) = 0;
    virtual long CloseKey(RegKey key) = 0;
};

}  // namespace qw
