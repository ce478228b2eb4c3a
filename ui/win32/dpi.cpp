#include "ui/win32/dpi.h"

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "ui/display_scale.h"

namespace qw {
namespace {

// A user32 export of Windows 10 1607 or later; null before. The cast through
// a plain function type is how GetProcAddress's result is meant to be used.
template <class Function>
Function User32(const char* name) {
    FARPROC found = GetProcAddress(GetModuleHandleA("user32.dll"), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using GetDpiForSystemFn = UINT(WINAPI*)();
using GetSystemMetricsForDpiFn = int(WINAPI*)(int, UINT);
using SystemParametersInfoForDpiFn = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
using EnableNonClientDpiScalingFn = BOOL(WINAPI*)(HWND);

UINT ScreenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : 96u;
}

// `value`, which Windows gives at the system's DPI, at `dpi`.
int FromSystemDpi(int value, UINT dpi) { return MulDiv(value, static_cast<int>(dpi), static_cast<int>(SystemDpi())); }

}  // namespace

UINT WindowDpi(HWND window) {
    static const auto forWindow = User32<GetDpiForWindowFn>("GetDpiForWindow");
    const UINT dpi = forWindow && window ? forWindow(window) : 0;
    return dpi ? dpi : SystemDpi();
}

UINT SystemDpi() {
    static const auto forSystem = User32<GetDpiForSystemFn>("GetDpiForSystem");
    static const UINT dpi = forSystem ? forSystem() : ScreenDpi();
    return dpi;
}

int MetricForDpi(int index, UINT dpi) {
    static const auto forDpi = User32<GetSystemMetricsForDpiFn>("GetSystemMetricsForDpi");
    return forDpi ? forDpi(index, dpi) : FromSystemDpi(GetSystemMetrics(index), dpi);
}

HFONT CreateMessageFont(UINT dpi) {
    static const auto forDpi = User32<SystemParametersInfoForDpiFn>("SystemParametersInfoForDpi");
    if (forDpi) {
        // This call has no ANSI form.
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        if (forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi))
            return CreateFontIndirectW(&metrics.lfMessageFont);
    }
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    metrics.lfMessageFont.lfHeight = FromSystemDpi(metrics.lfMessageFont.lfHeight, dpi);
    return CreateFontIndirectA(&metrics.lfMessageFont);
}

SIZE FrameForDpi(DWORD style, DWORD exStyle, bool menu, UINT dpi) {
    static const auto forDpi = User32<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi");
    RECT frame{};
    if (forDpi) forDpi(&frame, style, menu, exStyle, dpi);
    else AdjustWindowRectEx(&frame, style, menu, exStyle);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

void ScaleNonClientArea(HWND window) {
    static const auto enable = User32<EnableNonClientDpiScalingFn>("EnableNonClientDpiScaling");
    if (enable) enable(window);
}

HICON IconOfSize(HINSTANCE instance, int id, int size) {
    // One handle per icon and size for the whole run, as the tray and the
    // windows keep them; LR_SHARED would not promise the size asked for.
    static std::map<std::pair<int, int>, HICON> loaded;
    HICON& icon = loaded[{id, size}];
    if (!icon)
        icon = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
    return icon;
}

HICON IconForDpi(HINSTANCE instance, int id, bool big, UINT dpi) {
    return IconOfSize(instance, id, MetricForDpi(big ? SM_CXICON : SM_CXSMICON, dpi));
}

HBITMAP LoadBitmapOfSize(HINSTANCE instance, int id, int width, int height) {
    HBITMAP original = LoadBitmapA(instance, MAKEINTRESOURCEA(id));
    BITMAP size{};
    if (!original || !GetObjectA(original, sizeof size, &size) || (size.bmWidth == width && size.bmHeight == height))
        return original;
    // 32-bit top-down rows: each pixel 0x00RRGGBB, as Picture holds them.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = size.bmWidth;
    info.bmiHeader.biHeight = -size.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    Picture from{size.bmWidth, size.bmHeight,
                 std::vector<std::uint32_t>(static_cast<std::size_t>(size.bmWidth) * size.bmHeight)};
    HDC screen = GetDC(nullptr);
    HBITMAP scaled = nullptr;
    if (GetDIBits(screen, original, 0, static_cast<UINT>(size.bmHeight), from.pixels.data(), &info, DIB_RGB_COLORS)) {
        const Picture to = ScalePicture(from, width, height);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        scaled = CreateCompatibleBitmap(screen, width, height);
        if (scaled) SetDIBits(screen, scaled, 0, static_cast<UINT>(height), to.pixels.data(), &info, DIB_RGB_COLORS);
    }
    ReleaseDC(nullptr, screen);
    if (!scaled) return original;
    DeleteObject(original);
    return scaled;
}

}  // namespace qw
