// The real Quellbox.exe closing real windows of another process, and a long
// run of it: many matching windows closed with tracking switched and dialogs
// opened on the way while its handles, windows, USER and GDI objects and
// memory stay flat (QW_SOAK_WINDOWS sets the number; scripts/soak.sh runs 1,000).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "e2e_support.h"
#include "resources/resource.h"

#include <psapi.h>

namespace qwe2e {
namespace {

using namespace std::chrono_literals;
using Messages = std::vector<std::uint32_t>;

// Wine ends a process whose threads hold no window on its virtual desktop
// when the last program with windows there goes (exit code 0, no word). A
// test that kills the program under test can leave the driver in just that
// state, so the driver's main thread keeps a hidden window for the whole run.
const HWND kDesktopKeeper = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                            GetModuleHandleA(nullptr), nullptr);

double GapMs(std::int64_t a, std::int64_t b) { return Millis(b > a ? b - a : a - b); }

// One title is remembered for 500 ms: a window that stays is asked again
// about every 500 ms. Each close plays a sound that is no wave file, and
// titles hold every byte value.
TEST(Scan, ClosesWhatMatchesAndNothingElseOneTitleAtATime) {
    QuietOptions();
    SetString(kOptionsKey, "Play Sound", "1");
    SetString(kOptionsKey, "Sound", BinDir() + "\\Quellbox.chm");
    SeedList({"offer", "hidden", "owned by", "quellwatch", "bytes:"});
    Helper helper;
    Quellbox quellbox;
    ASSERT_TRUE(helper.Ok() && quellbox.Launch());
    // WM_CANCELMODE then WM_CLOSE; the best of three within 100 ms, so that a
    // passing hiccup of a loaded machine cannot fail it.
    double best = 1e9;
    for (int trial = 0; trial < 3 && best >= 100.0; ++trial) {
        HWND window = helper.Create("Daily Offer " + std::to_string(trial));
        ASSERT_TRUE(helper.WaitForMessages(window, WM_CLOSE, 1, 5s));
        EXPECT_EQ(helper.Messages(window), (Messages{WM_CANCELMODE, WM_CLOSE}));
        best = std::min(best, GapMs(helper.Stamps(window, kCreated)[0], helper.Stamps(window, WM_CLOSE)[0]));
    }
    EXPECT_LT(best, 100.0);

    const std::vector<HWND> spared = {helper.Create("Hidden window", "h"),
                                      helper.Create("Dialog owned by the main window", "p", quellbox.Main()),
                                      helper.Create("Loading...")};
    // Alone: another title closed meanwhile would release it at once.
    HWND stubborn = helper.Create("Stubborn offer", "i");
    ASSERT_TRUE(helper.WaitForMessages(stubborn, WM_CLOSE, 4, 10s));
    const Messages asked = helper.Messages(stubborn);
    const auto asks = helper.Stamps(stubborn, WM_CLOSE);
    for (std::size_t i = 0; i < asked.size(); ++i) EXPECT_EQ(asked[i], i % 2 ? WM_CLOSE : WM_CANCELMODE) << i;
    for (std::size_t i = 1; i < asks.size(); ++i) {
        const double gap = GapMs(asks[i - 1], asks[i]);
        EXPECT_TRUE(gap >= 450.0 && gap <= 1500.0) << gap;
    }
    // Four requests to the stubborn one prove full passes over all windows.
    for (HWND window : spared) EXPECT_TRUE(helper.Messages(window).empty()) << TextOf(window);

    SetWindowTextA(spared.back(), "Loading... Daily Offer");  // a title that comes to match
    EXPECT_TRUE(helper.WaitForMessages(spared.back(), WM_CLOSE, 1, 5s));
    for (int from : {1, 128}) {  // every byte value, over two titles of at most 254 characters
        std::string title = "bytes:";
        for (int b = from; b < from + 127 && b < 256; ++b) title += static_cast<char>(b);
        EXPECT_TRUE(helper.WaitForMessages(helper.Create(title), WM_CLOSE, 1, 10s)) << from;
    }
    // Its own window stays, whatever the list holds.
    EXPECT_TRUE(quellbox.Running() && IsWindowVisible(quellbox.Main()));
}

// A window that asks "Save changes?" before it closes, in a box that
// disables it and whose title the entry matches (the helper's; Wine's Notepad
// with unsaved text, whose box is titled "Notepad"), is asked once: the
// question is the user's, no request comes that would put up another inside
// it, and the text is kept. Answered Cancel, the window is asked again, one
// box at a time; answered No, it closes. A ghost is never asked.
TEST(Scan, AWindowThatAsksFirstPutsUpOneQuestionAtATime) {
    QuietOptions();
    SeedList({"question offer", "notepad", "sentinel"});
    Program notepad;
    const std::string text = "Words nobody saved";
    HWND edit = StartNotepadWithText(notepad, text);
    ASSERT_NE(edit, nullptr);
    HWND main = GetAncestor(edit, GA_ROOT);
    Helper helper;
    Quellbox quellbox;
    ASSERT_TRUE(helper.Ok() && quellbox.Launch());
    HWND sentinel = helper.Create("Stubborn sentinel", "i");
    HWND ghost = helper.Create("Question offer (Not Responding)", "g");
    HWND asking = helper.Create("Question offer", "q");
    const auto question = [](const char* title) {
        HWND box = FindWindowA("#32770", title);
        return box && IsWindowVisible(box) ? box : nullptr;
    };
    HWND first = nullptr, box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (first = question("Question offer")) && (box = question("Notepad")); }, 10s));
    // Notepad's boxes, over six more requests to the sentinel: three seconds of passes.
    int most = 0;
    const std::size_t asks = helper.Stamps(sentinel, WM_CLOSE).size();
    ASSERT_TRUE(WaitUntil([&] {
        int up = 0;
        HWND w = nullptr;
        while ((w = FindWindowExA(nullptr, w, "#32770", "Notepad")) != nullptr) up += IsWindowVisible(w);
        most = std::max(most, up);
        return helper.Stamps(sentinel, WM_CLOSE).size() >= asks + 6;
    }, 20s));
    // Disabled by its box, a window is sent WM_CANCELMODE by the system too:
    // WM_CLOSE counts the requests.
    EXPECT_EQ(std::make_tuple(most, helper.Stamps(asking, WM_CLOSE).size(), question("Question offer"),
                              question("Notepad")),
              std::make_tuple(1, std::size_t{1}, first, box));
    EXPECT_EQ(std::make_tuple(IsWindowEnabled(asking), IsWindowEnabled(main), TextOf(edit)),
              std::make_tuple(FALSE, FALSE, text));
    ASSERT_TRUE(Answer(box, IDNO));  // Don't Save: Notepad ends
    EXPECT_NE(notepad.WaitExit(10s), -1);
    ASSERT_TRUE(Answer(first, IDCANCEL));
    ASSERT_TRUE(WaitUntil([&] { return helper.Stamps(asking, kAsking).size() == 2 && question("Question offer"); },
                          10s));
    ASSERT_TRUE(helper.FullPass(sentinel));
    ASSERT_TRUE(Answer(question("Question offer"), IDNO));
    EXPECT_TRUE(WaitGone(asking));
    EXPECT_EQ(std::make_tuple(helper.Stamps(asking, WM_CLOSE).size(), helper.MostQuestionsAtOnce(asking),
                              helper.Messages(ghost).empty()),
              std::make_tuple(std::size_t{2}, 1, true));
}

