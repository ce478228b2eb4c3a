// An entry matches every title that contains it, ignoring case, and nothing
// else; one pass of the scan as a function of the windows it finds; and the
// debounce that holds the last closed title until ReInitCloseTmr ticks.
#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "engine/entry_matcher.h"
#include "engine/scanner.h"
#include "platform/memory/memory_platform.h"
#include "platform/memory/memory_registry.h"
#include "store/registry_access.h"
#include "store/window_list_store.h"

namespace qw {
namespace {

using Strings = std::vector<std::string>;
using Handles = std::vector<WindowHandle>;

// The matcher and the literal rule it stands for agree with each case.
void ExpectMatches(const LowerTable& lower, const std::vector<std::tuple<Strings, std::string, bool>>& cases) {
    for (const auto& [entries, title, matches] : cases) {
        EntryMatcher m;
        m.Build(entries, lower);
        EXPECT_EQ(m.Matches(title), matches) << title;
        EXPECT_EQ(LiteralMatchesListEntry(title, entries, lower), matches) << title;
    }
}

TEST(EntryMatcher, AnEntryMustLieWhollyInsideTheTitle) {
    ExpectMatches(LowerTable::Windows1252(), {
        {{"notepad"}, "Untitled - Notepad", true},
        {{"Untitled - Notepad - extra"}, "Untitled - Notepad", false},
        {{"OFFER"}, "daily offer", true},
        {{"offerx"}, "Daily Offer", false},
        {{"zzzzz", "daily"}, "Daily Offer", true},
        {{}, "Daily Offer", false},
        {{"abcab"}, "xxabcabcabyy", true},   // needs a failure link
        {{"abcd", "bce"}, "xabcexx", true},   // the shorter entry ends inside the longer one's path
        {{"b", "abc"}, "ab", true},
        {{"\xC4rger"}, "Gro\xDF" "er \xE4RGER", true},  // Windows-1252 letters fold too
        {{"\xD7"}, "\xF7", false},  // the multiplication and division signs are not a case pair
    });
}

// Code page 932: a match begins only where a character begins, and the
// second byte of a two-byte character never changes case.
TEST(EntryMatcher, DoubleByteTitlesMatchWholeCharactersOnly) {
    const LowerTable lower = LowerTable::Japanese932();
    ExpectMatches(lower, {
        {{"abcde"}, "\x83" "abcde", false},            // 'a' is the second byte of katakana 83 61
        {{"abcde"}, "\x83" "aabcde", true},            // the next 'a' begins a character
        {{"bcde"}, "\x83" "abcde", true},
        {{"ABCDE"}, "xx abcde", true},                  // single-byte letters still fold
        {{"\x83" "A"}, "\x83" "a", false},              // 83 41 and 83 61 are different katakana
        {{"\x83" "a\x83" "A"}, "x\x83" "a\x83" "A!", true},
        {{"\x83" "A"}, "\x83\x83" "A", false},          // 83 83 is one character, then 'A'
        {{"a"}, "\x83", false},
    });
    EXPECT_FALSE(lower.EqualNoCase("\x83" "A", "\x83" "a"));
    EXPECT_TRUE(lower.EqualNoCase("\x83" "Ab", "\x83" "AB"));
}

TEST(EntryMatcher, AgreesWithTheLiteralRuleOnRandomLists) {
    for (const LowerTable& lower : {LowerTable::Windows1252(), LowerTable::Japanese932()}) {
        std::mt19937 rng(12345);
        const std::string alphabet = "abcABC \xC4\xE4-\x83\x81";
        auto text = [&](int maxLen) {
            std::string s(rng() % maxLen + 1, ' ');
            for (char& ch : s) ch = alphabet[rng() % alphabet.size()];
            return s;
        };
        for (int round = 0; round < 300; ++round) {
            Strings entries(rng() % 12);
            for (std::string& entry : entries) entry = text(6);
            EntryMatcher m;
            m.Build(entries, lower);
            for (int t = 0; t < 40; ++t) {
                const std::string title = text(20);
                ASSERT_EQ(m.Matches(title), LiteralMatchesListEntry(title, entries, lower)) << round << " " << title;
            }
        }
    }
}

// A state with more than eight ways on is searched, not scanned.
TEST(EntryMatcher, WideStatesFindEveryWayOn) {
    Strings entries;
    for (int c = 1; c < 256; ++c) entries.push_back(std::string("k") + static_cast<char>(c) + "tail");
    ExpectMatches(LowerTable::Windows1252(), {{entries, "xk\xFEtail", true}, {entries, "xK\xDETAIL", true},
                                              {entries, "ktail", false}});  // upper thorn folds to 0xFE
}

constexpr WindowHandle kMain = 0x100;

struct Pass : ::testing::Test {
    MemoryWindows windows;
    MemorySound sound;
    MemoryRegistry reg;
    EntryList lv;
    MemoryTimer reInit;
    OwnWindows own{kMain, 0x101, 0x102, 0x103, 0x104};
    LowerTable lower = LowerTable::Windows1252();
    Scanner scanner{windows, sound, reg, lv, reInit, own, lower};

