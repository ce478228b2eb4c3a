#include "shell/splash.h"

#include <algorithm>

namespace qw {

SplashLayout LayoutSplash(LayoutSize bitmap, int dpi, LayoutSize room, LayoutSize margin, int leastNoticeHeight,
                          const std::function<int(int width)>& noticeHeight) {
    const auto at = [&](LayoutSize picture) {
        SplashLayout l;
        l.picture = {0, 0, picture.width, picture.height};
        const int width = std::max(0, picture.width - 2 * margin.width);
        l.notice = {margin.width, picture.height + margin.height, width,
                    std::max(leastNoticeHeight, noticeHeight(width))};
        l.client = {picture.width, l.notice.Bottom() + margin.height};
        return l;
    };
    const SplashLayout scaled = at({ScaleForDpi(bitmap.width, dpi), ScaleForDpi(bitmap.height, dpi)});
    if (scaled.client.width <= room.width && scaled.client.height <= room.height) return scaled;
    return at(bitmap);
}

void Splash::HandOver() {
    killTicker_.Stop();
    if (handedOver_) return;
    handedOver_ = true;
    if (loadMainFrm_) loadMainFrm_();
}

void Splash::KillTicker_Timer() {
    HandOver();
    view_.Close();
}

void Splash::Form_Unload() { HandOver(); }

}  // namespace qw