struct Usage {
    unsigned long handles = 0, windows = 0, user = 0, gdi = 0, memoryKb = 0;
};

// Handles from the system's handle table, which Wine keeps too (its
// GetProcessHandleCount and GetGuiResources answer 0).
unsigned long HandlesOf(DWORD processId) {
    struct Entry {
        USHORT pid, creator;
        UCHAR type, flags;
        USHORT handle;
        PVOID object;
        ACCESS_MASK access;
    };
    using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    std::vector<char> buffer(1 << 22);
    ULONG length = 0;
    const ULONG size = static_cast<ULONG>(buffer.size());
    if (!query || query(16 /* SystemHandleInformation */, buffer.data(), size, &length) != 0) return 0;
    const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(ULONG_PTR));
    unsigned long mine = 0;
    for (ULONG i = 0; i < *reinterpret_cast<ULONG*>(buffer.data()); ++i)
        mine += entries[i].pid == static_cast<USHORT>(processId) ? 1 : 0;
    return mine;
}

BOOL CALLBACK CountWindow(HWND, LPARAM count) {
    ++*reinterpret_cast<unsigned long*>(count);
    return TRUE;
}

Usage UsageOf(const Program& program) {
    Usage u;
    u.handles = HandlesOf(program.Id());
    for (HWND w : WindowsOf(program.Id())) {
        ++u.windows;
        EnumChildWindows(w, CountWindow, reinterpret_cast<LPARAM>(&u.windows));
    }
    u.user = GetGuiResources(program.Handle(), GR_USEROBJECTS);
    u.gdi = GetGuiResources(program.Handle(), GR_GDIOBJECTS);
    PROCESS_MEMORY_COUNTERS_EX m{};
    if (K32GetProcessMemoryInfo(program.Handle(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&m), sizeof m))
        u.memoryKb = static_cast<unsigned long>((m.PrivateUsage ? m.PrivateUsage : m.WorkingSetSize) / 1024);
    return u;
}

