// Drives the real Quellbox.exe the way a user and other programs would:
// seeds its registry keys, starts and stops it, opens windows through the
// helper process and reads what those windows received.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "e2e_shared.h"

namespace qwe2e {

extern const char kDataKey[];
extern const char kOptionsKey[];

// The folder of the running driver, where Quellbox.exe and the helper sit.
std::string BinDir();

// Polls `done` every few milliseconds until it holds or `timeout` passes.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

// HKCU registry helpers.
void DeleteTree(const char* path);
void SetString(const char* path, const char* name, const std::string& value);
bool GetString(const char* path, const char* name, std::string* value);
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

class Program {
public:
    Program() = default;
    ~Program() { Kill(); }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Starts the program with `arguments` and returns once it is idle.
    bool Start(const std::string& exe, const std::string& arguments = "");
    void Kill();
    bool Running() const;
    // Waits for the process to end; its exit code, or -1 on time-out.
    long WaitExit(std::chrono::milliseconds timeout);
    DWORD Id() const { return info_.dwProcessId; }
    HANDLE Handle() const { return info_.hProcess; }

private:
    PROCESS_INFORMATION info_{};
};

// Quellbox.exe with its main window.
class Quellbox : public Program {
public:
    // Starts it and waits for its main window, and for that window to show
    // unless it is to start hidden.
    bool Launch(bool shows = true, const char* exe = "Quellbox.exe");
    HWND Main() const { return main_; }

private:
    HWND main_ = nullptr;
};

class Helper {
public:
    Helper();
    ~Helper();

    bool Ok() const { return commands_ != nullptr; }
    HWND Create(const std::string& title, const std::string& flags = "");
    void Retitle(HWND window, const std::string& title);
    // Creates `count` windows at once, as fast as the helper can.
    void Storm(int count);

    // Stamps at which `window` received `message` (kCreated for its creation).
    std::vector<std::int64_t> Stamps(HWND window, std::uint32_t message) const;
    // Every message `window` was sent by others, in order (its creation and
    // first paint, stamped too, excluded).
    std::vector<std::uint32_t> Messages(HWND window) const;
    bool WaitForMessages(HWND window, std::uint32_t message, std::size_t count,
                         std::chrono::milliseconds timeout) const;

private:
    HANDLE mapping_ = nullptr;
    Log* log_ = nullptr;
    Program process_;
    HWND commands_ = nullptr;
};

}  // namespace qwe2e

#include <mutex>
#include <thread>

namespace qwe2e {

// A stand-in notification area: a topmost "Shell_TrayWnd" that Shell_NotifyIcon
// finds before the real one, recording every request it receives.
class FakeShell {
public:
    struct Request {
        std::uint32_t message;  // NIM_ADD, NIM_MODIFY, NIM_DELETE
        HWND window;
        std::uint32_t id;
        std::uint32_t flags;
        std::uint32_t callback;
        std::string tip;
        std::vector<std::uint8_t> payload;  // everything after the fixed fields
    };

    FakeShell();
    ~FakeShell();
    std::vector<Request> Requests() const;
    // The requests about icons of windows of `processId`.
    std::vector<Request> RequestsOf(DWORD processId) const;
    // Tells every top-level window that the notification area was recreated.
    void BroadcastTaskbarCreated();

private:
    void Run();
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    mutable std::mutex mutex_;
    std::vector<Request> requests_;
    std::thread thread_;
    HWND window_ = nullptr;
    HANDLE ready_ = nullptr;
};

// The icon bits the shell is sent for icon resource `id` of Quellbox.exe at the
// small icon size: the mask then the colour bitmap.
std::vector<std::uint8_t> ExpectedIconBits(int id);
bool EndsWith(const std::vector<std::uint8_t>& payload, const std::vector<std::uint8_t>& tail);

// A window of `processId` of the given class, now.
HWND FindWindowOfClass(DWORD processId, const char* className, bool visibleOnly);
// A visible window of `processId` of the given class (such as "#32770" for a
// message box or "#32768" for a pop-up menu), waiting up to `timeout`.
HWND WaitForWindowOfClass(DWORD processId, const char* className, std::chrono::milliseconds timeout);
std::string TextOf(HWND window);
// A visible window of `program` with this title, waiting up to 10 s.
HWND WaitForWindow(const Program& program, const std::string& title);
// A visible message box of `program` saying `text` (any box when empty).
HWND WaitForBox(const Program& program, const std::string& text = "");
bool WaitGone(HWND window);
// A menu command or a button of `window`, as its owner receives it.
inline void Press(HWND window, int id) { PostMessageA(window, WM_COMMAND, static_cast<WPARAM>(id), 0); }
// The text of a message box.
inline std::string BoxText(HWND box) { return TextOf(GetDlgItem(box, 0xFFFF)); }

// Saves the screen as QW_SCREENSHOT_DIR/<name>.png when that folder (a host
// path) is set, after letting `painter` paint what it just opened.
void Screenshot(const std::string& name, const Program* painter = nullptr);

// Runs a program of the host system (such as xdotool) and waits for it.
bool RunHost(const std::string& commandLine);

}  // namespace qwe2e
