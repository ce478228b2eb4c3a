// The Win32 adapters held to their twins' cases (tests/unit/platform_contract.h)
// on Wine's registry and files.
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
    reg.CloseKey(key);
    qw::ExpectSubkeysListedAsWindowsLists(reg, std::string(kParent) + "\\Listed");
    EXPECT_EQ(reg.DeleteKey(qw::kHkeyCurrentUser, kKey) + reg.DeleteKey(qw::kHkeyCurrentUser, kParent), 0);

    qw::Win32Files files;
    const std::string folder = BinDir() + "\\" + std::string(200 - BinDir().size(), 'd');
    RemoveDirectoryW(Wide(folder).c_str());  // left by a run stopped halfway
    ASSERT_TRUE(CreateDirectoryW(Wide(folder).c_str(), nullptr));
    qw::ExpectWholeFileBesideTheUsersFiles(files, folder);
    EXPECT_TRUE(RemoveDirectoryW(Wide(folder).c_str()));

    // The layout's name of a punctuation key: its character, on this host's US layout.
    EXPECT_EQ(std::make_pair(qw::LayoutKeyName(VK_OEM_1), qw::LayoutKeyName(VK_OEM_4)),
              std::make_pair(std::string(";"), std::string("[")));
}

}  // namespace
}  // namespace qwe2e
