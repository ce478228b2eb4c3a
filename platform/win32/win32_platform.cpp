#include "platform/win32/win32_platform.h"

#include <dwmapi.h>
#include <mmsystem.h>
#include <shobjidl.h>

#include <array>
#include <cstring>
#include <vector>

#include "platform/long_path.h"
#include "platform/text.h"
#include "platform/win32/win32_system.h"

namespace qw {

const char kMainWindowClass[] = "QuellwatchMainFrm";

namespace {
HKEY Key(RegKey key) { return reinterpret_cast<HKEY>(key); }
HWND Wnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }

BOOL CALLBACK VisitWindow(HWND window, LPARAM param) {
    reinterpret_cast<WindowVisitor*>(param)->Visit(reinterpret_cast<WindowHandle>(window));
    return TRUE;
}
}  // namespace

namespace {
bool IsText(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }
}  // namespace

long Win32Registry::CreateKey(RegKey root, const std::string& path, RegKey* out) {
    HKEY key = nullptr;
    const long result = RegCreateKeyW(Key(root), Wide(path).c_str(), &key);
    *out = reinterpret_cast<RegKey>(key);
    return result;
}

long Win32Registry::SetValueEx(RegKey key, const std::string& name, std::uint32_t type,
                               const std::uint8_t* data, std::uint32_t size) {
    if (!IsText(type)) return RegSetValueExW(Key(key), Wide(name).c_str(), 0, type, data, size);
    // Stored as given: a text written without its terminator stays without.
    const std::wstring text = Wide(std::string_view(reinterpret_cast<const char*>(data), size));
    return RegSetValueExW(Key(key), Wide(name).c_str(), 0, type, reinterpret_cast<const BYTE*>(text.data()),
                          static_cast<DWORD>(text.size() * sizeof(wchar_t)));
}

long Win32Registry::OpenKeyEx(RegKey root, const std::string& path, std::uint32_t access, RegKey* out) {
    HKEY key = nullptr;
    const long result = RegOpenKeyExW(Key(root), Wide(path).c_str(), 0, access, &key);
    *out = reinterpret_cast<RegKey>(key);
    return result;
}

long Win32Registry::QueryValueEx(RegKey key, const std::string& name, std::uint32_t* type,
                                 std::uint8_t* data, std::uint32_t* size) {
    const std::wstring wideName = Wide(name);
    DWORD t = 0;
    if (!size) {
        // The type alone (or ERROR_INVALID_PARAMETER for a buffer without its size).
        const long result = RegQueryValueExW(Key(key), wideName.c_str(), nullptr, &t, data, nullptr);
        if (type && result == ERROR_SUCCESS) *type = t;
        return result;
    }
    const DWORD room = *size;
    // The data is read whole, in UTF-16, and measured in UTF-8. A text of n
    // units is at least n bytes in UTF-8: a buffer of as many units as the
    // caller has bytes holds every text that can fit at the first read; a
    // larger value is read again at the size Windows gives, and again should
    // it grow in between.
    std::vector<BYTE> raw((room > 0 ? room : 1) * sizeof(wchar_t));
    DWORD n = static_cast<DWORD>(raw.size());
    long result = RegQueryValueExW(Key(key), wideName.c_str(), nullptr, &t, raw.data(), &n);
    while (result == ERROR_MORE_DATA && n > raw.size()) {
        raw.resize(n);
        result = RegQueryValueExW(Key(key), wideName.c_str(), nullptr, &t, raw.data(), &n);
    }
    if (result != ERROR_SUCCESS) return result;
    if (type) *type = t;
    const std::string given =
        IsText(t) ? Utf8(std::wstring_view(reinterpret_cast<const wchar_t*>(raw.data()), n / sizeof(wchar_t)))
                  : std::string(reinterpret_cast<const char*>(raw.data()), n);
    *size = static_cast<std::uint32_t>(given.size());
    if (!data) return ERROR_SUCCESS;
    if (given.size() > room) return ERROR_MORE_DATA;
    std::memcpy(data, given.data(), given.size());
    return ERROR_SUCCESS;
}

