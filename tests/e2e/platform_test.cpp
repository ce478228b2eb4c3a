// The Win32 adapters held to the same cases as their in-memory twins
// (tests/unit/platform_contract.h), on Wine's registry and files: the size
// of a registry value in UTF-8, and a file written whole beside the user's
// own, beyond MAX_PATH.
#include <gtest/gtest.h>

#include "e2e_support.h"
#include "platform/win32/win32_files.h"
#include "platform/win32/win32_platform.h"
#include "tests/unit/platform_contract.h"

namespace qwe2e {
namespace {

TEST(Platform, Win32AdaptersAnswerAsTheirTwins) {
    qw::Win32Registry reg;
    const char kParent[] = "Software\\Varn\\Quellwatch Test", kKey[] = "Software\\Varn\\Quellwatch Test\\Adapter";
    qw::RegKey key = 0;
    ASSERT_EQ(reg.CreateKey(qw::kHkeyCurrentUser, kKey, &key), qw::kErrorSuccess);
    qw::ExpectQueryValueExAsWindowsAnswers(reg, key);
    std::uint8_t byte = 0;
    EXPECT_EQ(reg.QueryValueEx(key, "Text", nullptr, &byte, nullptr), qw::kErrorInvalidParameter);
    EXPECT_EQ(reg.CloseKey(key), qw::kErrorSuccess);
    EXPECT_EQ(reg.DeleteKey(qw::kHkeyCurrentUser, kKey), qw::kErrorSuccess);
    EXPECT_EQ(reg.DeleteKey(qw::kHkeyCurrentUser, kParent), qw::kErrorSuccess);

    qw::Win32Files files;
    const std::string folder = BinDir() + "\\" + std::string(200 - BinDir().size(), 'd');
    RemoveDirectoryW(Wide(folder).c_str());  // left by a run stopped halfway
    ASSERT_TRUE(CreateDirectoryW(Wide(folder).c_str(), nullptr));
    qw::ExpectWholeFileBesideTheUsersFiles(files, folder);
    EXPECT_TRUE(RemoveDirectoryW(Wide(folder).c_str()));
}

}  // namespace
}  // namespace qwe2e
