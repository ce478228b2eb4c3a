// The Win32 adapters behind the platform interfaces. Each is the Win32 call
// its interface names, with text crossing as UTF-16 (UTF-8 on our side) and
// what that takes besides: Win32Registry::QueryValueEx reads a value whole in
// UTF-16 to tell its size in UTF-8, and answers a size query and a buffer too
// small as RegQueryValueExW does, as its in-memory twin does; the window
// events and the timers below say what more they do.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/controls.h"
#include "platform/registry_api.h"
#include "platform/window_api.h"

struct IVirtualDesktopManager;

namespace qw {

class Win32Registry : public RegistryApi {
public:
    long CreateKey(RegKey root, const std::string& path, RegKey* out) override;
    long SetValueEx(RegKey key, const std::string& name, std::uint32_t type, const std::uint8_t* data,
                    std::uint32_t size) override;
    long OpenKeyEx(RegKey root, const std::string& path, std::uint32_t access, RegKey* out) override;
    long QueryValueEx(RegKey key, const std::string& name, std::uint32_t* type, std::uint8_t* data,
                      std::uint32_t* size) override;
    long EnumValueName(RegKey key, std::uint32_t index, std::string* name) override;
    long EnumKeyName(RegKey key, std::uint32_t index, std::string* name) override;
    long DeleteValue(RegKey key, const std::string& name) override;
    long DeleteKey(RegKey root, const std::string& path) override;
    long CloseKey(RegKey key) override;
};

// The class of the program's main window, in every copy.
extern const char kMainWindowClass[];

class Win32Windows : public WindowApi {
public:
    void EnumTopLevel(WindowVisitor& visitor) override;
    std::uint32_t GetStyle(WindowHandle window) override;
    WindowHandle GetParent(WindowHandle window) override;
    std::string GetText(WindowHandle window, int maxUnits) override;
    bool Post(WindowHandle window, unsigned message) override;
    bool IsHung(WindowHandle window) override;
    bool BelongsToProgram(WindowHandle window) override;
    WindowHandle WindowUnderPointer() override;
    WindowHandle RootOf(WindowHandle window) override;
    WindowHandle ForegroundWindow() override;
    bool IsTopLevelWindow(WindowHandle window) override;
    std::uint32_t CloakedBy(WindowHandle window) override;
    bool IsOnCurrentDesktop(WindowHandle window) override;
    bool IsEnabled(WindowHandle window) override;
    std::string ClassName(WindowHandle window) override;
    ProcessIdentity ProcessOf(WindowHandle window) override;
    bool PostParams(WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) override;
    std::vector<DialogButton> PushButtons(WindowHandle dialog) override;
    EndResult EndProgram(const ProcessIdentity& process) override;
    std::string ProgramName(const ProcessIdentity& process) override;

private:
    // Made on the user-interface thread when first needed, there used, and
    // kept for the program's life: a release from a destructor run inside
    // ExitProcess could call into the shell while it ends.
    IVirtualDesktopManager* desktops_ = nullptr;
    bool desktopsMade_ = false;
};

class Win32Clock : public Clock {
public:
    LocalTime Local() override;
    std::int64_t Milliseconds() override;
};

// Three out-of-context event hooks, one per event, so that the frequent
// events between them (location changes above all) never reach us. They are
// set on a thread of their own, whose only work is to note each event and
// wake the owner: an event is noticed at once even while the user-interface
// thread is in the middle of a pass over all windows, which asks for the
// notes between two windows.
class Win32WindowEvents : public WindowEventSource {
public:
    explicit Win32WindowEvents(UINT wakeMessage) : wakeMessage_(wakeMessage) {}
    ~Win32WindowEvents() override { Stop(); }
    // `owner` receives the wake message when a first event waits.
    void Bind(HWND owner) { owner_ = owner; }
    void Start(WindowEventSink& sink) override;
    void Stop() override;
    void Deliver() override;

private:
    static DWORD WINAPI Listen(LPVOID self);
    static void CALLBACK OnWinEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                                    DWORD);
    void Note(HWND window, WindowEvent event);

    UINT wakeMessage_;
    HWND owner_ = nullptr;
    WindowEventSink* sink_ = nullptr;
    HANDLE thread_ = nullptr;
    DWORD threadId_ = 0;
    std::mutex lock_;
    std::vector<std::pair<HWND, WindowEvent>> noted_;  // under lock_
    std::atomic<bool> anyNoted_{false};
    HANDLE ready_ = nullptr;
};

class Win32Sound : public SoundApi {
public:
    void Play(const std::string& path, unsigned flags) override;
};

