#include "ui/sys_tray.h"

#include <algorithm>
#include <cstring>

namespace qw {
namespace {
constexpr std::uint32_t kWmMouseMove = 0x200;
}

void SysTray::Form_Load(WindowHandle window, IconHandle icon) {
    nid_ = NotifyIconData{};
    nid_.cbSize = 88;
    nid_.hWnd = window;
    nid_.uID = 0;
    nid_.uFlags = kNifMessage | kNifIcon | kNifTip;
    nid_.uCallbackMessage = kWmMouseMove;
    nid_.hIcon = icon;
    std::memset(nid_.szTip, 0, sizeof nid_.szTip);
    added_ = true;
    Add();
}

void SysTray::Add() {
    nid_.uFlags = kNifMessage | kNifIcon | kNifTip;
    // An add that timed out may have been carried out all the same: then
    // the icon is there to be modified.
    shown_ = shell_.NotifyIcon(kNimAdd, nid_) || shell_.NotifyIcon(kNimModify, nid_);
    if (!retry_) return;
    if (shown_) {
        retry_->Stop();
    } else if (!retry_->IsRunning()) {
        retry_->Start();
    }
}

void SysTray::Form_Unload() {
    if (!added_) return;
    if (retry_) retry_->Stop();
    shell_.NotifyIcon(kNimDelete, nid_);
    added_ = shown_ = false;
}

void SysTray::TaskbarCreated() {
    if (added_) Add();
}

void SysTray::RetryTimer_Timer() {
    if (added_ && !shown_) {
        Add();
    } else if (retry_) {
        retry_->Stop();
    }
}

void SysTray::SetToolTip(const std::string& text) {
    // At most 63 characters, so the field always keeps its terminator; the
    // rest is padded with spaces after it.
    const std::size_t n = std::min(text.size(), sizeof nid_.szTip - 1);
    std::memset(nid_.szTip, ' ', sizeof nid_.szTip);
    std::memcpy(nid_.szTip, text.data(), n);
    nid_.szTip[n] = '\0';
    nid_.uFlags = kNifTip;
    shell_.NotifyIcon(kNimModify, nid_);
}

void SysTray::SetIconHandle(IconHandle icon) {
    nid_.uFlags = kNifIcon;
    nid_.hIcon = icon;
    shell_.NotifyIcon(kNimModify, nid_);
}

void SysTray::Form_MouseMove(int x) {
    auto up = [&](int b) { if (SysTrayMouseUp) SysTrayMouseUp(b); };
    auto dbl = [&](int b) { if (SysTrayDoubleClick) SysTrayDoubleClick(b); };
    auto down = [&](int b) { if (SysTrayMouseDown) SysTrayMouseDown(b); };
    switch (x) {
    case 0x201: down(kLeftButton); break;
    case 0x202: up(kLeftButton); break;
    case 0x203: dbl(kLeftButton); break;
    case 0x204: down(kRightButton); break;
    case 0x205: up(kRightButton); break;
    case 0x206: dbl(kRightButton); break;
    case 0x207: down(kMiddleButton); break;
    case 0x208: up(kMiddleButton); break;
    case 0x209: dbl(kMiddleButton); break;
    default:
        if (SysTrayMouseMove) SysTrayMouseMove();
        break;
    }
}

}  // namespace qw
