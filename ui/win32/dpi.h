// The display scale as every window meets it. Windows 10 1607 added the
// calls that answer for one DPI; they are looked up when first needed, and
// on older systems the answers come from the system's one DPI instead.
#pragma once

#include <windows.h>

#include "ui/display_scale.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace qw {

// The DPI of the monitor the window is on (the program is per-monitor
// aware), or the system's where Windows cannot say.
UINT WindowDpi(HWND window);
// The DPI of the primary monitor when the user logged on, which the
// notification area and new windows start at.
UINT SystemDpi();
// GetSystemMetrics(index) at `dpi`.
int MetricForDpi(int index, UINT dpi);
// The message font (the one of menus and message boxes) at `dpi`; the
// caller deletes it.
HFONT CreateMessageFont(UINT dpi);
// What the frame of a window of this style adds to its client area at `dpi`.
SIZE FrameForDpi(DWORD style, DWORD exStyle, bool menu, UINT dpi);
// Lets Windows scale the title bar and menu bar under per-monitor awareness
// of the first kind (Windows 10 1607); the second kind does it by itself.
// For WM_NCCREATE.
void ScaleNonClientArea(HWND window);
// Icon resource `id` with sides of `size` pixels: the image of that size in
// the icon, loaded once and kept for the run.
HICON IconOfSize(HINSTANCE instance, int id, int size);
// IconOfSize at the small (`big` false) or large icon size of `dpi`.
HICON IconForDpi(HINSTANCE instance, int id, bool big, UINT dpi);
// Moves a control to `r`, in its parent's client area.
inline void MoveTo(HWND control, const LayoutRect& r, bool repaint) {
    MoveWindow(control, r.left, r.top, r.width, r.height, repaint);
}
// Bitmap resource `id` at width x height pixels: as it is when it has that
// size, otherwise scaled smoothly. The caller deletes it.
HBITMAP LoadBitmapOfSize(HINSTANCE instance, int id, int width, int height);

}  // namespace qw
