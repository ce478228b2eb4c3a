// The registry procedures and the in-memory registry they are tested against.
#include <gtest/gtest.h>

#include <limits>

#include "platform/memory/memory_registry.h"
#include "store/registry_access.h"

namespace qw {
namespace {

const char kKey[] = "Software\\Varn\\Quellwatch\\Options";

class RegistryAccess : public ::testing::Test {
protected:
    MemoryRegistry reg;
};

TEST_F(RegistryAccess, ReadOfMissingKeyGivesDefaultAndCreatesNothing) {
    EXPECT_EQ(RegReadString(reg, kHkeyCurrentUser, kKey, "Sound", "dflt"), "dflt");
    EXPECT_FALSE(reg.KeyExists(kHkeyCurrentUser, "Software"));
    EXPECT_EQ(reg.OpenHandles(), 0u);
}

TEST_F(RegistryAccess, EmptyStoredTextIsNotTheDefault) {
    RegWriteString(reg, kHkeyCurrentUser, kKey, "Sound", "", kRegSz);
    EXPECT_EQ(RegReadString(reg, kHkeyCurrentUser, kKey, "Sound", "dflt"), "");
}

TEST_F(RegistryAccess, ReadsThroughA255ByteBuffer) {
    const std::string t254(254, 'a'), t255(255, 'b'), t256(256, 'c');
    RegWriteString(reg, kHkeyCurrentUser, kKey, "a", t254, kRegSz);
    RegWriteString(reg, kHkeyCurrentUser, kKey, "b", t255, kRegSz);
    RegWriteString(reg, kHkeyCurrentUser, kKey, "c", t256, kRegSz);
    EXPECT_EQ(RegReadString(reg, kHkeyCurrentUser, kKey, "a", "d"), t254);
    // 255 bytes fill the buffer with no room for a terminator.
    EXPECT_EQ(RegReadString(reg, kHkeyCurrentUser, kKey, "b", "d"), "d");
    EXPECT_EQ(RegReadString(reg, kHkeyCurrentUser, kKey, "c", "d"), "d");
    EXPECT_FALSE(RegTryReadString(reg, kHkeyCurrentUser, kKey, "c").has_value());
}

TEST_F(RegistryAccess, TextEndsAtFirstNul) {
    RegWriteString(reg, kHkeyCurrentUser, kKey, "v", std::string("ab\0cd", 5), kRegSz);
    EXPECT_EQ(RegReadString(reg, kHkeyCurrentUser, kKey, "v", "d"), "ab");
}

TEST_F(RegistryAccess, EmptyNameIsTheDefaultValue) {
    RegWriteString(reg, kHkeyCurrentUser, kKey, "", "3", kRegSz);
    EXPECT_EQ(RegReadString(reg, kHkeyCurrentUser, kKey, "", "0"), "3");
    EXPECT_EQ(reg.ValueNames(kHkeyCurrentUser, kKey), std::vector<std::string>{""});
}

TEST_F(RegistryAccess, WriteCreatesEveryKeyOnThePathAndNamesIgnoreCase) {
    RegWriteString(reg, kHkeyCurrentUser, "A\\B\\C", "Name", "x", kRegSz);
    EXPECT_TRUE(reg.KeyExists(kHkeyCurrentUser, "a\\b"));
    EXPECT_EQ(RegReadString(reg, kHkeyCurrentUser, "a\\B\\c", "NAME", "d"), "x");
    RegWriteString(reg, kHkeyCurrentUser, "a\\b\\c", "name", "y", kRegSz);
    EXPECT_EQ(reg.ValueNames(kHkeyCurrentUser, "A\\B\\C").size(), 1u);
    EXPECT_EQ(RegReadString(reg, kHkeyCurrentUser, "A\\B\\C", "Name", "d"), "y");
    EXPECT_EQ(reg.OpenHandles(), 0u);
}

TEST_F(RegistryAccess, RootsAreSeparate) {
    RegWriteString(reg, kHkeyLocalMachine, kKey, "v", "machine", kRegSz);
    EXPECT_EQ(RegReadString(reg, kHkeyCurrentUser, kKey, "v", "d"), "d");
}

TEST_F(RegistryAccess, BinaryWriteStoresExactlyTheTextBytes) {
    RegWriteString(reg, kHkeyClassesRoot, "Quellwatch Window List", "EditFlags",
                   std::string("\x08\0\0\0", 4), kRegBinary);
    auto value = reg.GetValue(kHkeyClassesRoot, "Quellwatch Window List", "EditFlags");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, kRegBinary);
    EXPECT_EQ(value->data, (std::vector<std::uint8_t>{8, 0, 0, 0}));
}

TEST_F(RegistryAccess, DeleteValueOfMissingKeyLeavesItExistingAndEmpty) {
    RegDeleteValue(reg, kHkeyLocalMachine, "Run", "Quellwatch");
    EXPECT_TRUE(reg.KeyExists(kHkeyLocalMachine, "Run"));
    EXPECT_TRUE(reg.ValueNames(kHkeyLocalMachine, "Run").empty());
}

TEST_F(RegistryAccess, DeleteSubkeyRemovesValuesAndIgnoresMissingKey) {
    RegWriteString(reg, kHkeyCurrentUser, "K\\Data", "x", "1", kRegSz);
    RegDeleteSubkey(reg, kHkeyCurrentUser, "K\\Data");
    EXPECT_FALSE(reg.KeyExists(kHkeyCurrentUser, "K\\Data"));
    EXPECT_TRUE(reg.KeyExists(kHkeyCurrentUser, "K"));
    RegDeleteSubkey(reg, kHkeyCurrentUser, "K\\Data");  // no effect, no failure
}

TEST(MemoryRegistry, DeleteKeyRefusesAKeyWithSubkeys) {
    MemoryRegistry reg;
    reg.PutString(kHkeyCurrentUser, "A\\B", "v", "1");
    EXPECT_EQ(reg.DeleteKey(kHkeyCurrentUser, "A"), kErrorAccessDenied);
    EXPECT_TRUE(reg.KeyExists(kHkeyCurrentUser, "A\\B"));
    EXPECT_EQ(reg.DeleteKey(kHkeyCurrentUser, "a\\b"), kErrorSuccess);
    EXPECT_EQ(reg.DeleteKey(kHkeyCurrentUser, "A"), kErrorSuccess);
}

TEST(MemoryRegistry, HandleOfDeletedKeyGoesStale) {
    MemoryRegistry reg;
    RegKey key = 0;
    ASSERT_EQ(reg.CreateKey(kHkeyCurrentUser, "A", &key), kErrorSuccess);
    ASSERT_EQ(reg.DeleteKey(kHkeyCurrentUser, "A"), kErrorSuccess);
    const std::uint8_t byte = 'x';
    EXPECT_EQ(reg.SetValueEx(key, "v", kRegSz, &byte, 1), kErrorKeyDeleted);
    EXPECT_FALSE(reg.KeyExists(kHkeyCurrentUser, "A"));
    EXPECT_EQ(reg.CloseKey(key), kErrorSuccess);
    EXPECT_EQ(reg.CloseKey(key), kErrorInvalidHandle);
}

TEST(MemoryRegistry, QueryReportsNeededSizeWhenBufferIsShort) {
    MemoryRegistry reg;
    reg.PutString(kHkeyCurrentUser, "A", "v", "hello");
    RegKey key = 0;
    ASSERT_EQ(reg.OpenKeyEx(kHkeyCurrentUser, "A", kKeyQueryValue, &key), kErrorSuccess);
    std::uint8_t buffer[4];
    std::uint32_t size = sizeof buffer;
    EXPECT_EQ(reg.QueryValueEx(key, "v", nullptr, buffer, &size), kErrorMoreData);
    EXPECT_EQ(size, 5u);
    reg.CloseKey(key);
}

TEST(LeadingNumber, TakesTheNumberAtTheStart) {
    EXPECT_EQ(LeadingNumber("1"), 1);
    EXPECT_EQ(LeadingNumber("0"), 0);
    EXPECT_EQ(LeadingNumber("12abc"), 12);
    EXPECT_EQ(LeadingNumber("  7"), 7);
    EXPECT_EQ(LeadingNumber("abc"), 0);
    EXPECT_EQ(LeadingNumber(""), 0);
    EXPECT_EQ(LeadingNumber("-3"), -3);
    EXPECT_EQ(LeadingNumber("True"), 0);
    // Saturates instead of overflowing.
    EXPECT_EQ(LeadingNumber("99999999999999999999"), std::numeric_limits<long>::max());
    EXPECT_EQ(LeadingNumber("-99999999999999999999"), -std::numeric_limits<long>::max());
    EXPECT_EQ(LeadingNumber("0.5"), 0);
}

}  // namespace
}  // namespace qw
