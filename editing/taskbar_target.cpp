#include "editing/taskbar_target.h"

#include "editing/browser_suffix.h"
#include "engine/entry_rules.h"
#include "resources/resource.h"
#include "store/settings.h"

namespace qw {

const char kTargetTip[] = "Quellwatch Taskbar Target";

void TaskbarTarget::ShowTargetIcon() {
    host_.CheckTaskbarTarget(true);
    if (target_) return;  // one icon, however often it is asked for
    target_ = trays_.LoadTrayIcon(host_.MainIcon());
    target_->SysTrayMouseMove = [this] { Target_SysTrayMouseMove(); };
    target_->SysTrayMouseDown = [this](int button) { Target_SysTrayMouseDown(button); };
    target_->SetIconHandle(host_.LoadIconResource(IDI_TARGET));
    target_->SetToolTip(kTargetTip);
}

void TaskbarTarget::HideTargetIcon() {
    if (target_) trays_.UnloadTrayIcon(target_);
    target_ = nullptr;
    host_.CheckTaskbarTarget(false);
}

void TaskbarTarget::TaskbarTarget_Click() {
    const bool on = !IconOn();
    if (on) {
        ShowTargetIcon();
    } else {
        HideTargetIcon();
    }
    WriteSwitch(platform_.registry, Setting::kTaskTarget, on);
}

void TaskbarTarget::Target_SysTrayMouseMove() {
    // Hovering leaves the foreground alone: this is the window the user works
    // in, unless the shell itself came to the front to show the target.
    const WindowHandle foreground = platform_.windows.ForegroundWindow();
    if (foreground == lastForegroundWindow_) return;
    if (foreground && IsShellWindowClass(platform_.windows.ClassName(foreground))) return;
    lastForegroundWindow_ = foreground;
    Scanner& scanner = platform_.scanner;
    pendingTargetTitle_ =
        scanner.IsCandidateWindow(foreground, scanner.GetTitle(foreground)) ? scanner.GetTitle(foreground) : "";
}

void TaskbarTarget::Target_SysTrayMouseDown(int button) {
    if (button != kLeftButton) return;
    Offer(pendingTargetTitle_);
}

void TaskbarTarget::AddKey_Pressed() {
    if (asking_) return;
    WindowApi& windows = platform_.windows;
    const auto isDesktopOrTaskbar = [&windows](WindowHandle window) {
        const std::string className = windows.ClassName(window);
        // "#32769": the desktop window itself, where no shell draws one.
        return IsShellWindowClass(className) || className == "#32769";
    };
    WindowHandle window = windows.RootOf(windows.WindowUnderPointer());
    if (!window || isDesktopOrTaskbar(window)) window = windows.ForegroundWindow();
    if (!window || isDesktopOrTaskbar(window)) return;
    Scanner& scanner = platform_.scanner;
    const std::string title = scanner.GetTitle(window);
    if (!scanner.IsCandidateWindow(window, title)) return;
    Offer(title);
}

void TaskbarTarget::Offer(std::string title) {
    if (title.empty()) return;
    const WindowHandle owner = host_.MainWindow();
    if (RefuseShortTitle(platform_, owner, title)) return;
    StripBrowserSuffix(title);
    // The cut text must pass the same rule, or "A - Mozilla Firefox" would
    // offer the fragment "a", which closes nearly every window.
    if (title.empty() || RefuseShortTitle(platform_, owner, title)) return;
    const std::string question = "Add \"" + title + "\"\r\nto Quellwatch's window list?";
    asking_ = true;
    const int answer =
        platform_.process.ShowMessageBox(owner, question, "Question...", kMbYesNo | kMbIconQuestion | kMbSetForeground);
    asking_ = false;
    if (answer != kIdYes) return;
    if (!AppendEntry(platform_, owner, title)) return;
    platform_.store.SaveWindowList(ListChange::Add(title));
}

}  // namespace qw