// A WM_TIMER timer of one window, by id.
class Win32Timer : public Timer {
public:
    Win32Timer(UINT_PTR id, UINT interval) : id_(id), interval_(interval) {}
    void Bind(HWND owner) { owner_ = owner; }
    UINT_PTR Id() const { return id_; }
    void Start() override;
    void Stop() override;
    bool IsRunning() const override { return running_; }
    void SetInterval(unsigned milliseconds) override;

private:
    HWND owner_ = nullptr;
    UINT_PTR id_;
    UINT interval_;
    bool running_ = false;
};

// A timer of a few milliseconds: WM_TIMER cannot tick faster than every 10 ms
// (USER_TIMER_MINIMUM). A multimedia timer posts `message` to the owner
// instead, one at a time, so a busy window never gets a backlog.
class Win32FastTimer : public Timer {
public:
    Win32FastTimer(UINT message, UINT interval) : message_(message), interval_(interval) {}
    ~Win32FastTimer() override { Stop(); }
    void Bind(HWND owner) { owner_ = owner; }
    UINT Message() const { return message_; }
    // The owner handles the posted message: the next tick may be posted.
    void Ticked() { posted_ = 0; }
    void Start() override;
    void Stop() override;
    bool IsRunning() const override { return id_ != 0 || queued_ != nullptr; }
    void SetInterval(unsigned milliseconds) override;

private:
    static void CALLBACK Tick(UINT, UINT, DWORD_PTR self, DWORD_PTR, DWORD_PTR);
    static void CALLBACK QueueTick(PVOID self, BOOLEAN);
    HWND owner_ = nullptr;
    UINT message_;
    UINT interval_;
    UINT id_ = 0;
    HANDLE queued_ = nullptr;
    volatile LONG posted_ = 0;
};

// The main window's keys.
class Win32HotKeys : public HotKeyApi {
public:
    void Bind(HWND owner) { owner_ = owner; }
    bool Register(int id, unsigned modifiers, unsigned virtualKey) override;
    void Unregister(int id) override;

private:
    HWND owner_ = nullptr;
};

// GetKeyNameTextW of the key's scan code in the user's layout ("Ö" for
// VK_OEM_3 on a German keyboard); empty where the layout gives none.
std::string LayoutKeyName(unsigned virtualKey);

class Win32Power : public PowerApi {
public:
    PowerSource Source() override;
};

class Win32ListBox : public ListBoxControl {
public:
    explicit Win32ListBox(HWND box = nullptr) : box_(box) {}
    void Bind(HWND box) { box_ = box; }
    void Clear() override;
    void Add(const std::string& text) override;
    void RemoveAt(int index) override;
    void SetAt(int index, const std::string& text) override;
    void Assign(const std::vector<std::string>& texts) override;
    int Selection() const override;
    void Select(int index) override;

private:
    HWND box_;
};

class Win32Text : public TextControl {
public:
    explicit Win32Text(HWND control = nullptr) : control_(control) {}
    void Bind(HWND control) { control_ = control; }
    void SetText(const std::string& text) override;

private:
    HWND control_;
};

// The user's thousands separator, "," where none is set.
std::string ThousandsSeparator();

}  // namespace qw

#include "platform/shell_api.h"

namespace qw {

class Win32ShellNotify : public ShellNotifyApi {
public:
    bool NotifyIcon(std::uint32_t message, const NotifyIconData& data) override;
};

class Win32Process : public ProcessApi {
public:
    int ShowMessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                       unsigned flags) override;
    void ShellExecuteFile(const std::string& operation, const std::string& file, const std::string& parameters,
                      const std::string& directory, int show) override;
    bool IsOrdinaryFile(const std::string& path) override;
    std::string ProgramFolder() override;
    std::string ProgramPath() override;
    void EndProcess(unsigned exitCode) override;
    void AssociationsChanged() override;
};

class Win32FileDialogs : public FileDialogApi {
public:
    bool Open(const FileDialogRequest& request, std::string* path) override;
    bool Save(const FileDialogRequest& request, std::string* path) override;
};

// A named mutex per user: "Local\Quellwatch.WindowList.<user>".
class Win32ListLock : public ListLock {
public:
    Win32ListLock();
    ~Win32ListLock() override;
    bool Acquire() override;
    void Release() override;

private:
    static constexpr DWORD kWaitBound = 10000;  // ms
    HANDLE mutex_ = nullptr;
    int held_ = 0;
};

// The name of this user, for per-user named objects.
std::string UserName();

}  // namespace qw
