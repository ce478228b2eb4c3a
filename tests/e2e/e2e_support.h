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
// Replaces the stored window list with these entries.
void SeedList(const std::vector<std::string>& entries);

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
    bool Launch();
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
    void Destroy(HWND window);
    void Retitle(HWND window, const std::string& title);

    // Stamps at which `window` received `message` (kCreated for its creation).
    std::vector<std::int64_t> Stamps(HWND window, std::uint32_t message) const;
    // Every message `window` received, in order, creation excluded.
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
