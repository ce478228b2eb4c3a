#include "e2e_support.h"

#include <commctrl.h>

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "resources/resource.h"

#include <commctrl.h>

namespace qwe2e {

const char kOptionsKey[] = "Software\\Varn\\Quellwatch\\Options";

namespace {
const char kDataKey[] = "Software\\Varn\\Quellwatch\\Data";
const char kRulesKey[] = "Software\\Varn\\Quellwatch\\Rules";

// A window's title, or with GetClassNameA its class.
std::string Title(HWND window, int(WINAPI* read)(HWND, LPSTR, int) = GetWindowTextA) {
    char text[512] = {};
    read(window, text, sizeof text);
    return text;
}
DWORD ProcessOf(HWND window) {
    DWORD id = 0;
    GetWindowThreadProcessId(window, &id);
    return id;
}
BOOL CALLBACK Collect(HWND window, LPARAM found) {
    reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}
}  // namespace

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

std::wstring Wide(const std::string& text, UINT codePage) {
    std::wstring wide(text.size(), L'\0');  // never more units than bytes
    const int n = text.empty() ? 0 : MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()),
                                                         &wide[0], static_cast<int>(wide.size()));
    wide.resize(static_cast<std::size_t>(n));
    return wide;
}

std::string Utf8(const std::wstring& text) {
    std::string utf8(3 * text.size(), '\0');  // never more than three bytes a unit
    const int n = text.empty() ? 0 : WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                                         &utf8[0], static_cast<int>(utf8.size()), nullptr, nullptr);
    utf8.resize(static_cast<std::size_t>(n));
    return utf8;
}

void SetValue(const char* path, const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    if (RegCreateKeyW(HKEY_CURRENT_USER, Wide(path).c_str(), &key) != ERROR_SUCCESS) return;
    RegSetValueExW(key, Wide(name).c_str(), 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

void SetString(const char* path, const char* name, const std::string& value) {
    const std::wstring wide = Wide(value);
    SetValue(path, name, REG_SZ, wide.c_str(), static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t)));
}

std::string Value(const char* path, const char* name, HKEY root) {
    HKEY key;
    if (RegOpenKeyExW(root, Wide(path).c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return "(missing)";
    wchar_t data[4096] = {};
    DWORD size = sizeof data - sizeof(wchar_t);
    const LONG read = RegQueryValueExW(key, Wide(name).c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    return read == ERROR_SUCCESS ? Utf8(data) : "(missing)";
}

void QuietOptions() {
    RegDeleteTreeA(HKEY_CURRENT_USER, kOptionsKey);
    for (const char* name : {"Run at Start", "Task Target", "Show Splash Screen"}) SetString(kOptionsKey, name, "0");
    // No program is spared: a test's "Never Close" is its own.
    HKEY program = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Varn\\Quellwatch", 0, KEY_SET_VALUE, &program) == ERROR_SUCCESS) {
        RegDeleteValueA(program, "Never Close");
        RegCloseKey(program);
    }
}

void SeedList(const std::vector<std::string>& entries) {
    RegDeleteTreeA(HKEY_CURRENT_USER, kDataKey);
    RegDeleteTreeA(HKEY_CURRENT_USER, kRulesKey);
    for (std::size_t i = 0; i < entries.size(); ++i) SetString(kDataKey, (" " + std::to_string(i)).c_str(), entries[i]);
    SetString(kDataKey, "", std::to_string(entries.size()));
}

void SeedRules(const std::map<std::string, std::vector<std::string>>& rules) {
    RegDeleteTreeA(HKEY_CURRENT_USER, kRulesKey);
    for (const auto& [entry, strings] : rules) {
        std::wstring data;
        for (const std::string& s : strings) data += Wide(s) + L'\0';
        data += L'\0';
        SetValue(kRulesKey, entry.c_str(), REG_MULTI_SZ, data.c_str(), static_cast<DWORD>(data.size() * sizeof(wchar_t)));
    }
}

std::vector<std::vector<std::string>> Rows(const Program& program, HWND list) {
    std::vector<std::vector<std::string>> rows(static_cast<std::size_t>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)));
    for (std::size_t r = 0; r < rows.size(); ++r) {
        for (int c = 0; c < 5; ++c) rows[r].push_back(ListViewCell(program, list, static_cast<int>(r), c));
    }
    return rows;
}

std::vector<std::string> StoredList() {
    std::vector<std::string> entries;
    const int count = std::atoi(Value(kDataKey, "").c_str());
    for (int i = 0; i < count; ++i) entries.push_back(Value(kDataKey, (" " + std::to_string(i)).c_str()));
    return entries;
}

