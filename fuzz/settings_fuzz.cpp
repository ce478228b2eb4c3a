// Fuzzes the settings readers with whatever the Options key holds: values of
// any bytes, length and type. Each side reads a text no longer than 254 (or its
// default when the value does not fit the 255-byte buffer), a switch as the
// leading decimal number, an icon index of 1 to 9; the leading number
// saturates. The options dialog shows what the readers give, and its OK stores
// only the table's forms, which the next load shows unchanged. The "Never
// Close" page shows the stored programs clean (no blanks around a name, no
// empty name, no repeat); OK leaves the value as it was unless the user
// changed the list, and stores a program added on the page after them. The
// keys read as a number of 16 bits or none, the power switches as switches;
// an OK that did not change them leaves them as they were stored.
//
// Input: a flags byte (bit 0 refuses writes under HKEY_LOCAL_MACHINE, bits 1 to
// 6 flip controls before OK, bit 7 makes the first value "Never Close"), the
// page, the slider's new position (0: left alone), then values: name selector,
// type (low nibble) and length / 256 (high nibble), length % 256, data.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "fuzz/fuzz_input.h"
#include "options/options.h"
#include "platform/text.h"
#include "platform/memory/memory_platform.h"
#include "platform/memory/memory_registry.h"
#include "store/registry_access.h"
#include "store/entry_options.h"
#include "store/settings.h"
#include "store/window_list_store.h"

namespace {

using namespace qw;

void Check(bool condition) {
    if (!condition) std::abort();
}

constexpr WindowHandle kDialogHandle = 0x400;
const char kModulePath[] = "C:\\Program Files\\Quellwatch\\Quellbox.exe";
const char kRunData[] = "\"C:\\Program Files\\Quellwatch\\Quellbox.exe\"";

const CaseFolding& Folding() {
    static const CaseFolding table = CaseFolding::Common();
    return table;
}

// The options dialog's controls, nothing more.
struct View : OptionsView {
    bool loaded = false;
    int icon = 0, page = -1, iconNum = 1, iconView = 0;
    bool oOn = false, boxes[7] = {};
    unsigned keys[2] = {};
    bool keyProblem = false;
    std::string cd;

    void Load() override {
        if (loaded) return;
        loaded = true;
        oOn = false;
        std::fill(std::begin(boxes), std::end(boxes), false);
        iconNum = 1;
        iconView = 0;
        cd = "*******************";
    }
    void Show() override {}
    void Close() override { loaded = false; }
    WindowHandle Handle() const override { return loaded ? kDialogHandle : 0; }
    void SetIcon(int id) override { icon = id; }
    void BringToFront() override {}
    std::string Text() const override { return cd; }
    void SetText(const std::string& text) override { cd = text; }
    void SelectPage(int value) override { page = value; }
    bool Checked(OptionsCheck box) const override { return boxes[static_cast<int>(box)]; }
    void SetChecked(OptionsCheck box, bool on) override { boxes[static_cast<int>(box)] = on; }
    bool OOn() const override { return oOn; }
    void SetOOn(bool on) override { oOn = on; }
    int IconNum() const override { return iconNum; }
    void SetIconNum(int position) override { iconNum = position; }
    void SetIconView(int id) override { iconView = id; }
    std::vector<std::string> neverClose;
    std::string program;
    void SetNeverClose(const std::vector<std::string>& programs, int) override { neverClose = programs; }
    int NeverCloseSelection() const override { return -1; }
    std::string NeverCloseProgram() const override { return program; }
    void SetNeverCloseProgram(const std::string& text) override { program = text; }
    void SetRunningPrograms(const std::vector<std::string>&) override {}
    void EnableCheck(OptionsCheck, bool) override {}
    unsigned HotKey(GlobalKey key) const override { return keys[KeyIndex(key)]; }
    void SetHotKey(GlobalKey key, unsigned value) override { keys[KeyIndex(key)] = value; }
    void ShowKeyProblem(GlobalKey, const std::string&) override { keyProblem = true; }
    void ShowKeyNote(const std::string&) override {}
    bool FocusedHotKey(GlobalKey*) const override { return false; }
};

bool IsText(std::uint32_t type) { return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz; }

// What a read through the buffer of 255 characters gives: the text before
// the first NUL, nothing when the data does not fit with a terminator. Text
// comes as UTF-8 and counts UTF-16 units; other data its bytes.
std::optional<std::string> Readable(const MemoryRegistry& reg, const std::string& name) {
    const auto value = reg.GetValue(kHkeyCurrentUser, kOptionsKeyPath, name);
    if (!value) return std::nullopt;
    const bool text = IsText(value->type);
    const std::string data = text ? *reg.GetString(kHkeyCurrentUser, kOptionsKeyPath, name)
                                  : std::string(value->data.begin(), value->data.end());
    const auto length = [&](const std::string& s) { return text ? utf8::Utf16Units(s) : s.size(); };
    if (length(data) > 255) return std::nullopt;
    const std::string before = data.substr(0, data.find('\0'));
    if (length(before) >= 255) return std::nullopt;
    // Other data than text reads as UTF-8, what is not UTF-8 as U+FFFD.
    return utf8::FromUtf16(utf8::ToUtf16(before));
}

bool Blank(char c) { return c == ' ' || c == '\t'; }

// The digit run after blanks and a sign; whether a minus came first.
std::string Digits(const std::string& text, std::size_t& i, bool* negative) {
    while (i < text.size() && Blank(text[i])) ++i;
    *negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    const std::size_t start = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    return text.substr(start, i - start);
}

// Compared as decimal strings, so no arithmetic can overflow here.
long ReferenceLeadingNumber(const std::string& text) {
    std::size_t i = 0;
    bool negative = false;
    std::string digits = Digits(text, i, &negative);
    digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size()));
    const std::string max = std::to_string(std::numeric_limits<long>::max());
    long value = std::numeric_limits<long>::max();
    if (digits.size() < max.size() || (digits.size() == max.size() && digits <= max))
        value = digits.empty() ? 0 : std::stol(digits);
    return negative ? -value : value;
}

