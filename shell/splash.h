// Splash, the picture shown at start for 3500 ms, after which it hands over
// to the main window.
#pragma once

#include <functional>

#include "platform/window_api.h"
#include "shell/main_layout.h"

namespace qw {

constexpr unsigned kKillTickerInterval = 3500;  // ms

// Where the splash's picture and notice go, in its client area.
struct SplashLayout {
    LayoutSize client;
    LayoutRect picture, notice;
};

// The picture (`bitmap` pixels, drawn for 100 %) at the monitor's scale when
// the window then fits `room`, else at its own size; the notice below it,
// `margin` in from the picture's sides and `margin` below it and above the
// window's edge, as tall as `noticeHeight` says it needs at its width but
// never less than `leastNoticeHeight`. Nothing is ever cut.
SplashLayout LayoutSplash(LayoutSize bitmap, int dpi, LayoutSize room, LayoutSize margin, int leastNoticeHeight,
                          const std::function<int(int width)>& noticeHeight);

class SplashView {
public:
    virtual ~SplashView() = default;
    // Shows the window and makes it topmost: HWND_TOPMOST, SWP_NOMOVE | SWP_NOSIZE.
    virtual void ShowTopmost() = 0;
    // Unloads the window; its unload step follows.
    virtual void Close() = 0;
};

class Splash {
public:
    // `killTicker` ticks once after kKillTickerInterval; `loadMainFrm` loads
    // the main window, whose load step is the tray program's start-up.
    Splash(SplashView& view, Timer& killTicker, std::function<void()> loadMainFrm)
        : view_(view), killTicker_(killTicker), loadMainFrm_(std::move(loadMainFrm)) {}

    // The window was created: KillTicker runs from now.
    void Form_Load() { killTicker_.Start(); }
    // By Main, right after the load.
    void Show() { view_.ShowTopmost(); }
    void KillTicker_Timer();
    // The window goes, by the tick or any other road (closed by the user or
    // another program): the main window loads now if it has not yet, since
    // nothing else would ever load it.
    void Form_Unload();

    bool HandedOver() const { return handedOver_; }

private:
    void HandOver();

    SplashView& view_;
    Timer& killTicker_;
    std::function<void()> loadMainFrm_;
    bool handedOver_ = false;
};

}  // namespace qw
