// The platform layer's promises, held against the in-memory twins (the same
// cases run against the Win32 adapters under Wine), and long paths.
#include <gtest/gtest.h>

#include "platform/long_path.h"
#include "platform/memory/memory_files.h"
#include "platform/memory/memory_registry.h"
#include "tests/unit/platform_contract.h"

namespace qw {
namespace {

TEST(PlatformContract, TheTwinsAnswerAsWindowsDoes) {
    MemoryRegistry reg;
    RegKey key = 0;
    ASSERT_EQ(reg.CreateKey(kHkeyCurrentUser, "Software\\Varn\\Quellwatch\\Test", &key), kErrorSuccess);
    ExpectQueryValueExAsWindowsAnswers(reg, key);
    ExpectSubkeysListedAsWindowsLists(reg, "Software\\Varn\\Quellwatch\\Listed");
    MemoryFiles files;
    ExpectWholeFileBesideTheUsersFiles(files, "C:\\Users\\Ann\\" + std::string(200, 'd'));
    EXPECT_TRUE(files.files.empty());
}

// Drive and UNC paths of MAX_PATH units or more take the extended-length
// form, cleaned up as Windows cleans up the others; anything else stays.
TEST(ExtendedLengthPath, LongDriveAndUncPathsOnly) {
    const std::string d(251, 'd'), e(240, 'e'), far(300, 'f');
    std::string cyrillic;  // 128 units in 256 bytes
    for (int i = 0; i < 128; ++i) cyrillic += u8"ж";
    const std::pair<std::string, std::string> cases[] = {
        {"C:\\" + d + "\\a.csv", "\\\\?\\C:\\" + d + "\\a.csv"},  // 260 units
        {"C:\\" + std::string(256, 'x'), "C:\\" + std::string(256, 'x')},  // 259: room for the NUL
        {"C:\\" + cyrillic + "\\" + cyrillic.substr(2), "C:\\" + cyrillic + "\\" + cyrillic.substr(2)},  // 259 units
        {"c:/" + d + "//x/./y/../a.csv", "\\\\?\\c:\\" + d + "\\x\\a.csv"},
        {"C:\\..\\..\\" + d + "\\a.csv. . ", "\\\\?\\C:\\" + d + "\\a.csv"},
        {"\\\\server\\share\\" + e + "\\a.csv", "\\\\?\\UNC\\server\\share\\" + e + "\\a.csv"},
        {"\\\\server\\share\\..\\..\\" + e + "\\a.csv", "\\\\?\\UNC\\server\\share\\" + e + "\\a.csv"},
        {"\\\\?\\C:\\" + far, "\\\\?\\C:\\" + far},
        {"\\\\.\\C:\\" + far, "\\\\.\\C:\\" + far},
        {far + "\\a.csv", far + "\\a.csv"},            // relative
        {"C:" + far + "\\a.csv", "C:" + far + "\\a.csv"},  // relative to drive C:'s folder
        {"\\" + far + "\\a.csv", "\\" + far + "\\a.csv"},  // rooted on the current drive
    };
    for (const auto& [path, extended] : cases) EXPECT_EQ(ExtendedLengthPath(path), extended) << path.size();
}

}  // namespace
}  // namespace qw