std::vector<HWND> WindowsOf(DWORD processId) {
    std::vector<HWND> all, mine;
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&all));
    std::copy_if(all.begin(), all.end(), std::back_inserter(mine), [&](HWND w) { return ProcessOf(w) == processId; });
    return mine;
}

HWND WaitForWindowOf(DWORD processId, const std::function<bool(HWND)>& match, std::chrono::milliseconds timeout) {
    HWND found = nullptr;
    WaitUntil([&] {
        for (HWND window : WindowsOf(processId)) {
            if (match(window)) return (found = window) != nullptr;
        }
        return false;
    }, timeout);
    return found;
}

HWND FindWindowOf(DWORD processId, const std::string& title) {
    return WaitForWindowOf(processId, [&](HWND w) { return Title(w) == title; }, std::chrono::milliseconds(0));
}

HWND WaitForWindowOfClass(DWORD processId, const char* className, std::chrono::milliseconds timeout) {
    const auto match = [&](HWND w) { return IsWindowVisible(w) && Title(w, GetClassNameA) == className; };
    return WaitForWindowOf(processId, match, timeout);
}

bool Program::Start(const std::string& exe, const std::string& arguments) {
    Kill();
    std::string command = "\"" + exe + "\"" + (arguments.empty() ? "" : " " + arguments);
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

bool Program::WaitForMain(bool shows) {
    WaitUntil([&] { return (main_ = FindWindowOf(Id(), "Quellwatch v1.6")) != nullptr; }, std::chrono::seconds(20));
    if (main_ && shows) WaitUntil([&] { return IsWindowVisible(main_) != FALSE; }, std::chrono::seconds(20));
    return main_ != nullptr;
}

Helper::Helper(const std::string& exe) {
    mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Log), kLogName);
    const bool first = mapping_ && GetLastError() != ERROR_ALREADY_EXISTS;
    if (mapping_) log_ = static_cast<Log*>(MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Log)));
    if (!log_) return;
    // A second helper writes on in the first one's log.
    if (first) log_->count = 0;
    if (!process_.Start(BinDir() + "\\" + exe)) return;
    // Its command window is hidden.
    commands_ = WaitForWindowOf(process_.Id(), [](HWND w) { return Title(w, GetClassNameA) == kHelperClass; },
                                std::chrono::seconds(20));
}

Helper::~Helper() {
    process_.Kill();
    if (log_) UnmapViewOfFile(log_);
    if (mapping_) CloseHandle(mapping_);
}

LRESULT Helper::Send(Command command, const std::string& text, HWND concerned) const {
    COPYDATASTRUCT data{command, static_cast<DWORD>(text.size()), const_cast<char*>(text.data())};
    DWORD_PTR result = 0;
    SendMessageTimeoutA(commands_, WM_COPYDATA, reinterpret_cast<WPARAM>(concerned), reinterpret_cast<LPARAM>(&data),
                        SMTO_NORMAL, 10000, &result);
    return static_cast<LRESULT>(result);
}

std::vector<Record> Helper::Records(HWND window) const {
    const LONG count = std::min(LONG{log_->count}, static_cast<LONG>(std::size(log_->records)));
    std::vector<Record> mine;
    std::copy_if(log_->records, log_->records + count, std::back_inserter(mine), [&](const Record& r) {
        return r.window == static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(window));
    });
    return mine;
}

std::vector<std::int64_t> Helper::Stamps(HWND window, std::uint32_t message) const {
    std::vector<std::int64_t> stamps;
    for (const Record& r : Records(window)) {
        if (r.message == message) stamps.push_back(r.qpc);
    }
    return stamps;
}

std::vector<std::uint32_t> Helper::Messages(HWND window) const {
    std::vector<std::uint32_t> messages;
    for (const Record& r : Records(window)) {
        if (r.message != kCreated && r.message != kShown && r.message != kAsking && r.message != kAnswered &&
            r.message != WM_PAINT)
            messages.push_back(r.message);
    }
    return messages;
}

int Helper::MostQuestionsAtOnce(HWND window) const {
    int up = 0, most = 0;
    for (const Record& r : Records(window)) {
        if (r.message == kAsking) most = std::max(most, ++up);
        if (r.message == kAnswered) --up;
    }
    return most;
}

