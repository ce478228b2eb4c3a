// Drives the real Quellbox.exe the way a user and other programs would:
// seeds its registry keys, starts and stops it, opens windows through the
// helper process and reads what those windows and the notification area got.
#pragma once

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace qwe2e {

// What the driver and the window helper (helper.cpp) share: the class of the
// helper's command window and a log of what its windows received.
constexpr char kHelperClass[] = "QwE2EHelperCommands";
constexpr char kLogName[] = "Local\\QwE2EMessageLog";
// Message 0 marks a window's creation, stamped just before CreateWindow.
constexpr std::uint32_t kCreated = 0;
// Not a message either: CreateWindow (and ShowWindow, for a window shown
// without activation) returned, so the window's own program is back at its
// message loop; nothing can reach the window earlier.
constexpr std::uint32_t kShown = 0xFFFF0001u;
struct Record {
    std::uint32_t window, message;
    std::int64_t qpc;
};
struct Log {
    volatile LONG count;
    Record records[16384];
};
// Commands sent with WM_COPYDATA: dwData the command, lpData the text.
enum Command : ULONG_PTR {
    kCreate = 1,  // lpData: flags '\x01' title; wParam: its owner; returns the new window
    kStorm = 2,   // lpData: a count; that many windows created at once ("Storm window <i>")
};
// Creation flags: 'h' hidden, 'i' ignores WM_CLOSE, 'p' a popup, 'n' shown without activation,
// 'w' a wide window whose title is the UTF-8 text as it is (otherwise the
// title's bytes are of the ANSI code page).

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

extern const char kOptionsKey[];

// The driver's texts are UTF-8, as the program's; Windows takes UTF-16.
std::wstring Wide(const std::string& text);
std::string Utf8(const std::wstring& text);
// Bytes of the system's ANSI code page, as UTF-8.
std::string FromAnsi(const std::string& bytes);

// The folder of the running driver, where Quellbox.exe and the helper sit.
std::string BinDir();

// Polls `done` every few milliseconds until it holds or `timeout` passes.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

void SetString(const char* path, const char* name, const std::string& value);
void SetDword(const char* path, const char* name, DWORD value);
// A registry value as text, "(missing)" when absent.
std::string Value(const char* path, const char* name, HKEY root = HKEY_CURRENT_USER);
// Options as the tests start the program: no splash, no start-with-Windows
// entry, no taskbar target (the main icon alone in the tray); defaults else.
void QuietOptions();
// Replaces the stored window list with these entries.
void SeedList(const std::vector<std::string>& entries);
// The stored window list, in the order of its values.
std::vector<std::string> StoredList();

// Top-level windows of a process, in z-order.
std::vector<HWND> WindowsOf(DWORD processId);
HWND FindWindowOf(DWORD processId, const std::string& title);
// The first top-level window of `processId` that `match` accepts, waiting up to `timeout`.
HWND WaitForWindowOf(DWORD processId, const std::function<bool(HWND)>& match, std::chrono::milliseconds timeout);
// A visible window of the given class (such as "#32770" for a message box or
// "#32768" for a pop-up menu), waiting up to `timeout`.
HWND WaitForWindowOfClass(DWORD processId, const char* className, std::chrono::milliseconds timeout);

// A process the driver starts: Quellbox.exe, the helper or another copy.
class Program {
public:
    Program() = default;
    ~Program() { Kill(); }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    // Starts the program with `arguments` and returns once it is idle.
    bool Start(const std::string& exe, const std::string& arguments = "");
    // Starts Quellbox.exe (or `exe` beside it) and waits for its main window,
    // and for that window to show unless it is to start hidden.
    bool Launch(bool shows = true, const char* exe = "Quellbox.exe");
    // Waits for the main window of a program already started, as Launch does.
    bool WaitForMain(bool shows = true);
    void Kill();
    bool Running() const;
    // Waits for the process to end; its exit code, or -1 on time-out.
    long WaitExit(std::chrono::milliseconds timeout);
    DWORD Id() const { return info_.dwProcessId; }
    HANDLE Handle() const { return info_.hProcess; }
    HWND Main() const { return main_; }

private:
    PROCESS_INFORMATION info_{};
    HWND main_ = nullptr;
};
using Quellbox = Program;

class Helper {
public:
    Helper();
    ~Helper();
    bool Ok() const { return commands_ != nullptr; }
    HWND Create(const std::string& title, const std::string& flags = "", HWND owner = nullptr);
    // Creates `count` windows at once, as fast as the helper can.
    void Storm(int count);
    // Stamps at which `window` received `message` (kCreated for its creation).
    std::vector<std::int64_t> Stamps(HWND window, std::uint32_t message) const;
    // Every message `window` was sent by others, in order (its creation and
    // first paint, stamped too, excluded).
    std::vector<std::uint32_t> Messages(HWND window) const;
    bool WaitForMessages(HWND window, std::uint32_t message, std::size_t count,
                         std::chrono::milliseconds timeout) const;
    // Waits until `sentinel`, a window that ignores WM_CLOSE and so is asked
    // again every 500 ms, is asked twice more: a full pass over all windows.
    bool FullPass(HWND sentinel) const;

private:
    std::vector<Record> Records(HWND window) const;
    HANDLE mapping_ = nullptr;
    Log* log_ = nullptr;
    Program process_;
    HWND commands_ = nullptr;
};

// A stand-in notification area: a topmost "Shell_TrayWnd" that Shell_NotifyIcon
// finds before the real one, recording every request it receives.
class FakeShell {
public:
    struct Request {
        std::uint32_t message;  // NIM_ADD, NIM_MODIFY, NIM_DELETE
        HWND window;
        std::uint32_t id, flags, callback;
        std::string tip;
        std::vector<std::uint8_t> payload;  // everything after the fixed fields
        bool accepted;
        std::int64_t qpc;
        // The width and height of the icon sent, from the fields Wine's
        // shell adds before its bits.
        SIZE IconSize() const;
    };
    FakeShell();
    ~FakeShell();
    // The taskbar is not ready yet: this many adds are refused.
    void RefuseAdds(int count) { refuseAdds_ = count; }
    // Explorer restarted: every icon is gone.
    void Restart();
    // The requests about icons of windows of `processId` (of all when 0).
    std::vector<Request> Requests(DWORD processId = 0) const;
    // Whether the last request of all removed the icon of `window`.
    bool Removed(HWND window) const;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    mutable std::mutex mutex_;
    std::vector<Request> requests_;
    std::set<std::pair<HWND, std::uint32_t>> icons_;  // as a shell keeps them: added before changed
    int refuseAdds_ = 0;
    std::thread thread_;
    std::atomic<HWND> window_{nullptr};
};

// Asks a window, from a thread of its own, again and again how long it takes
// to answer a message, until destroyed.
class AnswerTimer {
public:
    explicit AnswerTimer(HWND window);
    ~AnswerTimer();
    AnswerTimer(const AnswerTimer&) = delete;
    AnswerTimer& operator=(const AnswerTimer&) = delete;
    // The slowest answer so far, in milliseconds.
    double Slowest() const { return slowest_.load(); }

private:
    std::atomic<bool> asking_{true};
    std::atomic<double> slowest_{0};
    std::thread thread_;
};
// The bits the shell is sent for icon resource `id` of Quellbox.exe at
// `size` x `size` pixels: the mask then the colour bitmap (none on failure).
std::vector<std::uint8_t> IconBits(int id, int size);
// Whether the icon of a shell request's payload ends with these bits.
inline bool SameIcon(const std::vector<std::uint8_t>& payload, const std::vector<std::uint8_t>& bits) {
    return !bits.empty() && payload.size() >= bits.size() && std::equal(bits.rbegin(), bits.rend(), payload.rbegin());
}

std::string TextOf(HWND window);
// A visible window of `program` with this title, waiting up to 10 s.
HWND WaitForWindow(const Program& program, const std::string& title);
// A visible message box of `program` saying `text` under `caption` (any when empty).
HWND WaitForBox(const Program& program, const std::string& text = "", const std::string& caption = "");
bool WaitGone(HWND window);
// A menu command or a button of `window`, as its owner receives it.
inline void Press(HWND window, int id) { PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(id), 0); }
// Presses command `id` of the main window of `program` and waits for the
// visible window titled `title` it opens.
HWND Open(const Program& program, int id, const std::string& title);
// Presses `button` of a box or dialog, still up, and waits for it to go.
bool Answer(HWND box, int button);
// The text of a message box.
inline std::string BoxText(HWND box) { return TextOf(GetDlgItem(box, 0xFFFF)); }

// Saves the screen as QW_SCREENSHOT_DIR/<name>.png when that folder (a host
// path) is set, after letting `painter` paint what it just opened.
void Screenshot(const std::string& name, const Program* painter = nullptr);

// Runs a program of the host system (such as xdotool) and waits for it.
bool RunHost(const std::string& commandLine);
// Drags the crosshair of the add dialog with real pointer events to (x, y).
bool DragCrosshair(HWND addDialog, LONG x, LONG y);

}  // namespace qwe2e
