#include "e2e_support.h"

#include <cstdio>
#include <cstdlib>
#include <thread>

namespace qwe2e {

const char kDataKey[] = "Software\\Varn\\Quellwatch\\Data";
const char kOptionsKey[] = "Software\\Varn\\Quellwatch\\Options";

std::string BinDir() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path);
    return dir.substr(0, dir.find_last_of('\\'));
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        // Answer what is sent to the driver's own windows while it waits.
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

void DeleteTree(const char* path) { RegDeleteTreeA(HKEY_CURRENT_USER, path); }

void SetString(const char* path, const char* name, const std::string& value) {
    HKEY key;
    if (RegCreateKeyA(HKEY_CURRENT_USER, path, &key) != ERROR_SUCCESS) return;
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

bool GetString(const char* path, const char* name, std::string* value) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
    char buffer[4096] = {};
    DWORD size = sizeof buffer - 1;
    const bool ok = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size) ==
                    ERROR_SUCCESS;
    RegCloseKey(key);
    if (ok) *value = buffer;
    return ok;
}

void QuietOptions() {
    DeleteTree(kOptionsKey);
    SetString(kOptionsKey, "Run at Start", "0");
    SetString(kOptionsKey, "Task Target", "0");
    SetString(kOptionsKey, "Show Splash Screen", "0");
}

void SeedList(const std::vector<std::string>& entries) {
    DeleteTree(kDataKey);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        SetString(kDataKey, (" " + std::to_string(i)).c_str(), entries[i]);
    }
    SetString(kDataKey, "", std::to_string(entries.size()));
}

std::vector<std::string> StoredList() {
    std::string count;
    std::vector<std::string> entries;
    if (!GetString(kDataKey, "", &count)) return entries;
    for (int i = 0; i < std::atoi(count.c_str()); ++i) {
        std::string entry;
        if (GetString(kDataKey, (" " + std::to_string(i)).c_str(), &entry)) entries.push_back(entry);
    }
    return entries;
}

namespace {
struct EnumState {
    DWORD processId;
    std::vector<HWND> found;
};
BOOL CALLBACK CollectOf(HWND window, LPARAM param) {
    auto* state = reinterpret_cast<EnumState*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == state->processId) state->found.push_back(window);
    return TRUE;
}
}  // namespace

std::vector<HWND> WindowsOf(DWORD processId) {
    EnumState state{processId, {}};
    EnumWindows(CollectOf, reinterpret_cast<LPARAM>(&state));
    return state.found;
}

HWND FindWindowOf(DWORD processId, const std::string& title) {
    for (HWND window : WindowsOf(processId)) {
        char text[512] = {};
        GetWindowTextA(window, text, sizeof text);
        if (title == text) return window;
    }
    return nullptr;
}

bool Program::Start(const std::string& exe, const std::string& arguments) {
    Kill();
    std::string command = "\"" + exe + "\"";
    if (!arguments.empty()) command += " " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessA(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, BinDir().c_str(), &startup,
                        &info_)) {
        info_ = {};
        return false;
    }
    WaitForInputIdle(info_.hProcess, 10000);
    return true;
}

void Program::Kill() {
    if (!info_.hProcess) return;
    TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, 10000);
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
    info_ = {};
}

bool Program::Running() const {
    return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

long Program::WaitExit(std::chrono::milliseconds timeout) {
    if (!info_.hProcess) return -1;
    if (WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return static_cast<long>(code);
}

bool Quellbox::Launch(bool shows, const char* exe) {
    main_ = nullptr;
    if (!Start(BinDir() + "\\" + exe)) return false;
    WaitUntil([&] { return (main_ = FindWindowOf(Id(), "Quellwatch v1.6")) != nullptr; }, std::chrono::seconds(20));
    if (main_ && shows) WaitUntil([&] { return IsWindowVisible(main_) != FALSE; }, std::chrono::seconds(20));
    return main_ != nullptr;
}

Helper::Helper() {
    mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Log), kLogName);
    if (!mapping_) return;
    log_ = static_cast<Log*>(MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Log)));
    if (!log_) return;
    log_->count = 0;
    if (!process_.Start(BinDir() + "\\qw_e2e_helper.exe")) return;
    // Its command window is hidden.
    WaitUntil([&] { return (commands_ = FindWindowOfClass(process_.Id(), kHelperClass, false)) != nullptr; },
              std::chrono::seconds(20));
}