bool ReferenceSwitchOn(const std::string& text) {
    std::size_t i = 0;
    bool negative = false;
    std::string digits = Digits(text, i, &negative);
    if (i < text.size() && text[i] == '.') {
        const std::size_t start = ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
        digits += text.substr(start, i - start);
    }
    return digits.find_first_not_of('0') != std::string::npos;
}

// A plain decimal number, which the flag reader must take as a number too.
bool PlainDecimal(const std::string& text) {
    std::size_t i = 0;
    bool negative = false;
    const std::string whole = Digits(text, i, &negative);
    std::string fraction;
    if (i < text.size() && text[i] == '.') {
        const std::size_t start = ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
        fraction = text.substr(start, i - start);
    }
    while (i < text.size() && Blank(text[i])) ++i;
    return i == text.size() && (!whole.empty() || !fraction.empty());
}

void CheckTextReaders(const std::string& text) {
    Check(LeadingNumber(text) == ReferenceLeadingNumber(text));
    Check(SwitchOn(text) == ReferenceSwitchOn(text));
    const bool flag = SoundFlagOn(text);
    // Blanks around the word do not count.
    Check(SoundFlagOn(" \t" + text + "\t ") == flag);
    // Short enough for a double to tell a nonzero number from 0.
    if (text.size() <= 64 && PlainDecimal(text)) Check(flag == ReferenceSwitchOn(text));
    if (Folding().EqualNoCase(text, "true")) Check(flag);
    if (text.empty() || text == "0" || Folding().EqualNoCase(text, "false")) Check(!flag);
}

struct Shown {
    bool oOn, boxes[7];
    int iconNum, iconView;
    std::string cd;
    unsigned keys[2];
    bool operator==(const Shown& o) const {
        return oOn == o.oOn && std::equal(boxes, boxes + 7, o.boxes) && iconNum == o.iconNum &&
               iconView == o.iconView && cd == o.cd && std::equal(keys, keys + 2, o.keys);
    }
};

Shown Snapshot(const View& v) {
    Shown s{v.oOn, {}, v.iconNum, v.iconView, v.cd, {v.keys[0], v.keys[1]}};
    std::copy(v.boxes, v.boxes + 7, s.boxes);
    return s;
}

const SettingInfo& AnySetting(std::uint8_t selector) {
    const std::size_t i = selector % (kSettingCount + kLaterSettingCount);
    return i < kSettingCount ? kSettings[i] : kLaterSettings[i - kSettingCount];
}

