// Options, the options dialog: three pages of settings and the programs never
// closed, shown from the registry at every load and stored only by OK.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/power_saver.h"
#include "platform/registry_api.h"
#include "platform/shell_api.h"
#include "platform/window_api.h"
#include "ui/dialog_view.h"
#include "ui/global_keys.h"
#include "ui/program_names.h"

namespace qw {

extern const char kSoundPathTooLong[];
extern const char kKeysUnsaved[];

// The pages of `Tabb`, by index.
constexpr int kPageOnStartup = 0;
constexpr int kPageSounds = 1;
constexpr int kPageListIcon = 2;
constexpr int kPageNeverClose = 3;
constexpr int kPageKeys = 4;

// The dialog's check boxes.
enum class OptionsCheck { kStartMin, kRunAtStart, kShwSplash, kTaskTarget, kSnd, kSavePower, kSavePowerOnBatteryOnly };

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
    virtual void EnableCheck(OptionsCheck box, bool enabled) = 0;
    // The "Keys" page: each key's hotkey control, its value as
    // HKM_GETHOTKEY gives it (0 for none).
    virtual unsigned HotKey(GlobalKey key) const = 0;
    virtual void SetHotKey(GlobalKey key, unsigned value) = 0;
    // Why a key cannot be had: the "Keys" page shown, the text beside the
    // key, which takes the focus.
    virtual void ShowKeyProblem(GlobalKey key, const std::string& text) = 0;
    // The text on the "Keys" page, the page left as it is.
    virtual void ShowKeyNote(const std::string& text) = 0;
    // Whether a key box has the focus, and which.
    virtual bool FocusedHotKey(GlobalKey* key) const = 0;
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
    // The keys as OK asks for them, held at once or refused; and the power
    // choice OK leaves, followed at once. None in tests that need none.
    std::function<KeysOutcome(unsigned pause, unsigned add)> changeKeys = nullptr;
    std::function<void(PowerChoice)> powerChanged = nullptr;
    // The key held now, 0 for none.
    std::function<unsigned(GlobalKey)> heldKey = nullptr;
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
    // "None" beside a key.
    void KeyNone_Click(GlobalKey key) { view_.SetHotKey(key, 0); }
    // A key the program holds, pressed while a key box has the focus: the
    // box takes it, as it would take any other key. False when no box has
    // the focus.
    bool KeyTyped(unsigned value);
    // "Save power" ticked or not: "Only on battery" means something only when it is.
    void SavePower_Click();

private:
    void Form_Load();

    OptionsView& view_;
    OptionsPlatform platform_;
    // The "Never Close" page's list as the load found it, and as it is now.
    std::vector<std::string> neverCloseLoaded_, neverClose_;
    // The later settings as the load found them: OK stores only those changed.
    unsigned keysLoaded_[2] = {};
    PowerChoice powerLoaded_;
    // Counts loads, so that a chooser answering after a reload is ignored.
    unsigned loads_ = 0;
};

}  // namespace qw
