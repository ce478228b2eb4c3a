// Options, the options dialog: three pages of settings shown from the
// registry at every load and stored only by OK.
#pragma once

#include <functional>
#include <string>

#include "platform/registry_api.h"
#include "platform/shell_api.h"
#include "platform/window_api.h"
#include "ui/dialog_view.h"

namespace qw {

extern const char kSoundPathTooLong[];

// The pages of `Tabb`, by index.
constexpr int kPageOnStartup = 0;
constexpr int kPageSounds = 1;
constexpr int kPageListIcon = 2;

// The dialog's check boxes.
enum class OptionsCheck { kStartMin, kRunAtStart, kShwSplash, kTaskTarget, kSnd };

// The options dialog as its logic sees it. DialogView's Text and SetText are
// `CD`, the label below the client area that holds the sound file's path.
class OptionsView : public DialogView {
public:
    // Creates the dialog hidden, its controls as designed; nothing if it is loaded.
    virtual void Load() = 0;
    virtual void SelectPage(int page) = 0;
    virtual bool Checked(OptionsCheck box) const = 0;
    virtual void SetChecked(OptionsCheck box, bool checked) = 0;
    // `OOn` ("Enabled") selected; otherwise `Off` ("Disabled") is.
    virtual bool OOn() const = 0;
    virtual void SetOOn(bool selected) = 0;
    // The slider `IconNum`, 1 to 9.
    virtual int IconNum() const = 0;
    virtual void SetIconNum(int position) = 0;
    // The picture `IconView`: icon resource `iconId`.
    virtual void SetIconView(int iconId) = 0;
};

struct OptionsPlatform {
    RegistryApi& registry;
    ProcessApi& process;
    SoundApi& sound;
    FileDialogApi& fileDialogs;
    // RegisterListFileType with the icon index: the association is rewritten at once.
    std::function<void(int)> registerListFileType;
    // The running program file's full path, for the start-with-Windows entry.
    std::string modulePath;
};

class Options {
public:
    Options(OptionsView& view, OptionsPlatform platform) : view_(view), platform_(std::move(platform)) {}

    // The nine menu items: reloads the dialog from the registry, dropping
    // unsaved changes, on page `page`, modeless and without an owner.
    void ShowOptionsPage(int page);
    void Form_Activate() { view_.BringToFront(); }
    void OK_Click();
    void No_Click() { view_.Close(); }
    void BrowseSound_Click();
    void ply_Click();
    // The slider moved.
    void IconNum_Change();

private:
    void Form_Load();

    OptionsView& view_;
    OptionsPlatform platform_;
    // Counts loads, so that a chooser answering after a reload is ignored.
    unsigned loads_ = 0;
};

}  // namespace qw
