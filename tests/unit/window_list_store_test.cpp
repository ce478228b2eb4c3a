// The window list in the registry key Data, the list-file association, and
// window-list files: every quirk a stored list relies on, and saves and
// exports that keep the old list whole whenever they are cut short.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <utility>

#include "resources/resource.h"
#include "store/file_association.h"
#include "tests/unit/fake_dialogs.h"

namespace qw {
namespace {

using Values = std::vector<std::pair<std::string, std::string>>;
const char kPath[] = "C:\\lists\\mine.wnl";

struct Fixture {
    MemoryRegistry reg;
    MemoryListBox box;
    EntryList lv{&box};
    MemoryText numWindows;
    CaseFolding lower = CaseFolding::Common();
    WindowListStore store{reg, lv, &numWindows, lower, ","};
    MemoryFiles files;
    MemoryProcess process;
    ScriptedRandom random;
    const AnsiCodePage& ansi;
    ListFile list{files, process, random, lv, lower, ansi};

    // As the program does: the stored list is loaded before `lv` changes.
    explicit Fixture(const Strings& entries = {}, const AnsiCodePage& page = TableCodePage::Windows1252())
        : ansi(page) {
        store.LoadWindowList();
        lv.Assign(entries);
    }
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
    // What the next start of the program loads.
    Strings Loaded() {
        EntryList loaded;
        WindowListStore(reg, loaded, nullptr, lower, ",").LoadWindowList();
        return loaded.Items();
    }
    // What the File menu does with a file, short of saving: read, merge, tell.
    ImportOutcome Import(const std::string& bytes) {
        files.files[kPath] = bytes;
        ListFileContents contents = list.ReadWindowList(kPath);
        const ImportOutcome outcome =
            AppendNewEntries(lv, contents.entries, lower) ? contents.outcome : ImportOutcome::kListFull;
        list.ReportImport(outcome, 0x55);
        return outcome;
    }
};

// A save leaves exactly the count and " 0" to " N-1", then reloads, which
// drops repeats and texts too long to read back.
TEST(WindowListSave, WritesExactlyTheLayoutThenReloads) {
    const std::string overlong(300, 'x');
    const Strings five = {"a1234", "b1234", "c1234", "d1234", "e1234"};
    const struct { Values seeded; Strings list, layout, reloaded; } cases[] = {
        {{{" 0", "old0"}, {" 1", "old1"}, {" 4", "old4"}, {"7", "junk"}, {" 9", "beyond"}},
         {"Alpha", "beta", "Gamma"}, {" 0=Alpha", " 1=beta", " 2=Gamma", "=3"}, {"Alpha", "beta", "Gamma"}},
        {{{" 0", "a1234"}, {" 1", "b1234"}}, {}, {"=0"}, {}},
        // The same list again, beside one stray value.
        {{{" 0", "a1234"}, {" 1", "b1234"}, {" 2", "c1234"}, {" 3", "d1234"}, {" 4", "e1234"}, {"Stray", "x"}}, five,
         {" 0=a1234", " 1=b1234", " 2=c1234", " 3=d1234", " 4=e1234", "=5"}, five},
        {{}, {"Notepad", "NOTEPAD", "Other"}, {" 0=Notepad", " 1=NOTEPAD", " 2=Other", "=3"}, {"Notepad", "Other"}},
        {{}, {"short entry", overlong}, {" 0=short entry", " 1=" + overlong, "=2"}, {"short entry"}},
    };
    for (const auto& c : cases) {
        Fixture f(c.list);
        f.Seed("5", c.seeded);
        f.store.SaveWindowList();
        EXPECT_EQ(std::make_tuple(f.Layout(), f.box.items, f.numWindows.text, f.reg.OpenHandles()),
                  std::make_tuple(c.layout, c.reloaded, CountText(static_cast<int>(c.reloaded.size()), ","), 0u));
        f.store.SaveWindowList();  // what the reload dropped is gone from the key too
        EXPECT_EQ(f.Layout().size(), c.reloaded.size() + 1);
    }
}

TEST(WindowListLoad, FollowsTheStoredLayout) {
    const struct { const char* what; const char* count; Values values; Strings expected; } cases[] = {
        {"no key", nullptr, {}, {}},  // a null count: no key at all
        {"gap is skipped", "3", {{" 0", "zero"}, {" 2", "two"}}, {"zero", "two"}},
        {"repeats ignoring case are dropped", "2", {{" 0", "Notepad"}, {" 1", "NOTEPAD"}}, {"Notepad"}},
        {"values beyond the count are not read", "2", {{" 0", "a"}, {" 1", "b"}, {" 2", "c"}, {" 4", "e"}}, {"a", "b"}},
        {"bare digits are not entry names", "2", {{"0", "a"}, {"1", "b"}}, {}},
        {"empty entries are skipped", "2", {{" 0", ""}, {" 1", "b"}}, {"b"}},
        {"count text Err", "Err", {{" 0", "a"}}, {}}, {"count not a number", "x3", {{" 0", "a"}}, {}},
        {"leading blanks before the count", " 2", {{" 0", "a"}, {" 1", "b"}}, {"a", "b"}},
        {"negative count loads nothing", "-2", {{" 0", "a"}}, {}},
        {"an entry reading Error is a real entry", "2", {{" 0", "Error"}, {" 1", "b"}}, {"Error", "b"}},
        // Read through a 255-byte buffer: 255 characters leave no room for the terminator.
        {"an overlong entry is skipped", "3",
         {{" 0", std::string(255, 'q')}, {" 1", "b"}, {" 2", std::string(254, 'r')}}, {"b", std::string(254, 'r')}},
        {"a huge damaged count does not stall the load", "4000000000", {{" 0", "first"}}, {"first"}},
    };
    for (const auto& c : cases) {
        Fixture f({"stale"});
        if (c.count) f.Seed(c.count, c.values);
        f.store.LoadWindowList();
        EXPECT_EQ(std::make_tuple(f.box.items, f.numWindows.text, f.reg.KeyExists(kHkeyCurrentUser, kDataKeyPath)),
                  std::make_tuple(c.expected, CountText(static_cast<int>(c.expected.size()), ","), c.count != nullptr))
            << c.what;
        EXPECT_LT(f.reg.CallCount(), 400000u) << c.what;
    }
}

TEST(CountText, WordsAndGroupsTheCount) {
    for (const auto& [count, separator, words] :
         {std::tuple{0, ",", "0 windows"}, {1, ",", "1 window"}, {2, ",", "2 windows"}, {999, ",", "999 windows"},
          {1234, ",", "1,234 windows"}, {32767, ".", "32.767 windows"},
          {1234567, "\xA0", "1\xA0" "234\xA0" "567 windows"}})
        EXPECT_EQ(CountText(count, separator), std::string("Quellwatch is currently scanning for ") + words + ".");
}

// Whole entries, ignoring case in every script; a repeat in another case is
// loaded once.
TEST(IsListedTitle, ComparesWholeEntriesIgnoringCaseInEveryScript) {
    Fixture f({"Daily Offer", u8"Ärger", u8"Привет - Report", u8"東京 😀"});
    for (const char* listed : {"daily offer", u8"äRGER", u8"ПРИВЕТ - REPORT", u8"東京 😀"})
        EXPECT_TRUE(f.store.IsListedTitle(listed)) << listed;
    for (const char* other : {"Daily", "Daily Offer!", u8"Привет", u8"東京", u8"?????? - Report"})
        EXPECT_FALSE(f.store.IsListedTitle(other)) << other;
    f.Seed("3", {{" 0", u8"Καλημέρα"}, {" 1", u8"ΚΑΛΗΜΈΡΑ"}, {" 2", u8"καλημέρα!"}});
    f.store.LoadWindowList();
    EXPECT_EQ(f.lv.Items(), (Strings{u8"Καλημέρα", u8"καλημέρα!"}));
}

// Text is kept in UTF-16, as Windows keeps it, and handed over in UTF-8. A
// value stored without its terminator (every version wrote them so) reads to
// its length; 254 characters read whole, in any script, 255 do not.
TEST(RegistryText, KeptInUtf16AndReadToItsLength) {
    MemoryRegistry reg;
    const char kKey[] = "Software\\Varn\\Quellwatch\\Test";
    RegWriteString(reg, kHkeyCurrentUser, kKey, "written", u8"Привет", kRegSz);
    const std::vector<std::uint8_t> utf16 = {0x1F, 4, 0x40, 4, 0x38, 4, 0x32, 4, 0x35, 4, 0x42, 4};  // Привет
    EXPECT_EQ(reg.GetValue(kHkeyCurrentUser, kKey, "written")->data, utf16);  // no terminator
    const std::pair<std::vector<std::uint8_t>, const char*> stored[] = {
        {utf16, u8"Привет"},
        {{'a', 0, 'b', 0, 'c', 0}, "abc"},               // as the ANSI calls stored "abc"
        {{'a', 0, 0, 0, 'z', 0}, "a"},                   // up to the terminator
        {{'a', 0, 'b'}, "a"},                            // an odd last byte is no character
        {{0x3D, 0xD8, 'x', 0}, u8"\uFFFD" "x"},          // a lone surrogate
    };
    for (const auto& [data, text] : stored) {
        reg.PutValue(kHkeyCurrentUser, kKey, "stored", kRegSz, data);
        EXPECT_EQ(RegReadString(reg, kHkeyCurrentUser, kKey, "stored", "(default)"), text);
    }
    // Data of another type comes byte for byte, and what is not UTF-8 in it as U+FFFD.
    reg.PutValue(kHkeyCurrentUser, kKey, "binary", kRegBinary, {'C', 'a', 'f', 0xE9});
    EXPECT_EQ(RegReadString(reg, kHkeyCurrentUser, kKey, "binary", "(default)"), u8"Caf\uFFFD");
    for (const auto& [unit, n, readable] :  // an emoji takes two units
         {std::tuple{u8"Ж", 254, true}, {u8"Ж", 255, false}, {u8"😀", 127, true}, {u8"😀", 128, false}}) {
        std::string text;
        for (int i = 0; i < n; ++i) text += unit;
        RegWriteString(reg, kHkeyCurrentUser, kKey, "long", text, kRegSz);
        EXPECT_EQ(RegReadString(reg, kHkeyCurrentUser, kKey, "long", "(default)"), readable ? text : "(default)");
    }
}

// A save stored with its count and entries and nothing else.
Strings Exactly(const Strings& list) {
    Strings layout{"=" + std::to_string(list.size())};
    for (std::size_t i = 0; i < list.size(); ++i)
        layout.push_back(EntryValueName(static_cast<long>(i)) + "=" + list[i]);
    std::sort(layout.begin(), layout.end());
    return layout;
}

const Strings kFaultLists[][3] = {  // stored, then saved twice
    {{"alpha one", "bravo two"}, {"charlie three", "delta four", "echo five"}, {"foxtrot six"}},
    {{}, {"alpha one", "bravo two"}, {"alpha one", "bravo two", "charlie three", "delta four"}},
    {{"alpha one", "bravo two", "charlie"}, {"alpha one", "bravo two", "xray"}, {"alpha one", "yankee", "zulu"}},
    {{"alpha one", "bravo two", "charlie three", "delta four"}, {"alpha one", "bravo two"}, {"alpha one"}},
    {{"alpha one", "bravo two"}, {"bravo two", "alpha one"}, {}},
    {{"short"}, {"aaaaa", "bbbbb", "ccccc", "ddddd", "eeeee"}, {"only entry"}},  // longer than the old
};

constexpr std::uint64_t kNever = ~std::uint64_t{0};

// Saves `list` with the call `fail` calls on failing and the process stopped
// after `stop` more calls; the calls it made, and what the next start loads.
std::pair<std::uint64_t, Strings> FaultySave(Fixture& f, const Strings& list, std::uint64_t fail, std::uint64_t stop) {
    f.lv.Assign(list);
    f.reg.FailAt(fail);
    f.reg.StopAfter(stop);
    const std::uint64_t before = f.reg.CallCount();
    f.store.SaveWindowList();
    f.reg.Heal();
    return {f.reg.CallCount() - before, f.Loaded()};
}

// Stop a save after any registry call (a crash), or fail just that call (a
// full registry), then cut the next save short too: what loads is always one
// whole list. A save cut short leaves its list staged, which the next must
// not write over before it has staged its own. Two faults in one save, a read
// failing and the process stopping some calls later, leave one whole list
// too: a failed read is never taken for "nothing stored". After each, the next
// whole save leaves exactly the count and the entries.
TEST(WindowListSave, KeepsOneWholeListAtEveryCrashOrFailure) {
    for (const auto& l : kFaultLists) {
        for (bool crash : {true, false}) {
            const auto save = [&](Fixture& f, const Strings& list, std::uint64_t step, bool& cut) {
                const auto [calls, loaded] = FaultySave(f, list, crash ? kNever : step, crash ? step : kNever);
                cut = calls > step;
                return loaded;
            };
            bool firstCut = true;
            for (std::uint64_t first = 0; firstCut; ++first) {
                bool secondCut = true;
                for (std::uint64_t second = 0; secondCut; ++second) {
                    Fixture f(l[0]);
                    f.store.SaveWindowList();
                    const Strings loaded = save(f, l[1], first, firstCut);
                    EXPECT_TRUE(loaded == l[0] || loaded == l[1]) << crash << " at " << first;
                    const Strings next = save(f, l[2], second, secondCut);
                    EXPECT_TRUE(next == loaded || next == l[2]) << crash << " at " << first << ", " << second;
                    EXPECT_EQ(FaultySave(f, l[2], kNever, kNever).second, l[2]);
                    EXPECT_EQ(f.Layout(), Exactly(l[2])) << crash << " at " << first << ", " << second;
                }
            }
        }
        Fixture clean(l[0]);
        clean.store.SaveWindowList();
        const std::uint64_t calls = FaultySave(clean, l[1], kNever, kNever).first;
        for (std::uint64_t fail = 0; fail < calls; ++fail) {
            for (std::uint64_t stop = fail + 1; stop <= calls; ++stop) {
                Fixture f(l[0]);
                f.store.SaveWindowList();
                const Strings loaded = FaultySave(f, l[1], fail, stop).second;
                EXPECT_TRUE(loaded == l[0] || loaded == l[1]) << "fail " << fail << ", stop " << stop;
                FaultySave(f, l[2], kNever, kNever);
                EXPECT_EQ(f.Layout(), Exactly(l[2])) << "fail " << fail << ", stop " << stop;
            }
        }
    }
}

// Neither copy saved before (no stamp yet), and this copy cannot read the
// stamp: that is never taken for "unchanged"; the change waits, then merges
// only what neither list nor file held before. (The commands' changes over
// another copy's are the main window's tests.)
TEST(WindowListSave, AStampThatCannotBeReadNeverCountsAsUnchanged) {
    Fixture other({"first entry", "other added"});
    other.Seed("1", {{" 0", "first entry"}});
    EntryList lv;
    WindowListStore mine(other.reg, lv, nullptr, other.lower, ",");
    mine.LoadWindowList();
    other.store.SaveWindowList(ListChange::Add("other added"));
    other.reg.FailAt(1);  // the stamp's read: the key opens, the value does not come
    mine.SaveWindowList(ListChange::Merge({"OTHER ADDED", "file three", "File Three"}));
    other.reg.Heal();
    EXPECT_EQ(other.Loaded(), (Strings{"first entry", "other added"}));
    mine.SaveWindowList();
    EXPECT_EQ(other.Layout(), Exactly({"first entry", "other added", "file three"}));
}

// Another copy holds the list past the lock's bound: the change stays in
// `lv` and waits, even across a reload, for the next save that gets the lock.
TEST(WindowListSave, AChangeWaitsWhileAnotherCopyHoldsTheList) {
    Fixture f({"first entry"});
    MemoryListLock lock;
    WindowListStore store(f.reg, f.lv, nullptr, f.lower, ",", &lock);
    std::vector<bool> asked;  // saving or loading, each time the lock was refused
    bool retry = false;
    store.WhenBusy([&](bool saving) {
        asked.push_back(saving);
        return std::exchange(retry, false);
    });
    f.store.SaveWindowList();
    store.LoadWindowList();
    f.lv.Add("waiting entry");
    lock.busyFor = 1;
    EXPECT_FALSE(store.SaveWindowList(ListChange::Add("waiting entry")).saved);
    EXPECT_EQ(f.Loaded(), Strings{"first entry"});
    lock.busyFor = 1;
    store.LoadWindowList();  // refused too: `lv` stays as it is
    EXPECT_EQ(f.lv.Items(), (Strings{"first entry", "waiting entry"}));
    f.reg.PutString(kHkeyCurrentUser, kDataKeyPath, "", "0");  // another copy empties the list
    f.reg.PutString(kHkeyCurrentUser, kProgramKeyPath, kDataStampValue, "77");
    store.LoadWindowList();
    EXPECT_EQ(f.lv.Items(), Strings{"waiting entry"});
    f.lv.Add("second entry");
    lock.busyFor = 1;
    retry = true;  // the user tries again at once, and then it is free
    EXPECT_TRUE(store.SaveWindowList(ListChange::Add("second entry")).saved);
    EXPECT_EQ(f.Loaded(), (Strings{"waiting entry", "second entry"}));
    EXPECT_EQ(asked, (std::vector<bool>{true, false, true}));
    EXPECT_EQ(std::make_pair(lock.depth, lock.refused), std::make_pair(0, 3));
}

// The registry refuses one call anywhere in a command: `lv` keeps the
// user's list and change, the user is told what was not done (a read in the
// status bar, a save in a box), and once the registry answers again one more
// change stores every entry the user added and none they removed, each with
// its options.
TEST(ListFaults, ARefusedCallLosesNoEntryAndIsSaid) {
    const Strings stored = {"alpha one", "bravo two", "charlie three"};
    const auto with = [&](Strings list, const std::string& entry) {
        list.push_back(entry);
        return list;
    };
    const struct {
        const char* what;
        std::function<void(FrmWorld&)> run;
        Strings after;
    } commands[] = {
        {"start-up", [](FrmWorld& w) { w.frm.Form_Load(); }, stored},
        {"Refresh List", [](FrmWorld& w) { w.frm.OnCommand(IDC_REFRESHL); }, stored},
        {"add", [](FrmWorld& w) { w.AddByDialog("delta four"); }, with(stored, "delta four")},
        {"edit",
         [](FrmWorld& w) {
             w.box.selection = 1;
             w.frm.OnCommand(IDC_EDITENTRY);
             w.editView.text = "bravo edited";
             w.edit.Done_Click();
         },
         {"alpha one", "bravo edited", "charlie three"}},
        {"remove",
         [](FrmWorld& w) {
             w.box.selection = 0;
             w.process.answers = {kIdOk};
             w.frm.OnCommand(IDC_LREM);
         },
         {"bravo two", "charlie three"}},
        {"import",
         [](FrmWorld& w) {
             w.dialogs.answers = {"C:\\lists\\more.wnl"};
             w.frm.OnCommand(IDM_IMP);
         },
         with(stored, "file entry")},
    };
    const std::string unsaved = std::string(kListUnsaved) + "the registry denied access to it.\r\n" + kChangeKept;
    const auto loaded = [](FrmWorld& w) {  // what the next start loads
        EntryList list;
        WindowListStore(w.reg, list, nullptr, w.lower, ",").LoadWindowList();
        return list.Items();
    };
    for (const auto& c : commands) {
        const bool startUp = c.what == std::string("start-up");
        const auto world = [&] {
            auto w = std::make_unique<FrmWorld>();
            w->SeedList(stored);
            RegWriteString(w->reg, kHkeyCurrentUser, kRulesKeyPath, "Bravo Two", MultiSzData({"program=b.exe"}),
                           kRegMultiSz);
            RegWriteString(w->reg, kHkeyCurrentUser, kRulesKeyPath, "charlie three", MultiSzData({"enabled=0"}),
                           kRegMultiSz);
            w->files.files["C:\\lists\\more.wnl"] = kHead + Line("file entry");
            if (!startUp) w->frm.Form_Load();
            return w;
        };
        std::uint64_t calls = 0;
        {
            auto w = world();
            const std::uint64_t before = w->reg.CallCount();
            c.run(*w);
            calls = w->reg.CallCount() - before;
        }
        for (std::uint64_t n = 0; n < calls; ++n) {
            auto w = world();
            w->process.boxes.clear();
            w->reg.FailAt(n);
            c.run(*w);
            w->reg.Heal();
            const bool readRefused = w->view.status == kListUnread;
            const Boxes boxes = FactsOf(w->process.boxes);
            const auto told = std::count(boxes.begin(), boxes.end(), BoxFacts{unsaved, "Error", 0x10010u, kMain});
            // Stored, or said; the user's change always shows; a refused read
            // leaves what `lv` held (nothing before the first load).
            EXPECT_EQ(told, loaded(*w) == c.after ? 0 : 1) << c.what << " at " << n;
            EXPECT_EQ(w->lv.Items(), startUp && readRefused ? Strings{} : c.after) << c.what << " at " << n;
            w->AddByDialog("one more entry");
            EXPECT_EQ(std::make_tuple(loaded(*w), w->lv.Items(), w->view.status),
                      std::make_tuple(with(c.after, "one more entry"), with(c.after, "one more entry"),
                                      std::string(kStatusEnabled)))
                << c.what << " at " << n;
            EntryList next;
            WindowListStore(w->reg, next, nullptr, w->lower, ",").LoadWindowList();
            for (int i = 0; i < next.Count(); ++i) {
                const std::string program = next.At(i).rfind("bravo", 0) == 0 ? "b.exe" : "";
                const bool enabled = next.At(i) != "charlie three";
                EXPECT_EQ(std::make_pair(next.OptionsAt(i).program, next.OptionsAt(i).enabled),
                          std::make_pair(program, enabled)) << c.what << " at " << n << ": " << next.At(i);
            }
        }
    }
}

// A save refused at any call, then another copy's save, then this copy's
// next change: neither copy's entries are lost. The refused change waits
// in `lv` and among the changes made again on the other copy's list.
TEST(ListFaults, AnotherCopyNeverWritesOverARefusedSave) {
    const auto run = [](std::uint64_t fail) {
        Fixture mine({"first entry"});
        mine.store.SaveWindowList();
        EntryList theirs;
        WindowListStore other(mine.reg, theirs, nullptr, mine.lower, ",");
        other.LoadWindowList();
        const std::uint64_t before = mine.reg.CallCount();
        mine.lv.Add("mine added");
        mine.reg.FailAt(fail);
        mine.store.SaveWindowList(ListChange::Add("mine added"));
        mine.reg.Heal();
        const std::uint64_t calls = mine.reg.CallCount() - before;
        theirs.Add("theirs added");
        other.SaveWindowList(ListChange::Add("theirs added"));
        mine.lv.Add("mine again");
        mine.store.SaveWindowList(ListChange::Add("mine again"));
        Strings stored = mine.Loaded();
        std::sort(stored.begin(), stored.end());
        return std::make_pair(calls, stored);
    };
    const Strings all = {"first entry", "mine added", "mine again", "theirs added"};
    const std::uint64_t calls = run(~std::uint64_t{0}).first;
    for (std::uint64_t n = 0; n < calls; ++n) EXPECT_EQ(run(n).second, all) << "at " << n;
}

// An entry's options as administrators write them: "name=value" strings,
// names and words in any case, each option that is not its default; what
// this version does not know is kept, what is malformed ignored.
TEST(EntryRules, TheStoredStringsReadAndWriteBack) {
    EntryOptions all;
    all.enabled = false;
    all.title = TitleRule::kPrefix;
    all.program = "Setup.exe";
    all.dialogsOnly = true;
    all.action = EntryAction::kPress;
    all.button = "&No";
    all.delay = 1500;
    all.kept = {"monitor=2", "future=a=b"};
    const Strings allStrings = {"enabled=0", "title=prefix", "program=Setup.exe", "dialogs=1", "action=press",
                                "button=&No", "delay=1500", "monitor=2", "future=a=b"};
    EXPECT_EQ(RuleStrings(all), allStrings);
    EXPECT_EQ(ParseRuleStrings(allStrings), all);
    EXPECT_EQ(RuleStrings(EntryOptions{}), Strings{});
    EntryOptions exact, ending, recording;
    exact.title = TitleRule::kExact;
    ending.action = EntryAction::kEnd;
    ending.delay = EntryOptions::kMaxDelay;
    recording.action = EntryAction::kRecord;
    const std::pair<Strings, EntryOptions> read[] = {
        {{"TITLE=Exact", "Enabled=1", "dialogs=0"}, exact},
        {{"title=contains", "enabled=yes", "dialogs=2", "no equals sign", "title=whole", "action=explode",
          "delay=-5", "delay=1.5", "delay=", "action=close"},
         EntryOptions{}},
        {{"Action=END", "delay=90000"}, ending},  // a minute at most
        {{"action=minimize", "delay=1234567890", "action=Record"}, recording},
    };
    for (const auto& [strings, options] : read) EXPECT_EQ(ParseRuleStrings(strings), options) << strings[0];
    EXPECT_EQ(ParseRuleStrings({"=value"}).kept, Strings{"=value"});  // an unknown (empty) name is kept
    // The REG_MULTI_SZ form: each string ends with NUL, the list with one more.
    EXPECT_EQ(MultiSzData({"a=1", "", "b=2"}), std::string("a=1\0b=2\0\0", 9));
    for (const std::string& data : {std::string("a=1\0b=2\0\0", 9), std::string("a=1\0b=2", 7),
                                    std::string("a=1\0b=2\0\0c=3\0\0", 14)})
        EXPECT_EQ(MultiSzStrings(data), (Strings{"a=1", "b=2"}));
    // "Never Close": file names trimmed, each once; of another type, none; refused, unknown.
    MemoryRegistry reg;
    EXPECT_EQ(ReadNeverClose(reg), Strings{});
    ASSERT_TRUE(WriteNeverClose(reg, {" explorer.exe ", "Game.exe", "EXPLORER.EXE", ""}));
    EXPECT_EQ(reg.GetValue(kHkeyCurrentUser, kProgramKeyPath, kNeverCloseValue)->type, kRegMultiSz);
    EXPECT_EQ(ReadNeverClose(reg), (Strings{"explorer.exe", "Game.exe"}));
    reg.FailAt(1);  // the query, once the key is open
    EXPECT_EQ(ReadNeverClose(reg), std::nullopt);
    reg.FailAt(1);
    EXPECT_FALSE(WriteNeverClose(reg, {"x.exe"}));
    reg.PutString(kHkeyCurrentUser, kProgramKeyPath, kNeverCloseValue, "explorer.exe");
    EXPECT_EQ(ReadNeverClose(reg), Strings{});
}

// Options live under Rules, one value per entry with any, named as the entry:
// saved and loaded with the list, carried by an edit, gone with the entry or
// with the last option; a value of another type, or one whose entry is gone,
// gives nothing. A crash or a refusal at any call of a save that changes
// options leaves each entry with its old options or its new ones.
TEST(EntryRules, LiveBesideTheListAndSurviveEveryFault) {
    EntryOptions scoped, off, exact;
    scoped.program = "setup.exe";
    off.enabled = false;
    exact.title = TitleRule::kExact;
    exact.kept = {"future=1"};
    const auto rules = [](Fixture& f) {
        Strings layout;
        for (const auto& name : f.reg.ValueNames(kHkeyCurrentUser, kRulesKeyPath)) {
            const auto value = f.reg.GetValue(kHkeyCurrentUser, kRulesKeyPath, name);
            const std::string text = *f.reg.GetString(kHkeyCurrentUser, kRulesKeyPath, name);
            layout.push_back(name + (value->type == kRegMultiSz ? "=" : "?") + text);
        }
        std::sort(layout.begin(), layout.end());
        return layout;
    };
    const auto options = [](const EntryList& lv) {
        std::vector<EntryOptions> all;
        for (int i = 0; i < lv.Count(); ++i) all.push_back(lv.OptionsAt(i));
        return all;
    };
    Fixture f;
    f.reg.PutString(kHkeyCurrentUser, kRulesKeyPath, "Stray Text", "program=x.exe");  // no REG_MULTI_SZ
    f.lv.Add("Setup Wizard", scoped);
    f.lv.Add("Daily Offer", off);
    f.lv.Add("Plain entry");
    f.lv.Add("Stray Text");
    f.store.SaveWindowList();
    const std::string stray = "Stray Text?program=x.exe";  // another type: no rule, and left alone
    EXPECT_EQ(rules(f), (Strings{std::string("Daily Offer=enabled=0\0\0", 23),
                                 std::string("Setup Wizard=program=setup.exe\0\0", 32), stray}));
    EntryList loaded;
    WindowListStore(f.reg, loaded, nullptr, f.lower, ",").LoadWindowList();
    EXPECT_EQ(options(loaded), (std::vector<EntryOptions>{scoped, off, {}, {}}));
    // An edit in case only keeps the value; another text moves it; a removal
    // and options back to their defaults remove it.
    f.lv.SetAt(0, "SETUP WIZARD");
    f.store.SaveWindowList(ListChange::Edit("Setup Wizard", "SETUP WIZARD"));
    f.lv.SetAt(1, "Daily Offers");
    f.lv.SetOptions(2, exact);
    f.store.SaveWindowList(ListChange::Edit("Daily Offer", "Daily Offers"));
    EXPECT_EQ(rules(f), (Strings{std::string("Daily Offers=enabled=0\0\0", 24),
                                 std::string("Plain entry=title=exact\0future=1\0\0", 34),
                                 std::string("Setup Wizard=program=setup.exe\0\0", 32), stray}));
    EXPECT_EQ(options(f.lv), (std::vector<EntryOptions>{scoped, off, exact, {}}));
    f.lv.RemoveAt(1);
    f.lv.SetOptions(0, {});
    f.store.SaveWindowList(ListChange::Remove("Daily Offers"));
    EXPECT_EQ(rules(f), (Strings{std::string("Plain entry=title=exact\0future=1\0\0", 34), stray}));
    // A rule written for an entry that is not listed is no entry's, and goes with the next save.
    f.reg.PutValue(kHkeyCurrentUser, kRulesKeyPath, "Not listed", kRegMultiSz, {'x', 0, '=', 0, '1', 0, 0, 0, 0, 0});
    f.store.LoadWindowList();
    EXPECT_EQ(options(f.lv), (std::vector<EntryOptions>{{}, exact, {}}));
    f.store.SaveWindowList();
    EXPECT_EQ(rules(f).size(), 2u);

    // Two copies: options set here and an entry added there, or the other
    // way round, are both stored, whichever saved first.
    for (bool optionsFirst : {true, false}) {
        Fixture mine({"Daily Offer", "Setup Wizard"});
        mine.store.SaveWindowList();
        EntryList theirs;
        WindowListStore other(mine.reg, theirs, nullptr, mine.lower, ",");
        other.LoadWindowList();
        const auto setOptions = [&] {
            mine.lv.SetOptions(1, scoped);
            mine.store.SaveWindowList(ListChange::Options("Setup Wizard", scoped));
        };
        const auto add = [&] {
            theirs.Add("Their entry", off);
            other.SaveWindowList(ListChange::Add("Their entry", off));
        };
        if (optionsFirst) {
            setOptions();
            add();
        } else {
            add();
            setOptions();
        }
        EXPECT_EQ(mine.Loaded(), (Strings{"Daily Offer", "Setup Wizard", "Their entry"}));
        EntryList both;
        WindowListStore(mine.reg, both, nullptr, mine.lower, ",").LoadWindowList();
        EXPECT_EQ(options(both), (std::vector<EntryOptions>{{}, scoped, off})) << optionsFirst;
    }

    // Faults: each entry ends with the options of the old list or the new.
    const Strings texts = {"alpha one", "bravo two", "charlie three"};
    const std::vector<EntryOptions> before = {scoped, {}, off}, after = {exact, scoped, {}};
    const auto seeded = [&] {
        auto w = std::make_unique<Fixture>();
        w->lv.Assign(texts, before);
        w->store.SaveWindowList();
        return w;
    };
    const auto change = [&](Fixture& w) {
        for (int i = 0; i < 3; ++i) w.lv.SetOptions(i, after[static_cast<std::size_t>(i)]);
        w.lv.SetAt(1, "bravo renamed");
        w.store.SaveWindowList();
    };
    std::uint64_t calls = 0;
    {
        const auto w = seeded();
        const std::uint64_t start = w->reg.CallCount();
        change(*w);
        calls = w->reg.CallCount() - start;
    }
    for (bool crash : {true, false}) {
        for (std::uint64_t n = 0; n < calls; ++n) {
            const auto w = seeded();
            crash ? w->reg.StopAfter(n) : w->reg.FailAt(n);
            change(*w);
            w->reg.Heal();
            EntryList next;
            WindowListStore(w->reg, next, nullptr, w->lower, ",").LoadWindowList();
            const bool renamed = next.Count() == 3 && next.At(1) == "bravo renamed";
            const Strings renamedTexts = {"alpha one", "bravo renamed", "charlie three"};
            ASSERT_EQ(next.Items(), renamed ? renamedTexts : texts);
            for (int i = 0; i < 3; ++i) {
                const auto& got = next.OptionsAt(i);
                const auto at = static_cast<std::size_t>(i);
                EXPECT_TRUE(got == before[at] || got == after[at]) << crash << " at " << n << ", entry " << i;
            }
            if (renamed) {
                EXPECT_EQ(next.OptionsAt(1), scoped) << crash << " at " << n;
            }
        }
    }
}

// The shell's contract: exactly these keys, machine-wide where allowed, else for the user.
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
        for (const auto& [key, text] : texts) EXPECT_EQ(reg.GetString(root, key, ""), text + '\0') << key;
        EXPECT_EQ(reg.ValueNames(root, type), (Strings{"", "BrowserFlags", "EditFlags"}));
        using Binary = std::pair<std::uint32_t, std::vector<std::uint8_t>>;
        for (const auto& [name, data] : {std::pair{"BrowserFlags", std::vector<std::uint8_t>{0, 0x10, 0, 0}},
                                         {"EditFlags", std::vector<std::uint8_t>{0, 0, 1, 0}}}) {
            const auto value = reg.GetValue(root, type, name);
            EXPECT_EQ(Binary(value->type, value->data), Binary(kRegBinary, data)) << name;
        }
        EXPECT_EQ(reg.KeyExists(kHkeyCurrentUser, "Software\\Classes\\.WNL"), standardUser);
    }
}

