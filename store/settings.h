// The eight user settings under HKEY_CURRENT_USER\Software\Varn\Quellwatch\Options,
// all REG_SZ, and the start-with-Windows entry. Every reader of a setting goes
// through the table below, so a value name or a default is written once.
#pragma once

#include <cstddef>
#include <string>

#include "platform/registry_api.h"

namespace qw {

enum class Setting {
    kOnAtStart,         // "On at Start": tracking on when the program starts
    kShowSplashScreen,  // "Show Splash Screen": the splash window at start
    kMinimizedAtStart,  // "Minimized at start": the main window stays hidden
    kRunAtStart,        // "Run at Start": the start-with-Windows entry is rewritten at every start
    kTaskTarget,        // "Task Target": the taskbar target icon at start
    kPlaySound,         // "Play Sound": a sound for each closed window
    kSound,             // "Sound": the wave file played
    kFileIcon,          // "FileIcon": which of the nine list-file icons the file type shows
    // Later settings, which the dialog stores only when the user changed them.
    kPauseKey,               // "Pause Key": the key that switches tracking off and on
    kAddKey,                 // "Add Key": the key that offers a window's title for the list
    kSavePower,              // "Save Power": the walk of all windows every 250 ms, not 15 ms
    kSavePowerOnBatteryOnly, // "Save Power On Battery Only": and only while on battery
};

// What the options dialog's OK writes.
enum class StoredForm {
    kSwitch,     // "1" or "0"
    kPath,       // the full path of a wave file; readable up to kLongestReadableText characters
    kIconIndex,  // "1" to "9"
    kNumber,     // a decimal number: a hotkey control's value
};

// How a value is read. The options dialog reads by the stored form (a switch
// as kSwitch, the path as kText, the icon as kIconIndex); the program side
// (start-up, main window load, close action) reads by the table's reader.
enum class Reader {
    kSwitch,     // on when the leading decimal number, fraction included, is not 0
    kFlag,       // the close action's flag word: a number other than 0, or True
    kText,       // the text as stored
    kIconIndex,  // the leading number when it is 1 to 9, otherwise the default's
    kNumber,     // the leading decimal number, 0 for text that does not begin with one
};

struct SettingInfo {
    Setting setting;
    const char* name;            // the registry value name
    StoredForm form;
    const char* dialogDefault;   // what the options dialog shows when the value is missing
    const char* programDefault;  // what the program side assumes when it is missing
    Reader reader;               // how the program side reads it
};

// The eight settings every OK of the options dialog writes, in the order of Setting.
constexpr std::size_t kSettingCount = 8;
extern const SettingInfo kSettings[kSettingCount];
// The later ones, in the order of Setting after kFileIcon.
constexpr std::size_t kLaterSettingCount = 4;
extern const SettingInfo kLaterSettings[kLaterSettingCount];

const SettingInfo& Info(Setting setting);

// Who reads: the program side or the options dialog (whose defaults differ
// for "Play Sound", and which reads "Play Sound" as a number, not as a flag).
enum class Side { kProgram, kDialog };

// A switch (kSwitch or kFlag reader), "Play Sound" included.
bool ReadSwitch(RegistryApi& registry, Setting setting, Side side = Side::kProgram);
// "FileIcon": 1 to 9 whatever is stored, so a stray value can neither crash
// the conversion to 16 bits nor stick.
int ReadIconIndex(RegistryApi& registry, Side side = Side::kProgram);
// The text as stored, or the side's default: "Sound".
std::string ReadText(RegistryApi& registry, Setting setting, Side side = Side::kProgram);
// A number setting ("Pause Key", "Add Key"): its leading decimal number, 0
// for none, for text that is no number and for one beyond 16 bits.
unsigned ReadNumber(RegistryApi& registry, Setting setting);

// "Play Sound" as the close action reads it, a flag word: a number other
// than 0, or True, is on; any other text is off.
bool SoundFlagOn(const std::string& text);

// "1" or "0".
std::string SwitchText(bool on);
void WriteSetting(RegistryApi& registry, Setting setting, const std::string& text);
void WriteSwitch(RegistryApi& registry, Setting setting, bool on);
// As WriteSetting, with the registry's answer: false when it refused.
bool TryWriteSetting(RegistryApi& registry, Setting setting, const std::string& text);

// The longest text a read gives back: values read through a 255-byte buffer
// with its terminator.
constexpr std::size_t kLongestReadableText = 254;

extern const char kRunKeyPath[];    // Software\Microsoft\Windows\CurrentVersion\Run
extern const char kRunValueName[];  // "Quellwatch"

// The start-with-Windows entry's data for the program file at `modulePath`:
// its folder, a backslash, its name without extension and ".exe", in double
// quotes so that a folder with blanks is not split into program and arguments.
std::string RunEntryData(const std::string& modulePath);

// On: writes the entry under HKEY_LOCAL_MACHINE's Run key; where the machine
// refuses (a standard user's account) it goes under HKEY_CURRENT_USER's Run
// key instead. Off: removes it from both. Then stores "Run at Start".
void SetRunAtStart(RegistryApi& registry, const std::string& modulePath, bool on);

}  // namespace qw
