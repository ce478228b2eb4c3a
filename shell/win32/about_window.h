// The about window's glue, the program-wide pointer and the program file's
// version as its own version record gives it.
#pragma once

#include <windows.h>

#include "shell/about.h"
#include "ui/win32/dialog_window.h"

namespace qw {

class AboutWindow : public DialogWindow<AboutView, About> {
public:
    explicit AboutWindow(HINSTANCE instance);

    void SetWebCaption(const std::string& text) override;
    void SetLinkCaption(int index, const std::string& text) override;

private:
    void OnInit() override;
    bool OnCommand(int id, int code) override;
    void OnDestroy() override;
    bool IsLink(HWND control) const;
    // The links are blue and underlined, with the hand pointer over them.
    static LRESULT CALLBACK LinkColorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR self);
    static LRESULT CALLBACK LinkProc(HWND link, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR);

    HBITMAP picture_ = nullptr;
    HFONT linkFont_ = nullptr;
};

// The application-wide pointer: the hourglass until set back.
class Win32Pointer : public MousePointer {
public:
    void SetHourglass(bool on) override;
};

// The file version from the program's own RT_VERSION resource; all zeros
// when it has none. Read from the module, which version.dll is not needed for.
ProgramVersion ReadProgramVersion(HINSTANCE instance);

}  // namespace qw
