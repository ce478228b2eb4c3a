#include "ui/global_keys.h"

namespace qw {
namespace {

constexpr unsigned kVirtualKeyMask = 0xFF;

struct KeyName {
    unsigned virtualKey;
    const char* name;
};

// Keys whose names are no character of their own, and the punctuation keys
// as a US keyboard prints them, for a layout that names none.
constexpr KeyName kKeyNames[] = {
    {0x08, "Backspace"}, {0x09, "Tab"},       {0x0D, "Enter"},     {0x13, "Pause"},      {0x14, "Caps Lock"},
    {0x1B, "Esc"},       {0x20, "Space"},     {0x21, "Page Up"},   {0x22, "Page Down"},  {0x23, "End"},
    {0x24, "Home"},      {0x25, "Left"},      {0x26, "Up"},        {0x27, "Right"},      {0x28, "Down"},
    {0x2C, "Print Screen"}, {0x2D, "Insert"}, {0x2E, "Delete"},    {0x6A, "Num *"},      {0x6B, "Num +"},
    {0x6D, "Num -"},     {0x6E, "Num ."},     {0x6F, "Num /"},     {0x90, "Num Lock"},   {0x91, "Scroll Lock"},
    {0xBA, ";"},         {0xBB, "="},         {0xBC, ","},         {0xBD, "-"},          {0xBE, "."},
    {0xBF, "/"},         {0xC0, "`"},         {0xDB, "["},         {0xDC, "\\"},         {0xDD, "]"},
    {0xDE, "'"},         {0xE2, "\\"},
};

std::function<std::string(unsigned)>& LayoutKeyNames() {
    static std::function<std::string(unsigned)> names;
    return names;
}

// VK_OEM_1 to VK_OEM_3, VK_OEM_4 to VK_OEM_8 and VK_OEM_102: the keys whose
// character depends on the layout.
bool IsPunctuationKey(unsigned virtualKey) {
    return (virtualKey >= 0xBA && virtualKey <= 0xC0) || (virtualKey >= 0xDB && virtualKey <= 0xDF) ||
           virtualKey == 0xE2;
}

std::string KeyNameOf(unsigned virtualKey) {
    if (IsPunctuationKey(virtualKey) && LayoutKeyNames()) {
        const std::string name = LayoutKeyNames()(virtualKey);
        if (!name.empty()) return name;
    }
    if ((virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z'))
        return std::string(1, static_cast<char>(virtualKey));
    if (virtualKey >= 0x60 && virtualKey <= 0x69) return "Num " + std::to_string(virtualKey - 0x60);
    if (virtualKey >= 0x70 && virtualKey <= 0x87) return "F" + std::to_string(virtualKey - 0x70 + 1);
    for (const KeyName& key : kKeyNames) {
        if (key.virtualKey == virtualKey) return key.name;
    }
    return "Key " + std::to_string(virtualKey);
}

const char* KeyTitle(GlobalKey key) { return key == GlobalKey::kPause ? "Pause Key" : "Add Key"; }

}  // namespace

void SetLayoutKeyNames(std::function<std::string(unsigned virtualKey)> names) { LayoutKeyNames() = std::move(names); }

int HotKeyId(GlobalKey key) { return key == GlobalKey::kPause ? kPauseKeyId : kAddKeyId; }

unsigned KeyOf(unsigned value) {
    if ((value & kVirtualKeyMask) == 0) return 0;
    return value & ~(kHotKeyExt << 8) & 0xFFFF;
}

unsigned HotKeyValue(unsigned modifiers, unsigned virtualKey) {
    const unsigned hotKeyModifiers = (modifiers & kModControl ? kHotKeyControl : 0) |
                                     (modifiers & kModAlt ? kHotKeyAlt : 0) | (modifiers & kModShift ? kHotKeyShift : 0);
    return (hotKeyModifiers << 8) | (virtualKey & kVirtualKeyMask);
}

std::string HotKeyText(unsigned value) {
    const unsigned virtualKey = value & kVirtualKeyMask;
    if (virtualKey == 0) return std::string();
    const unsigned modifiers = (value >> 8) & 0xFF;
    std::string text;
    if (modifiers & kHotKeyControl) text += "Ctrl+";
    if (modifiers & kHotKeyAlt) text += "Alt+";
    if (modifiers & kHotKeyShift) text += "Shift+";
    return text + KeyNameOf(virtualKey);
}

std::string KeyTakenText(unsigned value) { return HotKeyText(value) + " is used by another program"; }

std::string KeysRefusedText(const std::vector<std::pair<GlobalKey, unsigned>>& refused) {
    if (refused.empty()) return std::string();
    if (refused.size() == 1) {
        return KeyTakenText(refused[0].second) + "; the " + KeyTitle(refused[0].first) +
               " works once you choose another in Options, Keys.";
    }
    return HotKeyText(refused[0].second) + " and " + HotKeyText(refused[1].second) +
           " are used by other programs; the " + KeyTitle(refused[0].first) + " and the " + KeyTitle(refused[1].first) +
           " work once you choose others in Options, Keys.";
}

std::string KeysClashText(unsigned value) {
    return HotKeyText(value) + " cannot be both the " + KeyTitle(GlobalKey::kPause) + " and the " +
           KeyTitle(GlobalKey::kAdd) + ".";
}

bool GlobalKeys::Register(GlobalKey key, unsigned value) {
    const unsigned virtualKey = value & kVirtualKeyMask;
    if (!api_ || virtualKey == 0) return false;
    const unsigned modifiers = value >> 8;
    const unsigned mods = (modifiers & kHotKeyControl ? kModControl : 0) | (modifiers & kHotKeyAlt ? kModAlt : 0) |
                          (modifiers & kHotKeyShift ? kModShift : 0);
    // Held down, the pause key would switch tracking at the repeat rate.
    if (!api_->Register(HotKeyId(key), mods | kModNoRepeat, virtualKey)) return false;
    held_[Index(key)] = value;
    return true;
}

std::vector<GlobalKey> GlobalKeys::Start(unsigned pause, unsigned add) {
    Stop();
    std::vector<GlobalKey> refused;
    const unsigned wanted[] = {KeyOf(pause), KeyOf(add)};
    for (GlobalKey key : kGlobalKeys) {
        const unsigned value = wanted[Index(key)];
        asked_[Index(key)] = value;
        if (value == 0) continue;
        if (!Register(key, value)) refused.push_back(key);
    }
    return refused;
}

KeysOutcome GlobalKeys::Change(unsigned pause, unsigned add) {
    KeysOutcome outcome;
    const unsigned wanted[] = {KeyOf(pause), KeyOf(add)};
    if (wanted[0] != 0 && wanted[0] == wanted[1]) {
        outcome.set = false;
        outcome.clash = true;
        return outcome;
    }
    // A key asked for as before stays as it is, held or refused at start.
    const bool changed[] = {wanted[0] != asked_[0], wanted[1] != asked_[1]};
    const unsigned before[] = {held_[0], held_[1]};
    // All changed keys are let go first, so that two keys may trade places.
    for (GlobalKey key : kGlobalKeys) {
        const int i = Index(key);
        if (!changed[i] || held_[i] == 0) continue;
        if (api_) api_->Unregister(HotKeyId(key));
        held_[i] = 0;
    }
    for (GlobalKey key : kGlobalKeys) {
        const int i = Index(key);
        if (!changed[i] || wanted[i] == 0 || Register(key, wanted[i])) continue;
        outcome.set = false;
        outcome.refused = key;
        // Back to the keys held before.
        for (GlobalKey other : kGlobalKeys) {
            const int j = Index(other);
            if (!changed[j]) continue;
            if (held_[j] != 0 && api_) api_->Unregister(HotKeyId(other));
            held_[j] = 0;
            if (before[j] != 0) Register(other, before[j]);
        }
        return outcome;
    }
    asked_[0] = wanted[0], asked_[1] = wanted[1];
    return outcome;
}

void GlobalKeys::Stop() {
    for (GlobalKey key : kGlobalKeys) {
        if (held_[Index(key)] != 0 && api_) api_->Unregister(HotKeyId(key));
        held_[Index(key)] = 0;
    }
}

}  // namespace qw
