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
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace qwe2e {

// Shared with the window helper (helper.cpp): the class of its command window
// and the log of what its windows received. Four stamps are no messages:
// kCreated, just before CreateWindow; kShown, once CreateWindow (and
// ShowWindow, for a window shown without activation) returned, so that its
// program is back at its message loop and nothing could reach it earlier;
// kAsking and kAnswered, when a window that asks before it closes puts up its
// question and when the user answered it.
constexpr char kHelperClass[] = "QwE2EHelperCommands";
constexpr char kLogName[] = "Local\\QwE2EMessageLog";
constexpr std::uint32_t kCreated = 0, kShown = 0xFFFF0001u, kAsking = 0xFFFF0002u, kAnswered = 0xFFFF0003u;
// kMinimizing, WM_SYSCOMMAND with SC_MINIMIZE; kPressed + id, a button's
// WM_COMMAND as a click sends it; kOddCommand, any other WM_COMMAND.
constexpr std::uint32_t kMinimizing = 0xFFFF0004u, kOddCommand = 0xFFFF0005u, kPressed = 0xFFFE0000u;
// The helper's command line for a process of its own with one window that
// ignores WM_CLOSE: this word, then the title.
constexpr char kAloneWord[] = "/alone ";
struct Record {
    std::uint32_t window, message;
    std::int64_t qpc;
};
struct Log {
    volatile LONG count;
    Record records[16384];
};
// Commands sent with WM_COPYDATA. kCreate: the text is the flags, '\x01',
// the title; wParam the owner; the result the window. Flags: 'h' hidden, 'i'
// ignores WM_CLOSE, 'p' a popup, 'n' shown without activation, 'w' the title
// is UTF-8 (else bytes of the ANSI code page), 'q' asks "Save changes?" in a
// message box of its own title before it closes, as Notepad with unsaved text
// does (Yes or No: it closes; Cancel: it stays), 'b' holds the push buttons
// "&Yes" and "&No" of a message box, either of which closes it, 'g' of the class "Ghost",
// which Windows gives the stand-in of a window whose program does not answer.
// kStorm: that many windows at once.
enum Command : ULONG_PTR { kCreate = 1, kStorm = 2 };

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
std::wstring Wide(const std::string& text, UINT codePage = CP_UTF8);
std::string Utf8(const std::wstring& text);
// The folder of the driver, Quellbox.exe and the helper.
std::string BinDir();
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

void SetValue(const char* path, const char* name, DWORD type, const void* data, DWORD size);
void SetString(const char* path, const char* name, const std::string& value);
// "(missing)" when absent.
std::string Value(const char* path, const char* name, HKEY root = HKEY_CURRENT_USER);
// No splash, no start-with-Windows entry, no taskbar target (the main icon
// alone in the tray), no program never closed; defaults else.
void QuietOptions();
// The stored list: `entries`, none with options.
void SeedList(const std::vector<std::string>& entries);
// Each entry's option strings under Rules ("action=press", ...).
void SeedRules(const std::map<std::string, std::vector<std::string>>& rules);
std::vector<std::string> StoredList();

// Top-level windows of a process, in z-order.
std::vector<HWND> WindowsOf(DWORD processId);
HWND FindWindowOf(DWORD processId, const std::string& title);
HWND WaitForWindowOf(DWORD processId, const std::function<bool(HWND)>& match, std::chrono::milliseconds timeout);
// Visible, such as "#32770" for a message box or "#32768" for a pop-up menu.
HWND WaitForWindowOfClass(DWORD processId, const char* className, std::chrono::milliseconds timeout);

// Quellbox.exe, the helper or another program the driver starts.
class Program {
public:
    Program() = default;
    ~Program() { Kill(); }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    // Returns once the program is idle.
    bool Start(const std::string& exe, const std::string& arguments = "");
    // Starts Quellbox.exe (or `exe` beside it) and waits for the main window as WaitForMain does.
    bool Launch(bool shows = true, const char* exe = "Quellbox.exe") {
        main_ = nullptr;
        return Start(BinDir() + "\\" + exe) && WaitForMain(shows);
    }
    // Waits for the main window, and for it to show unless it starts hidden.
    bool WaitForMain(bool shows = true);
    void Kill() {
        if (!info_.hProcess) return;
        TerminateProcess(info_.hProcess, 99);
        WaitForSingleObject(info_.hProcess, 10000);
        CloseHandle(info_.hProcess);
        CloseHandle(info_.hThread);
        info_ = {};
    }
    bool Running() const { return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
    // The exit code, or -1 on time-out.
    long WaitExit(std::chrono::milliseconds timeout) {
        DWORD code = 0;
        const bool ended = WaitForSingleObject(info_.hProcess, DWORD(timeout.count())) == WAIT_OBJECT_0;
        return ended && GetExitCodeProcess(info_.hProcess, &code) ? static_cast<long>(code) : -1;
    }
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
    // `exe`, beside the driver: a copy of the helper under another name is
    // another program with the same windows. Helpers share one log.
    explicit Helper(const std::string& exe = "qw_e2e_helper.exe");
    ~Helper();
    bool Ok() const { return commands_ != nullptr; }
    HWND Create(const std::string& title, const std::string& flags = "", HWND owner = nullptr) {
        return reinterpret_cast<HWND>(Send(kCreate, flags + '\x01' + title, owner));
    }
    void Storm(int count) { Send(kStorm, std::to_string(count)); }
    // Stamps at which `window` received `message` (or was stamped kCreated, kShown).
    std::vector<std::int64_t> Stamps(HWND window, std::uint32_t message) const;
    // Every message others sent `window`, in order (not its stamps nor its first paint).
    std::vector<std::uint32_t> Messages(HWND window) const;
    // The most questions of `window` up at once: a box put up inside another
    // box's message loop makes two.
    int MostQuestionsAtOnce(HWND window) const;
    bool WaitForMessages(HWND window, std::uint32_t message, std::size_t n, std::chrono::milliseconds timeout) const {
        return WaitUntil([&] { return Stamps(window, message).size() >= n; }, timeout);
    }
    // Waits until `sentinel`, a window that ignores WM_CLOSE and so is asked
    // again every 500 ms, is asked twice more: a full pass over all windows.
    bool FullPass(HWND sentinel) const {
        return WaitForMessages(sentinel, WM_CLOSE, Stamps(sentinel, WM_CLOSE).size() + 2, std::chrono::seconds(10));
    }

private:
    LRESULT Send(Command command, const std::string& text, HWND concerned = nullptr) const;
    std::vector<Record> Records(HWND window) const;
    Log* log_ = nullptr;
    HANDLE mapping_ = nullptr;
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
        // The icon's width and height, from the fields Wine's shell adds before its bits.
        SIZE IconSize() const;
    };
    FakeShell();
    ~FakeShell();
    // The taskbar is not ready yet: this many adds are refused.
    void RefuseAdds(int count) { refuseAdds_ = count; }
    // Explorer restarted: every icon is gone.
    void Restart() {
        std::lock_guard<std::mutex> lock(mutex_);
        icons_.clear();
    }
    // The requests about icons of windows of `processId` (of all when 0).
    std::vector<Request> Requests(DWORD processId = 0) const;
    // Whether the last request of all removed the icon of `window`.
    bool Removed(HWND window) const {
        const auto all = Requests();  // of all: a window gone is no longer the program's
        return !all.empty() && all.back().window == window && all.back().message == NIM_DELETE;
    }

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
    ~AnswerTimer() {
        asking_ = false;
        thread_.join();
    }
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
HWND WaitForSplash(const Program& program);
inline bool WaitGone(HWND window) { return WaitUntil([&] { return !IsWindow(window); }, std::chrono::seconds(10)); }
// A menu command or a button of `window`, as its owner receives it.
inline void Press(HWND window, int id) { PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(id), 0); }
// Presses command `id` of the main window and waits for the window `title` it opens.
inline HWND Open(const Program& program, int id, const std::string& title) {
    Press(program.Main(), id);
    return WaitForWindow(program, title);
}
// Presses `button` of a box or dialog, still up, and waits for it to go.
inline bool Answer(HWND box, int button) {
    if (!box || !IsWindowVisible(box)) return false;
    Press(box, button);
    return WaitGone(box);
}
inline std::string BoxText(HWND box) { return TextOf(GetDlgItem(box, 0xFFFF)); }
// A cell of a list view of `program`: the request and its answer go through
// the program's own memory, as a pointer in a message to another process must.
std::string ListViewCell(const Program& program, HWND list, int row, int column);
// Selects `row` of a list view of `program` as a click would (its owner is told).
void SelectListViewRow(const Program& program, HWND list, int row);

// The five cells of each row of the close history's list.
std::vector<std::vector<std::string>> Rows(const Program& program, HWND list);

// "Closed Windows", opened from the main window's menu bar ("Status", its
// last item) with real clicks and keys, as a user opens it; none on time-out.
HWND OpenHistoryFromMenuBar(const Program& program);
// Wine's Notepad, started with `text` typed into it and not saved: its edit
// control, or none.
HWND StartNotepadWithText(Program& notepad, const std::string& text);

// Saves the screen as QW_SCREENSHOT_DIR/<name>.png when that folder (a host
// path) is set, after letting `painter` paint what it just opened.
void Screenshot(const std::string& name, const Program* painter = nullptr);
// Runs a program of the host system (such as xdotool) and waits for it.
bool RunHost(const std::string& commandLine);
// Drags the crosshair of the add dialog with real pointer events to (x, y).
bool DragCrosshair(HWND addDialog, LONG x, LONG y);

}  // namespace qwe2e
