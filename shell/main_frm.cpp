#include "shell/main_frm.h"

namespace qw {

MainFrm::MainFrm(MainFrmPlatform platform)
    : platform_(std::move(platform)),
      lv_(platform_.lvControl),
      store_(platform_.registry, lv_, platform_.numWindows, platform_.lower, platform_.thousandsSeparator),
      scanner_(platform_.windows, platform_.sound, platform_.registry, lv_, platform_.reInitCloseTmr, own_,
               platform_.lower) {}

void MainFrm::Form_Load() {
    store_.LoadWindowList();
    platform_.tm.Start();
}

}  // namespace qw