long Win32Registry::EnumValueName(RegKey key, std::uint32_t index, std::string* name) {
    wchar_t buffer[16384];
    DWORD length = 16384;
    const long result = RegEnumValueW(Key(key), index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_SUCCESS) *name = Utf8(std::wstring_view(buffer, length));
    return result;
}

long Win32Registry::EnumKeyName(RegKey key, std::uint32_t index, std::string* name) {
    wchar_t buffer[256];  // a key's name holds at most 255 characters
    DWORD length = 256;
    const long result = RegEnumKeyExW(Key(key), index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
    if (result == ERROR_SUCCESS) *name = Utf8(std::wstring_view(buffer, length));
    return result;
}

long Win32Registry::DeleteValue(RegKey key, const std::string& name) {
    return RegDeleteValueW(Key(key), Wide(name).c_str());
}

long Win32Registry::DeleteKey(RegKey root, const std::string& path) {
    return RegDeleteKeyW(Key(root), Wide(path).c_str());
}

long Win32Registry::CloseKey(RegKey key) { return RegCloseKey(Key(key)); }

void Win32Windows::EnumTopLevel(WindowVisitor& visitor) {
    EnumWindows(VisitWindow, reinterpret_cast<LPARAM>(&visitor));
}

std::uint32_t Win32Windows::GetStyle(WindowHandle window) {
    return static_cast<std::uint32_t>(GetWindowLongA(Wnd(window), GWL_STYLE));
}

WindowHandle Win32Windows::GetParent(WindowHandle window) {
    return reinterpret_cast<WindowHandle>(::GetParent(Wnd(window)));
}

std::string Win32Windows::GetText(WindowHandle window, int maxUnits) {
    std::wstring title(static_cast<std::size_t>(maxUnits) + 1, L'\0');
    const int n = GetWindowTextW(Wnd(window), &title[0], maxUnits + 1);
    title.resize(static_cast<std::size_t>(n > 0 ? n : 0));
    // A character beyond the first plane cut in half at the end is dropped.
    if (!title.empty() && title.back() >= 0xD800 && title.back() <= 0xDBFF) title.pop_back();
    return Utf8(title);
}

bool Win32Windows::Post(WindowHandle window, unsigned message) {
    if (PostMessageA(Wnd(window), message, 0, 0)) return true;
    return GetLastError() != ERROR_ACCESS_DENIED;
}

bool Win32Windows::PostParams(WindowHandle window, unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    if (PostMessageW(Wnd(window), message, static_cast<WPARAM>(wParam), static_cast<LPARAM>(lParam))) return true;
    return GetLastError() != ERROR_ACCESS_DENIED;
}

namespace {
BOOL CALLBACK CollectButton(HWND child, LPARAM param) {
    auto& buttons = *reinterpret_cast<std::vector<DialogButton>*>(param);
    wchar_t className[16] = {};
    GetClassNameW(child, className, 16);
    if (lstrcmpiW(className, L"Button") != 0) return TRUE;
    // Only buttons that a click presses: not check boxes, radio buttons or group boxes.
    switch (GetWindowLongW(child, GWL_STYLE) & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
    case BS_SPLITBUTTON:
    case BS_DEFSPLITBUTTON:
    case BS_COMMANDLINK:
    case BS_DEFCOMMANDLINK: break;
    default: return TRUE;
    }
    if (!IsWindowVisible(child) || !IsWindowEnabled(child)) return TRUE;
    std::wstring caption(256, L'\0');
    caption.resize(static_cast<std::size_t>(std::max(0, GetWindowTextW(child, &caption[0], 256))));
    buttons.push_back(DialogButton{reinterpret_cast<WindowHandle>(child), GetDlgCtrlID(child), Utf8(caption)});
    return TRUE;
}
}  // namespace

std::vector<DialogButton> Win32Windows::PushButtons(WindowHandle dialog) {
    std::vector<DialogButton> buttons;
    EnumChildWindows(Wnd(dialog), CollectButton, reinterpret_cast<LPARAM>(&buttons));
    return buttons;
}

bool Win32Windows::IsHung(WindowHandle window) { return IsHungAppWindow(Wnd(window)) != FALSE; }

WindowHandle Win32Windows::WindowUnderPointer() {
    POINT at{};
    GetCursorPos(&at);
    return reinterpret_cast<WindowHandle>(WindowFromPoint(at));
}

std::uint32_t Win32Windows::CloakedBy(WindowHandle window) {
    // dwmapi is not a known DLL: from the system folder, and absent before Windows Vista.
    using GetAttribute = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);
    static const auto get = SystemProcedureAs<GetAttribute>(L"dwmapi.dll", "DwmGetWindowAttribute");
    DWORD cloaked = 0;
    if (!get || FAILED(get(Wnd(window), DWMWA_CLOAKED, &cloaked, sizeof cloaked))) return 0;
    return cloaked;
}

