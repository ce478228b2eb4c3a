// The reference for the Wine measurements: a bare 15 ms SetTimer + EnumWindows
// + GetWindowTextA loop that closes windows titled "Latency probe ...".
#include <windows.h>

#include <cstring>

namespace {

BOOL CALLBACK Visit(HWND window, LPARAM) {
    char title[255];
    GetWindowTextA(window, title, sizeof title);
    if (std::strncmp(title, "Latency probe", 13) == 0) PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
}

LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        EnumWindows(Visit, 0);
        return 0;
    }
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.lpszClassName = "BareLoopReference";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, wc.lpszClassName, "Bare loop reference", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                  nullptr, nullptr, instance, nullptr);
    SetTimer(window, 1, 15, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
