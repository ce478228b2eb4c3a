// Shell and process operations that the application shell drives.
#pragma once

#include <cstdint>
#include <string>

#include "platform/window_api.h"

namespace qw {

using IconHandle = std::uintptr_t;

// The ANSI NOTIFYICONDATA record of the first shell version, 88 bytes.
struct NotifyIconData {
    std::uint32_t cbSize = 88;
    std::uintptr_t hWnd = 0;
    std::uint32_t uID = 0;
    std::uint32_t uFlags = 0;
    std::uint32_t uCallbackMessage = 0;
    IconHandle hIcon = 0;
    char szTip[64] = {};
};

constexpr std::uint32_t kNimAdd = 0;
constexpr std::uint32_t kNimModify = 1;
constexpr std::uint32_t kNimDelete = 2;
constexpr std::uint32_t kNifMessage = 1;
constexpr std::uint32_t kNifIcon = 2;
constexpr std::uint32_t kNifTip = 4;

class ShellNotifyApi {
public:
    virtual ~ShellNotifyApi() = default;
    // Shell_NotifyIconA.
    virtual bool NotifyIcon(std::uint32_t message, const NotifyIconData& data) = 0;
};

// Message-box flags and answers the program uses.
constexpr unsigned kMbOk = 0x0;
constexpr unsigned kMbOkCancel = 0x1;
constexpr unsigned kMbYesNo = 0x4;
constexpr unsigned kMbRetryCancel = 0x5;
constexpr unsigned kMbIconStop = 0x10;
constexpr unsigned kMbIconQuestion = 0x20;
constexpr unsigned kMbIconExclamation = 0x30;
constexpr unsigned kMbIconInformation = 0x40;
constexpr unsigned kMbDefButton2 = 0x100;
constexpr unsigned kMbSetForeground = 0x10000;
constexpr unsigned kMbTopmost = 0x40000;
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdRetry = 4;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

class ProcessApi {
public:
    virtual ~ProcessApi() = default;
    // The standard message box owned by `owner` (one of the program's windows,
    // so the scan never closes it; 0 only while no window of ours exists);
    // returns the button pressed.
    virtual int ShowMessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                               unsigned flags) = 0;
    // ShellExecuteA(no owner, operation, file, parameters, directory, show).
    virtual void ShellExecuteFile(const std::string& operation, const std::string& file, const std::string& parameters,
                              const std::string& directory, int show) = 0;
    // An ordinary file: exists, not a folder, neither hidden nor system.
    virtual bool IsOrdinaryFile(const std::string& path) = 0;
    // The folder of the program file, without a trailing backslash.
    virtual std::string ProgramFolder() = 0;
    // The program file's full path (GetModuleFileNameA).
    virtual std::string ProgramPath() = 0;
    // Ends the process at once, without unloading windows, with this exit code.
    virtual void EndProcess(unsigned exitCode) = 0;
    // SHChangeNotify(SHCNE_ASSOCCHANGED): Explorer shows a new icon of the
    // list files at once, not after the next logon.
    virtual void AssociationsChanged() = 0;
};

// GetOpenFileNameA and GetSaveFileNameA with the 76-byte OPENFILENAME record:
// these fields set, a 260-character file buffer starting empty, all else zero.
struct FileDialogRequest {
    WindowHandle owner = 0;
    std::string filter;  // description NUL pattern NUL ..., ending with a second NUL
    std::string title;
    unsigned flags = 0;
    std::string defaultExtension;  // none when empty
};

constexpr unsigned kOfnOverwritePrompt = 0x2;
constexpr unsigned kOfnHideReadOnly = 0x4;
// The process's current folder stays where it was, not in the chosen one
// (which would keep a USB stick from being ejected while the program runs).
constexpr unsigned kOfnNoChangeDir = 0x8;
constexpr unsigned kOfnPathMustExist = 0x800;
constexpr unsigned kOfnFileMustExist = 0x1000;
// A Save dialog does not try whether the chosen file could be created.
constexpr unsigned kOfnNoTestFileCreate = 0x10000;
// A Save dialog that writes a file. Without OFN_FILEMUSTEXIST: in a Save
// dialog Windows takes it at its word and refuses every new file name.
constexpr unsigned kSaveDialogFlags = kOfnOverwritePrompt | kOfnHideReadOnly | kOfnPathMustExist | kOfnNoChangeDir;

class FileDialogApi {
public:
    virtual ~FileDialogApi() = default;
    // True when the user chose a file, whose path is then in `path`.
    virtual bool Open(const FileDialogRequest& request, std::string* path) = 0;
    virtual bool Save(const FileDialogRequest& request, std::string* path) = 0;
};

// What creating or opening a per-user named object (a mutex) gave. An
// object made by a copy running as administrator may refuse a copy that is
// not: it exists all the same.
enum class NamedObject { kCreated, kExisted, kDenied, kAbsent };
inline bool ObjectExists(NamedObject result) { return result == NamedObject::kExisted || result == NamedObject::kDenied; }

// One lock per user around every read and write of the stored window list,
// so that a tray copy and an importing copy never interleave. It is held only
// around registry work, never across a question or a dialog.
class ListLock {
public:
    virtual ~ListLock() = default;
    // Waits a bounded time while the user interface keeps answering; false
    // when another copy held the lock all that time.
    virtual bool Acquire() = 0;
    virtual void Release() = 0;
};

class ListLockGuard {
public:
    // No lock at all (a test that needs none) counts as held.
    explicit ListLockGuard(ListLock* lock) : lock_(lock), held_(!lock || lock->Acquire()) {}
    ~ListLockGuard() {
        if (lock_ && held_) lock_->Release();
    }
    ListLockGuard(const ListLockGuard&) = delete;
    ListLockGuard& operator=(const ListLockGuard&) = delete;
    bool Held() const { return held_; }

private:
    ListLock* lock_;
    bool held_;
};

}  // namespace qw