FakeShell::FakeShell() {
    thread_ = std::thread([this] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "Shell_TrayWnd";
        RegisterClassA(&wc);
        // Topmost and newest, so FindWindow meets it before the real taskbar.
        HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, "", WS_POPUP, 0, 0, 0, 0,
                                      nullptr, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        window_ = window;
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
        UnregisterClassA(wc.lpszClassName, wc.hInstance);
    });
    WaitUntil([&] { return window_ != nullptr; }, std::chrono::seconds(10));
}

FakeShell::~FakeShell() {
    if (window_) PostMessageA(window_, WM_CLOSE, 0, 0);
    thread_.join();
}

LRESULT CALLBACK FakeShell::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    if (message != WM_COPYDATA) return DefWindowProcA(window, message, wParam, lParam);
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    std::uint32_t fields[4];  // hWnd, uID, uFlags, uCallbackMessage; then the tip, 128 WCHARs
    if (data->cbData < sizeof fields + 128 * sizeof(WCHAR)) return FALSE;
    const auto* bytes = static_cast<const std::uint8_t*>(data->lpData);
    std::memcpy(fields, bytes, sizeof fields);
    auto* self = reinterpret_cast<FakeShell*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    std::lock_guard<std::mutex> lock(self->mutex_);
    const auto request = static_cast<std::uint32_t>(data->dwData);
    const auto icon = std::make_pair(reinterpret_cast<HWND>(static_cast<UINT_PTR>(fields[0])), fields[1]);
    bool accepted = self->icons_.count(icon) > 0;  // NIM_MODIFY
    if (request == NIM_ADD) {
        accepted = self->refuseAdds_ > 0 ? (--self->refuseAdds_, false) : self->icons_.insert(icon).second;
    } else if (request == NIM_DELETE) {
        accepted = self->icons_.erase(icon) > 0;
    }
    const std::wstring tip(reinterpret_cast<const WCHAR*>(bytes + sizeof fields), 128);
    self->requests_.push_back({request, icon.first, fields[1], fields[2], fields[3], Utf8(tip.c_str()),
                               {bytes + sizeof fields, bytes + data->cbData}, accepted, Now()});
    return accepted ? TRUE : FALSE;
}

std::vector<FakeShell::Request> FakeShell::Requests(DWORD processId) const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<Request> mine;
    std::copy_if(requests_.begin(), requests_.end(), std::back_inserter(mine),
                 [&](const Request& r) { return !processId || ProcessOf(r.window) == processId; });
    return mine;
}

SIZE FakeShell::Request::IconSize() const {
    // After the tip: state, its mask, the balloon's text, time-out, title and
    // flags, the GUID; then the icon's width and height.
    constexpr std::size_t kWidthAt =
        128 * sizeof(WCHAR) + 4 + 4 + 256 * sizeof(WCHAR) + 4 + 64 * sizeof(WCHAR) + 4 + 16;
    std::uint32_t size[2] = {};
    if (payload.size() >= kWidthAt + sizeof size) std::memcpy(size, payload.data() + kWidthAt, sizeof size);
    return {static_cast<LONG>(size[0]), static_cast<LONG>(size[1])};
}

std::vector<std::uint8_t> IconBits(int id, int side) {
    HMODULE module = LoadLibraryExA((BinDir() + "\\Quellbox.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    auto icon = static_cast<HICON>(LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON, side, side, 0));
    ICONINFO info{};
    GetIconInfo(icon, &info);
    std::vector<std::uint8_t> bits;
    for (HBITMAP bitmap : {info.hbmMask, info.hbmColor}) {
        BITMAP b{};
        GetObjectA(bitmap, sizeof b, &b);
        const LONG size = (b.bmPlanes * b.bmWidth * b.bmHeight * b.bmBitsPixel + 15) / 16 * 2;
        bits.resize(bits.size() + static_cast<std::size_t>(size));
        GetBitmapBits(bitmap, size, bits.data() + bits.size() - size);
        DeleteObject(bitmap);
    }
    DestroyIcon(icon);
    FreeLibrary(module);
    return bits;
}

std::string TextOf(HWND window) {
    wchar_t text[1024] = {};
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 5000, &result);
    return Utf8(text);
}

HWND WaitForWindow(const Program& program, const std::string& title) {
    return WaitForWindowOf(program.Id(), [&](HWND w) { return IsWindowVisible(w) && Title(w) == title; },
                           std::chrono::seconds(10));
}

HWND WaitForBox(const Program& program, const std::string& text, const std::string& caption) {
    return WaitForWindowOf(program.Id(), [&](HWND w) {
        return IsWindowVisible(w) && GetDlgItem(w, 0xFFFF) && (text.empty() || BoxText(w) == text) &&
               (caption.empty() || Title(w) == caption);
    }, std::chrono::seconds(10));
}

HWND WaitForSplash(const Program& program) {
    return WaitForWindowOf(program.Id(), [](HWND w) { return IsWindowVisible(w) && GetDlgItem(w, IDC_SPLASHPICTURE); },
                           std::chrono::seconds(10));
}

std::string ListViewCell(const Program& program, HWND list, int row, int column) {
    struct Request {
        LVITEMW item;
        wchar_t text[512];
    };
    auto* remote = static_cast<char*>(VirtualAllocEx(program.Handle(), nullptr, sizeof(Request), MEM_COMMIT, PAGE_READWRITE));
    if (!remote) return "";
    Request local{};
    local.item.iSubItem = column;
    local.item.pszText = reinterpret_cast<wchar_t*>(remote + offsetof(Request, text));
    local.item.cchTextMax = 512;
    WriteProcessMemory(program.Handle(), remote, &local, sizeof local, nullptr);
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote));
    ReadProcessMemory(program.Handle(), remote, &local, sizeof local, nullptr);
    VirtualFreeEx(program.Handle(), remote, 0, MEM_RELEASE);
    local.text[511] = L'\0';
    return Utf8(local.text);
}

