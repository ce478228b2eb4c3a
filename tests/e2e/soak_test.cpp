// A long run of the real program: many matching windows closed, tracking
// switched off and on, dialogs opened and closed, and its handles, USER and
// GDI objects and memory staying flat. QW_SOAK_WINDOWS sets the number of
// windows (scripts/soak.sh runs 1,000).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "e2e_support.h"
#include "resources/resource.h"

#include <psapi.h>

namespace qwe2e {
namespace {

using namespace std::chrono_literals;

struct Usage {
    unsigned long handles = 0, windows = 0, user = 0, gdi = 0;
    unsigned long memoryKb = 0;
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
    const ULONG count = *reinterpret_cast<ULONG*>(buffer.data());
    const auto* entries = reinterpret_cast<const Entry*>(buffer.data() + sizeof(ULONG_PTR));
    unsigned long mine = 0;
    for (ULONG i = 0; i < count; ++i) mine += entries[i].pid == static_cast<USHORT>(processId) ? 1 : 0;
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
    Quellbox quellbox;
    ASSERT_TRUE(quellbox.Launch());
    auto command = [&](int id) { PostMessageA(quellbox.Main(), WM_COMMAND, static_cast<WPARAM>(id), 0); };
    // Opens a dialog of the program by its command and closes it again.
    auto openAndClose = [&](int id, const char* caption) {
        command(id);
        HWND dialog = nullptr;
        ASSERT_TRUE(WaitUntil([&] { return (dialog = FindWindowOf(quellbox.Id(), caption)) && IsWindowVisible(dialog); }, 10s))
            << caption;
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 10s)) << caption;
    };

    std::vector<HWND> bystanders;
    Usage first;
    for (int i = 0; i < windows; ++i) {
        if (i == windows / 10) first = UsageOf(quellbox);  // after the first allocations settle
        if (i % 50 == 25) {
            // Off: a matching window waits; on again: it goes at the next tick.
            command(IDM_DISABLE);
            HWND waiting = helper.Create("Soak offer waiting " + std::to_string(i));
            openAndClose(IDC_LADD, "Add new item");
            openAndClose(IDM_MODE, "Quellwatch Options");
            EXPECT_TRUE(helper.Messages(waiting).empty()) << i;
            command(IDM_ENABLE);
            ASSERT_TRUE(helper.WaitForMessages(waiting, WM_CLOSE, 1, 10s)) << i;
            bystanders.push_back(helper.Create("Bystander " + std::to_string(i)));
        }
        HWND window = helper.Create("Soak offer " + std::to_string(i));
        ASSERT_TRUE(helper.WaitForMessages(window, WM_CLOSE, 1, 10s)) << i;
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(window); }, 10s)) << i;
    }
    const Usage last = UsageOf(quellbox);
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
    EXPECT_TRUE(quellbox.Running());
}

}  // namespace
}  // namespace qwe2e