bool Win32Windows::IsOnCurrentDesktop(WindowHandle window) {
    // Windows 10 and later; COM is set up on this thread by WinMain.
    if (!desktopsMade_) {
        desktopsMade_ = true;
        void* made = nullptr;
        if (SUCCEEDED(CoCreateInstance(CLSID_VirtualDesktopManager, nullptr, CLSCTX_ALL, IID_IVirtualDesktopManager,
                                       &made)))
            desktops_ = static_cast<IVirtualDesktopManager*>(made);
    }
    // A window the manager does not place (it answers an error) stands on
    // every desktop, the user's too.
    BOOL on = TRUE;
    return !desktops_ || FAILED(desktops_->IsWindowOnCurrentVirtualDesktop(Wnd(window), &on)) || on;
}

bool Win32Windows::IsEnabled(WindowHandle window) { return IsWindowEnabled(Wnd(window)) != FALSE; }

std::string Win32Windows::ClassName(WindowHandle window) {
    char name[256] = {};
    const int n = GetClassNameA(Wnd(window), name, sizeof name);
    return std::string(name, n > 0 ? static_cast<std::size_t>(n) : 0);
}

namespace {
// When the process started, as a FILETIME's count; 0 when Windows refuses.
std::uint64_t StartOf(HANDLE process) {
    FILETIME created{}, exited{}, kernel{}, user{};
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    return (static_cast<std::uint64_t>(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}
}  // namespace

ProcessIdentity Win32Windows::ProcessOf(WindowHandle window) {
    DWORD id = 0;
    if (!GetWindowThreadProcessId(Wnd(window), &id)) return {};
    // The limited right is granted for most processes of other users and of
    // administrators too; a protected process still refuses it.
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
    if (!process) return ProcessIdentity{id, 0};
    const std::uint64_t started = StartOf(process);
    CloseHandle(process);
    return ProcessIdentity{id, started};
}

EndResult Win32Windows::EndProgram(const ProcessIdentity& identity) {
    // PROCESS_TERMINATE reaches a 64-bit process from a 32-bit one as well.
    HANDLE process = OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, identity.id);
    if (!process) return GetLastError() == ERROR_INVALID_PARAMETER ? EndResult::kGone : EndResult::kRefused;
    EndResult result = EndResult::kGone;
    // The id may have passed to another process since: only the one that
    // started then is ended.
    if (StartOf(process) == identity.started) {
        result = TerminateProcess(process, 1) ? EndResult::kEnded : EndResult::kRefused;
    }
    CloseHandle(process);
    return result;
}

std::string Win32Windows::ProgramName(const ProcessIdentity& identity) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, identity.id);
    if (!process) return "";
    std::wstring path(32768, L'\0');
    DWORD size = static_cast<DWORD>(path.size());
    // The id may have passed to another process since: only the one that
    // started then is named.
    const bool named = StartOf(process) == identity.started &&
                       QueryFullProcessImageNameW(process, 0, &path[0], &size) != FALSE;
    CloseHandle(process);
    if (!named) return "";
    path.resize(size);
    const auto slash = path.find_last_of(L"\\/");
    return Utf8(slash == std::wstring::npos ? path : path.substr(slash + 1));
}