// The dialog shows each value as the dialog side reads it.
void CheckShown(MemoryRegistry& reg, const View& view) {
    Check(view.loaded && view.icon == 103);
    Check(view.oOn == ReadSwitch(reg, Setting::kOnAtStart, Side::kDialog));
    Check(view.Checked(OptionsCheck::kStartMin) == ReadSwitch(reg, Setting::kMinimizedAtStart, Side::kDialog));
    Check(view.Checked(OptionsCheck::kRunAtStart) == ReadSwitch(reg, Setting::kRunAtStart, Side::kDialog));
    Check(view.Checked(OptionsCheck::kShwSplash) == ReadSwitch(reg, Setting::kShowSplashScreen, Side::kDialog));
    Check(view.Checked(OptionsCheck::kTaskTarget) == ReadSwitch(reg, Setting::kTaskTarget, Side::kDialog));
    Check(view.Checked(OptionsCheck::kSnd) == ReadSwitch(reg, Setting::kPlaySound, Side::kDialog));
    Check(view.cd == ReadText(reg, Setting::kSound, Side::kDialog));
    Check(view.iconNum >= 1 && view.iconNum <= 9 && view.iconView == view.iconNum + 1);
    Check(view.keys[0] == ReadNumber(reg, Setting::kPauseKey) && view.keys[1] == ReadNumber(reg, Setting::kAddKey));
    Check(view.Checked(OptionsCheck::kSavePower) == ReadSwitch(reg, Setting::kSavePower, Side::kDialog));
    Check(view.Checked(OptionsCheck::kSavePowerOnBatteryOnly) ==
          ReadSwitch(reg, Setting::kSavePowerOnBatteryOnly, Side::kDialog));
}


}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    const std::uint8_t flags = in.Byte();
    const int page = in.Byte() % 3;
    const std::uint8_t slider = in.Byte();

    MemoryRegistry reg;
    if (flags & 1) reg.DenyWrites(kHkeyLocalMachine);
    std::set<std::string> stored;  // names written, folded
    if ((flags & 0x80) && in.Left() >= 2) {
        const std::uint8_t typeAndLength = in.Byte();
        const std::string bytes = in.Bytes((typeAndLength >> 4) * 256u + in.Byte());
        RegKey key = 0;
        Check(reg.CreateKey(kHkeyCurrentUser, kProgramKeyPath, &key) == kErrorSuccess);
        reg.SetValueEx(key, kNeverCloseValue, typeAndLength & 0x0F, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                       static_cast<std::uint32_t>(bytes.size()));
        reg.CloseKey(key);
    }
    const auto neverClose = reg.GetValue(kHkeyCurrentUser, kProgramKeyPath, kNeverCloseValue);
    while (in.Left() >= 3) {
        const std::uint8_t selector = in.Byte();
        const std::uint8_t typeAndLength = in.Byte();
        const std::string bytes = in.Bytes((typeAndLength >> 4) * 256u + in.Byte());
        std::string name = AnySetting(selector).name;
        // Value names are case-blind; and a near name is another value.
        if (selector & 0x40) {
            for (char& c : name) c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        }
        if (selector & 0x80) name += ' ';
        RegKey key = 0;
        Check(reg.CreateKey(kHkeyCurrentUser, kOptionsKeyPath, &key) == kErrorSuccess);
        reg.SetValueEx(key, name, typeAndLength & 0x0F, reinterpret_cast<const std::uint8_t*>(bytes.data()),
                       static_cast<std::uint32_t>(bytes.size()));
        reg.CloseKey(key);
        stored.insert(Folding().Lower(name));
        CheckTextReaders(bytes);
    }

    for (const SettingInfo& info : kSettings) {
        const std::optional<std::string> text = Readable(reg, info.name);
        for (const Side side : {Side::kProgram, Side::kDialog}) {
            const std::string read = ReadText(reg, info.setting, side);
            Check(utf8::Utf16Units(read) <= kLongestReadableText);
            Check(read == text.value_or(side == Side::kDialog ? info.dialogDefault : info.programDefault));
            CheckTextReaders(read);
            if (info.form == StoredForm::kSwitch) {
                const bool flag = side == Side::kProgram && info.reader == Reader::kFlag;
                Check(ReadSwitch(reg, info.setting, side) == (flag ? SoundFlagOn(read) : ReferenceSwitchOn(read)));
            }
        }
        Check(RegTryReadString(reg, kHkeyCurrentUser, kOptionsKeyPath, info.name) == text);
    }
    for (const Setting key : {Setting::kPauseKey, Setting::kAddKey}) {
        const long number = ReferenceLeadingNumber(ReadText(reg, key));
        const unsigned value = ReadNumber(reg, key);
        Check(value == (number >= 1 && number <= 0xFFFF ? static_cast<unsigned>(number) : 0u));
        Check(HotKeyText(value).empty() == ((value & 0xFF) == 0));
    }
    for (const Side side : {Side::kProgram, Side::kDialog}) {
        const int icon = ReadIconIndex(reg, side);
        const long number = ReferenceLeadingNumber(ReadText(reg, Setting::kFileIcon, side));
        Check(icon == (number >= 1 && number <= 9 ? number : 1));
    }
    Check(reg.OpenHandles() == 0);

    // The dialog: load, flip what the input asks, OK.
    View view;
    MemoryProcess process;
    MemorySound sound;
    MemoryFileDialogs dialogs;
    std::vector<int> registered;
    Options options(view, OptionsPlatform{reg, process, sound, dialogs, [&](int i) { registered.push_back(i); },
                                          kModulePath});
    options.ShowOptionsPage(page);
    Check(view.page == page);
    CheckShown(reg, view);
    if (flags & 2) view.oOn = !view.oOn;
    for (int b = 0; b < 5; ++b) {
        if (flags & (4 << b)) view.boxes[b] = !view.boxes[b];
    }
    if (slider) {
        view.iconNum = static_cast<std::int8_t>(slider);
        options.IconNum_Change();
    }
    Shown before = Snapshot(view);
    before.iconNum = std::clamp(before.iconNum, 1, 9);
    before.iconView = before.iconNum + 1;
    std::vector<std::optional<MemoryRegistry::Value>> later;
    for (const SettingInfo& info : kLaterSettings) later.push_back(reg.GetValue(kHkeyCurrentUser, kOptionsKeyPath, info.name));
    options.OK_Click();
    for (std::size_t i = 0; i < kLaterSettingCount; ++i) {
        const auto now = reg.GetValue(kHkeyCurrentUser, kOptionsKeyPath, kLaterSettings[i].name);
        Check(now.has_value() == later[i].has_value() && (!now || (now->type == later[i]->type && now->data == later[i]->data)));
    }
    Check(!view.loaded && registered == std::vector<int>{before.iconNum});
    Check(process.boxes.empty() && sound.played.empty() && dialogs.shown.empty());

    // Only the table's forms, as REG_SZ, and no other value.
    const auto is = [&](const char* name, const std::string& text) {
        const auto value = reg.GetValue(kHkeyCurrentUser, kOptionsKeyPath, name);
        Check(value && value->type == kRegSz && reg.GetString(kHkeyCurrentUser, kOptionsKeyPath, name) == text);
    };
    is("On at Start", SwitchText(before.oOn));
    is("Minimized at start", SwitchText(before.boxes[static_cast<int>(OptionsCheck::kStartMin)]));
    is("Run at Start", SwitchText(before.boxes[static_cast<int>(OptionsCheck::kRunAtStart)]));
    is("Show Splash Screen", SwitchText(before.boxes[static_cast<int>(OptionsCheck::kShwSplash)]));
    is("Task Target", SwitchText(before.boxes[static_cast<int>(OptionsCheck::kTaskTarget)]));
    is("Play Sound", SwitchText(before.boxes[static_cast<int>(OptionsCheck::kSnd)]));
    is("Sound", before.cd);
    is("FileIcon", std::to_string(before.iconNum));
    for (const std::string& name : reg.ValueNames(kHkeyCurrentUser, kOptionsKeyPath)) {
        bool known = stored.count(Folding().Lower(name)) > 0;
        for (const SettingInfo& info : kSettings) known = known || name == info.name;
        for (const SettingInfo& info : kLaterSettings) known = known || name == info.name;
        Check(known);
    }

    // The start-with-Windows entry: in exactly one place when on, in none when off.
    const auto lm = reg.GetString(kHkeyLocalMachine, kRunKeyPath, kRunValueName);
    const auto cu = reg.GetString(kHkeyCurrentUser, kRunKeyPath, kRunValueName);
    if (before.boxes[static_cast<int>(OptionsCheck::kRunAtStart)]) {
        Check((flags & 1) ? !lm && cu == kRunData : lm == kRunData && !cu);
    } else {
        Check(!lm && !cu);
    }
    Check(reg.OpenHandles() == 0);

    // What OK stored, the next load shows as it was.
    options.ShowOptionsPage(page);
    CheckShown(reg, view);
    Check(Snapshot(view) == before);

    // "Never Close": shown clean, left as stored by an OK that changed nothing.
    const auto folded = [](std::string name) {
        for (char& c : name) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        return name;
    };
    std::set<std::string> names;
    for (const std::string& name : view.neverClose) {
        Check(!name.empty() && !Blank(name.front()) && !Blank(name.back()) && names.insert(folded(name)).second);
    }
    const auto after = reg.GetValue(kHkeyCurrentUser, kProgramKeyPath, kNeverCloseValue);
    Check(after.has_value() == neverClose.has_value() && (!after || after->data == neverClose->data));
    // A program added on the page is stored after those shown, once.
    const std::vector<std::string> shown = view.neverClose;
    view.program = " C:\\Games\\Fuzz.exe ";
    options.OK_Click();
    std::vector<std::string> expected = shown;
    if (!names.count("fuzz.exe")) expected.push_back("Fuzz.exe");
    Check(ReadNeverClose(reg) == expected);
    return 0;
}
