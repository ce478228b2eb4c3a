// Options, the options dialog: three pages of settings and the programs never
// closed, shown from the registry at every load and stored only by OK.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/registry_api.h"
#include "platform/shell_api.h"
#include "platform/window_api.h"
#include "ui/dialog_view.h"
#include "ui/program_names.h"

namespace qw {

extern const char kSoundPathTooLong[];

// The pages of `Tabb`, by index.
constexpr int kPageOnStartup = 0;
constexpr int kPageSounds = 1;
constexpr int kPageListIcon = 2;
constexpr int kPageNeverClose = 3;

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
    // The "Never Close" page: the programs listed, the one selected (-1 for
    // none), the program box and the running programs it offers.
    virtual void SetNeverClose(const std::vector<std::string>& programs, int selected) = 0;
    virtual int NeverCloseSelection() const = 0;
    virtual std::string NeverCloseProgram() const = 0;
    virtual void SetNeverCloseProgram(const std::string& text) = 0;
    virtual void SetRunningPrograms(const std::vector<std::string>& programs) = 0;
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
    // The programs whose windows the scan never asks to close: shown where
    // the registry will not give the stored list, and told the list OK
    // stores. None in tests that need none.
    std::function<std::vector<std::string>()> neverClose = nullptr;
    std::function<void(const std::vector<std::string>&)> setNeverClose = nullptr;
    // The programs of the windows open now, for the program box.
    std::function<std::vector<std::string>()> runningPrograms = nullptr;
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
    // "Add" and "Remove" of the "Never Close" page.
    void NeverCloseAdd_Click();
    void NeverCloseRemove_Click();

private:
    void Form_Load();

    OptionsView& view_;
    OptionsPlatform platform_;
    // The "Never Close" page's list as the load found it, and as it is now.
    std::vector<std::string> neverCloseLoaded_, neverClose_;
    // Counts loads, so that a chooser answering after a reload is ignored.
    unsigned loads_ = 0;
};

}  // namespace qw
