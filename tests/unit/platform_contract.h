// What the platform layer promises, held against the in-memory twins here and
// against the Win32 adapters under Wine (tests/e2e/platform_test.cpp) alike.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "platform/file_api.h"
#include "platform/registry_api.h"
#include "store/whole_file.h"

namespace qw {

// QueryValueEx answers as RegQueryValueExW, in UTF-8 bytes: no buffer asks
// the size; too little room gets ERROR_MORE_DATA and the size, and nothing is
// written past the room. `key` is open for writing.
inline void ExpectQueryValueExAsWindowsAnswers(RegistryApi& reg, RegKey key) {
    const std::map<std::string, std::pair<std::uint32_t, std::string>> values = {
        {"Text", {kRegSz, u8"Привет, мир" + std::string(1, '\0')}},  // 21 bytes, 24 in UTF-16
        {"Bytes", {kRegBinary, "\x01\x02\x03\x04\x05\x06\x07\x08\x09\xFF"}},
        {"Long", {kRegSz, std::string(6000, 'x') + '\0'}}};  // read twice: beyond the first buffer
    for (const auto& [name, value] : values) {
        ASSERT_EQ(reg.SetValueEx(key, name, value.first, reinterpret_cast<const std::uint8_t*>(value.second.data()),
                                 static_cast<std::uint32_t>(value.second.size())), kErrorSuccess);
    }
    // The value, whether a buffer is given, the room; the result and the size given back.
    const std::tuple<const char*, bool, std::uint32_t, long, std::uint32_t> cases[] = {
        {"Text", false, 0, kErrorSuccess, 21},   {"Text", true, 21, kErrorSuccess, 21},
        {"Text", true, 20, kErrorMoreData, 21},  {"Text", true, 11, kErrorMoreData, 21},
        {"Bytes", false, 0, kErrorSuccess, 10},  {"Bytes", true, 4, kErrorMoreData, 10},
        {"Long", true, 765, kErrorMoreData, 6001}, {"Long", true, 6001, kErrorSuccess, 6001},
        {"Missing", true, 9, kErrorFileNotFound, 9}};
    for (const auto& [name, buffered, room, result, size] : cases) {
        std::vector<std::uint8_t> buffer(room + 1, 0xCC);  // a byte beyond the room, which stays
        std::uint32_t given = room, type = 0;
        const long answer = reg.QueryValueEx(key, name, &type, buffered ? buffer.data() : nullptr, &given);
        EXPECT_EQ(std::make_tuple(answer, given, buffer.back()), std::make_tuple(result, size, std::uint8_t{0xCC}))
            << name << " " << room;
        if (buffered && result == kErrorSuccess) {
            EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + given), values.at(name).second) << name;
        }
    }
    std::uint32_t type = 0;  // the type alone, with neither buffer nor size; a buffer without its size
    std::uint8_t byte = 0;
    EXPECT_EQ(std::make_tuple(reg.QueryValueEx(key, "Bytes", &type, nullptr, nullptr), type,
                              reg.QueryValueEx(key, "Bytes", nullptr, &byte, nullptr)),
              std::make_tuple(kErrorSuccess, kRegBinary, kErrorInvalidParameter));
}

// EnumKeyName lists a key's subkeys as RegEnumKeyExW does, by name in any
// case, their own subkeys and the key's values not among them; a key with a
// subkey is not deleted. `path` under HKEY_CURRENT_USER does not exist yet,
// and is gone again afterwards.
inline void ExpectSubkeysListedAsWindowsLists(RegistryApi& reg, const std::string& path) {
    for (const char* sub : {"\\Gamma", "\\alpha\\deep", "\\Beta"}) {
        RegKey key = 0;
        ASSERT_EQ(reg.CreateKey(kHkeyCurrentUser, path + sub, &key), kErrorSuccess);
        reg.SetValueEx(key, "Value", kRegBinary, reinterpret_cast<const std::uint8_t*>("x"), 1);
        reg.CloseKey(key);
    }
    RegKey key = 0;
    ASSERT_EQ(reg.OpenKeyEx(kHkeyCurrentUser, path, kKeyRead, &key), kErrorSuccess);
    std::vector<std::string> names;
    std::string name;
    long result = kErrorSuccess;
    for (std::uint32_t i = 0; (result = reg.EnumKeyName(key, i, &name)) == kErrorSuccess && i < 9; ++i)
        names.push_back(name);
    reg.CloseKey(key);
    EXPECT_EQ(std::make_pair(names, result),
              std::make_pair(std::vector<std::string>{"alpha", "Beta", "Gamma"}, kErrorNoMoreItems));
    EXPECT_EQ(reg.DeleteKey(kHkeyCurrentUser, path + "\\alpha"), kErrorAccessDenied);
    for (const char* sub : {"\\alpha\\deep", "\\alpha", "\\Beta", "\\Gamma", ""})
        EXPECT_EQ(reg.DeleteKey(kHkeyCurrentUser, path + sub), kErrorSuccess) << sub;
}

inline std::string ReadWhole(FileApi& files, const std::string& path) {
    const FileHandle file = files.OpenRead(path);
    std::string data = file ? "" : "(cannot be read)";
    char chunk[4096];
    for (long n = 0; file && (n = files.Read(file, chunk, sizeof chunk)) > 0;) data.append(chunk, std::size_t(n));
    if (file) files.Close(file);
    return data;
}

// A file written whole beside the user's own: its temporary file touches no
// name a user picks, what earlier writes left goes (in any case) unless
// another process still writes it, and MAX_PATH is no obstacle, whether the
// temporary file alone or the target too lies beyond it. `folder` exists,
// holds none of these names and is shorter than 240 ASCII characters.
inline void ExpectWholeFileBesideTheUsersFiles(FileApi& files, const std::string& folder) {
    for (const std::size_t length : {255, 300}) {
        const std::string name = std::string(length - folder.size() - 5, 'h') + ".csv", target = folder + "\\" + name;
        FileHandle writing = 0;  // each file holds its suffix; the last stays open, as if another process wrote it
        for (const char* suffix :
             {".tmp", ".~qwerty.tmp", ".~qw.tmp", ".~qw17.txt", ".~qw17.tmp", ".~QW18.TMP", ".~qw19.tmp"}) {
            if (writing) {
                EXPECT_TRUE(files.Close(writing));
            }
            writing = files.Create(target + suffix);
            ASSERT_TRUE(writing && files.Write(writing, suffix, std::char_traits<char>::length(suffix))) << suffix;
        }
        WholeFileWriter out(files, target);
        EXPECT_TRUE(out.Write("new") && out.Commit()) << length;
        EXPECT_TRUE(files.Close(writing));
        std::vector<std::string> names = files.NamesStartingWith(target);
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{name, name + ".tmp", name + ".~qw.tmp", name + ".~qw17.txt",
                                                    name + ".~qw19.tmp", name + ".~qwerty.tmp"})) << length;
        for (const std::string& each : names) {
            EXPECT_EQ(ReadWhole(files, folder + "\\" + each), each == name ? "new" : each.substr(name.size()));
            EXPECT_TRUE(files.Delete(folder + "\\" + each)) << each;
        }
    }
}

}  // namespace qw
