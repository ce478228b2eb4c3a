// A storm: 1,000 non-matching windows created as fast as one process can,
// while the program's main window is asked to answer a message every few
// milliseconds; then one matching window, which must still be closed.
// Prints "STORM" with the slowest answer and the storm's duration, then
// "IDLE" and waits, for the calling script's CPU sample.
//   qw_wine_storm quellbox|tick [windows] [seconds to wait after]
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "e2e_support.h"

using namespace qwe2e;
using namespace std::chrono_literals;

int main(int argc, char** argv) {
    const std::string target = argc > 1 ? argv[1] : "quellbox";
    const int windows = argc > 2 ? std::atoi(argv[2]) : 1000;
    const int idleSeconds = argc > 3 ? std::atoi(argv[3]) : 5;
    QuietOptions();
    SeedList({"storm match"});
    Helper helper;
    if (!helper.Ok()) return 2;
    Quellbox quellbox;
    if (!quellbox.Launch(true, target == "tick" ? "QuellboxTick.exe" : "Quellbox.exe")) return 3;

    auto prober = std::make_unique<AnswerTimer>(quellbox.Main());
    const std::int64_t start = Now();
    helper.Storm(windows);
    const double stormMs = Millis(Now() - start);
    // The program works through what the storm left for a while: keep asking.
    std::this_thread::sleep_for(1s);
    HWND match = helper.Create("Storm match at the end");
    const bool closed = helper.WaitForMessages(match, WM_CLOSE, 1, 10s);
    const double slowest = prober->Slowest();
    prober.reset();
    std::printf("STORM %s windows=%d storm_ms=%.0f slowest_answer_ms=%.1f match_closed=%d\n", target.c_str(), windows,
                stormMs, slowest, closed ? 1 : 0);
    std::printf("IDLE %d\n", idleSeconds);
    std::fflush(stdout);
    std::this_thread::sleep_for(std::chrono::seconds(idleSeconds + 2));
    return closed ? 0 : 4;
}
