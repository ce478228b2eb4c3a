// What the platform layer promises, held against the in-memory twins here and
// against the Win32 adapters under Wine (tests/e2e/platform_test.cpp): the
// same cases, so that a twin cannot drift from what Windows does.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/file_api.h"
#include "platform/registry_api.h"
#include "platform/text.h"
#include "store/whole_file.h"

namespace qw {

// QueryValueEx answers as RegQueryValueExW does, in UTF-8 bytes: no buffer
// asks for the size (and gets it); a buffer too small gets ERROR_MORE_DATA
// and the size, and nothing is written past it. `key` is open for writing.
inline void ExpectQueryValueExAsWindowsAnswers(RegistryApi& reg, RegKey key) {
    const std::string text = std::string(u8"Привет, мир") + '\0';  // 21 bytes; 24 in UTF-16
    const std::string bytes = "\x01\x02\x03\x04\x05\x06\x07\x08\x09\xFF";
    std::string longText;  // 6,001 bytes, beyond the 765 the program reads values through
    for (int i = 0; i < 3000; ++i) longText += u8"é";
    longText += '\0';
    const std::tuple<const char*, std::uint32_t, const std::string&> values[] = {
        {"Text", kRegSz, text}, {"Bytes", kRegBinary, bytes}, {"Long", kRegSz, longText}};
    for (const auto& [name, type, data] : values) {
        ASSERT_EQ(reg.SetValueEx(key, name, type, reinterpret_cast<const std::uint8_t*>(data.data()),
                                 static_cast<std::uint32_t>(data.size())),
                  kErrorSuccess);
    }
    struct Case {
        const char* name;
        bool buffer;
        std::uint32_t room;  // the size given in
        long result;
        std::uint32_t size, type;  // given back
        const std::string* data;
    };
    const Case cases[] = {
        {"Text", false, 0, kErrorSuccess, 21, kRegSz, nullptr},
        {"Text", false, 999, kErrorSuccess, 21, kRegSz, nullptr},
        {"Text", true, 21, kErrorSuccess, 21, kRegSz, &text},
        {"Text", true, 20, kErrorMoreData, 21, kRegSz, nullptr},
        {"Text", true, 11, kErrorMoreData, 21, kRegSz, nullptr},  // short of the UTF-16 bytes too
        {"Text", true, 0, kErrorMoreData, 21, kRegSz, nullptr},
        {"Bytes", false, 0, kErrorSuccess, 10, kRegBinary, nullptr},
        {"Bytes", true, 4, kErrorMoreData, 10, kRegBinary, nullptr},
        {"Bytes", true, 10, kErrorSuccess, 10, kRegBinary, &bytes},
        {"Long", false, 0, kErrorSuccess, 6001, kRegSz, nullptr},
        {"Long", true, 765, kErrorMoreData, 6001, kRegSz, nullptr},
        {"Long", true, 6001, kErrorSuccess, 6001, kRegSz, &longText},
        {"Missing", true, 100, kErrorFileNotFound, 100, 0, nullptr},
    };
    for (const Case& c : cases) {
        std::vector<std::uint8_t> buffer(c.room + 1, 0xCC);  // one byte beyond the room, to see it stays
        std::uint32_t size = c.room, type = 0;
        const long result = reg.QueryValueEx(key, c.name, &type, c.buffer ? buffer.data() : nullptr, &size);
        EXPECT_EQ(std::make_tuple(result, size, type), std::make_tuple(c.result, c.size, c.type))
            << c.name << " in " << c.room << (c.buffer ? " bytes" : " (no buffer)");
        EXPECT_EQ(buffer.back(), 0xCC) << c.name << " in " << c.room;
        if (c.data) {
            EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + size), *c.data) << c.name;
        }
    }
    std::uint32_t type = 0;  // the type alone, with neither buffer nor size
    EXPECT_EQ(std::make_pair(reg.QueryValueEx(key, "Bytes", &type, nullptr, nullptr), type),
              std::make_pair(kErrorSuccess, kRegBinary));
}

inline std::optional<std::string> ReadWhole(FileApi& files, const std::string& path) {
    const FileHandle file = files.OpenRead(path);
    if (!file) return std::nullopt;
    std::string data;
    char chunk[4096];
    long n = 0;
    while ((n = files.Read(file, chunk, sizeof chunk)) > 0) data.append(chunk, static_cast<std::size_t>(n));
    files.Close(file);
    return n == 0 ? std::optional<std::string>(data) : std::nullopt;
}

inline bool WriteWhole(FileApi& files, const std::string& path, const std::string& data) {
    const FileHandle file = files.Create(path);
    if (!file) return false;
    const bool written = files.Write(file, data.data(), data.size());
    return files.Close(file) && written;
}

// A file written whole beside the user's own: its temporary file touches no
// name a user picks ("name.tmp"), what earlier writes left goes (whatever the
// case of its name) unless another process still writes it, and neither a
// target beyond MAX_PATH nor one whose temporary file alone lies beyond it is
// an obstacle. `folder` exists, holds none of these names and is shorter than
// 240 characters.
inline void ExpectWholeFileBesideTheUsersFiles(FileApi& files, const std::string& folder) {
    for (const std::size_t length : {std::size_t{255}, std::size_t{300}}) {
        const std::string name = std::string(length - utf8::Utf16Units(folder) - 5, 'h') + ".csv";
        const std::string target = folder + "\\" + name;
        std::vector<std::pair<std::string, std::string>> kept = {
            {".tmp", "the user's own"}, {".~qwerty.tmp", "the user's too"}, {".~qw.tmp", "no process"},
            {".~qw17.txt", "the user's again"}};
        for (const auto& [suffix, data] : kept) ASSERT_TRUE(WriteWhole(files, target + suffix, data)) << suffix;
        for (const char* left : {".~qw17.tmp", ".~QW18.TMP"}) ASSERT_TRUE(WriteWhole(files, target + left, "left"));
        const FileHandle writing = files.Create(target + ".~qw19.tmp");  // another process at work
        ASSERT_NE(writing, 0u);
        WholeFileWriter out(files, target);
        EXPECT_TRUE(out.Write("the new file") && out.Commit()) << length;
        EXPECT_EQ(ReadWhole(files, target), std::optional<std::string>("the new file")) << length;
        for (const auto& [suffix, data] : kept) EXPECT_EQ(ReadWhole(files, target + suffix), data) << suffix;
        std::vector<std::string> names = files.NamesStartingWith(target);
        std::sort(names.begin(), names.end());
        EXPECT_EQ(names, (std::vector<std::string>{name, name + ".tmp", name + ".~qw.tmp", name + ".~qw17.txt",
                                                    name + ".~qw19.tmp", name + ".~qwerty.tmp"}))
            << length;
        EXPECT_TRUE(files.Close(writing));
        for (const std::string& each : names) EXPECT_TRUE(files.Delete(folder + "\\" + each)) << each;
        EXPECT_TRUE(files.NamesStartingWith(target).empty());
    }
}

}  // namespace qw
