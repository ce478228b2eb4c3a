// SysTray: one notification-area icon with the hidden window that receives its
// mouse notifications, turned into four events. Plain logic; the window glue
// forwards the window's messages here.
#pragma once

#include <functional>
#include <string>

#include "platform/shell_api.h"
#include "platform/window_api.h"

namespace qw {

// eButton values of the events.
constexpr int kLeftButton = 1;
constexpr int kRightButton = 2;
constexpr int kMiddleButton = 4;

class SysTray {
public:
    // `retry` ticks every kRetryInterval while the shell refuses the icon.
    explicit SysTray(ShellNotifyApi& shell, Timer* retry = nullptr) : shell_(shell), retry_(retry) {}
    static constexpr unsigned kRetryInterval = 2000;  // ms

    std::function<void(int)> SysTrayMouseUp;
    std::function<void(int)> SysTrayDoubleClick;
    std::function<void(int)> SysTrayMouseDown;
    std::function<void()> SysTrayMouseMove;

    // The window exists: fill the record once and add the icon with `icon` and no tip.
    void Form_Load(WindowHandle window, IconHandle icon);
    // The window is being unloaded: remove the icon.
    void Form_Unload();
    // The shell's notification arrives as a mouse move whose x is the mouse message.
    void Form_MouseMove(int x);
    // The notification area was recreated (Explorer restarted): add the icon again
    // with its current picture and tip.
    void TaskbarCreated();
    // The shell refused the icon (at logon the program may start before the
    // taskbar is ready, and "TaskbarCreated" may never come): try again.
    void RetryTimer_Timer();

    void SetToolTip(const std::string& text);
    void SetIconHandle(IconHandle icon);

    const NotifyIconData& Record() const { return nid_; }
    bool Added() const { return added_; }
    // The shell shows the icon.
    bool Shown() const { return shown_; }

private:
    void Add();

    ShellNotifyApi& shell_;
    Timer* retry_;
    NotifyIconData nid_;
    bool added_ = false;  // between the load and the unload
    bool shown_ = false;
};

// Creates and unloads the hidden windows that carry tray icons.
class TrayHost {
public:
    virtual ~TrayHost() = default;
    // A new SysTray whose window now exists, its icon added with `icon`.
    virtual SysTray* LoadTrayIcon(IconHandle icon) = 0;
    virtual void UnloadTrayIcon(SysTray* tray) = 0;
};

}  // namespace qw