TEST(Soak, ManyClosedWindowsLeaveResourcesFlat) {
    const char* env = std::getenv("QW_SOAK_WINDOWS");
    const int windows = env ? std::atoi(env) : 200;
    QuietOptions();
    SeedList({"soak offer"});
    Helper helper;
    Quellbox q;
    ASSERT_TRUE(helper.Ok() && q.Launch());
    std::vector<HWND> bystanders;
    Usage first;
    for (int i = 0; i < windows; ++i) {
        if (i == windows / 10) first = UsageOf(q);  // once the first allocations have settled
        if (i % 50 == 25) {
            // Off: a matching window waits while dialogs come and go; on again: it goes.
            // Sent, not posted: tracking is off before the window comes.
            SendMessageA(q.Main(), WM_COMMAND, IDM_DISABLE, 0);
            HWND waiting = helper.Create("Soak offer waiting " + std::to_string(i));
            for (auto [id, caption] : {std::pair{IDC_LADD, "Add new item"}, {IDM_MODE, "Quellwatch Options"}})
                ASSERT_TRUE(Answer(Open(q, id, caption), IDCANCEL)) << caption;
            EXPECT_TRUE(helper.Messages(waiting).empty()) << i;
            Press(q.Main(), IDM_ENABLE);
            ASSERT_TRUE(helper.WaitForMessages(waiting, WM_CLOSE, 1, 10s)) << i;
            bystanders.push_back(helper.Create("Bystander " + std::to_string(i)));
        }
        HWND window = helper.Create("Soak offer " + std::to_string(i));
        ASSERT_TRUE(helper.WaitForMessages(window, WM_CLOSE, 1, 10s)) << i;
        ASSERT_TRUE(WaitGone(window)) << i;
    }
    const Usage last = UsageOf(q);
    for (HWND b : bystanders) EXPECT_TRUE(helper.Messages(b).empty());
    std::printf("SOAK windows=%d handles=%lu->%lu own_windows=%lu->%lu user=%lu->%lu gdi=%lu->%lu memory_kb=%lu->%lu\n",
                windows, first.handles, last.handles, first.windows, last.windows, first.user, last.user, first.gdi,
                last.gdi, first.memoryKb, last.memoryKb);
    // Flat: a leak of one object per window or per dialog would show here.
    EXPECT_GT(first.handles, 0u);
    EXPECT_LE(last.handles, first.handles + 10);
    EXPECT_LE(last.windows, first.windows);
    EXPECT_LE(last.user, first.user + 10);
    EXPECT_LE(last.gdi, first.gdi + 10);
    EXPECT_LE(last.memoryKb, first.memoryKb + 4096);
}

}  // namespace
}  // namespace qwe2e