LocalTime Win32Clock::Local() {
    SYSTEMTIME t{};
    GetLocalTime(&t);
    return LocalTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

std::int64_t Win32Clock::Milliseconds() { return static_cast<std::int64_t>(GetTickCount64()); }

WindowHandle Win32Windows::RootOf(WindowHandle window) {
    HWND root = GetAncestor(Wnd(window), GA_ROOT);
    return root ? reinterpret_cast<WindowHandle>(root) : window;
}

bool Win32Windows::IsTopLevelWindow(WindowHandle window) {
    // One question: GetAncestor answers 0 for a window that is gone.
    return GetAncestor(Wnd(window), GA_PARENT) == GetDesktopWindow();
}

namespace {
// The hook procedure has no parameter of ours; one source per process.
Win32WindowEvents* g_listening = nullptr;
}  // namespace

void CALLBACK Win32WindowEvents::OnWinEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child,
                                           DWORD, DWORD) {
    if (!g_listening || object != OBJID_WINDOW || child != CHILDID_SELF || !window) return;
    // On Windows every button, tooltip and menu reports itself while the
    // user works: only top-level windows may wake the user interface.
    if (GetAncestor(window, GA_PARENT) != GetDesktopWindow()) return;
    const WindowEvent kind = event == EVENT_OBJECT_CREATE ? WindowEvent::kCreated
                             : event == EVENT_OBJECT_SHOW ? WindowEvent::kShown
                                                          : WindowEvent::kRenamed;
    g_listening->Note(window, kind);
}

void Win32WindowEvents::Note(HWND window, WindowEvent event) {
    bool first;
    {
        std::lock_guard<std::mutex> hold(lock_);
        first = noted_.empty();
        noted_.emplace_back(window, event);
    }
    anyNoted_.store(true);
    // One wake message for a run of events; the rest ride along.
    if (first) PostMessageA(owner_, wakeMessage_, 0, 0);
}

DWORD WINAPI Win32WindowEvents::Listen(LPVOID param) {
    auto* self = static_cast<Win32WindowEvents*>(param);
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the queue for WM_QUIT, before Start returns
    HWINEVENTHOOK hooks[3] = {};
    const DWORD events[] = {EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW, EVENT_OBJECT_NAMECHANGE};
    for (int i = 0; i < 3; ++i) {
        hooks[i] = SetWinEventHook(events[i], events[i], nullptr, OnWinEvent, 0, 0,
                                   WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    }
    SetEvent(self->ready_);
    // Out-of-context events come to this thread while it waits for messages.
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    for (HWINEVENTHOOK hook : hooks) {
        if (hook) UnhookWinEvent(hook);
    }
    return 0;
}

void Win32WindowEvents::Start(WindowEventSink& sink) {
    if (thread_) return;
    sink_ = &sink;
    g_listening = this;
    ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, Listen, this, 0, &threadId_);
    // Listening once Start returns: a window opened next is reported.
    if (thread_) WaitForSingleObject(ready_, INFINITE);
    CloseHandle(ready_);
    ready_ = nullptr;
}

void Win32WindowEvents::Stop() {
    if (thread_) {
        PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        thread_ = nullptr;
    }
    g_listening = nullptr;
    sink_ = nullptr;
    std::lock_guard<std::mutex> hold(lock_);
    noted_.clear();
    anyNoted_.store(false);
}

void Win32WindowEvents::Deliver() {
    if (!anyNoted_.exchange(false)) return;
    std::vector<std::pair<HWND, WindowEvent>> noted;
    {
        std::lock_guard<std::mutex> hold(lock_);
        noted.swap(noted_);
    }
    for (const auto& [window, event] : noted) {
        if (!sink_) return;
        sink_->OnWindowEvent(reinterpret_cast<WindowHandle>(window), event);
    }
}