Helper::~Helper() {
    process_.Kill();
    if (log_) UnmapViewOfFile(log_);
    if (mapping_) CloseHandle(mapping_);
}

namespace {
LRESULT Send(HWND commands, Command command, const std::string& text) {
    COPYDATASTRUCT data{command, static_cast<DWORD>(text.size()), const_cast<char*>(text.data())};
    DWORD_PTR result = 0;
    SendMessageTimeoutA(commands, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, 10000, &result);
    return static_cast<LRESULT>(result);
}
std::string Hex(HWND window) {
    char text[16];
    std::snprintf(text, sizeof text, "%08lx", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(window)));
    return text;
}
}  // namespace

HWND Helper::Create(const std::string& title, const std::string& flags) {
    return reinterpret_cast<HWND>(Send(commands_, kCreate, flags + '\x01' + title));
}

void Helper::Storm(int count) { Send(commands_, kStorm, std::to_string(count)); }

void Helper::Retitle(HWND window, const std::string& title) { Send(commands_, kRetitle, Hex(window) + title); }

std::vector<std::int64_t> Helper::Stamps(HWND window, std::uint32_t message) const {
    std::vector<std::int64_t> stamps;
    const LONG count = log_->count;
    const auto id = static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(window));
    for (LONG i = 0; i < count; ++i) {
        if (log_->records[i].window == id && log_->records[i].message == message) stamps.push_back(log_->records[i].qpc);
    }
    return stamps;
}

std::vector<std::uint32_t> Helper::Messages(HWND window) const {
    std::vector<std::uint32_t> messages;
    const LONG count = log_->count;
    const auto id = static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(window));
    for (LONG i = 0; i < count; ++i) {
        const std::uint32_t message = log_->records[i].message;
        if (log_->records[i].window == id && message != kCreated && message != WM_PAINT)
            messages.push_back(message);
    }
    return messages;
}

bool Helper::WaitForMessages(HWND window, std::uint32_t message, std::size_t count,
                             std::chrono::milliseconds timeout) const {
    return WaitUntil([&] { return Stamps(window, message).size() >= count; }, timeout);
}

}  // namespace qwe2e

#include <cstring>

namespace qwe2e {

namespace {
constexpr std::size_t kFixedFields = 16;           // hWnd, uID, uFlags, uCallbackMessage
constexpr std::size_t kTipBytes = 128 * sizeof(WCHAR);
}  // namespace

FakeShell::FakeShell() {
    ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this] { Run(); });
    WaitForSingleObject(ready_, 10000);
}

FakeShell::~FakeShell() {
    if (window_) PostMessageA(window_, WM_CLOSE, 0, 0);
    if (thread_.joinable()) thread_.join();
    CloseHandle(ready_);
}

void FakeShell::Run() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "Shell_TrayWnd";
    RegisterClassA(&wc);
    // Topmost and newest, so FindWindow meets it before the real taskbar.
    window_ = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, "", WS_POPUP, 0, 0, 0, 0, nullptr,
                              nullptr, wc.hInstance, this);
    SetEvent(ready_);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    UnregisterClassA(wc.lpszClassName, wc.hInstance);
}

LRESULT CALLBACK FakeShell::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<FakeShell*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case WM_NCCREATE:
        SetWindowLongPtrA(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
        break;
    case WM_COPYDATA: {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        const auto* bytes = static_cast<const std::uint8_t*>(data->lpData);
        if (data->cbData < kFixedFields + kTipBytes) return FALSE;
        Request r{};
        r.message = static_cast<std::uint32_t>(data->dwData);
        std::uint32_t fields[4];
        std::memcpy(fields, bytes, sizeof fields);
        r.window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(fields[0]));
        r.id = fields[1];
        r.flags = fields[2];
        r.callback = fields[3];
        char tip[256] = {};
        WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<const WCHAR*>(bytes + kFixedFields), 128, tip, sizeof tip - 1,
                            nullptr, nullptr);
        r.tip = tip;
        r.payload.assign(bytes + kFixedFields, bytes + data->cbData);
        std::lock_guard<std::mutex> lock(self->mutex_);
        self->requests_.push_back(std::move(r));
        return TRUE;
    }
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

