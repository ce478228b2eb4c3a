// The two keys that work in every program while Quellwatch runs: the key
// that pauses tracking and the key that offers a window's title for the
// list. Stored as a hotkey control's value; registered on the main window.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/window_api.h"

namespace qw {

// A hotkey control's modifiers (HKM_GETHOTKEY's high byte), as commctrl.h names them.
constexpr unsigned kHotKeyShift = 0x1;    // HOTKEYF_SHIFT
constexpr unsigned kHotKeyControl = 0x2;  // HOTKEYF_CONTROL
constexpr unsigned kHotKeyAlt = 0x4;      // HOTKEYF_ALT
// The key is one of the extended keys (the arrows and Home of their own
// block, not of the number pad); the same virtual key to RegisterHotKey.
constexpr unsigned kHotKeyExt = 0x8;      // HOTKEYF_EXT

enum class GlobalKey { kPause, kAdd };
constexpr GlobalKey kGlobalKeys[] = {GlobalKey::kPause, GlobalKey::kAdd};

// Where each key stands in a pair of values: the pause key first.
inline int KeyIndex(GlobalKey key) { return key == GlobalKey::kPause ? 0 : 1; }

// WM_HOTKEY's wParam for each key.
constexpr int kPauseKeyId = 1;
constexpr int kAddKeyId = 2;
int HotKeyId(GlobalKey key);

// "Ctrl+Alt+P" for a hotkey control's value; empty for none (0, or
// modifiers without a key).
std::string HotKeyText(unsigned value);
// The punctuation keys carry other characters on other layouts (";" of a
// US keyboard is "Ö" on a German one): names them as the user's layout
// does, where it gives a name; as a US keyboard prints them otherwise.
void SetLayoutKeyNames(std::function<std::string(unsigned virtualKey)> names);

// The key a value stands for, as Windows registers it: no key for a value
// without one, the extended-key flag dropped.
unsigned KeyOf(unsigned value);
// A hotkey control's value for WM_HOTKEY's modifiers (MOD_*) and key.
unsigned HotKeyValue(unsigned modifiers, unsigned virtualKey);

// "Ctrl+Alt+P is used by another program".
std::string KeyTakenText(unsigned value);
// "Ctrl+Alt+P cannot be both the Pause Key and the Add Key."
std::string KeysClashText(unsigned value);
// What the status line says of the stored keys Windows refused at start.
std::string KeysRefusedText(const std::vector<std::pair<GlobalKey, unsigned>>& refused);

// What a change of the keys came to.
struct KeysOutcome {
    bool set = true;                      // every key is held as asked
    bool clash = false;                   // both were asked to be one key
    GlobalKey refused = GlobalKey::kPause;  // else the first key Windows refused
};

class GlobalKeys {
public:
    explicit GlobalKeys(HotKeyApi* api) : api_(api) {}

    // At start: each key on its own; returns the keys Windows refused,
    // which stay unheld.
    std::vector<GlobalKey> Start(unsigned pause, unsigned add);
    // From the options dialog: both keys as asked, or, when Windows refuses
    // one, the keys held before, held again. A key asked for before and
    // refused then is left unheld, not asked again: the user did not change it.
    KeysOutcome Change(unsigned pause, unsigned add);
    // Before the program ends.
    void Stop();
    // The key held now, 0 for none.
    unsigned Held(GlobalKey key) const { return held_[Index(key)]; }
    // The key last asked for, held or refused.
    unsigned Asked(GlobalKey key) const { return asked_[Index(key)]; }

private:
    static int Index(GlobalKey key) { return KeyIndex(key); }
    bool Register(GlobalKey key, unsigned value);

    HotKeyApi* api_;
    unsigned held_[2] = {};
    unsigned asked_[2] = {};
};

}  // namespace qw
