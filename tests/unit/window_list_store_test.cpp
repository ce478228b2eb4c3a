// The window list in the registry key Data: its layout, the load rules and a
// save that cannot lose the list whenever it is cut short; and the list-file
// association.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "platform/memory/memory_platform.h"
#include "platform/memory/memory_registry.h"
#include "store/file_association.h"
#include "store/window_list_store.h"

namespace qw {
namespace {

using Strings = std::vector<std::string>;
using Values = std::vector<std::pair<std::string, std::string>>;

struct Fixture {
    MemoryRegistry reg;
    MemoryListBox box;
    EntryList lv{&box};
    MemoryText numWindows;
    LowerTable lower = LowerTable::Windows1252();
    WindowListStore store{reg, lv, &numWindows, lower, ","};

    void Seed(const std::string& count, const Values& values) {
        reg.PutString(kHkeyCurrentUser, kDataKeyPath, "", count);
        for (const auto& [name, text] : values) reg.PutString(kHkeyCurrentUser, kDataKeyPath, name, text);
    }
    // Every value of the key as "name=text", sorted.
    Strings Layout() const {
        Strings layout;
        for (const auto& name : reg.ValueNames(kHkeyCurrentUser, kDataKeyPath))
            layout.push_back(name + "=" + *reg.GetString(kHkeyCurrentUser, kDataKeyPath, name));
        std::sort(layout.begin(), layout.end());
        return layout;
    }
};

// A save leaves exactly the count and " 0" to " N-1", then reloads: the
// reload has the last word on repeats and on texts too long to read back.
TEST(WindowListSave, WritesExactlyTheLayoutThenReloads) {
    const std::string overlong(300, 'x');
    struct Case {
        Values seeded;
        Strings list, layout, reloaded;
    } cases[] = {
        {{{" 0", "old0"}, {" 1", "old1"}, {" 4", "old4"}, {"7", "junk"}, {" 9", "beyond"}},
         {"Alpha", "beta", "Gamma"}, {" 0=Alpha", " 1=beta", " 2=Gamma", "=3"}, {"Alpha", "beta", "Gamma"}},
        {{{" 0", "a1234"}, {" 1", "b1234"}}, {}, {"=0"}, {}},
        // The same list again, beside one stray value.
        {{{" 0", "a1234"}, {" 1", "b1234"}, {" 2", "c1234"}, {" 3", "d1234"}, {" 4", "e1234"}, {"Stray", "x"}},
         {"a1234", "b1234", "c1234", "d1234", "e1234"},
         {" 0=a1234", " 1=b1234", " 2=c1234", " 3=d1234", " 4=e1234", "=5"},
         {"a1234", "b1234", "c1234", "d1234", "e1234"}},
        {{}, {"Notepad", "NOTEPAD", "Other"}, {" 0=Notepad", " 1=NOTEPAD", " 2=Other", "=3"}, {"Notepad", "Other"}},
        {{}, {"Error", "Daily Offer"}, {" 0=Error", " 1=Daily Offer", "=2"}, {"Error", "Daily Offer"}},
        {{}, {"short entry", overlong}, {" 0=short entry", " 1=" + overlong, "=2"}, {"short entry"}},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.Seed("5", c.seeded);
        f.lv.Assign(c.list);
        f.store.SaveWindowList();
        EXPECT_EQ(f.Layout(), c.layout) << c.list.size();
        EXPECT_EQ(f.box.items, c.reloaded);
        EXPECT_EQ(f.numWindows.text, CountText(static_cast<int>(c.reloaded.size()), ","));
        EXPECT_EQ(f.reg.OpenHandles(), 0u);
        f.store.SaveWindowList();  // what the reload dropped is gone from the key too
        EXPECT_EQ(f.Layout().size(), c.reloaded.size() + 1);
    }
}

TEST(WindowListLoad, FollowsTheStoredLayout) {
    struct Case {
        const char* what;
        const char* count;  // nullptr: no key at all
        Values values;
        Strings expected;
    } cases[] = {
        {"no key", nullptr, {}, {}},
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
        // Read through a 255-byte buffer: 255 characters leave no room for the terminator.
        {"an overlong entry is skipped", "3",
         {{" 0", std::string(255, 'q')}, {" 1", "b"}, {" 2", std::string(254, 'r')}}, {"b", std::string(254, 'r')}},
        {"a huge damaged count does not stall the load", "4000000000", {{" 0", "first"}}, {"first"}},
    };
    for (const Case& c : cases) {
        Fixture f;
        f.lv.Add("stale");
        if (c.count) f.Seed(c.count, c.values);
        f.store.LoadWindowList();
        EXPECT_EQ(f.box.items, c.expected) << c.what;
        EXPECT_EQ(f.numWindows.text, CountText(static_cast<int>(c.expected.size()), ",")) << c.what;
        EXPECT_EQ(f.reg.KeyExists(kHkeyCurrentUser, kDataKeyPath), c.count != nullptr) << c.what;
        EXPECT_LT(f.reg.CallCount(), 400000u) << c.what;
    }
}

TEST(CountText, WordsAndGroupsTheCount) {
    const std::tuple<int, const char*, const char*> cases[] = {
        {0, ",", "0 windows"},        {1, ",", "1 window"},         {2, ",", "2 windows"},
        {999, ",", "999 windows"},    {1234, ",", "1,234 windows"}, {32767, ".", "32.767 windows"},
        {1234567, "\xA0", "1\xA0" "234\xA0" "567 windows"},
    };
    for (const auto& [count, separator, words] : cases)
        EXPECT_EQ(CountText(count, separator), std::string("Quellwatch is currently scanning for ") + words + ".");
}

// Whole entries, ignoring case; in a double-byte code page the second byte
// of a character counts as it stands.
TEST(IsListedTitle, ComparesWholeEntriesIgnoringCaseButNotSecondBytes) {
    Fixture f;
    EXPECT_FALSE(f.store.IsListedTitle("anything"));
    f.lv.Assign({"Daily Offer", "\xC4rger"});
    for (const char* listed : {"daily offer", "\xE4RGER"}) EXPECT_TRUE(f.store.IsListedTitle(listed)) << listed;
    for (const char* other : {"Daily", "Daily Offer!"}) EXPECT_FALSE(f.store.IsListedTitle(other)) << other;
    f.lower = LowerTable::Japanese932();
    f.Seed("3", {{" 0", "\x83" "A\x83" "C"}, {" 1", "\x83" "a\x83" "c"}, {" 2", "\x83" "A\x83" "c"}});
    f.store.LoadWindowList();
    EXPECT_EQ(f.lv.Count(), 3);
    EXPECT_FALSE(f.store.IsListedTitle("\x83" "a\x83" "C"));
    f.lv.Assign({"Daily \x83" "A"});
    EXPECT_TRUE(f.store.IsListedTitle("DAILY \x83" "A"));
}

// Stop the save after every single registry call (a crash), or make just
// that call fail (a full or refused registry): what loads afterwards is
// exactly the old list or exactly the new one, never a mix, never empty.
void ExpectOldOrNewAtEveryStep(const Strings& before, const Strings& after) {
    for (bool crash : {true, false}) {
        for (std::uint64_t step = 0;; ++step) {
            Fixture f;
            f.lv.Assign(before);
            f.store.SaveWindowList();
            f.lv.Assign(after);
            if (crash) f.reg.StopAfter(step); else f.reg.FailAt(step);
            const std::uint64_t callsBefore = f.reg.CallCount();
            f.store.SaveWindowList();
            const bool reached = f.reg.CallCount() - callsBefore > step;
            f.reg.Heal();
            EntryList lv;
            WindowListStore(f.reg, lv, nullptr, f.lower, ",").LoadWindowList();
            EXPECT_TRUE(lv.Items() == before || lv.Items() == after) << (crash ? "crash" : "failure") << " at " << step;
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
    for (const auto& [before, after] : transitions) ExpectOldOrNewAtEveryStep(before, after);
}

// A save that failed half-way leaves its new list staged; the next save must
// not write over it before it has staged its own.
TEST(WindowListSave, ASaveAfterAFailedOneKeepsTheStoredListWhole) {
    const Strings lists[][3] = {
        {{"alpha one", "bravo two"}, {"charlie three", "delta four", "echo five"}, {"foxtrot six"}},
        {{}, {"alpha one", "bravo two"}, {"alpha one", "bravo two", "charlie three", "delta four"}},
        {{"alpha one", "bravo two", "charlie three"}, {"alpha one", "bravo two", "xray"}, {"alpha one", "yankee", "zulu"}},
        {{"alpha one", "bravo two", "charlie three", "delta four"}, {"alpha one", "bravo two"}, {"alpha one"}},
    };
    for (const auto& l : lists) {
        for (std::uint64_t first = 0; first < 24; ++first) {
            for (std::uint64_t second = 0; second < 20; ++second) {
                Fixture f;
                f.lv.Assign(l[0]);
                f.store.SaveWindowList();
                f.lv.Assign(l[1]);
                f.reg.StopAfter(first);
                f.store.SaveWindowList();
                f.reg.Heal();
                EntryList loaded;
                WindowListStore(f.reg, loaded, nullptr, f.lower, ",").LoadWindowList();
                f.lv.Assign(l[2]);
                f.reg.StopAfter(second);
                f.store.SaveWindowList();
                f.reg.Heal();
                f.store.LoadWindowList();
                EXPECT_TRUE(f.lv.Items() == loaded.Items() || f.lv.Items() == l[2]) << first << " " << second;
            }
        }
    }
}

// The association is the program's contract with the shell: exactly these
// keys, machine-wide where allowed, for the current user where refused.
TEST(ListFileType, WritesTheAssociationWhereTheMachineLetsIt) {
    for (bool standardUser : {false, true}) {
        MemoryRegistry reg;
        if (standardUser) reg.DenyWrites(kHkeyClassesRoot);
        for (int twice = 0; twice < 2; ++twice) RegisterListFileType(reg, ProgramExePath("C:\\Tools\\Quellbox.EXE"), 1);
        const RegKey root = standardUser ? kHkeyCurrentUser : kHkeyClassesRoot;
        const std::string prefix = standardUser ? "Software\\Classes\\" : "", type = prefix + "Quellwatch Window List";
        const std::pair<std::string, std::string> texts[] = {
            {prefix + ".WNL", "Quellwatch Window List"}, {type, "Quellwatch Window List"},
            {type + "\\DefaultIcon", "C:\\Tools\\Quellbox.exe,1"}, {type + "\\shell\\open", "Import"},
            {type + "\\shell\\open\\command", "\"C:\\Tools\\Quellbox.exe\" %1"}};
        for (const auto& [key, text] : texts) EXPECT_EQ(reg.GetString(root, key, ""), text) << key;
        for (const char* name : {"BrowserFlags", "EditFlags"}) ASSERT_TRUE(reg.GetValue(root, type, name)) << name;
        EXPECT_EQ(reg.GetValue(root, type, "BrowserFlags")->data, (std::vector<std::uint8_t>{0, 0x10, 0, 0}));
        EXPECT_EQ(reg.GetValue(root, type, "EditFlags")->data, (std::vector<std::uint8_t>{0, 0, 1, 0}));
        EXPECT_EQ(reg.GetValue(root, type, "EditFlags")->type, kRegBinary);
        EXPECT_EQ(reg.ValueNames(root, type), (Strings{"", "BrowserFlags", "EditFlags"}));
        EXPECT_EQ(reg.KeyExists(kHkeyCurrentUser, "Software\\Classes\\.WNL"), standardUser);
    }
}

}  // namespace
}  // namespace qw