TEST(ListFileFormat, EachCharacterBecomesItsSumAndKey) {
    const std::tuple<std::string, double, std::string> cases[] = {
        {"abc", 0.0, "\xA5\x44\xA6\x44\xA7\x44"},
        {"a", 0.9999, "\xBA\x59"},                      // k = 89, the top of the usual range
        {"\xA6", 0.9999, "\xFF\x59"},                   // 166 + 89 still fits a byte
        {"\xB0", 0.9999, "\xFF\x4F"},                   // 176: k held to 79
        {"\xBB", 0.5, "\xFF\x44"},                      // 187: only k = 68 fits
        {"\xF3", 10.5 / 12, "\xFE\x0B"},                // 243: k from 0..12 without 10 (LF)
        {"\xF3", 0.8, "\xFC\x09"},                     // the tenth of those twelve keys is 9
        {"\xFF", 0.7, std::string("\xFF\x00", 2)},      // 255: only k = 0
    };
    for (const auto& [entry, r, bytes] : cases) {
        ScriptedRandom random({r});
        EXPECT_EQ(EncodeEntry(entry, random), bytes) << entry;
    }
}

// A list the ANSI code page holds is written as every version wrote it, under
// "QUELLBOX2" in that code page; any other under "QUELLBOX3" in UTF-8, which
// an older reader refuses as "from a newer version". Both read back whole.
TEST(ListFileFormat, TheOlderHeaderWhereTheCodePageHoldsTheListTheNewerElse) {
    const auto& western = TableCodePage::Windows1252();
    const auto& japanese = TableCodePage::Japanese932();
    const struct { const AnsiCodePage& page; Strings list; const char* header; } cases[] = {
        {western, {"Daily offer", u8"Café au lait"}, "QUELLBOX2"},
        {western, {"Daily offer", u8"Привет - Report"}, "QUELLBOX3"},
        {western, {u8"Łukasz's lists"}, "QUELLBOX3"},  // no best fit: Ł is not written as L
        {western, {}, "QUELLBOX2"},
        {japanese, {u8"東京都大阪府 - Report", "Plain title"}, "QUELLBOX2"},
        {japanese, {u8"Café au lait"}, "QUELLBOX3"},
    };
    for (const auto& c : cases) {
        Fixture f(c.list, c.page);
        ASSERT_TRUE(f.list.ExportWindowList(kPath, 0));
        const std::string bytes = f.files.files[kPath];
        EXPECT_EQ(bytes.substr(0, 13), std::string(c.header) + "\r\n\r\n") << c.list.size();
        if (c.header == std::string("QUELLBOX2") && !c.list.empty()) {
            const auto first = bytes.substr(13, bytes.find("\r\n", 13) - 13);
            EXPECT_EQ(DecodeEntry(first), c.page.FromUtf8(c.list[0]));  // the code page's bytes
        }
        Fixture back({}, c.page);
        back.files.files[kPath] = bytes;
        EXPECT_EQ(back.list.ReadWindowList(kPath).entries, c.list);
    }
    // As a writer in code page 932 wrote it: 東京都大阪府.
    Fixture f({}, japanese);
    EXPECT_EQ(f.Import(kHead + Line("\x93\x8C\x8B\x9E\x93\x73\x91\xE5\x8D\xE3\x95\x7B", 20)),
              ImportOutcome::kComplete);
    EXPECT_EQ(f.lv.Items(), Strings{u8"東京都大阪府"});
}

