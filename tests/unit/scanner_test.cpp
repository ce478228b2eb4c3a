// One pass of the scan as a function of the windows it finds, and the debounce
// that spaces repeated closes 500 ms apart.
#include <gtest/gtest.h>

#include "engine/scanner.h"
#include "settings/settings.h"
#include "platform/memory/memory_platform.h"
#include "platform/memory/memory_registry.h"
#include "store/registry_access.h"
#include "store/window_list_store.h"

namespace qw {
namespace {

using Handles = std::vector<WindowHandle>;
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

    void List(std::initializer_list<const char*> entries) {
        lv.Clear();
        for (const char* e : entries) lv.Add(e);
    }
    Handles Closed() const { return windows.Closed(); }
};

TEST_F(Pass, PostsCancelModeThenCloseToAMatchingWindow) {
    List({"offer"});
    windows.Add(1, "Daily Offer");
    scanner.ScanCycle();
    EXPECT_EQ(windows.posts, (std::vector<MemoryWindows::Posted>{{1, kWmCancelMode}, {1, kWmClose}}));
    EXPECT_EQ(scanner.LastClosedTitle(), "Daily Offer");
    EXPECT_TRUE(reInit.IsRunning());
    EXPECT_TRUE(sound.played.empty());
}

TEST_F(Pass, NeverClosesIneligibleWindows) {
    List({"manager", "desktopbackground", "quellwatch", "offer", "e"});
    windows.Add(1, "Program Manager");
    windows.Add(2, "DesktopBackgroundClass");
    windows.Add(3, "Quellwatch 1.6");
    windows.Add(4, "Hidden offer", false);
    windows.Add(5, "");
    windows.Add(kMain, "Quellwatch v1.6");
    windows.Add(0x101, "About Quellwatch 1.6");
    windows.Add(0x104, "Edit offer");
    // Boxes owned by the main window, by a dialog, and by a window of ours
    // outside the set (a file chooser asking before it overwrites).
    const WindowHandle owners[] = {kMain, 0x102, 7};
    windows.Add(7, "Save offer as", false).ours = true;
    for (WindowHandle owner : owners) {
        auto& box = windows.Add(10 + owner, "Error: offer question");
        box.popup = true;
        box.owner = owner;
    }
    scanner.ScanCycle();
    EXPECT_TRUE(windows.posts.empty());
    EXPECT_FALSE(reInit.IsRunning());
}

TEST_F(Pass, CaseMattersOnlyForTheExcludedTitles) {
    List({"manager", "readme"});
    windows.Add(1, "program manager");
    scanner.ScanCycle();
    windows.Add(2, "Quellwatch 1.6 - readme");
    scanner.ReInitCloseTmrTick();
    scanner.ScanCycle();
    EXPECT_EQ(Closed(), (Handles{1, 1, 2}));
}

TEST_F(Pass, PopupOwnedByAnotherWindowIsClosed) {
    List({"offer"});
    auto& w = windows.Add(1, "Offer dialog");
    w.popup = true;
    w.owner = 0x999;
    scanner.ScanCycle();
    EXPECT_EQ(Closed(), Handles{1});
}

TEST_F(Pass, OnlyTheFirst254CharactersOfATitleCount) {
    List({"needle"});
    windows.Add(1, std::string(254, 'x') + "needle");
    windows.Add(2, std::string(248, 'y') + "needle" + std::string(46, 'z'));
    scanner.ScanCycle();
    EXPECT_EQ(Closed(), Handles{2});
}

TEST_F(Pass, EmptyListClosesNothing) {
    windows.Add(1, "Daily Offer");
    scanner.ScanCycle();
    EXPECT_TRUE(windows.posts.empty());
}

TEST_F(Pass, WindowsSharingATitleCloseOnePerClearance) {
    List({"offer"});
    windows.Add(1, "Offer");
    windows.Add(2, "Offer");
    scanner.ScanCycle();
    scanner.ScanCycle();  // held: the title is remembered
    EXPECT_EQ(Closed(), Handles{1});
    windows.Remove(1);
    scanner.ReInitCloseTmrTick();
    EXPECT_FALSE(reInit.IsRunning());
    EXPECT_EQ(scanner.LastClosedTitle(), "");
    scanner.ScanCycle();
    EXPECT_EQ(Closed(), (Handles{1, 2}));
}

TEST_F(Pass, AWindowThatStaysIsAskedAgainAfterEachClearance) {
    List({"offer"});
    windows.Add(1, "Stubborn offer");
    for (int i = 0; i < 3; ++i) {
        scanner.ScanCycle();
        scanner.ScanCycle();
        scanner.ReInitCloseTmrTick();
    }
    EXPECT_EQ(Closed(), (Handles{1, 1, 1}));
    EXPECT_EQ(reInit.starts, 3);
}

TEST_F(Pass, ASecondTitleReleasesTheFirst) {
    List({"offer"});
    windows.Add(1, "First offer");
    windows.Add(2, "Second offer");
    scanner.ScanCycle();
    EXPECT_EQ(Closed(), (Handles{1, 2}));
    EXPECT_EQ(scanner.LastClosedTitle(), "Second offer");
    // Only one title is remembered, so both are asked again at the next tick.
    scanner.ScanCycle();
    EXPECT_EQ(Closed(), (Handles{1, 2, 1, 2}));
    EXPECT_EQ(scanner.LastClosedTitle(), "Second offer");
}

TEST_F(Pass, AListChangeCountsFromTheNextTick) {
    windows.Add(1, "Daily Offer");
    scanner.ScanCycle();
    lv.Add("daily");
    scanner.ScanCycle();
    EXPECT_EQ(Closed(), Handles{1});
    lv.SetAt(0, "weekly");
    scanner.ReInitCloseTmrTick();
    scanner.ScanCycle();
    EXPECT_EQ(Closed(), Handles{1});
}

TEST_F(Pass, TitleChangedSinceTheMatchIsReCheckedBeforePosting) {
    // The re-check reads the title afresh; a window whose title became the
    // application title is turned down, but the title is still remembered.
    struct Renaming : MemoryWindows {
        int reads = 0;
        int GetText(WindowHandle w, char* b, int max) override {
            if (++reads == 2) windows[0].title = "Quellwatch 1.6";
            return MemoryWindows::GetText(w, b, max);
        }
    } renaming;
    Scanner s{renaming, sound, reg, lv, reInit, own, lower};
    List({"offer"});
    renaming.Add(1, "Daily Offer");
    s.ScanCycle();
    EXPECT_TRUE(renaming.posts.empty());
    EXPECT_EQ(s.LastClosedTitle(), "Daily Offer");
    EXPECT_TRUE(reInit.IsRunning());
}

TEST_F(Pass, AsksEachWindowForEachFactAtMostOnce) {
    List({"zzzzzz"});
    windows.Add(1, "Plain window");
    windows.Add(2, "Hidden", false);
    auto& popup = windows.Add(3, "Popup");
    popup.popup = true;
    windows.Add(kMain, "Quellwatch v1.6");
    scanner.ScanCycle();
    EXPECT_EQ(windows.calls[1].style, 1);
    EXPECT_EQ(windows.calls[1].parent, 0);
    EXPECT_EQ(windows.calls[1].text, 1);
    EXPECT_EQ(windows.calls[2].style, 1);
    EXPECT_EQ(windows.calls[2].text, 0);
    EXPECT_EQ(windows.calls[3].parent, 1);
    EXPECT_EQ(windows.calls[1].process + windows.calls[2].process + windows.calls[3].process, 0);
    EXPECT_EQ(windows.calls.count(kMain), 0u);
}

TEST_F(Pass, PlaysTheSoundReadAtEveryClose) {
    List({"offer"});
    windows.Add(1, "An offer");
    scanner.ScanCycle();
    EXPECT_TRUE(sound.played.empty());  // "Play Sound" missing means off
    RegWriteString(reg, kHkeyCurrentUser, kOptionsKeyPath, "Play Sound", "1", kRegSz);
    RegWriteString(reg, kHkeyCurrentUser, kOptionsKeyPath, "Sound", "C:\\ding.wav", kRegSz);
    scanner.ReInitCloseTmrTick();
    scanner.ScanCycle();
    RegWriteString(reg, kHkeyCurrentUser, kOptionsKeyPath, "Sound", "C:\\chime.wav", kRegSz);
    scanner.ReInitCloseTmrTick();
    scanner.ScanCycle();
    RegWriteString(reg, kHkeyCurrentUser, kOptionsKeyPath, "Play Sound", "0", kRegSz);
    scanner.ReInitCloseTmrTick();
    scanner.ScanCycle();
    ASSERT_EQ(sound.played.size(), 2u);
    EXPECT_EQ(sound.played[0], std::make_pair(std::string("C:\\ding.wav"), 0x13u));
    EXPECT_EQ(sound.played[1].first, "C:\\chime.wav");
    EXPECT_EQ(Closed().size(), 4u);
}

TEST(SoundFlag, ReadsNumbersAndTrueFalse) {
    EXPECT_TRUE(SoundFlagOn("1"));
    EXPECT_TRUE(SoundFlagOn("-1"));
    EXPECT_TRUE(SoundFlagOn("True"));
    EXPECT_TRUE(SoundFlagOn("true"));
    EXPECT_FALSE(SoundFlagOn("0"));
    EXPECT_FALSE(SoundFlagOn("False"));
    EXPECT_FALSE(SoundFlagOn(""));
    EXPECT_FALSE(SoundFlagOn("yes"));
    EXPECT_FALSE(SoundFlagOn("1x"));
}

}  // namespace
}  // namespace qw
