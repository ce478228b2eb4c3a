// The window list in the registry key Data: its layout, the load rules and a
// save that cannot lose the list whenever it is cut short.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "platform/memory/memory_platform.h"
#include "platform/memory/memory_registry.h"
#include "store/file_association.h"
#include "store/window_list_store.h"

namespace qw {
namespace {

using Strings = std::vector<std::string>;

struct Fixture {
    MemoryRegistry reg;
    MemoryListBox box;
    EntryList lv{&box};
    MemoryText numWindows;
    LowerTable lower = LowerTable::Windows1252();
    WindowListStore store{reg, lv, &numWindows, lower, ","};

    void Seed(const std::string& count, const std::vector<std::pair<std::string, std::string>>& values) {
        reg.PutString(kHkeyCurrentUser, kDataKeyPath, "", count);
        for (const auto& v : values) reg.PutString(kHkeyCurrentUser, kDataKeyPath, v.first, v.second);
    }
    void SetList(const Strings& entries) {
        lv.Clear();
        for (const auto& e : entries) lv.Add(e);
    }
    Strings Stored(const std::string& name) const {
        auto v = reg.GetString(kHkeyCurrentUser, kDataKeyPath, name);
        return v ? Strings{*v} : Strings{};
    }
};

TEST(WindowListSave, WritesCountAndOneValuePerEntryAndNothingElse) {
    Fixture f;
    f.Seed("5", {{" 0", "old0"}, {" 1", "old1"}, {" 4", "old4"}, {"7", "junk"}, {" 9", "beyond"}});
    f.SetList({"Alpha", "beta", "Gamma"});
    f.store.SaveWindowList();
    auto names = f.reg.ValueNames(kHkeyCurrentUser, kDataKeyPath);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (Strings{"", " 0", " 1", " 2"}));
    EXPECT_EQ(f.Stored(""), Strings{"3"});
    EXPECT_EQ(f.Stored(" 0"), Strings{"Alpha"});
    EXPECT_EQ(f.Stored(" 1"), Strings{"beta"});
    EXPECT_EQ(f.Stored(" 2"), Strings{"Gamma"});
    EXPECT_EQ(f.box.items, (Strings{"Alpha", "beta", "Gamma"}));
    EXPECT_EQ(f.reg.OpenHandles(), 0u);
}

TEST(WindowListSave, EmptyListLeavesOnlyTheCountZero) {
    Fixture f;
    f.Seed("2", {{" 0", "a1234"}, {" 1", "b1234"}});
    f.SetList({});
    f.store.SaveWindowList();
    EXPECT_EQ(f.reg.ValueNames(kHkeyCurrentUser, kDataKeyPath), Strings{""});
    EXPECT_EQ(f.Stored(""), Strings{"0"});
    EXPECT_EQ(f.numWindows.text, "Quellwatch is currently scanning for 0 windows.");
}

TEST(WindowListSave, RepeatsAreWrittenThenDroppedByTheReload) {
    Fixture f;
    f.SetList({"Notepad", "NOTEPAD", "Other"});
    f.store.SaveWindowList();
    EXPECT_EQ(f.Stored(" 1"), Strings{"NOTEPAD"});
    EXPECT_EQ(f.lv.Items(), (Strings{"Notepad", "Other"}));
}

TEST(WindowListSave, OverlongEntryIsDroppedByTheReloadAndGoneAfterTheNextSave) {
    Fixture f;
    f.SetList({"short entry", std::string(300, 'x')});
    f.store.SaveWindowList();
    EXPECT_EQ(f.Stored(" 1"), Strings{std::string(300, 'x')});
    EXPECT_EQ(f.lv.Items(), Strings{"short entry"});
    f.store.SaveWindowList();
    EXPECT_EQ(f.Stored(" 1"), Strings{});
    EXPECT_EQ(f.Stored(""), Strings{"1"});
}

TEST(WindowListLoad, FollowsTheStoredLayout) {
    struct Case {
        const char* what;
        std::string count;
        std::vector<std::pair<std::string, std::string>> values;
        Strings expected;
    };
    const Case cases[] = {
        {"gap is skipped", "3", {{" 0", "zero"}, {" 2", "two"}}, {"zero", "two"}},
        {"repeats ignoring case are dropped", "2", {{" 0", "Notepad"}, {" 1", "NOTEPAD"}}, {"Notepad"}},
        {"values beyond the count are not read", "2", {{" 0", "a"}, {" 1", "b"}, {" 2", "c"}, {" 4", "e"}}, {"a", "b"}},
        {"bare digits are not entry names", "2", {{"0", "a"}, {"1", "b"}}, {}},
        {"empty entries are skipped", "2", {{" 0", ""}, {" 1", "b"}}, {"b"}},
        {"count text Err loads nothing", "Err", {{" 0", "a"}}, {}},
        {"count that is not a number loads nothing", "x3", {{" 0", "a"}}, {}},
        {"leading blanks before the count", " 2", {{" 0", "a"}, {" 1", "b"}}, {"a", "b"}},
        {"negative count loads nothing", "-2", {{" 0", "a"}}, {}},
        {"an entry reading Error is a real entry", "2", {{" 0", "Error"}, {" 1", "b"}}, {"Error", "b"}},
        {"an overlong entry is skipped", "2", {{" 0", std::string(256, 'q')}, {" 1", "b"}}, {"b"}},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.Seed(c.count, c.values);
        f.store.LoadWindowList();
        EXPECT_EQ(f.lv.Items(), c.expected) << c.what;
        EXPECT_EQ(f.box.items, c.expected) << c.what;
    }
}

TEST(WindowListLoad, MissingKeyGivesEmptyListWithoutCreatingIt) {
    Fixture f;
    f.lv.Add("stale");
    f.store.LoadWindowList();
    EXPECT_TRUE(f.lv.Items().empty());
    EXPECT_EQ(f.numWindows.text, "Quellwatch is currently scanning for 0 windows.");
    EXPECT_FALSE(f.reg.KeyExists(kHkeyCurrentUser, kDataKeyPath));
}

TEST(WindowListLoad, AHugeDamagedCountDoesNotStallTheLoad) {
    Fixture f;
    f.Seed("4000000000", {{" 0", "first"}});
    f.store.LoadWindowList();
    EXPECT_EQ(f.lv.Items(), Strings{"first"});
    EXPECT_LT(f.reg.CallCount(), 400000u);
}

TEST(WindowListLoad, EntryErrorSurvivesASaveAndReload) {
    Fixture f;
    f.SetList({"Error", "Daily Offer"});
    f.store.SaveWindowList();
    f.lv.Clear();
    f.store.LoadWindowList();
    EXPECT_EQ(f.lv.Items(), (Strings{"Error", "Daily Offer"}));
}

TEST(CountText, WordsAndGroupsTheCount) {
    EXPECT_EQ(CountText(0, ","), "Quellwatch is currently scanning for 0 windows.");
    EXPECT_EQ(CountText(1, ","), "Quellwatch is currently scanning for 1 window.");
    EXPECT_EQ(CountText(2, ","), "Quellwatch is currently scanning for 2 windows.");
    EXPECT_EQ(CountText(999, ","), "Quellwatch is currently scanning for 999 windows.");
    EXPECT_EQ(CountText(1234, ","), "Quellwatch is currently scanning for 1,234 windows.");
    EXPECT_EQ(CountText(32767, "."), "Quellwatch is currently scanning for 32.767 windows.");
    EXPECT_EQ(CountText(1234567, "\xA0"), "Quellwatch is currently scanning for 1\xA0" "234\xA0" "567 windows.");
}

TEST(IsListedTitle, ComparesWholeEntriesIgnoringCase) {
    Fixture f;
    EXPECT_FALSE(f.store.IsListedTitle("anything"));
    f.SetList({"Daily Offer", "\xC4rger"});
    EXPECT_TRUE(f.store.IsListedTitle("daily offer"));
    EXPECT_TRUE(f.store.IsListedTitle("\xE4RGER"));
    EXPECT_FALSE(f.store.IsListedTitle("Daily"));
    EXPECT_FALSE(f.store.IsListedTitle("Daily Offer!"));
}

TEST(IsListedTitle, DoubleByteEntriesDifferingInTheirSecondByteAreDifferent) {
    Fixture f;
    f.lower = LowerTable::Japanese932();
    f.Seed("3", {{" 0", "\x83" "A\x83" "C"}, {" 1", "\x83" "a\x83" "c"}, {" 2", "\x83" "A\x83" "c"}});
    f.store.LoadWindowList();
    EXPECT_EQ(f.lv.Count(), 3);
    EXPECT_FALSE(f.store.IsListedTitle("\x83" "a\x83" "C"));
    f.SetList({"Daily \x83" "A"});
    EXPECT_TRUE(f.store.IsListedTitle("DAILY \x83" "A"));
}

// Stop the save after every single registry call (a crash), or make just
// that call fail (a full or refused registry): what loads afterwards is
// exactly the old list or exactly the new one, never a mix, never empty.
void ExpectOldOrNewAtEveryStep(const Strings& before, const Strings& after) {
    for (bool crash : {true, false}) {
        for (std::uint64_t step = 0;; ++step) {
            Fixture f;
            f.SetList(before);
            f.store.SaveWindowList();
            f.SetList(after);
            if (crash) f.reg.StopAfter(step); else f.reg.FailAt(step);
            const std::uint64_t callsBefore = f.reg.CallCount();
            f.store.SaveWindowList();
            const bool reached = f.reg.CallCount() - callsBefore > step;
            f.reg.Heal();
            MemoryListBox box;
            EntryList lv(&box);
            WindowListStore store(f.reg, lv, nullptr, f.lower, ",");
            store.LoadWindowList();
            EXPECT_TRUE(lv.Items() == before || lv.Items() == after)
                << (crash ? "crash" : "failure") << " at call " << step;
            // A save that ran past every step leaves exactly the layout.
            if (!reached) {
                EXPECT_EQ(lv.Items(), after);
                EXPECT_EQ(f.reg.ValueNames(kHkeyCurrentUser, kDataKeyPath).size(), after.size() + 1);
                break;
            }
        }
    }
}

TEST(WindowListSave, IsExactlyTheOldOrTheNewListAtEveryCrashOrFailure) {
    const std::pair<Strings, Strings> transitions[] = {
        {{"alpha one", "bravo two", "charlie three"}, {"alpha one", "bravo two", "charlie three", "delta four"}},
        {{"alpha one", "bravo two", "charlie three"}, {"alpha one", "charlie three"}},
        {{"alpha one", "bravo two"}, {"bravo two", "alpha one"}},
        {{"alpha one", "bravo two", "charlie three"}, {"zulu one"}},
        {{}, {"first entry"}},
        {{"only entry"}, {}},
        {{"short"}, {"aaaaa", "bbbbb", "ccccc", "ddddd", "eeeee"}},  // the new list is longer than the old
    };
    for (const auto& t : transitions) ExpectOldOrNewAtEveryStep(t.first, t.second);
}

// A save that failed half-way leaves its new list staged; the next save must
// not write over it before it has staged its own.
TEST(WindowListSave, ASaveAfterAFailedOneKeepsTheStoredListWhole) {
    for (std::uint64_t step = 0; step < 40; ++step) {
        Fixture f;
        f.SetList({"alpha one", "bravo two"});
        f.store.SaveWindowList();
        f.SetList({"charlie three", "delta four", "echo five"});
        f.reg.StopAfter(step);
        f.store.SaveWindowList();
        f.reg.Heal();
        f.store.LoadWindowList();
        const Strings first = f.lv.Items();
        f.SetList({"foxtrot six"});
        f.reg.StopAfter(step + 3);
        f.store.SaveWindowList();
        f.reg.Heal();
        f.store.LoadWindowList();
        EXPECT_TRUE(f.lv.Items() == first || f.lv.Items() == Strings{"foxtrot six"}) << step;
    }
}

}  // namespace
}  // namespace qw

