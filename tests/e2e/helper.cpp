// Opens windows on the driver's command and records, with QueryPerformanceCounter
// stamps, their creation, first paint and every WM_CANCELMODE and WM_CLOSE.
#include <cstdlib>
#include <cstring>

#include "e2e_support.h"

using namespace qwe2e;

namespace {

const wchar_t kWindowClass[] = L"QwE2ETestWindow";
const wchar_t kGhostClass[] = L"Ghost";
constexpr LONG_PTR kIgnoresClose = 1, kPainted = 2, kAsksFirst = 4;
Log* g_log = nullptr;

void Note(HWND window, std::uint32_t message, std::int64_t stamp) {
    const LONG slot = InterlockedIncrement(&g_log->count) - 1;
    if (slot >= static_cast<LONG>(sizeof g_log->records / sizeof(Record))) return;
    g_log->records[slot] = {static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(window)), message, stamp};
}

// Marks `window` with `flag`; false if it was marked already.
bool Mark(HWND window, LONG_PTR flag) {
    const LONG_PTR marks = GetWindowLongPtrW(window, GWLP_USERDATA);
    SetWindowLongPtrW(window, GWLP_USERDATA, marks | flag);
    return !(marks & flag);
}

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Of the paints only the first: when the window was first drawn on the screen.
    if (message == WM_CANCELMODE || message == WM_CLOSE || (message == WM_PAINT && Mark(window, kPainted)))
        Note(window, message, Now());
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MINIMIZE) Note(window, kMinimizing, Now());
    if (message == WM_COMMAND) {
        // A press counts only as a click sends it: BN_CLICKED, the id, the button itself.
        const int id = LOWORD(wParam);
        const bool click = HIWORD(wParam) == BN_CLICKED && reinterpret_cast<HWND>(lParam) == GetDlgItem(window, id);
        Note(window, click ? kPressed + static_cast<std::uint32_t>(id) : kOddCommand, Now());
        // As a message box does: either answer closes it.
        if (click && (id == IDYES || id == IDNO)) DestroyWindow(window);
        return 0;
    }
    if (message != WM_CLOSE) return DefWindowProcW(window, message, wParam, lParam);
    const LONG_PTR marks = GetWindowLongPtrW(window, GWLP_USERDATA);
    if (marks & kAsksFirst) {
        // The box disables the window while it waits; its message loop takes
        // whatever comes meanwhile, another WM_CLOSE too, which lands here
        // again and puts up a box inside this one.
        wchar_t title[256] = {};
        GetWindowTextW(window, title, 256);
        Note(window, kAsking, Now());
        const int answer = MessageBoxW(window, L"Save changes?", title, MB_YESNOCANCEL | MB_ICONQUESTION);
        Note(window, kAnswered, Now());
        if (answer != IDCANCEL) DestroyWindow(window);
    } else if (!(marks & kIgnoresClose)) {
        DestroyWindow(window);
    }
    return 0;
}

// Every window is wide, as Windows keeps every title: one given in the ANSI
// code page is converted as CreateWindowExA would.
HWND Create(const std::string& flags, const std::string& title, HWND owner, int at) {
    const auto has = [&](char flag) { return flags.find(flag) != std::string::npos; };
    const DWORD style =
        (has('p') ? WS_POPUP | WS_CAPTION : WS_OVERLAPPEDWINDOW) | (has('h') || has('n') ? 0 : WS_VISIBLE);
    const std::int64_t stamp = Now();
    HWND window = CreateWindowExW(WS_EX_TOOLWINDOW, has('g') ? kGhostClass : kWindowClass,
                                  Wide(title, has('w') ? CP_UTF8 : CP_ACP).c_str(),
                                  style, 300 + at % 20 * 12, 120 + at % 20 * 12, 260, 90, owner, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (has('i')) Mark(window, kIgnoresClose);
    if (has('q')) Mark(window, kAsksFirst);
    if (has('b')) {
        for (const auto& [id, caption] : {std::make_pair(IDYES, L"&Yes"), std::make_pair(IDNO, L"&No")}) {
            CreateWindowExW(0, L"BUTTON", caption, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, id == IDYES ? 40 : 140, 20,
                            80, 26, window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
        }
    }
    if (has('n') && !has('h')) ShowWindow(window, SW_SHOWNOACTIVATE);
    Note(window, kCreated, stamp);
    Note(window, kShown, Now());
    return window;
}

LRESULT CALLBACK CommandProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    static int created = 0;
    if (message != WM_COPYDATA) return DefWindowProcW(window, message, wParam, lParam);
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    const std::string text(static_cast<const char*>(data->lpData), data->cbData);
    const auto split = text.find('\x01');
    switch (data->dwData) {
    case kCreate:
        return reinterpret_cast<LRESULT>(
            Create(text.substr(0, split), text.substr(split + 1), reinterpret_cast<HWND>(wParam), ++created));
    case kStorm:
        // As fast as one process can: no stamps, no waiting.
        for (int i = 0; i < std::atoi(text.c_str()); ++i) {
            CreateWindowExW(WS_EX_TOOLWINDOW, kWindowClass, Wide("Storm window " + std::to_string(i)).c_str(),
                            WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10 + i % 400, 10 + i % 300, 160, 60, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
        }
        return 1;
    }
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, kLogName);
    g_log = mapping ? static_cast<Log*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Log))) : nullptr;
    if (!g_log) return 2;
    const std::wstring commands = Wide(kHelperClass);
    WNDCLASSW wc{};
    wc.lpfnWndProc = TestWindowProc;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kWindowClass;
    RegisterClassW(&wc);
    wc.lpszClassName = kGhostClass;
    RegisterClassW(&wc);
    wc.lpfnWndProc = CommandProc;
    wc.lpszClassName = commands.c_str();
    RegisterClassW(&wc);
    // A second process of its own: one window that ignores WM_CLOSE, titled
    // after the rest of the command line, and no commands.
    const std::string line = commandLine;
    if (line.rfind(kAloneWord, 0) == 0) {
        Create("i", line.substr(std::strlen(kAloneWord)), nullptr, 0);
    } else {
        // Hidden and untitled: never a candidate for closing.
        CreateWindowExW(0, commands.c_str(), L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, instance, nullptr);
    }
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