// Options ride under "QUELLBOX4": each entry's line, then a line per option
// string, "+" and the string stored as entries are. A list without options
// keeps its older header. Read back whole; an entry dropped (too short, a
// repeat) drops its options; an entry already listed keeps its own.
TEST(ListFileFormat, OptionsTravelUnderTheNewestHeader) {
    EntryOptions scoped, exact;
    scoped.program = "setup.exe";
    scoped.dialogsOnly = true;
    exact.title = TitleRule::kExact;
    exact.action = EntryAction::kPress, exact.button = "No", exact.delay = 1500;
    exact.kept = {"monitor=2"};
    Fixture f;
    f.lv.Assign({"Setup Wizard", u8"Привет - Report", "Plain entry"}, {scoped, {}, exact});
    ASSERT_TRUE(f.list.ExportWindowList(kPath, 0));
    Fixture copy;
    copy.files.files[kPath] = f.files.files[kPath];
    const ListFileContents whole = copy.list.ReadWindowList(kPath);
    EXPECT_EQ(std::make_pair(whole.entries, whole.options), std::make_pair(f.lv.Items(), std::vector<EntryOptions>{
                                                                                             scoped, {}, exact}));
    const auto opt = [](const std::string& text) { return "+" + Line(text); };
    const std::string written = kHead4 + Line("Setup Wizard") + opt("program=setup.exe") + opt("dialogs=1") +
                                Line("Daily Offer") + Line("Plain entry") + opt("title=exact") + opt("action=press") +
                                opt("button=No") + opt("delay=1500") + opt("monitor=2");
    Fixture same;  // its keys are all 68, as Line draws them
    same.lv.Assign({"Setup Wizard", "Daily Offer", "Plain entry"}, {scoped, {}, exact});
    ASSERT_TRUE(same.list.ExportWindowList(kPath, 0));
    EXPECT_EQ(same.files.files[kPath], written);
    same.lv.Assign({"Setup Wizard", "Daily Offer"});  // no options: the older header
    ASSERT_TRUE(same.list.ExportWindowList(kPath, 0));
    EXPECT_EQ(same.files.files[kPath], kHead + Line("Setup Wizard") + Line("Daily Offer"));
    Fixture back({"PLAIN ENTRY"});
    back.files.files[kPath] = written + Line("tiny") + opt("program=x.exe") + Line("setup wizard") +
                              opt("enabled=0") + Line("Last entry") + opt("program=last.exe");
    const ListFileContents read = back.list.ReadWindowList(kPath);
    EntryOptions last;
    last.program = "last.exe";
    EXPECT_EQ(read.entries, (Strings{"Setup Wizard", "Daily Offer", "Plain entry", "Last entry"}));
    EXPECT_EQ(read.options, (std::vector<EntryOptions>{scoped, {}, exact, last}));
    AppendNewEntries(back.lv, read.entries, back.lower, read.options);
    EXPECT_EQ(back.lv.OptionsAt(0), EntryOptions{});  // listed before: its own options stay
    EXPECT_EQ(back.lv.OptionsAt(1), scoped);
    // The older readers refuse the header; an option line under them is a bad line.
    Fixture old;
    EXPECT_EQ(old.Import(kHead + Line("Notepad") + opt("title=exact")), ImportOutcome::kBadLine);
}