WindowHandle Win32Windows::ForegroundWindow() { return reinterpret_cast<WindowHandle>(GetForegroundWindow()); }

bool Win32Windows::BelongsToProgram(WindowHandle window) {
    DWORD process = 0;
    if (GetWindowThreadProcessId(Wnd(window), &process) == 0) return false;
    if (process == GetCurrentProcessId()) return true;
    char name[32] = {};
    return GetClassNameA(Wnd(window), name, sizeof name) && std::strcmp(name, kMainWindowClass) == 0;
}

void Win32Sound::Play(const std::string& path, unsigned flags) {
    // winmm is not a known DLL: loaded from the system folder when first
    // needed, and without it there is no sound.
    using Play = BOOL(WINAPI*)(LPCWSTR, UINT);
    static const auto play = SystemProcedureAs<Play>(L"winmm.dll", "sndPlaySoundW");
    if (play) play(Wide(path).c_str(), flags);
}

void Win32Timer::Start() {
    SetTimer(owner_, id_, interval_, nullptr);
    running_ = true;
}

void Win32Timer::Stop() {
    KillTimer(owner_, id_);
    running_ = false;
}

void Win32Timer::SetInterval(unsigned milliseconds) {
    interval_ = milliseconds;
    if (running_) Start();
}

bool Win32HotKeys::Register(int id, unsigned modifiers, unsigned virtualKey) {
    return RegisterHotKey(owner_, id, modifiers, virtualKey) != FALSE;
}

void Win32HotKeys::Unregister(int id) { UnregisterHotKey(owner_, id); }

std::string LayoutKeyName(unsigned virtualKey) {
    const UINT scanCode = MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC);
    if (scanCode == 0) return std::string();
    wchar_t name[64] = {};
    const int length = GetKeyNameTextW(static_cast<LONG>(scanCode << 16), name, 64);
    return length > 0 ? Utf8(std::wstring(name, static_cast<std::size_t>(length))) : std::string();
}

PowerSource Win32Power::Source() {
    SYSTEM_POWER_STATUS status{};
    if (!GetSystemPowerStatus(&status)) return PowerSource::kUnknown;
    switch (status.ACLineStatus) {
    case 0: return PowerSource::kBattery;
    case 1: return PowerSource::kMains;
    }
    return PowerSource::kUnknown;
}

void Win32FastTimer::SetInterval(unsigned milliseconds) {
    interval_ = milliseconds;
    if (!IsRunning()) return;
    Stop();
    Start();
}

void Win32FastTimer::Start() {
    if (IsRunning()) return;
    posted_ = 0;
    using SetEvent = MMRESULT(WINAPI*)(UINT, UINT, LPTIMECALLBACK, DWORD_PTR, UINT);
#ifdef QW_TIMER_QUEUE
    const SetEvent set = nullptr;  // measured against the multimedia timer only
#else
    static const auto set = SystemProcedureAs<SetEvent>(L"winmm.dll", "timeSetEvent");
#endif
    if (set) {
        id_ = set(interval_, 1, Tick, reinterpret_cast<DWORD_PTR>(this), TIME_PERIODIC | TIME_CALLBACK_FUNCTION);
        return;
    }
    // Without winmm: a timer-queue timer, as fine as the system's timer resolution allows.
    HANDLE timer = nullptr;
    if (CreateTimerQueueTimer(&timer, nullptr, QueueTick, this, interval_, interval_, WT_EXECUTEINTIMERTHREAD))
        queued_ = timer;
}

void Win32FastTimer::Stop() {
    using KillEvent = MMRESULT(WINAPI*)(UINT);
    static const auto kill = SystemProcedureAs<KillEvent>(L"winmm.dll", "timeKillEvent");
    if (id_ && kill) kill(id_);
    id_ = 0;
    // Waits for a tick that is running to end, as timeKillEvent does.
    if (queued_) DeleteTimerQueueTimer(nullptr, queued_, INVALID_HANDLE_VALUE);
    queued_ = nullptr;
}

