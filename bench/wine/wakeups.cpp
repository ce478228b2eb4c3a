// How often the program's main thread wakes, per second and by what (window
// events, the retry timer, the scan's tick): while nothing happens, and while
// the user types in another program (xdotool into Notepad), as the program
// runs by default and while it saves power. Prints
// "WAKEUPS idle|typing|idle-saving|typing-saving events=<per s> retries=<per s> ticks=<per s>".
//   qw_wine_wakeups [seconds=10]
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "e2e_support.h"
#include "resources/resource.h"

using namespace qwe2e;
using namespace std::chrono_literals;

namespace {

constexpr UINT kWakeupCount = WM_APP + 3;

struct Counts {
    double events = 0, retries = 0, ticks = 0;
};

Counts Read(HWND main) {
    Counts c;
    double* fields[] = {&c.events, &c.retries, &c.ticks};
    for (WPARAM kind = 0; kind < 3; ++kind) {
        DWORD_PTR result = 0;
        SendMessageTimeoutA(main, kWakeupCount, kind, 0, SMTO_NORMAL, 5000, &result);
        *fields[kind] = static_cast<double>(result);
    }
    return c;
}

void Report(const char* what, const Counts& a, const Counts& b, double seconds) {
    std::printf("WAKEUPS %s events=%.1f retries=%.1f ticks=%.1f\n", what, (b.events - a.events) / seconds,
                (b.retries - a.retries) / seconds, (b.ticks - a.ticks) / seconds);
}

// One run of the program in one mode: idle, then while the user types.
int Measure(int seconds, bool saving) {
    QuietOptions();
    if (saving) {
        SetString(kOptionsKey, "Save Power", "1");
        SetString(kOptionsKey, "Save Power On Battery Only", "0");
    }
    SeedList({"wake-up probe entry"});
    Quellbox quellbox;
    if (!quellbox.Launch()) return 2;
    const std::string suffix = saving ? "-saving" : "";
    std::this_thread::sleep_for(2s);
    Counts before = Read(quellbox.Main());
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    Counts after = Read(quellbox.Main());
    Report(("idle" + suffix).c_str(), before, after, seconds);

    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    Program notepad;
    if (!notepad.Start(std::string(system) + "\\notepad.exe")) return 3;
    HWND editor = WaitForWindowOf(notepad.Id(), [](HWND w) { return IsWindowVisible(w) != FALSE; }, 10s);
    if (!editor) return 4;
    SetForegroundWindow(editor);
    std::this_thread::sleep_for(1s);
    before = Read(quellbox.Main());
    const auto start = std::chrono::steady_clock::now();
    // About ten keys a second, as a user types, in runs of a line each.
    while (std::chrono::steady_clock::now() - start < std::chrono::seconds(seconds))
        RunHost("/usr/bin/xdotool type --delay 100 'the quick brown fox jumps over the lazy dog '");
    const double typed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    after = Read(quellbox.Main());
    Report(("typing" + suffix).c_str(), before, after, typed);
    std::fflush(stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 10;
    for (const bool saving : {false, true}) {
        if (const int failed = Measure(seconds, saving)) return failed;
    }
    return 0;
}