TEST(ListFileImport, ReaderRules) {
    using O = ImportOutcome;
    const std::tuple<const char*, std::string, O, Strings> cases[] = {  // what is added to {"Calculator"}
        {"other-case header", "quellbox2\r\n\r\n" + Line("Notepad"), O::kWrongHeader, {}},
        {"padded header", "QUELLBOX2 \r\n\r\n" + Line("Notepad"), O::kWrongHeader, {}},
        {"LF-only file", "QUELLBOX2\n\n" + Encoded("Notepad") + "\n", O::kWrongHeader, {}},
        {"empty file", "", O::kReadFailed, {}}, {"header only", "QUELLBOX2", O::kComplete, {}},
        {"header and line 2", kHead, O::kComplete, {}},
        {"line 2 skipped", "QUELLBOX2\r\n" + Line("Notepad") + Line("Wordpad"), O::kComplete, {"Wordpad"}},
        {"no final CR LF", kHead + Line("Notepad") + Encoded("Wordpad"), O::kComplete, {"Notepad", "Wordpad"}},
        {"blank lines", kHead + "\r\n" + Line("Notepad") + "\r\n\r\n" + Line("Wordpad"), O::kComplete,
         {"Notepad", "Wordpad"}},
        {"CR alone ends a line", "QUELLBOX2\r\r" + Encoded("Notepad") + "\r", O::kComplete, {"Notepad"}},
        {"lone LF is data", kHead + "R\n" + Line("ello!"), O::kComplete, {"Hello!"}},
        {"any usual key", kHead + Line("Window \xA6~", 89) + Line("Window 77", 77), O::kComplete,
         {u8"Window ¦~", "Window 77"}},  // 0xA6 is ¦ in the ANSI code page
        {"repeats ignoring case", kHead + Line("Notepad") + Line("NOTEPAD") + Line("calculator"), O::kComplete,
         {"Notepad"}},
        {"five characters at least", kHead + Line("abcd") + Line("abcde"), O::kComplete, {"abcde"}},
        // Characters, not bytes: in UTF-8 "é" is two bytes, and four are four characters.
        {"characters, not bytes", kHead3 + Line(u8"éééé", 10) + Line(u8"ééééé", 10), O::kComplete, {u8"ééééé"}},
        {"the ANSI code page", kHead + Line("Caf\xE9 au lait", 10), O::kComplete, {u8"Café au lait"}},
        {"UTF-8 under the newer header", kHead3 + Line(u8"Привет - Report", 10), O::kComplete,
         {u8"Привет - Report"}},
        {"a line of the newer header that is not UTF-8 stops", kHead3 + Line("Notepad") + Line("Caf\xE9 au lait", 10),
         O::kBadLine, {"Notepad"}},
        {"odd line stops", kHead + Line("Notepad") + "abc\r\n" + Line("Wordpad"), O::kBadLine, {"Notepad"}},
        {"pair a < b stops", kHead + Line("Notepad") + "DE\r\n" + Line("Wordpad"), O::kBadLine, {"Notepad"}},
        {"pair giving NUL stops", kHead + Line("Notepad") + Encoded("ab") + "DD" + Line("xyz"), O::kBadLine,
         {"Notepad"}},
        {"overlong line stops", kHead + Line("Notepad") + Line(std::string(2100, 'w')) + Line("Wordpad"),
         O::kBadLine, {"Notepad"}},
    };
    const BoxFacts told("This window list is invalid, or it may be from an newer version of Quellwatch.",
                        "Unrecognized File Header", 0x10010u, 0x55);
    for (const auto& [name, bytes, outcome, added] : cases) {
        for (std::size_t chunk : {1, 3, 4096}) {
            Fixture f({"Calculator"});
            f.files.SetReadChunk(chunk);
            EXPECT_EQ(f.Import(bytes), outcome) << name;
            EXPECT_EQ(Strings(f.lv.Items().begin() + 1, f.lv.Items().end()), added) << name;
            EXPECT_EQ(f.files.OpenHandles(), 0u) << name;
            EXPECT_EQ(FactsOf(f.process.boxes), Boxes(outcome == O::kWrongHeader, told)) << name;
        }
    }
}

