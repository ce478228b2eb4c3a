// A long run and bad input on the real program: many matching windows closed
// with tracking switched and dialogs opened on the way while its handles,
// windows, USER and GDI objects and memory stay flat (QW_SOAK_WINDOWS sets
// the number; scripts/soak.sh runs 1,000); command lines naming no list
// file, a sound that is no wave file and titles with every byte value.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "e2e_support.h"
#include "resources/resource.h"

#include <psapi.h>

namespace qwe2e {
namespace {

using namespace std::chrono_literals;

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
    if (!query || query(16 /* SystemHandleInformation */, buffer.data(), static_cast<ULONG>(buffer.size()), &length) != 0)
        return 0;
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
    PROCESS_MEMORY_COUNTERS_EX memory{};
    if (K32GetProcessMemoryInfo(program.Handle(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory))
        u.memoryKb = static_cast<unsigned long>((memory.PrivateUsage ? memory.PrivateUsage : memory.WorkingSetSize) / 1024);
    return u;
}

TEST(Soak, ManyClosedWindowsLeaveResourcesFlat) {
    const char* env = std::getenv("QW_SOAK_WINDOWS");
    const int windows = env ? std::atoi(env) : 200;
    QuietOptions();
    SeedList({"soak offer"});
    Helper helper;
    ASSERT_TRUE(helper.Ok());
    Quellbox q;
    ASSERT_TRUE(q.Launch());
    std::vector<HWND> bystanders;
    Usage first;
    for (int i = 0; i < windows; ++i) {
        if (i == windows / 10) first = UsageOf(q);  // once the first allocations have settled
        if (i % 50 == 25) {
            // Off: a matching window waits while dialogs come and go; on again: it goes.
            Press(q.Main(), IDM_DISABLE);
            HWND waiting = helper.Create("Soak offer waiting " + std::to_string(i));
            for (auto [id, caption] : {std::pair{IDC_LADD, "Add new item"}, std::pair{IDM_MODE, "Quellwatch Options"}}) {
                Press(q.Main(), id);
                HWND dialog = WaitForWindow(q, caption);
                ASSERT_NE(dialog, nullptr) << caption;
                Press(dialog, IDCANCEL);
                ASSERT_TRUE(WaitGone(dialog)) << caption;
            }
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

TEST(BadInput, CommandLinesNamingNoListFileAndWindowsOfEveryByte) {
    QuietOptions();
    SetString(kOptionsKey, "Play Sound", "1");
    SetString(kOptionsKey, "Sound", BinDir() + "\\Quellbox.chm");  // a file, but no wave
    SeedList({"bytes:"});
    const std::string dir = BinDir();
    std::ofstream(dir + "\\empty.wnl", std::ios::binary);
    std::ofstream(dir + "\\huge.wnl", std::ios::binary) << "QUELLBOX2\r\n\r\n" << std::string(20 << 20, 'A');
    const std::pair<std::string, std::string> cases[] = {
        {dir + "\\missing.wnl", "Cannot open the window list\r\n"},
        {dir, "Cannot open the window list\r\n"},
        {dir + "\\empty.wnl", "The window list could not be read to its end\r\n"},
        {dir + "\\huge.wnl", "The window list could not be read to its end\r\n"},  // 20 MB, no line end
    };
    for (const auto& c : cases) {
        Program importer;
        ASSERT_TRUE(importer.Start(dir + "\\Quellbox.exe", "\"" + c.first + "\""));
        HWND box = WaitForBox(importer);
        ASSERT_NE(box, nullptr) << c.first;
        Press(box, IDYES);
        box = WaitForBox(importer, c.second + c.first);
        ASSERT_NE(box, nullptr) << c.first;
        EXPECT_EQ(TextOf(box), "Error");
        Press(box, IDOK);
        EXPECT_EQ(importer.WaitExit(10s), 0) << c.first;
        EXPECT_EQ(StoredList(), std::vector<std::string>{"bytes:"}) << c.first;
    }

    Helper helper;
    ASSERT_TRUE(helper.Ok());
    Quellbox q;
    ASSERT_TRUE(q.Launch());
    for (int from : {1, 128}) {  // every byte value, over two titles of at most 254 characters
        std::string title = "bytes:";
        for (int b = from; b < from + 127 && b < 256; ++b) title += static_cast<char>(b);
        EXPECT_TRUE(helper.WaitForMessages(helper.Create(title), WM_CLOSE, 1, 10s)) << from;
    }
    EXPECT_TRUE(q.Running() && IsWindow(q.Main()));
}

}  // namespace
}  // namespace qwe2e
