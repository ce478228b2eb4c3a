// Window, sound and timer operations the watch engine needs. The adapter
// answers one question per call so the engine can ask each window for each
// fact at most once per pass, cheapest first.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace qw {

using WindowHandle = std::uintptr_t;

constexpr std::uint32_t kWsVisible = 0x10000000u;
constexpr std::uint32_t kWsPopup = 0x80000000u;

constexpr unsigned kWmClose = 0x0010;
constexpr unsigned kWmCancelMode = 0x001F;
constexpr unsigned kWmCommand = 0x0111;
constexpr unsigned kWmSysCommand = 0x0112;
constexpr unsigned kScMinimize = 0xF020;  // SC_MINIMIZE
constexpr unsigned kBnClicked = 0;        // BN_CLICKED

// A push button inside a dialog: what a click on it tells the dialog.
struct DialogButton {
    WindowHandle handle = 0;
    int id = 0;
    std::string caption;  // as the button shows it, its access key's "&" included
};

// What ending a process came to.
enum class EndResult {
    kEnded,
    kRefused,  // Windows refused: a program running as administrator, or protected
    kGone,     // it had ended already (its id may name another process now)
};

// Why the desktop window manager hides a window (DWMWA_CLOAKED's bits):
// DWM_CLOAKED_APP, its program did; DWM_CLOAKED_SHELL, the shell did (a
// window on another virtual desktop, a hidden shell window);
// DWM_CLOAKED_INHERITED, it takes its owner's.
constexpr std::uint32_t kDwmCloakedApp = 0x1;
constexpr std::uint32_t kDwmCloakedShell = 0x2;
constexpr std::uint32_t kDwmCloakedInherited = 0x4;

// A running process: its id, and when it started (a FILETIME's count), since
// Windows gives the id of a process that ended to a new one.
struct ProcessIdentity {
    std::uint32_t id = 0;
    std::uint64_t started = 0;
    bool operator==(const ProcessIdentity& o) const { return id == o.id && started == o.started; }
    bool operator<(const ProcessIdentity& o) const { return id != o.id ? id < o.id : started < o.started; }
};

// Receives the top-level windows one by one, during the enumeration.
class WindowVisitor {
public:
    virtual void Visit(WindowHandle window) = 0;

protected:
    ~WindowVisitor() = default;
};

class WindowApi {
public:
    virtual ~WindowApi() = default;
    // EnumWindows: calls the visitor for each top-level window in the
    // platform's order, while enumerating. Collecting the list first would
    // make the platform check every window before the first is tested.
    virtual void EnumTopLevel(WindowVisitor& visitor) = 0;
    // GetWindowLongA(GWL_STYLE). For a top-level window WS_VISIBLE is exactly
    // what IsWindowVisible reports, and without WS_POPUP GetParent is 0.
    virtual std::uint32_t GetStyle(WindowHandle window) = 0;
    // GetParent: the owner of a WS_POPUP top-level window, otherwise 0.
    virtual WindowHandle GetParent(WindowHandle window) = 0;
    // GetWindowTextW: the title, at most `maxUnits` UTF-16 units of it (never
    // half a character), in UTF-8; empty for a window that is gone.
    virtual std::string GetText(WindowHandle window, int maxUnits) = 0;
    // PostMessageA(window, message, 0, 0). False only when Windows refused
    // it: a window of a program running as administrator does not take
    // posts from a program that is not (User Interface Privilege Isolation).
    // A window that went meanwhile is not a refusal.
    virtual bool Post(WindowHandle window, unsigned message) = 0;
    // PostMessageW with its parameters, refused as Post is.
    virtual bool PostParams(WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) = 0;
    // EnumChildWindows: the push buttons of a dialog that a click could
    // press now (visible and enabled), in the dialog's order.
    virtual std::vector<DialogButton> PushButtons(WindowHandle dialog) = 0;
    // OpenProcess(PROCESS_TERMINATE) and TerminateProcess, for the process
    // that started then only.
    virtual EndResult EndProgram(const ProcessIdentity& process) = 0;
    // IsHungAppWindow: the window's program has not taken a message for a
    // while; what is posted to it piles up in its queue.
    virtual bool IsHung(WindowHandle window) = 0;
    // Whether the window is one of the program's: a window of this process,
    // or the main window of another copy (an importing copy owns its
    // questions with it).
    virtual bool BelongsToProgram(WindowHandle window) = 0;
    // GetCursorPos then WindowFromPoint: the window under the pointer, which
    // may be a control inside a top-level window.
    virtual WindowHandle WindowUnderPointer() = 0;
    // GetAncestor(GA_ROOT): the top-level window a window belongs to; the
    // window itself when it is one.
    virtual WindowHandle RootOf(WindowHandle window) = 0;
    // GetForegroundWindow: the window the user works in; 0 when none.
    virtual WindowHandle ForegroundWindow() = 0;
    // IsWindow and a top-level window (its parent is the desktop).
    virtual bool IsTopLevelWindow(WindowHandle window) = 0;
    // DwmGetWindowAttribute(DWMWA_CLOAKED): why a window visible by its
    // style is shown by nobody (kDwmCloaked* bits); 0 when it is not cloaked
    // or the platform has no such thing.
    virtual std::uint32_t CloakedBy(WindowHandle window) = 0;
    // IVirtualDesktopManager::IsWindowOnCurrentVirtualDesktop; true where
    // the platform cannot say (no virtual desktops, a window it does not
    // place on any).
    virtual bool IsOnCurrentDesktop(WindowHandle window) = 0;
    // IsWindowEnabled: false while the window waits on a modal question of
    // its own (a message box or dialog disables its owner).
    virtual bool IsEnabled(WindowHandle window) = 0;
    // GetClassNameA.
    virtual std::string ClassName(WindowHandle window) = 0;
    // GetWindowThreadProcessId, then OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION)
    // and GetProcessTimes for its start; an id of 0 when the window is gone,
    // a start of 0 when Windows refuses to say.
    virtual ProcessIdentity ProcessOf(WindowHandle window) = 0;
    // The image file name of that process ("notepad.exe"), through
    // QueryFullProcessImageNameW; empty when Windows refuses to say, or when
    // the id now names another process than the one that started then.
    virtual std::string ProgramName(const ProcessIdentity& process) = 0;
};