TEST(ListFileImport, StopsAtTheListLimit) {
    const Strings incoming{"ENTRY10003", "Fresh one", "FRESH ONE", "Fresh two", "Fresh three"};
    std::string file = kHead;
    for (const auto& e : incoming) file += Line(e);
    const BoxFacts told("The window list is full: it holds at most 32,767 entries.\r\n"
                        "The rest of the file was not imported.", "Error", 0x10010u, 0x55);
    for (const int room : {3, 2}) {
        Fixture f;
        for (int i = 0; i < EntryList::kMaxEntries - room; ++i) f.lv.Add("Entry" + std::to_string(10000 + i));
        EXPECT_EQ(f.Import(file), room == 3 ? ImportOutcome::kComplete : ImportOutcome::kListFull);
        EXPECT_EQ(f.lv.Count(), EntryList::kMaxEntries - room + std::min(room, 3));
        EXPECT_EQ(f.lv.At(EntryList::kMaxEntries - room), "Fresh one");
        EXPECT_EQ(FactsOf(f.process.boxes), Boxes(room == 2, told));
    }
    // More lines than two full lists, nearly all one entry: what follows them still counts.
    file = kHead;
    for (int i = 0; i < 2 * EntryList::kMaxEntries + 10; ++i) file += Line(i % 2 ? "Same entry" : "SAME ENTRY");
    Fixture f;
    EXPECT_EQ(f.Import(file + Line("Last entry")), ImportOutcome::kComplete);
    EXPECT_EQ(f.lv.Items(), (Strings{"SAME ENTRY", "Last entry"}));
}

