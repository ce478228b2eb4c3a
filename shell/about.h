// About, the about window: the build number from the version record and
// links that open the web site and e-mail through the shell. Also ShellOpen,
// which any window may use to open a document or address.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/shell_api.h"
#include "ui/dialog_view.h"

namespace qw {

struct ProgramVersion {
    unsigned major = 0;
    unsigned minor = 0;
    unsigned revision = 0;
};

// "Build: " + major.minor.revision, each in plain decimal.
std::string BuildText(unsigned major, unsigned minor, unsigned revision);

// The file version in a VS_VERSIONINFO record (an RT_VERSION resource as
// stored in the program file): major and minor from its high double word,
// the revision from the low word of the low one. Nothing when the record is
// not one.
std::optional<ProgramVersion> ParseVersionResource(const std::uint8_t* data, std::size_t size);

constexpr int kMailLinkCount = 5;
extern const char kWebAddress[];
extern const char* const kMailAddresses[kMailLinkCount];  // Link(0) to Link(4)
extern const char kMailSubject[];                        // "?subject=Quellwatch v1.6"

// The program-wide mouse pointer.
class MousePointer {
public:
    virtual ~MousePointer() = default;
    // The hourglass over every window of the program, or the default pointer.
    virtual void SetHourglass(bool on) = 0;
};

// Opens `target` (a document, web address or "mailto:" address) with the
// shell's default handler, showing the hourglass meanwhile. Failures are ignored.
void ShellOpen(ProcessApi& process, MousePointer& pointer, const std::string& target);

// The about window as its logic sees it. DialogView's SetText is the build label `Bld`.
class AboutView : public DialogView {
public:
    virtual void SetWebCaption(const std::string& text) = 0;
    virtual void SetLinkCaption(int index, const std::string& text) = 0;
};

class About {
public:
    About(AboutView& view, ProcessApi& process, MousePointer& pointer, ProgramVersion version)
        : view_(view), process_(process), pointer_(pointer), version_(version) {}

    // The " About" menu item: one shared window, loaded if need be, brought forward.
    void Show() { view_.Show(); }
    void Form_Load();
    void Form_Activate() { view_.BringToFront(); }
    void Done_Click() { view_.Close(); }
    void Web_Click();
    void Link_Click(int index);

private:
    AboutView& view_;
    ProcessApi& process_;
    MousePointer& pointer_;
    ProgramVersion version_;
};

}  // namespace qw