void CALLBACK Win32FastTimer::QueueTick(PVOID data, BOOLEAN) { Tick(0, 0, reinterpret_cast<DWORD_PTR>(data), 0, 0); }

void CALLBACK Win32FastTimer::Tick(UINT, UINT, DWORD_PTR data, DWORD_PTR, DWORD_PTR) {
    auto* self = reinterpret_cast<Win32FastTimer*>(data);
    // Runs on the multimedia timer's thread: only post, and only once until handled.
    // A post refused (a full queue) must not leave the flag set, or no tick
    // would ever be posted again.
    if (InterlockedExchange(&self->posted_, 1) == 0 && !PostMessageA(self->owner_, self->message_, 0, 0))
        InterlockedExchange(&self->posted_, 0);
}

void Win32ListBox::Clear() { SendMessageW(box_, LB_RESETCONTENT, 0, 0); }

void Win32ListBox::Add(const std::string& text) {
    SendMessageW(box_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()));
}

void Win32ListBox::RemoveAt(int index) { SendMessageW(box_, LB_DELETESTRING, static_cast<WPARAM>(index), 0); }

void Win32ListBox::SetAt(int index, const std::string& text) {
    SendMessageW(box_, LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    SendMessageW(box_, LB_INSERTSTRING, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(Wide(text).c_str()));
}

void Win32ListBox::Assign(const std::vector<std::string>& texts) {
    // One repaint for the whole list: item by item, a visible list box of
    // 32,767 entries takes minutes to fill.
    SendMessageW(box_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(box_, LB_RESETCONTENT, 0, 0);
    std::size_t bytes = 0;
    for (const std::string& text : texts) bytes += (text.size() + 1) * sizeof(wchar_t);
    SendMessageW(box_, LB_INITSTORAGE, texts.size(), bytes);
    for (const std::string& text : texts) {
        SendMessageW(box_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()));
    }
    SendMessageW(box_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(box_, nullptr, TRUE);
}

int Win32ListBox::Selection() const { return static_cast<int>(SendMessageW(box_, LB_GETCURSEL, 0, 0)); }

void Win32ListBox::Select(int index) { SendMessageW(box_, LB_SETCURSEL, static_cast<WPARAM>(index), 0); }

void Win32Text::SetText(const std::string& text) { SetWindowTextW(control_, Wide(text).c_str()); }

std::string ThousandsSeparator() {
    wchar_t buffer[8] = {};
    if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, buffer, 8) > 1) return Utf8(buffer);
    return ",";
}

const CaseFolding& CaseFolding::System() {
    // The system's own mapping, asked once for the whole Basic Multilingual
    // Plane; surrogates are left alone, as CharLowerBuffW leaves them.
    static const CaseFolding folding = [] {
        std::vector<char16_t> lower(0x10000);
        std::vector<WCHAR> units(0x10000);
        for (std::size_t c = 0; c < units.size(); ++c) units[c] = static_cast<WCHAR>(c);
        CharLowerBuffW(units.data() + 1, 0xD800 - 1);
        CharLowerBuffW(units.data() + 0xE000, 0x10000 - 0xE000);
        for (std::size_t c = 0; c < units.size(); ++c) lower[c] = static_cast<char16_t>(units[c]);
        return CaseFolding(std::move(lower));
    }();
    return folding;
}

}  // namespace qw

#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

namespace qw {

bool Win32ShellNotify::NotifyIcon(std::uint32_t message, const NotifyIconData& data) {
    NOTIFYICONDATAA nid{};
    nid.cbSize = NOTIFYICONDATAA_V1_SIZE;  // 88: the record of the first shell version
    nid.hWnd = reinterpret_cast<HWND>(data.hWnd);
    nid.uID = data.uID;
    nid.uFlags = data.uFlags;
    nid.uCallbackMessage = data.uCallbackMessage;
    nid.hIcon = reinterpret_cast<HICON>(data.hIcon);
    std::memcpy(nid.szTip, data.szTip, sizeof data.szTip);
    return Shell_NotifyIconA(message, &nid) != FALSE;
}

int Win32Process::ShowMessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                                 unsigned flags) {
    return ::MessageBoxW(Wnd(owner), Wide(text).c_str(), Wide(caption).c_str(), flags);
}

