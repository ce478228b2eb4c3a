#include "shell/splash.h"

namespace qw {

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