    Handles Closed() const { return windows.Closed(); }
};

// Every other visible window whose first 254 characters hold an entry is
// asked to cancel any mode, then to close. Spared: the desktop, the
// program's own windows and title, hidden and untitled windows, and any box
// owned by a window of ours (a file chooser asking before it overwrites too).
TEST_F(Pass, OnePassClosesExactlyTheEligibleMatchingWindows) {
    lv.Assign({"manager", "readme", "offer", "needle", "desktopbackground", "quellwatch", "e"});
    windows.Add(1, "program manager");          // only the exact desktop titles are spared
    windows.Add(2, "Quellwatch 1.6 - readme");  // and only the exact title of the program
    auto& foreign = windows.Add(3, "Offer dialog");
    foreign.popup = true;
    foreign.owner = 0x999;
    windows.Add(4, std::string(254, 'x') + "needle");
    windows.Add(5, std::string(248, 'y') + "needle" + std::string(46, 'z'));
    WindowHandle spared = 0x10;
    for (const char* title : {"Program Manager", "DesktopBackgroundClass", "Quellwatch 1.6", ""})
        windows.Add(spared++, title);
    windows.Add(7, "Hidden offer", false).ours = true;
    for (WindowHandle own : {kMain, WindowHandle{0x101}, WindowHandle{0x104}}) windows.Add(own, "Quellwatch offer");
    for (WindowHandle owner : {kMain, WindowHandle{0x102}, WindowHandle{7}}) {
        auto& box = windows.Add(0x200 + owner, "Error: offer question");
        box.popup = true;
        box.owner = owner;
    }
    scanner.ScanCycle();
    std::vector<MemoryWindows::Posted> posts;
    for (WindowHandle closed : {1, 2, 3, 5}) posts.insert(posts.end(), {{closed, kWmCancelMode}, {closed, kWmClose}});
    EXPECT_EQ(windows.posts, posts);
    EXPECT_EQ(scanner.LastClosedTitle(), windows.windows[4].title.substr(0, 254));
    EXPECT_TRUE(reInit.IsRunning());
    EXPECT_TRUE(sound.played.empty());  // "Play Sound" missing means off
}

// Only one title is remembered: windows sharing it close one per tick of
// ReInitCloseTmr, a window that stays is asked again after each, and a
// second title releases the first.
TEST_F(Pass, TheLastClosedTitleIsHeldUntilTheDebounceTick) {
    lv.Assign({"offer"});
    windows.Add(1, "Offer");
    windows.Add(2, "Offer");
    scanner.ScanCycle();
    scanner.ScanCycle();
    EXPECT_EQ(Closed(), Handles{1});
    scanner.ReInitCloseTmrTick();
    EXPECT_FALSE(reInit.IsRunning());
    EXPECT_EQ(scanner.LastClosedTitle(), "");
    scanner.ScanCycle();
    windows.Remove(1);
    scanner.ReInitCloseTmrTick();
    scanner.ScanCycle();
    EXPECT_EQ(Closed(), (Handles{1, 1, 2}));
    EXPECT_EQ(reInit.starts, 3);
    windows.Add(3, "Second offer");
    scanner.ScanCycle();
    scanner.ScanCycle();
    EXPECT_EQ(Closed(), (Handles{1, 1, 2, 3, 2, 3}));
}

TEST_F(Pass, AListChangeCountsFromTheNextTick) {
    windows.Add(1, "Daily Offer");
    scanner.ScanCycle();
    lv.Add("daily");
    scanner.ScanCycle();
    lv.SetAt(0, "weekly");
    scanner.ReInitCloseTmrTick();
    scanner.ScanCycle();
    EXPECT_EQ(Closed(), Handles{1});
}

// The title is read again just before the close: a window whose title has
// become the program's own is turned down, but the title is remembered.
TEST_F(Pass, TitleChangedSinceTheMatchIsReCheckedBeforePosting) {
    struct Renaming : MemoryWindows {
        int reads = 0;
        int GetText(WindowHandle w, char* b, int max) override {
            if (++reads == 2) windows[0].title = "Quellwatch 1.6";
            return MemoryWindows::GetText(w, b, max);
        }
    } renaming;
    Scanner s{renaming, sound, reg, lv, reInit, own, lower};
    lv.Assign({"offer"});
    renaming.Add(1, "Daily Offer");
    s.ScanCycle();
    EXPECT_TRUE(renaming.posts.empty());
    EXPECT_EQ(s.LastClosedTitle(), "Daily Offer");
    EXPECT_TRUE(reInit.IsRunning());
}

// A pass runs every 15 ms over every window, and each question is a call
// into another process.
TEST_F(Pass, AsksEachWindowForEachFactAtMostOnce) {
    lv.Assign({"zzzzzz"});
    windows.Add(1, "Plain window");
    windows.Add(2, "Hidden", false);
    windows.Add(3, "Popup").popup = true;
    windows.Add(kMain, "Quellwatch v1.6");
    scanner.ScanCycle();
    const auto& c = windows.calls;
    EXPECT_EQ(std::make_tuple(c.at(1).style, c.at(1).parent, c.at(1).text), std::make_tuple(1, 0, 1));
    EXPECT_EQ(std::make_tuple(c.at(2).style, c.at(2).text, c.at(3).parent), std::make_tuple(1, 0, 1));
    EXPECT_EQ(c.at(1).process + c.at(2).process + c.at(3).process, 0);
    EXPECT_EQ(c.count(kMain), 0u);
}

TEST_F(Pass, PlaysTheSoundReadAtEveryClose) {
    lv.Assign({"offer"});
    windows.Add(1, "An offer");
    const std::pair<const char*, const char*> options[] = {
        {"1", "C:\\ding.wav"}, {"1", "C:\\chime.wav"}, {"0", "C:\\ding.wav"}};
    for (const auto& [play, path] : options) {
        RegWriteString(reg, kHkeyCurrentUser, kOptionsKeyPath, "Play Sound", play, kRegSz);
        RegWriteString(reg, kHkeyCurrentUser, kOptionsKeyPath, "Sound", path, kRegSz);
        scanner.ReInitCloseTmrTick();
        scanner.ScanCycle();
    }
    EXPECT_EQ(sound.played,
              (std::vector<std::pair<std::string, unsigned>>{{"C:\\ding.wav", 0x13u}, {"C:\\chime.wav", 0x13u}}));
    EXPECT_EQ(Closed().size(), 3u);
}

}  // namespace
}  // namespace qw
