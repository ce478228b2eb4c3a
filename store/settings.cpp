#include "store/settings.h"

#include <cstdlib>

#include "platform/text.h"
#include "store/file_association.h"
#include "store/registry_access.h"
#include "store/window_list_store.h"

namespace qw {

namespace {
std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return std::string();
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}
}  // namespace

bool SoundFlagOn(const std::string& text) {
    const std::string word = Trimmed(text);
    if (CaseFolding::Common().EqualNoCase(word, "true")) return true;
    if (word.empty()) return false;
    char* end = nullptr;
    const double number = std::strtod(word.c_str(), &end);
    // Anything else that is not wholly a number counts as off.
    return end && *end == '\0' && number != 0.0;
}

const SettingInfo kSettings[kSettingCount] = {
    // Off at start only when the dialog stored "0".
    {Setting::kOnAtStart, "On at Start", StoredForm::kSwitch, "1", "1", Reader::kSwitch},
    {Setting::kShowSplashScreen, "Show Splash Screen", StoredForm::kSwitch, "1", "1", Reader::kSwitch},
    {Setting::kMinimizedAtStart, "Minimized at start", StoredForm::kSwitch, "0", "0", Reader::kSwitch},
    // Written by SetRunAtStart, not by OK itself.
    {Setting::kRunAtStart, "Run at Start", StoredForm::kSwitch, "1", "1", Reader::kSwitch},
    // Also written by the "Taskbar Target" tray items.
    {Setting::kTaskTarget, "Task Target", StoredForm::kSwitch, "1", "1", Reader::kSwitch},
    // The dialog offers the sound checked, yet nothing plays until OK has
    // stored it once; read at every close.
    {Setting::kPlaySound, "Play Sound", StoredForm::kSwitch, "1", "False", Reader::kFlag},
    // The dialog's store for the path cannot be empty, hence the blank.
    {Setting::kSound, "Sound", StoredForm::kPath, " ", "", Reader::kText},
    // Slider position p shows icon resource p + 1; passed to RegisterListFileType.
    {Setting::kFileIcon, "FileIcon", StoredForm::kIconIndex, "1", "1", Reader::kIconIndex},
};

const SettingInfo kLaterSettings[kLaterSettingCount] = {
    // A hotkey control's value: the virtual key in the low byte, the
    // HOTKEYF_* modifiers in the high byte; 0, the default, is none.
    {Setting::kPauseKey, "Pause Key", StoredForm::kNumber, "0", "0", Reader::kNumber},
    {Setting::kAddKey, "Add Key", StoredForm::kNumber, "0", "0", Reader::kNumber},
    {Setting::kSavePower, "Save Power", StoredForm::kSwitch, "0", "0", Reader::kSwitch},
    {Setting::kSavePowerOnBatteryOnly, "Save Power On Battery Only", StoredForm::kSwitch, "1", "1", Reader::kSwitch},
};

const char kRunKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunValueName[] = "Quellwatch";

namespace {

constexpr long kFirstIcon = 1;
constexpr long kLastIcon = 9;

const char* DefaultFor(const SettingInfo& info, Side side) {
    return side == Side::kDialog ? info.dialogDefault : info.programDefault;
}

std::string Read(RegistryApi& registry, const SettingInfo& info, Side side) {
    return RegReadString(registry, kHkeyCurrentUser, kOptionsKeyPath, info.name, DefaultFor(info, side));
}

}  // namespace

const SettingInfo& Info(Setting setting) {
    const auto index = static_cast<std::size_t>(setting);
    return index < kSettingCount ? kSettings[index] : kLaterSettings[index - kSettingCount];
}

bool ReadSwitch(RegistryApi& registry, Setting setting, Side side) {
    const SettingInfo& info = Info(setting);
    const std::string text = Read(registry, info, side);
    if (side == Side::kProgram && info.reader == Reader::kFlag) return SoundFlagOn(text);
    return SwitchOn(text);
}

int ReadIconIndex(RegistryApi& registry, Side side) {
    const SettingInfo& info = Info(Setting::kFileIcon);
    const long index = LeadingNumber(Read(registry, info, side));
    if (index >= kFirstIcon && index <= kLastIcon) return static_cast<int>(index);
    return static_cast<int>(LeadingNumber(DefaultFor(info, side)));
}

std::string ReadText(RegistryApi& registry, Setting setting, Side side) {
    return Read(registry, Info(setting), side);
}

unsigned ReadNumber(RegistryApi& registry, Setting setting) {
    const long number = LeadingNumber(Read(registry, Info(setting), Side::kProgram));
    return number > 0 && number <= 0xFFFF ? static_cast<unsigned>(number) : 0;
}

std::string SwitchText(bool on) { return on ? "1" : "0"; }

void WriteSetting(RegistryApi& registry, Setting setting, const std::string& text) {
    RegWriteString(registry, kHkeyCurrentUser, kOptionsKeyPath, Info(setting).name, text, kRegSz);
}

bool TryWriteSetting(RegistryApi& registry, Setting setting, const std::string& text) {
    return RegTryWriteString(registry, kHkeyCurrentUser, kOptionsKeyPath, Info(setting).name, text, kRegSz);
}

void WriteSwitch(RegistryApi& registry, Setting setting, bool on) {
    WriteSetting(registry, setting, SwitchText(on));
}

std::string RunEntryData(const std::string& modulePath) { return "\"" + ProgramExePath(modulePath) + "\""; }

void SetRunAtStart(RegistryApi& registry, const std::string& modulePath, bool on) {
    if (on) {
        // A standard user may not write the machine's list; the user's own
        // list starts the program for that user alone, which is what they
        // asked. One entry only, or two copies would start at logon: the
        // other list's entry goes where that is allowed.
        const std::string data = RunEntryData(modulePath);
        if (RegTryWriteString(registry, kHkeyLocalMachine, kRunKeyPath, kRunValueName, data, kRegSz)) {
            RegDeleteValue(registry, kHkeyCurrentUser, kRunKeyPath, kRunValueName);
        } else if (RegTryWriteString(registry, kHkeyCurrentUser, kRunKeyPath, kRunValueName, data, kRegSz)) {
            RegDeleteValue(registry, kHkeyLocalMachine, kRunKeyPath, kRunValueName);
        }
    } else {
        RegDeleteValue(registry, kHkeyLocalMachine, kRunKeyPath, kRunValueName);
        RegDeleteValue(registry, kHkeyCurrentUser, kRunKeyPath, kRunValueName);
    }
    WriteSwitch(registry, Setting::kRunAtStart, on);
}

}  // namespace qw
