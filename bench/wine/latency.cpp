// Latency from CreateWindow in the helper to WM_CLOSE received, with about 30
// other visible windows open, against Quellbox.exe or the bare reference loop.
// Prints the figures, then "IDLE" and keeps everything open for the CPU
// sample the calling script takes.
//   qw_wine_latency quellbox|tick|bare [trials] [idle seconds]
// "tick" is the same program scanning by its 15 ms tick alone. Also prints
// the share of probes asked to close before their first WM_PAINT, and how long
// the probe's own CreateWindow and ShowWindow took: the floor of any latency.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "e2e_support.h"

using namespace qwe2e;
using namespace std::chrono_literals;

int main(int argc, char** argv) {
    const std::string target = argc > 1 ? argv[1] : "quellbox";
    const int trials = argc > 2 ? std::atoi(argv[2]) : 200;
    const int idleSeconds = argc > 3 ? std::atoi(argv[3]) : 10;
    const bool activate = !(argc > 4 && std::string(argv[4]) == "noactivate");

    QuietOptions();
    // As it usually runs: in the tray, its window hidden.
    SetString(kOptionsKey, "Minimized at start", "1");
    SeedList({"latency probe", "daily offer", "special deal", "you have won", "register now"});
    // "power": the program saving power, on the mains as on battery.
    if (target == "power") {
        SetString(kOptionsKey, "Save Power", "1");
        SetString(kOptionsKey, "Save Power On Battery Only", "0");
    }
    Helper helper;
    if (!helper.Ok()) return 2;
    for (int i = 0; i < 30; ++i) helper.Create("Background window " + std::to_string(i));

    Quellbox quellbox;
    Program bare;
    if (target == "bare") {
        if (!bare.Start(BinDir() + "\\qw_bare_loop.exe")) return 3;
    } else if (!quellbox.Launch(false, target == "tick"    ? "QuellboxTick.exe"
                                       : target == "queue" ? "QuellboxQueue.exe"
                                                           : "Quellbox.exe")) {
        return 3;
    }

    std::vector<double> millis, own, beyond;
    int beforePaint = 0;
    for (int i = -3; i < trials; ++i) {  // three warm-up trials
        // Start at varied phases of the 15 ms tick.
        std::this_thread::sleep_for(std::chrono::milliseconds(3 + (i * 7) % 16 + 16));
        HWND probe = helper.Create("Latency probe " + std::to_string(i), activate ? "" : "n");
        if (!helper.WaitForMessages(probe, WM_CLOSE, 1, 5s)) {
            std::printf("probe %d was not closed\n", i);
            return 4;
        }
        if (i < 0) continue;
        const std::int64_t closed = helper.Stamps(probe, WM_CLOSE)[0];
        const std::int64_t created = helper.Stamps(probe, kCreated)[0];
        millis.push_back(Millis(closed - created));
        const std::int64_t shown = helper.Stamps(probe, kShown)[0];
        own.push_back(Millis(shown - created));
        beyond.push_back(Millis(closed - shown));
        const auto painted = helper.Stamps(probe, WM_PAINT);
        beforePaint += painted.empty() || painted[0] > closed ? 1 : 0;
    }
    std::sort(millis.begin(), millis.end());
    std::sort(own.begin(), own.end());
    std::sort(beyond.begin(), beyond.end());
    const auto at = [](const std::vector<double>& v, double q) {
        return v[std::min(v.size() - 1, static_cast<std::size_t>(q * v.size()))];
    };
    // own: the probe's own CreateWindow and ShowWindow, which no program can
    // shorten; beyond: from then until WM_CLOSE, the part that is the program's.
    std::printf("LATENCY %s trials=%d median=%.1f p95=%.1f max=%.1f before_paint=%.1f own_median=%.1f own_p95=%.1f "
                "beyond_median=%.1f beyond_p95=%.1f\n",
                target.c_str(), trials, at(millis, 0.5), at(millis, 0.95), millis.back(), 100.0 * beforePaint / trials,
                at(own, 0.5), at(own, 0.95), at(beyond, 0.5), at(beyond, 0.95));
    std::printf("IDLE %d\n", idleSeconds);
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::seconds(idleSeconds + 2));
    return 0;
}