void SelectListViewRow(const Program& program, HWND list, int row) {
    LVITEMW local{};
    local.stateMask = local.state = LVIS_SELECTED | LVIS_FOCUSED;
    auto* remote = static_cast<char*>(VirtualAllocEx(program.Handle(), nullptr, sizeof local, MEM_COMMIT, PAGE_READWRITE));
    if (!remote) return;
    WriteProcessMemory(program.Handle(), remote, &local, sizeof local, nullptr);
    SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote));
    VirtualFreeEx(program.Handle(), remote, 0, MEM_RELEASE);
}

AnswerTimer::AnswerTimer(HWND window)
    : thread_([this, window] {
          while (asking_) {
              const std::int64_t sent = Now();
              DWORD_PTR result = 0;
              SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 15000, &result);
              slowest_ = std::max(slowest_.load(), Millis(Now() - sent));
              std::this_thread::sleep_for(std::chrono::milliseconds(2));
          }
      }) {}

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

bool DragCrosshair(HWND addDialog, LONG x, LONG y) {
    RECT target{};
    GetWindowRect(GetDlgItem(addDialog, IDC_TARGET), &target);
    return RunHost("/usr/bin/xdotool mousemove " + std::to_string((target.left + target.right) / 2) + " " +
                   std::to_string((target.top + target.bottom) / 2) + " sleep 0.2 mousedown 1 mousemove " +
                   std::to_string(x) + " " + std::to_string(y) + " sleep 0.2 mouseup 1");
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
    // For a host program Wine hands back no process handle and leaves the
    // thread handle undefined: closing that would close another handle of
    // the driver's (the one its sleeps wait on, as it happened).
    if (info.hProcess) {
        CloseHandle(info.hProcess);
        CloseHandle(info.hThread);
    }
    std::string dosMarker = "Z:" + marker;
    std::replace(dosMarker.begin(), dosMarker.end(), '/', '\\');
    const bool done = WaitUntil([&] { return GetFileAttributesA(dosMarker.c_str()) != INVALID_FILE_ATTRIBUTES; },
                                std::chrono::seconds(30));
    DeleteFileA(dosMarker.c_str());
    return done;
}

HWND OpenHistoryFromMenuBar(const Program& program) {
    RECT main{};
    GetWindowRect(program.Main(), &main);
    if (!RunHost("/usr/bin/xdotool mousemove " + std::to_string(main.left + 120) + " " +
                 std::to_string(main.top + 60) + " click 1 key alt+s Up Return"))
        return nullptr;
    return WaitForWindow(program, "Closed Windows");
}

HWND StartNotepadWithText(Program& notepad, const std::string& text) {
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    if (!notepad.Start(std::string(system) + "\\notepad.exe")) return nullptr;
    HWND main = WaitForWindowOf(notepad.Id(), [](HWND w) {
        return IsWindowVisible(w) && FindWindowExA(w, nullptr, "Edit", nullptr);
    }, std::chrono::seconds(10));
    HWND edit = main ? FindWindowExA(main, nullptr, "Edit", nullptr) : nullptr;
    if (!edit) return nullptr;
    for (char c : text) PostMessageW(edit, WM_CHAR, static_cast<WPARAM>(c), 0);  // as typed: modified
    return WaitUntil([&] { return TextOf(edit) == text; }, std::chrono::seconds(10)) ? edit : nullptr;
}

}  // namespace qwe2e