// A file operation failing anywhere in an import: the file is closed and the
// entries read before it are kept, silently.
TEST(ListFileImport, EveryFailedOperationClosesTheFileAndKeepsWhatWasAdded) {
    std::string file = kHead;
    Strings all;
    for (int i = 0; i < 12; ++i) file += Line(all.emplace_back("Popup number " + std::to_string(i)));
    Fixture clean;
    clean.files.SetReadChunk(64);
    clean.Import(file);
    const std::uint64_t operations = clean.files.Operations();
    for (std::uint64_t n = 1; n <= operations; ++n) {
        Fixture f;
        f.files.SetReadChunk(64);
        f.files.FailAt(n);
        const ImportOutcome outcome = f.Import(file);
        EXPECT_EQ(f.files.OpenHandles() + f.process.boxes.size(), 0u) << n;
        EXPECT_EQ(f.lv.Items(), Strings(all.begin(), all.begin() + f.lv.Count())) << n;
        EXPECT_EQ(outcome, n == 1 ? ImportOutcome::kNoFile
                           : n == operations ? ImportOutcome::kComplete : ImportOutcome::kReadFailed) << n;
    }
}

TEST(ListFileExport, AFailureAnywhereLeavesTheOldFileWhole) {
    Fixture clean;
    for (int i = 0; i < 300; ++i) clean.lv.Add(std::string(240, 'a' + i % 26) + std::to_string(i));
    ASSERT_TRUE(clean.list.ExportWindowList(kPath, 0));
    ASSERT_GT(clean.files.files[kPath].size(), 2u * 64 * 1024);  // more than one block written
    const BoxFacts told(std::string("Cannot write the window list to\r\n") + kPath, "Error", 0x10010u, 0x77);
    for (bool stop : {false, true}) {
        // Every operation but the listing of what earlier exports left, whose
        // failure only leaves that there.
        const unsigned kinds = stop ? MemoryFiles::kAnyOp : MemoryFiles::kAnyOp & ~MemoryFiles::kList;
        for (std::uint64_t n = 1; n <= clean.files.Operations() - (stop ? 0 : 1); ++n) {
            Fixture f(clean.lv.Items());
            f.files.files[kPath] = "old list";
            stop ? f.files.StopAt(n) : f.files.FailAt(n, kinds);
            bool ok = false;
            try {
                ok = f.list.ExportWindowList(kPath, 0x77);
            } catch (const ProcessStopped&) {
            }
            EXPECT_EQ(std::make_pair(ok, f.files.files[kPath]), std::make_pair(false, std::string("old list"))) << n;
            if (stop) {
                // What a stopped process left beside the target goes with the next export.
                f.files.Restart();
                EXPECT_TRUE(f.list.ExportWindowList(kPath, 0x77)) << n;
                EXPECT_EQ(f.files.files.size(), 1u) << n;
                continue;
            }
            EXPECT_EQ(f.files.files.size() + f.files.OpenHandles(), 1u) << n;  // nothing left behind or open
            EXPECT_EQ(FactsOf(f.process.boxes), Boxes{told}) << n;
        }
    }
}

TEST(UnquotePath, StripsBlanksAndOnePairOfQuotes) {
    const std::pair<const char*, const char*> cases[] = {
        {"C:\\a.wnl", "C:\\a.wnl"},           {"  C:\\my lists\\a.wnl \t", "C:\\my lists\\a.wnl"},
        {"\"C:\\my lists\\a.wnl\"", "C:\\my lists\\a.wnl"}, {" \"  C:\\a.wnl \" ", "C:\\a.wnl"},
        {"\"\"C:\\a.wnl\"\"", "\"C:\\a.wnl\""}, {"\"C:\\a.wnl", "\"C:\\a.wnl"}, {"\"", "\""}, {"", ""},
    };
    for (const auto& [text, path] : cases) EXPECT_EQ(UnquotePath(text), path) << text;
}

}  // namespace
}  // namespace qw