namespace qw {
namespace {

// The association is the program's contract with the shell: exactly these
// keys, machine-wide where allowed, for the current user where refused.
TEST(ListFileType, WritesTheAssociationWhereTheMachineLetsIt) {
    for (bool standardUser : {false, true}) {
        MemoryRegistry reg;
        if (standardUser) reg.DenyWrites(kHkeyClassesRoot);
        RegisterListFileType(reg, ProgramExePath("C:\\Tools\\Quellbox.EXE"), 1);
        RegisterListFileType(reg, ProgramExePath("C:\\Tools\\Quellbox.EXE"), 1);  // twice: the same
        const RegKey root = standardUser ? kHkeyCurrentUser : kHkeyClassesRoot;
        const std::string prefix = standardUser ? "Software\\Classes\\" : "";
        const std::string type = prefix + "Quellwatch Window List";
        EXPECT_EQ(reg.GetString(root, prefix + ".WNL", ""), "Quellwatch Window List");
        EXPECT_EQ(reg.GetString(root, type, ""), "Quellwatch Window List");
        EXPECT_EQ(reg.GetValue(root, type, "BrowserFlags")->data, (std::vector<std::uint8_t>{0, 0x10, 0, 0}));
        EXPECT_EQ(reg.GetValue(root, type, "EditFlags")->data, (std::vector<std::uint8_t>{0, 0, 1, 0}));
        EXPECT_EQ(reg.GetValue(root, type, "EditFlags")->type, kRegBinary);
        EXPECT_EQ(reg.GetString(root, type + "\\DefaultIcon", ""), "C:\\Tools\\Quellbox.exe,1");
        EXPECT_EQ(reg.GetString(root, type + "\\shell\\open", ""), "Import");
        EXPECT_EQ(reg.GetString(root, type + "\\shell\\open\\command", ""), "\"C:\\Tools\\Quellbox.exe\" %1");
        EXPECT_EQ(reg.ValueNames(root, type), (Strings{"", "BrowserFlags", "EditFlags"}));
        EXPECT_EQ(reg.KeyExists(kHkeyCurrentUser, "Software\\Classes\\.WNL"), standardUser);
    }
}

}  // namespace
}  // namespace qw
