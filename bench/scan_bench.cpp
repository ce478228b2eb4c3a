// One decision pass over 200 windows against lists of 10, 1,000 and 32,767
// entries: the engine's pass beside the same pass with the literal matcher
// (lower-case the title and each entry at every comparison).
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

#include "engine/scanner.h"
#include "platform/memory/memory_platform.h"
#include "platform/memory/memory_registry.h"

namespace qw {
namespace {

constexpr int kWindows = 200;

// A lean snapshot: the pass's own cost, not the bookkeeping of the test twin.
class Snapshot : public WindowApi {
public:
    std::vector<FakeWindow> windows;
    int posts = 0;
    void EnumTopLevel(WindowVisitor& visitor) override {
        for (const auto& w : windows) visitor.Visit(w.handle);
    }
    std::uint32_t GetStyle(WindowHandle h) override {
        const auto& w = windows[h - 1];
        return (w.visible ? kWsVisible : 0u) | (w.popup ? kWsPopup : 0u);
    }
    WindowHandle GetParent(WindowHandle h) override { return windows[h - 1].owner; }
    std::string GetText(WindowHandle h, int maxUnits) override {
        return utf8::CutToUtf16Units(windows[h - 1].title, static_cast<std::size_t>(maxUnits));
    }
    bool Post(WindowHandle, unsigned) override {
        ++posts;
        return true;
    }
    bool PostParams(WindowHandle, unsigned, std::uintptr_t, std::intptr_t) override { return true; }
    std::vector<DialogButton> PushButtons(WindowHandle) override { return {}; }
    EndResult EndProgram(const ProcessIdentity&) override { return EndResult::kRefused; }
    bool IsHung(WindowHandle) override { return false; }
    std::uint32_t CloakedBy(WindowHandle) override { return 0; }
    bool IsOnCurrentDesktop(WindowHandle) override { return true; }
    bool IsEnabled(WindowHandle) override { return true; }
    std::string ClassName(WindowHandle) override { return "Window"; }
    // Each window a process of its own, none of them a scoped entry's program.
    ProcessIdentity ProcessOf(WindowHandle h) override { return {static_cast<std::uint32_t>(h), 1}; }
    std::string ProgramName(const ProcessIdentity&) override { return "other.exe"; }
    bool BelongsToProgram(WindowHandle) override { return false; }
    WindowHandle WindowUnderPointer() override { return 0; }
    WindowHandle RootOf(WindowHandle window) override { return window; }
    WindowHandle ForegroundWindow() override { return 0; }
    bool IsTopLevelWindow(WindowHandle) override { return true; }
};

std::string Word(std::mt19937& rng, int minLen, int maxLen) {
    static const char letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 -";
    std::string s(static_cast<std::size_t>(minLen + static_cast<int>(rng() % (maxLen - minLen + 1))), ' ');
    for (char& c : s) c = letters[rng() % (sizeof letters - 1)];
    return s;
}

// The same length in characters from Latin, Cyrillic, Greek and CJK, and emoji.
std::string UnicodeWord(std::mt19937& rng, int minLen, int maxLen) {
    static const char* const letters[] = {"a", "B", u8"é", u8"Ж", u8"д", u8"Ω", u8"東", u8"京", u8"😀", " ", "-"};
    std::string s;
    for (int n = minLen + static_cast<int>(rng() % (maxLen - minLen + 1)); n > 0; --n)
        s += letters[rng() % (sizeof letters / sizeof letters[0])];
    return s;
}

struct World {
    Snapshot windows;
    MemorySound sound;
    MemoryRegistry reg;
    EntryList lv;
    MemoryTimer timer;
    OwnWindows own{100000, 0, 0, 0, 0};
    CaseFolding lower = CaseFolding::Common();

    // `unicode`: entries and titles of every script, not only ASCII.
    explicit World(int entries, bool unicode = false) {
        std::mt19937 rng(7);
        const auto word = unicode ? UnicodeWord : Word;
        for (int i = 0; i < entries; ++i) lv.Add("entry " + word(rng, 8, 24));
        for (int i = 0; i < kWindows; ++i) {
            // Titles that match no entry: every pass reads the whole list.
            FakeWindow w;
            w.handle = static_cast<WindowHandle>(i + 1), w.visible = i % 4 != 0, w.popup = i % 10 == 0;
            w.title = word(rng, 10, 60) + " - Application";
            windows.windows.push_back(w);
        }
    }
};

void BM_Pass(benchmark::State& state) {
    World world(static_cast<int>(state.range(0)), state.range(1) != 0);
    Scanner scanner(world.windows, world.sound, world.reg, world.lv, world.timer, world.own, world.lower);
    scanner.ScanCycle();  // builds the matcher, as the first tick after a change does
    for (auto _ : state) scanner.ScanCycle();
    if (world.windows.posts) state.SkipWithError("a window was closed");
}

// The same pass where 1,000 of the entries are scoped to a program and one
// title in ten holds one of those entries, its window another program's: the
// options are asked of those windows at every pass, and none is closed.
void BM_PassWithOptions(benchmark::State& state) {
    World world(static_cast<int>(state.range(0)));
    EntryOptions scoped;
    scoped.program = "setup.exe";
    const int count = world.lv.Count();
    for (int i = 0; i < 1000 && i < count; ++i) world.lv.SetOptions(i * (count / 1000), scoped);
    for (std::size_t i = 0; i < world.windows.windows.size(); i += 10)
        world.windows.windows[i].title += " " + world.lv.At(static_cast<int>(i / 10) * (count / 1000));
    Scanner scanner(world.windows, world.sound, world.reg, world.lv, world.timer, world.own, world.lower);
    scanner.ScanCycle();
    for (auto _ : state) scanner.ScanCycle();
    if (world.windows.posts) state.SkipWithError("a window was closed");
}

// The same pass, with the entry-by-entry matcher.
void BM_PassLiteral(benchmark::State& state) {
    World world(static_cast<int>(state.range(0)));
    std::vector<WindowHandle> handles;
    for (const auto& w : world.windows.windows) handles.push_back(w.handle);
    for (auto _ : state) {
        int closes = 0;
        for (WindowHandle h : handles) {
            if (world.own.Contains(h)) continue;
            const std::uint32_t style = world.windows.GetStyle(h);
            if (!(style & kWsVisible)) continue;
            if ((style & kWsPopup) && world.windows.GetParent(h) == world.own.mainFrm) continue;
            const std::string title = world.windows.GetText(h, 254);
            if (title.empty() || title == "Program Manager" || title == "DesktopBackgroundClass" ||
                title == kAppTitle)
                continue;
            if (LiteralMatchesListEntry(title, world.lv.Items(), world.lower)) ++closes;
        }
        benchmark::DoNotOptimize(closes);
    }
}

void BM_BuildMatcher(benchmark::State& state) {
    World world(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        EntryMatcher m;
        m.Build(world.lv.Items(), world.lower);
        benchmark::DoNotOptimize(m.StateCount());
    }
}

// The second argument: titles and entries of every script (1) or ASCII (0).
BENCHMARK(BM_Pass)->ArgsProduct({{10, 1000, 32767}, {0, 1}})->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PassWithOptions)->Arg(1000)->Arg(32767)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PassLiteral)->Arg(10)->Arg(1000)->Arg(32767)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BuildMatcher)->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace qw
