// Opens windows on the driver's command and records, with QueryPerformanceCounter
// stamps, their creation, first paint and every WM_CANCELMODE and WM_CLOSE.
#include <cstdlib>

#include "e2e_support.h"

using namespace qwe2e;

namespace {

const char kWindowClass[] = "QwE2ETestWindow";
const char kWideWindowClass[] = "QwE2ETestWideWindow";
constexpr LONG_PTR kIgnoresClose = 1, kPainted = 2;
Log* g_log = nullptr;

void Note(HWND window, std::uint32_t message, std::int64_t stamp) {
    const LONG slot = InterlockedIncrement(&g_log->count) - 1;
    if (slot >= static_cast<LONG>(sizeof g_log->records / sizeof(Record))) return;
    g_log->records[slot] = {static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(window)), message, stamp};
}

// Marks `window` with `flag`; false if it was marked already.
bool Mark(HWND window, LONG_PTR flag) {
    const LONG_PTR marks = GetWindowLongPtrA(window, GWLP_USERDATA);
    SetWindowLongPtrA(window, GWLP_USERDATA, marks | flag);
    return !(marks & flag);
}

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // Of the paints only the first: when the window was first drawn on the screen.
    if (message == WM_CANCELMODE || message == WM_CLOSE || (message == WM_PAINT && Mark(window, kPainted)))
        Note(window, message, Now());
    if (message != WM_CLOSE) {
        return IsWindowUnicode(window) ? DefWindowProcW(window, message, wParam, lParam)
                                       : DefWindowProcA(window, message, wParam, lParam);
    }
    if (!(GetWindowLongPtrA(window, GWLP_USERDATA) & kIgnoresClose)) DestroyWindow(window);
    return 0;
}

HWND Create(const std::string& flags, const std::string& title, HWND owner) {
    const auto has = [&](char flag) { return flags.find(flag) != std::string::npos; };
    const DWORD style =
        (has('p') ? WS_POPUP | WS_CAPTION : WS_OVERLAPPEDWINDOW) | (has('h') || has('n') ? 0 : WS_VISIBLE);
    static int cascade = 0;
    cascade = (cascade + 1) % 20;
    const std::int64_t stamp = Now();
    HWND window = has('w') ? CreateWindowExW(WS_EX_TOOLWINDOW, Wide(kWideWindowClass).c_str(), Wide(title).c_str(),
                                             style, 300 + cascade * 12, 120 + cascade * 12, 260, 90, owner, nullptr,
                                             GetModuleHandleA(nullptr), nullptr)
                           : CreateWindowExA(WS_EX_TOOLWINDOW, kWindowClass, title.c_str(), style, 300 + cascade * 12,
                                             120 + cascade * 12, 260, 90, owner, nullptr, GetModuleHandleA(nullptr),
                                             nullptr);
    if (has('i')) Mark(window, kIgnoresClose);
    if (has('n') && !has('h')) ShowWindow(window, SW_SHOWNOACTIVATE);
    Note(window, kCreated, stamp);
    Note(window, kShown, Now());
    return window;
}

LRESULT CALLBACK CommandProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_COPYDATA) return DefWindowProcA(window, message, wParam, lParam);
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    const std::string text(static_cast<const char*>(data->lpData), data->cbData);
    const auto split = text.find('\x01');
    switch (data->dwData) {
    case kCreate:
        return reinterpret_cast<LRESULT>(
            Create(text.substr(0, split), text.substr(split + 1), reinterpret_cast<HWND>(wParam)));
    case kStorm:
        // As fast as one process can: no stamps, no waiting.
        for (int i = 0; i < std::atoi(text.c_str()); ++i) {
            CreateWindowExA(WS_EX_TOOLWINDOW, kWindowClass, ("Storm window " + std::to_string(i)).c_str(),
                            WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10 + i % 400, 10 + i % 300, 160, 60, nullptr, nullptr,
                            GetModuleHandleA(nullptr), nullptr);
        }
        return 1;
    }
    return 0;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, kLogName);
    g_log = mapping ? static_cast<Log*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Log))) : nullptr;
    if (!g_log) return 2;
    WNDCLASSA wc{};
    wc.lpfnWndProc = TestWindowProc;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kWindowClass;
    RegisterClassA(&wc);
    wc.lpfnWndProc = CommandProc;
    wc.lpszClassName = kHelperClass;
    RegisterClassA(&wc);
    // The same windows, wide: their titles are what Windows keeps, whatever the code page.
    const std::wstring wideClass = Wide(kWideWindowClass);
    WNDCLASSW wide{};
    wide.lpfnWndProc = TestWindowProc;
    wide.hInstance = instance;
    wide.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wide.lpszClassName = wideClass.c_str();
    RegisterClassW(&wide);
    // Hidden and untitled: never a candidate for closing.
    CreateWindowExA(0, kHelperClass, "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, instance, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
