#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "platform/win32/win32_platform.h"
#include "ui/sys_tray.h"

namespace qw {

// The hidden windows that carry tray icons: creating one adds its icon,
// destroying it removes the icon.
class Win32TrayHost : public TrayHost {
public:
    struct Window;
    explicit Win32TrayHost(HINSTANCE instance);
    ~Win32TrayHost() override;
    SysTray* LoadTrayIcon(IconHandle icon) override;
    void UnloadTrayIcon(SysTray* tray) override;

private:
    HINSTANCE instance_;
    Win32ShellNotify shell_;
    std::map<SysTray*, std::unique_ptr<Window>> windows_;
    std::vector<std::unique_ptr<Window>> retired_;
};

}  // namespace qw
