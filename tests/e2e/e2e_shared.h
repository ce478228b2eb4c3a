// What the end-to-end driver and its window helper share: the name of the
// helper's command window and a log of the messages its windows received.
#pragma once

#include <windows.h>

#include <cstdint>

namespace qwe2e {

constexpr char kHelperClass[] = "QwE2EHelperCommands";
constexpr char kLogName[] = "Local\\QwE2EMessageLog";

// Message 0 marks a window's creation, stamped just before CreateWindow.
constexpr std::uint32_t kCreated = 0;

struct Record {
    std::uint32_t window;
    std::uint32_t message;
    std::int64_t qpc;
};

struct Log {
    volatile LONG count;
    Record records[16384];
};

// Commands sent with WM_COPYDATA; dwData is the command, lpData the text.
enum Command : ULONG_PTR {
    kCreate = 1,   // lpData: flags '\x01' title; returns the window handle
    kRetitle = 3,  // lpData: 8 hex digits, then the new title
    kStorm = 4,    // lpData: a count; that many windows created at once ("Storm window <i>")
};

// Creation flags, as letters before the separator.
// 'h' hidden, 'i' ignores WM_CLOSE, 'p' popup owned by the helper's command window,
// 'o' + 8 hex digits: owned by that window instead, 'n' shown without activation.

inline std::int64_t Now() {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

inline double Millis(std::int64_t ticks) {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return 1000.0 * static_cast<double>(ticks) / static_cast<double>(f.QuadPart);
}

}  // namespace qwe2e