// sndPlaySound's flags, as mmsystem.h names them: return at once while the
// sound plays, play nothing (not the default sound) for a file that cannot
// be played, and leave a sound that is still playing alone.
constexpr unsigned kSndAsync = 0x1;      // SND_ASYNC
constexpr unsigned kSndNoDefault = 0x2;  // SND_NODEFAULT
constexpr unsigned kSndNoStop = 0x10;    // SND_NOSTOP

class SoundApi {
public:
    virtual ~SoundApi() = default;
    // sndPlaySoundA(path, flags). Not named PlaySound: mmsystem.h makes that a macro.
    virtual void Play(const std::string& path, unsigned flags) = 0;
};

// What the platform reported of a window.
enum class WindowEvent { kCreated, kShown, kRenamed };

// The platform's reports of windows being created, shown or retitled
// (SetWinEventHook, out of context), handed over on the user-interface thread.
class WindowEventSink {
public:
    virtual void OnWindowEvent(WindowHandle window, WindowEvent event) = 0;

protected:
    ~WindowEventSink() = default;
};

class WindowEventSource {
public:
    virtual ~WindowEventSource() = default;
    // Reports EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW and
    // EVENT_OBJECT_NAMECHANGE of windows themselves (OBJID_WINDOW,
    // CHILDID_SELF) of other processes to `sink` until Stop.
    virtual void Start(WindowEventSink& sink) = 0;
    virtual void Stop() = 0;
    // Hands the reports that came meanwhile to the sink; cheap when none did.
    // Reports arrive whatever the user-interface thread is doing, and wait
    // for this call (on a wake message, and between the windows of a pass).
    virtual void Deliver() = 0;
};

// A timer that ticks on the user-interface thread. Start while running restarts
// the period (SetTimer with the same id does).
class Timer {
public:
    virtual ~Timer() = default;
    virtual void Start() = 0;
    virtual void Stop() = 0;
    virtual bool IsRunning() const = 0;
    // The period in milliseconds from the next Start; a running timer starts
    // its new period at once.
    virtual void SetInterval(unsigned milliseconds) = 0;
};

// RegisterHotKey's modifiers, as winuser.h names them. With MOD_NOREPEAT a
// key held down is reported once, not at the keyboard's repeat rate.
constexpr unsigned kModAlt = 0x1;       // MOD_ALT
constexpr unsigned kModControl = 0x2;   // MOD_CONTROL
constexpr unsigned kModShift = 0x4;     // MOD_SHIFT
constexpr unsigned kModNoRepeat = 0x4000;  // MOD_NOREPEAT

// Keys that reach the main window (WM_HOTKEY) whichever program has the
// keyboard.
class HotKeyApi {
public:
    virtual ~HotKeyApi() = default;
    // RegisterHotKey(main window, id, modifiers, virtual key): false when
    // Windows refuses, above all when any window, of this program or another,
    // holds that key already (ERROR_HOTKEY_ALREADY_REGISTERED). The id keeps
    // every key registered under it until each is unregistered.
    virtual bool Register(int id, unsigned modifiers, unsigned virtualKey) = 0;
    // UnregisterHotKey(main window, id).
    virtual void Unregister(int id) = 0;
};

// Where the machine draws its power from (GetSystemPowerStatus's ACLineStatus).
enum class PowerSource { kMains, kBattery, kUnknown };

class PowerApi {
public:
    virtual ~PowerApi() = default;
    virtual PowerSource Source() = 0;
};

}  // namespace qw
