#include "options/options.h"

#include <algorithm>

#include "platform/text.h"
#include "resources/resource.h"
#include "store/entry_options.h"
#include "store/settings.h"
#include "ui/program_names.h"

namespace qw {

const char kSoundPathTooLong[] =
    "The path of this sound file is too long to be stored.\r\n"
    "Please choose a file whose full path has at most 254 characters.";

const char kKeysUnsaved[] =
    "Could not save the keys and the power setting: the registry refused the change.\r\n"
    "Quellwatch uses them until it ends.";

namespace {

const char kSoundFilter[] = "Wav Files (*.wav)\0*.wav\0";
// SND_ASYNC | SND_NODEFAULT | SND_NOSTOP, as the close action plays it.
constexpr unsigned kPlaySoundFlags = kSndAsync | kSndNoDefault | kSndNoStop;
constexpr int kFirstIcon = 1;
constexpr int kLastIcon = 9;

// Slider position p previews icon resource p + 1 (resources 2 to 10).
int IconResourceAt(int position) { return position + 1; }

bool Holds(const std::vector<std::string>& programs, const std::string& program) {
    for (const std::string& listed : programs) {
        if (SameProgram(listed, program)) return true;
    }
    return false;
}

}  // namespace

void Options::ShowOptionsPage(int page) {
    if (view_.Handle()) view_.Close();
    ++loads_;
    view_.Load();
    Form_Load();
    view_.SelectPage(page);
    view_.Show();
}

void Options::Form_Load() {
    RegistryApi& reg = platform_.registry;
    view_.SetIcon(IDI_TRACK_ON);
    view_.SetChecked(OptionsCheck::kSnd, ReadSwitch(reg, Setting::kPlaySound, Side::kDialog));
    view_.SetText(ReadText(reg, Setting::kSound, Side::kDialog));
    view_.SetChecked(OptionsCheck::kRunAtStart, ReadSwitch(reg, Setting::kRunAtStart, Side::kDialog));
    view_.SetChecked(OptionsCheck::kStartMin, ReadSwitch(reg, Setting::kMinimizedAtStart, Side::kDialog));
    view_.SetChecked(OptionsCheck::kShwSplash, ReadSwitch(reg, Setting::kShowSplashScreen, Side::kDialog));
    view_.SetChecked(OptionsCheck::kTaskTarget, ReadSwitch(reg, Setting::kTaskTarget, Side::kDialog));
    view_.SetOOn(ReadSwitch(reg, Setting::kOnAtStart, Side::kDialog));
    const int icon = ReadIconIndex(reg, Side::kDialog);
    view_.SetIconNum(icon);
    view_.SetIconView(IconResourceAt(icon));
    // A list the registry would not give is shown as the scan keeps it, and
    // stored only if the user changes it.
    const std::optional<std::vector<std::string>> stored = ReadNeverClose(reg);
    neverCloseLoaded_ = stored                     ? *stored
                        : platform_.neverClose ? CleanProgramNames(platform_.neverClose())
                                               : std::vector<std::string>{};
    neverClose_ = neverCloseLoaded_;
    view_.SetNeverClose(neverClose_, -1);
    view_.SetNeverCloseProgram("");
    view_.SetRunningPrograms(platform_.runningPrograms ? platform_.runningPrograms() : std::vector<std::string>{});
    keysLoaded_[0] = ReadNumber(reg, Setting::kPauseKey);
    keysLoaded_[1] = ReadNumber(reg, Setting::kAddKey);
    view_.SetHotKey(GlobalKey::kPause, keysLoaded_[0]);
    view_.SetHotKey(GlobalKey::kAdd, keysLoaded_[1]);
    powerLoaded_.savePower = ReadSwitch(reg, Setting::kSavePower, Side::kDialog);
    powerLoaded_.onBatteryOnly = ReadSwitch(reg, Setting::kSavePowerOnBatteryOnly, Side::kDialog);
    view_.SetChecked(OptionsCheck::kSavePower, powerLoaded_.savePower);
    view_.SetChecked(OptionsCheck::kSavePowerOnBatteryOnly, powerLoaded_.onBatteryOnly);
    SavePower_Click();
    // A stored key another program took since the start is not held: said
    // here, where the user changes it.
    std::string note;
    for (GlobalKey key : kGlobalKeys) {
        const unsigned stored = KeyOf(keysLoaded_[KeyIndex(key)]);
        if (!platform_.heldKey || stored == 0 || platform_.heldKey(key) == stored) continue;
        note += (note.empty() ? "" : "\r\n") + KeyTakenText(stored);
    }
    if (!note.empty()) view_.ShowKeyNote(note);
}

bool Options::KeyTyped(unsigned value) {
    GlobalKey key = GlobalKey::kPause;
    if (!view_.Handle() || !view_.FocusedHotKey(&key)) return false;
    view_.SetHotKey(key, value);
    return true;
}

void Options::SavePower_Click() {
    view_.EnableCheck(OptionsCheck::kSavePowerOnBatteryOnly, view_.Checked(OptionsCheck::kSavePower));
}

void Options::NeverCloseAdd_Click() {
    const std::string program = ProgramBoxName(view_.NeverCloseProgram());
    if (program.empty()) return;
    view_.SetNeverCloseProgram("");
    int at = -1;
    for (std::size_t i = 0; i < neverClose_.size(); ++i) {
        if (SameProgram(neverClose_[i], program)) at = static_cast<int>(i);
    }
    if (at < 0) {
        neverClose_.push_back(program);
        at = static_cast<int>(neverClose_.size()) - 1;
    }
    view_.SetNeverClose(neverClose_, at);
}

void Options::NeverCloseRemove_Click() {
    const int selected = view_.NeverCloseSelection();
    if (selected < 0 || selected >= static_cast<int>(neverClose_.size())) return;
    neverClose_.erase(neverClose_.begin() + selected);
    view_.SetNeverClose(neverClose_, std::min(selected, static_cast<int>(neverClose_.size()) - 1));
}

void Options::OK_Click() {
    RegistryApi& reg = platform_.registry;
    // A key that cannot be had keeps the dialog open, nothing stored, so the
    // user may choose another.
    const unsigned keys[] = {view_.HotKey(GlobalKey::kPause), view_.HotKey(GlobalKey::kAdd)};
    if (platform_.changeKeys) {
        const KeysOutcome outcome = platform_.changeKeys(keys[0], keys[1]);
        if (!outcome.set) {
            if (outcome.clash) return view_.ShowKeyProblem(GlobalKey::kAdd, KeysClashText(keys[1]));
            const GlobalKey key = outcome.refused;
            return view_.ShowKeyProblem(key, KeyTakenText(keys[KeyIndex(key)]));
        }
    }
    WriteSwitch(reg, Setting::kOnAtStart, view_.OOn());
    WriteSwitch(reg, Setting::kShowSplashScreen, view_.Checked(OptionsCheck::kShwSplash));
    WriteSwitch(reg, Setting::kMinimizedAtStart, view_.Checked(OptionsCheck::kStartMin));
    WriteSetting(reg, Setting::kSound, view_.Text());
    WriteSwitch(reg, Setting::kPlaySound, view_.Checked(OptionsCheck::kSnd));
    WriteSwitch(reg, Setting::kTaskTarget, view_.Checked(OptionsCheck::kTaskTarget));
    const int icon = std::clamp(view_.IconNum(), kFirstIcon, kLastIcon);
    WriteSetting(reg, Setting::kFileIcon, std::to_string(icon));
    if (platform_.registerListFileType) platform_.registerListFileType(icon);
    SetRunAtStart(reg, platform_.modulePath, view_.Checked(OptionsCheck::kRunAtStart));
    // A name typed and not yet added is meant all the same.
    NeverCloseAdd_Click();
    if (neverClose_ != neverCloseLoaded_) {
        // What the user added and removed here, made on the list as stored
        // now: the close history may have added a program meanwhile.
        const std::optional<std::vector<std::string>> stored = ReadNeverClose(reg);
        std::vector<std::string> programs;
        for (const std::string& program : stored ? *stored : neverCloseLoaded_) {
            if (Holds(neverClose_, program) || !Holds(neverCloseLoaded_, program)) programs.push_back(program);
        }
        for (const std::string& program : neverClose_) {
            if (!Holds(programs, program)) programs.push_back(program);
        }
        if (!WriteNeverClose(reg, programs)) {
            platform_.process.ShowMessageBox(view_.Handle(), kNeverCloseUnsaved, "Error",
                                             kMbIconStop | kMbSetForeground);
        }
        // The user's word counts for this run, stored or not.
        if (platform_.setNeverClose) platform_.setNeverClose(CleanProgramNames(programs));
    }
    // The later settings only when changed: a user who never touched them
    // finds none of them stored.
    bool stored = true;
    const auto store = [&](Setting setting, unsigned value, unsigned loaded) {
        if (value != loaded) stored = TryWriteSetting(reg, setting, std::to_string(value)) && stored;
    };
    store(Setting::kPauseKey, keys[0], keysLoaded_[0]);
    store(Setting::kAddKey, keys[1], keysLoaded_[1]);
    PowerChoice power;
    power.savePower = view_.Checked(OptionsCheck::kSavePower);
    power.onBatteryOnly = view_.Checked(OptionsCheck::kSavePowerOnBatteryOnly);
    store(Setting::kSavePower, power.savePower, powerLoaded_.savePower);
    store(Setting::kSavePowerOnBatteryOnly, power.onBatteryOnly, powerLoaded_.onBatteryOnly);
    if (!stored) platform_.process.ShowMessageBox(view_.Handle(), kKeysUnsaved, "Error", kMbIconStop | kMbSetForeground);
    // As the keys, the power choice holds for this run, stored or not.
    if (platform_.powerChanged) platform_.powerChanged(power);
    view_.Close();
}

void Options::BrowseSound_Click() {
    FileDialogRequest request;
    request.owner = view_.Handle();
    request.filter = std::string(kSoundFilter, sizeof kSoundFilter - 1) + '\0';
    request.title = "Browse for sound";
    // A wave file in a folder the user may not write (C:\Windows\Media)
    // is chosen all the same.
    request.flags = kOfnFileMustExist | kOfnHideReadOnly | kOfnNoTestFileCreate | kOfnNoChangeDir;
    const unsigned load = loads_;
    std::string path;
    if (!platform_.fileDialogs.Save(request, &path)) return;
    // The chooser runs its own message loop: a menu item may have reloaded
    // or closed the dialog meanwhile, and the path belongs to neither.
    if (load != loads_ || !view_.Handle()) return;
    // A longer path would be stored but read back as missing: the next load
    // would show the default and OK would lose the sound.
    if (utf8::Utf16Units(path) > kLongestReadableText) {
        platform_.process.ShowMessageBox(view_.Handle(), kSoundPathTooLong, "Error", kMbIconStop | kMbSetForeground);
        return;
    }
    view_.SetText(path);
}

void Options::ply_Click() { platform_.sound.Play(view_.Text(), kPlaySoundFlags); }

void Options::IconNum_Change() { view_.SetIconView(IconResourceAt(view_.IconNum())); }

}  // namespace qw