void Win32Process::ShellExecuteFile(const std::string& operation, const std::string& file, const std::string& parameters,
                                const std::string& directory, int show) {
    ::ShellExecuteW(nullptr, Wide(operation).c_str(), Wide(file).c_str(), Wide(parameters).c_str(),
                    Wide(directory).c_str(), show);
}

bool Win32Process::IsOrdinaryFile(const std::string& path) {
    // A file named on the command line may lie beyond MAX_PATH.
    const DWORD attributes = GetFileAttributesW(Wide(ExtendedLengthPath(path)).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    return !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
}

std::string Win32Process::ProgramPath() { return ModulePath(); }

std::string Win32Process::ProgramFolder() {
    const std::string path = ModulePath();
    const auto slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

void Win32Process::EndProcess(unsigned exitCode) { ExitProcess(exitCode); }

void Win32Process::AssociationsChanged() { SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr); }

namespace {
bool ShowFileDialog(bool save, const FileDialogRequest& request, std::string* path) {
    wchar_t file[MAX_PATH] = {};
    // The filter's NULs convert as any other character.
    const std::wstring filter = Wide(request.filter), title = Wide(request.title),
                       extension = Wide(request.defaultExtension);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400W;  // 76 bytes in the 32-bit program
    ofn.hwndOwner = Wnd(request.owner);
    ofn.hInstance = GetModuleHandleW(nullptr);
    ofn.lpstrFilter = filter.c_str();
    ofn.lpstrFile = file;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrTitle = title.c_str();
    ofn.Flags = request.flags;
    ofn.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    if (!(save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn))) return false;
    *path = Utf8(file);
    return true;
}
}  // namespace

bool Win32FileDialogs::Open(const FileDialogRequest& request, std::string* path) {
    return ShowFileDialog(false, request, path);
}

bool Win32FileDialogs::Save(const FileDialogRequest& request, std::string* path) {
    return ShowFileDialog(true, request, path);
}

std::string UserName() {
    wchar_t user[257] = {};
    DWORD size = 257;
    GetUserNameW(user, &size);
    return Utf8(user);
}

Win32ListLock::Win32ListLock() {
    const std::string name = "Local\\Quellwatch.WindowList." + UserName();
    NamedObject made;
    mutex_ = CreateUserMutex(name, &made);
    // Made by a copy running as administrator that refuses to let us create
    // it: opening it may still be allowed.
    if (!mutex_) mutex_ = OpenMutexW(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, Wide(name).c_str());
}

Win32ListLock::~Win32ListLock() {
    if (mutex_) CloseHandle(mutex_);
}

bool Win32ListLock::Acquire() {
    // No lock object could be had at all: this copy works as one without a
    // lock rather than never saving.
    if (!mutex_) return true;
    // Another copy holds the lock only around its registry work; while it
    // does, this copy keeps answering: sent messages are answered inside
    // PeekMessage, timers keep the scan going and paints keep the windows
    // drawn. Input waits in the queue, so no second command starts meanwhile.
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= kWaitBound) return false;
        const DWORD woke = MsgWaitForMultipleObjects(1, &mutex_, FALSE, kWaitBound - elapsed,
                                                     QS_SENDMESSAGE | QS_TIMER | QS_PAINT);
        // A copy that died holding it hands it over (WAIT_ABANDONED); the
        // owning thread re-enters without waiting.
        if (woke == WAIT_OBJECT_0 || woke == WAIT_ABANDONED_0) {
            ++held_;
            return true;
        }
        if (woke != WAIT_OBJECT_0 + 1) return false;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) DispatchMessageA(&msg);
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT)) DispatchMessageA(&msg);
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

void Win32ListLock::Release() {
    if (held_ > 0 && mutex_) {
        --held_;
        ReleaseMutex(mutex_);
    }
}

}  // namespace qw