std::vector<FakeShell::Request> FakeShell::Requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

std::vector<FakeShell::Request> FakeShell::RequestsOf(DWORD processId) const {
    std::vector<Request> mine;
    for (const Request& r : Requests()) {
        DWORD owner = 0;
        GetWindowThreadProcessId(r.window, &owner);
        if (owner == processId) mine.push_back(r);
    }
    return mine;
}

void FakeShell::BroadcastTaskbarCreated() {
    SendNotifyMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
}

std::vector<std::uint8_t> ExpectedIconBits(int id) {
    std::vector<std::uint8_t> bits;
    HMODULE module = LoadLibraryExA((BinDir() + "\\Quellbox.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return bits;
    HICON icon = static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), 0));
    ICONINFO info{};
    if (icon && GetIconInfo(icon, &info)) {
        for (HBITMAP bitmap : {info.hbmMask, info.hbmColor}) {
            BITMAP b{};
            if (!bitmap || !GetObjectA(bitmap, sizeof b, &b)) continue;
            const LONG size = (b.bmPlanes * b.bmWidth * b.bmHeight * b.bmBitsPixel + 15) / 16 * 2;
            std::vector<std::uint8_t> part(static_cast<std::size_t>(size));
            GetBitmapBits(bitmap, size, part.data());
            bits.insert(bits.end(), part.begin(), part.end());
            DeleteObject(bitmap);
        }
    }
    if (icon) DestroyIcon(icon);
    FreeLibrary(module);
    return bits;
}

bool EndsWith(const std::vector<std::uint8_t>& payload, const std::vector<std::uint8_t>& tail) {
    return !tail.empty() && payload.size() >= tail.size() &&
           std::equal(tail.begin(), tail.end(), payload.end() - static_cast<std::ptrdiff_t>(tail.size()));
}

HWND FindWindowOfClass(DWORD processId, const char* className, bool visibleOnly) {
    for (HWND window : WindowsOf(processId)) {
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        if (std::strcmp(name, className) == 0 && (!visibleOnly || IsWindowVisible(window))) return window;
    }
    return nullptr;
}

HWND WaitForWindowOfClass(DWORD processId, const char* className, std::chrono::milliseconds timeout) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindWindowOfClass(processId, className, true)) != nullptr; }, timeout);
    return found;
}

HWND WaitForWindow(const Program& program, const std::string& title) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindWindowOf(program.Id(), title)) && IsWindowVisible(found); },
              std::chrono::seconds(10));
    return found;
}

HWND WaitForBox(const Program& program, const std::string& text) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND w : WindowsOf(program.Id())) {
                if (IsWindowVisible(w) && GetDlgItem(w, 0xFFFF) && (text.empty() || BoxText(w) == text)) found = w;
            }
            return found != nullptr;
        },
        std::chrono::seconds(10));
    return found;
}

bool WaitGone(HWND window) { return WaitUntil([&] { return !IsWindow(window); }, std::chrono::seconds(10)); }

std::string TextOf(HWND window) {
    char text[1024] = {};
    DWORD_PTR result = 0;
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000, &result);
    return text;
}

void Screenshot(const std::string& name, const Program* painter) {
    char dir[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("QW_SCREENSHOT_DIR", dir, sizeof dir)) return;
    if (painter) {
        WaitForInputIdle(painter->Handle(), 5000);
        std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    }
    // What the X display shows, tray and pop-up menus included.
    RunHost("/usr/bin/import -window root " + std::string(dir) + "/" + name + ".png");
}

bool RunHost(const std::string& commandLine) {
    // Wine starts host programs (ELF files) through CreateProcess too, but
    // cannot wait for them: the shell leaves a marker file when it is done.
    static int calls = 0;
    const std::string marker = "/tmp/qw-e2e-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++calls);
    std::string command = "/bin/sh -c \"" + commandLine + "; touch " + marker + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
    std::string dosMarker = "Z:" + marker;
    for (char& c : dosMarker) {
        if (c == '/') c = '\\';
    }
    const bool done = WaitUntil([&] { return GetFileAttributesA(dosMarker.c_str()) != INVALID_FILE_ATTRIBUTES; },
                                std::chrono::seconds(30));
    DeleteFileA(dosMarker.c_str());
    return done;
}

}  // namespace qwe2e
