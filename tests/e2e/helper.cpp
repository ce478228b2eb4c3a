// Opens windows on the driver's command and records, with QueryPerformanceCounter
// stamps, every WM_CANCELMODE and WM_CLOSE they receive.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "e2e_shared.h"

namespace {

const char kWindowClass[] = "QwE2ETestWindow";
constexpr LONG_PTR kIgnoresClose = 1;
constexpr LONG_PTR kPainted = 2;
qwe2e::Log* g_log = nullptr;
HWND g_commands = nullptr;

void Record(HWND window, std::uint32_t message, std::int64_t stamp) {
    const LONG slot = InterlockedIncrement(&g_log->count) - 1;
    if (slot >= static_cast<LONG>(sizeof g_log->records / sizeof g_log->records[0])) return;
    g_log->records[slot] = {static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(window)), message, stamp};
}

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CANCELMODE:
        Record(window, message, qwe2e::Now());
        break;
    case WM_PAINT:
        // Only the first: when the window was first drawn on the screen.
        if (!(GetWindowLongPtrA(window, GWLP_USERDATA) & kPainted)) {
            SetWindowLongPtrA(window, GWLP_USERDATA, GetWindowLongPtrA(window, GWLP_USERDATA) | kPainted);
            Record(window, message, qwe2e::Now());
        }
        break;
    case WM_CLOSE:
        Record(window, message, qwe2e::Now());
        if (GetWindowLongPtrA(window, GWLP_USERDATA) & kIgnoresClose) return 0;
        DestroyWindow(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND ParseHandle(const char* text) { return reinterpret_cast<HWND>(std::strtoul(std::string(text, 8).c_str(), nullptr, 16)); }

HWND Create(const std::string& flags, const std::string& title) {
    const bool hidden = flags.find('h') != std::string::npos;
    const bool quiet = flags.find('n') != std::string::npos;
    const bool popup = flags.find('p') != std::string::npos;
    // "o" and 8 hex digits: owned by that window, which may be another process's.
    HWND owner = popup ? g_commands : nullptr;
    const auto o = flags.find('o');
    if (o != std::string::npos) owner = ParseHandle(flags.c_str() + o + 1);
    const DWORD style = (popup ? WS_POPUP | WS_CAPTION : WS_OVERLAPPEDWINDOW) | (hidden || quiet ? 0 : WS_VISIBLE);
    static int cascade = 0;
    cascade = (cascade + 1) % 20;
    const std::int64_t stamp = qwe2e::Now();
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, kWindowClass, title.c_str(), style, 300 + cascade * 12,
                                  120 + cascade * 12, 260, 90, owner, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    if (flags.find('i') != std::string::npos)
        SetWindowLongPtrA(window, GWLP_USERDATA, GetWindowLongPtrA(window, GWLP_USERDATA) | kIgnoresClose);
    if (quiet && !hidden) ShowWindow(window, SW_SHOWNOACTIVATE);
    Record(window, qwe2e::kCreated, stamp);
    return window;
}


LRESULT CALLBACK CommandProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        const std::string text(static_cast<const char*>(data->lpData), data->cbData);
        switch (data->dwData) {
        case qwe2e::kCreate: {
            const auto split = text.find('\x01');
            return reinterpret_cast<LRESULT>(Create(text.substr(0, split), text.substr(split + 1)));
        }
        case qwe2e::kRetitle:
            SetWindowTextA(ParseHandle(text.c_str()), text.c_str() + 8);
            return 1;
        case qwe2e::kStorm: {
            // As fast as one process can: no stamps, no waiting.
            const int count = std::atoi(text.c_str());
            for (int i = 0; i < count; ++i) {
                CreateWindowExA(WS_EX_TOOLWINDOW, kWindowClass, ("Storm window " + std::to_string(i)).c_str(),
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10 + i % 400, 10 + i % 300, 160, 60, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr);
            }
            return count;
        }
        }
        return 0;
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, qwe2e::kLogName);
    if (!mapping) return 2;
    g_log = static_cast<qwe2e::Log*>(MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(qwe2e::Log)));
    if (!g_log) return 3;

    WNDCLASSA wc{};
    wc.lpfnWndProc = TestWindowProc;
    wc.hInstance = instance;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kWindowClass;
    RegisterClassA(&wc);
    wc.lpfnWndProc = CommandProc;
    wc.lpszClassName = qwe2e::kHelperClass;
    RegisterClassA(&wc);
    // Hidden and untitled: never a candidate for closing.
    g_commands = CreateWindowExA(0, qwe2e::kHelperClass, "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                 instance, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
