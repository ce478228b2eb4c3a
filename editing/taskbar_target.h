// The taskbar target: a second tray icon that adds the title of the window
// the user works in with one click.
#pragma once

#include <string>

#include "editing/editing.h"
#include "ui/sys_tray.h"

namespace qw {

extern const char kTargetTip[];

// What the target needs of the main window.
class TargetHost {
public:
    virtual ~TargetHost() = default;
    virtual IconHandle LoadIconResource(int id) = 0;
    // The main window's current icon: a new tray icon starts with it.
    virtual IconHandle MainIcon() = 0;
    virtual WindowHandle MainWindow() = 0;
    // The check marks of both "Taskbar Target" tray menu items.
    virtual void CheckTaskbarTarget(bool checked) = 0;
};

class TaskbarTarget {
public:
    TaskbarTarget(TrayHost& trays, TargetHost& host, EditingPlatform platform)
        : trays_(trays), host_(host), platform_(platform) {}

    void ShowTargetIcon();
    void HideTargetIcon();
    bool IconOn() const { return target_ != nullptr; }
    // `entask1` and `entask2`: switch the icon and store "Task Target".
    void TaskbarTarget_Click();

    void Target_SysTrayMouseMove();
    void Target_SysTrayMouseDown(int button);
    // The Add Key: offers the title of the window under the pointer, or of
    // the active window when the pointer is over the desktop or the taskbar,
    // as the target offers it. A press while a question of either is open
    // is not a second question.
    void AddKey_Pressed();

    const std::string& PendingTargetTitle() const { return pendingTargetTitle_; }

private:
    // The target's rules and question for a title: five characters, the
    // browser's name cut, Yes adds and stores it.
    void Offer(std::string title);

    TrayHost& trays_;
    TargetHost& host_;
    EditingPlatform platform_;
    SysTray* target_ = nullptr;
    std::string pendingTargetTitle_;
    WindowHandle lastForegroundWindow_ = 0;
    bool asking_ = false;  // the target's or the key's question is open
};

}  // namespace qw
