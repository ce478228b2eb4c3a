// The settings as each side reads them, the options dialog, the start-with-
// Windows entry, the about window and the splash hand-over.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>

#include "platform/memory/memory_platform.h"
#include "platform/memory/memory_registry.h"
#include "resources/resource.h"
#include "settings/options.h"
#include "settings/settings.h"
#include "shell/about.h"
#include "shell/splash.h"
#include "store/window_list_store.h"
#include "tests/unit/fake_dialogs.h"

namespace qw {
namespace {

using Values = std::map<std::string, std::string>;
const char kModule[] = "C:\\Program Files\\Quellwatch\\Quellbox.exe";
const char kQuotedModule[] = "\"C:\\Program Files\\Quellwatch\\Quellbox.exe\"";

// What each side makes of a stored text; nothing stored gives the side's default.
TEST(SettingsTable, EachSideReadsStoredTextsItsOwnWay) {
    using S = Setting;
    const std::tuple<Setting, std::optional<std::string>, bool, bool> switches[] = {  // program, dialog
        {S::kPlaySound, std::nullopt, false, true},  // checked in the dialog, silent until OK
        {S::kPlaySound, "True", true, false},        // a flag word, but no number
        {S::kPlaySound, "0.5", true, true},          {S::kPlaySound, "1abc", false, true},
        {S::kOnAtStart, std::nullopt, true, true},   {S::kOnAtStart, "0", false, false},
        {S::kOnAtStart, ".25", true, true},          {S::kOnAtStart, " -2", true, true},
        {S::kOnAtStart, "0.00", false, false},       {S::kOnAtStart, "abc", false, false},
        {S::kOnAtStart, "", false, false},           {S::kOnAtStart, "99999999999999999999", true, true},
        {S::kShowSplashScreen, std::nullopt, true, true}, {S::kMinimizedAtStart, std::nullopt, false, false},
        {S::kRunAtStart, std::nullopt, true, true},  {S::kTaskTarget, " 7", true, true},
    };
    for (const auto& [setting, stored, program, dialog] : switches) {
        MemoryRegistry reg;
        if (stored) reg.PutString(kHkeyCurrentUser, kOptionsKeyPath, Info(setting).name, *stored);
        EXPECT_EQ(ReadSwitch(reg, setting), program) << Info(setting).name << " " << stored.value_or("-");
        EXPECT_EQ(ReadSwitch(reg, setting, Side::kDialog), dialog) << Info(setting).name << " " << stored.value_or("-");
    }
    // The close action's flag word: a number other than 0, or True.
    const std::pair<const char*, bool> flags[] = {{"1", true},     {"-1", true}, {"True", true},  {"true", true}, {"0", false},
                                                  {"False", false}, {"", false}, {"yes", false}, {"1x", false}};
    for (const auto& [text, on] : flags) EXPECT_EQ(SoundFlagOn(text), on) << text;

    // The icon index is 1 to 9 whatever is stored; 65538 would be 2 in 16 bits.
    const std::pair<std::optional<std::string>, int> icons[] = {
        {std::nullopt, 1}, {"9", 9},     {"3abc", 3}, {"0", 1}, {"42", 1},
        {"70000", 1},      {"65538", 1}, {"abc", 1},  {"-3", 1}};
    for (const auto& [stored, index] : icons) {
        MemoryRegistry reg;
        if (stored) reg.PutString(kHkeyCurrentUser, kOptionsKeyPath, "FileIcon", *stored);
        EXPECT_EQ(std::make_pair(ReadIconIndex(reg), ReadIconIndex(reg, Side::kDialog)), std::make_pair(index, index))
            << stored.value_or("-");
    }
    MemoryRegistry reg;
    EXPECT_EQ(std::make_pair(ReadText(reg, Setting::kSound), ReadText(reg, Setting::kSound, Side::kDialog)),
              std::make_pair(std::string(), std::string(" ")));
}

auto Tie(const OptionsState& s) {
    return std::tie(s.oOn, s.startMin, s.runAtStart, s.shwSplash, s.taskTarget, s.snd, s.iconNum, s.iconView);
}

// A chooser whose message loop lets other commands run while it is open.
struct BusyFileDialogs : MemoryFileDialogs {
    std::function<void()> during;
    bool Save(const FileDialogRequest& request, std::string* path) override {
        if (during) during();
        return MemoryFileDialogs::Save(request, path);
    }
};

struct OptionsWorld {
    MemoryRegistry reg;
    MemoryProcess process;
    MemorySound sound;
    BusyFileDialogs dialogs;
    FakeOptionsView view;
    std::vector<int> registered;
    std::size_t storedBeforeRegistering = 0;
    Options options{view, OptionsPlatform{reg, process, sound, dialogs,
                                          [this](int index) {
                                              registered.push_back(index);
                                              storedBeforeRegistering =
                                                  reg.ValueNames(kHkeyCurrentUser, kOptionsKeyPath).size();
                                          },
                                          kModule}};

    void Store(const Values& values) {
        for (const auto& [name, text] : values) reg.PutString(kHkeyCurrentUser, kOptionsKeyPath, name, text);
    }
    Values Stored() {
        Values values;
        for (const std::string& name : reg.ValueNames(kHkeyCurrentUser, kOptionsKeyPath))
            values[name] = *reg.GetString(kHkeyCurrentUser, kOptionsKeyPath, name);
        return values;
    }
};

struct OptionsDialog : ::testing::Test, OptionsWorld {};

// The load shows sane states whatever is stored, and OK stores all eight
// values in their forms, in the order of its steps.
TEST(OptionsDialogLoad, ShowsSaneStatesAndOkStoresTheForms) {
    const Values kInForms = {{"On at Start", "0"},  {"Show Splash Screen", "0"}, {"Minimized at start", "1"},
                             {"Run at Start", "0"}, {"Task Target", "0"},        {"Play Sound", "0"},
                             {"Sound", "C:\\ding.wav"}, {"FileIcon", "7"}};
    struct Case {
        const char* label;
        Values stored;
        OptionsState shown;
        const char* cd;
        Values afterOk;
        bool runEntry;
    } cases[] = {
        {"no Options key", {}, {true, false, true, true, true, true, 1, 2}, " ",
         {{"On at Start", "1"}, {"Show Splash Screen", "1"}, {"Minimized at start", "0"}, {"Run at Start", "1"},
          {"Task Target", "1"}, {"Play Sound", "1"}, {"Sound", " "}, {"FileIcon", "1"}},
         true},
        {"in their forms", kInForms, {false, true, false, false, false, false, 7, 8}, "C:\\ding.wav", kInForms, false},
        {"outside the forms",
         {{"On at Start", "abc"}, {"Show Splash Screen", "7"}, {"Minimized at start", "0.5"}, {"Run at Start", "2"},
          {"Task Target", " 1"}, {"Play Sound", "True"}, {"FileIcon", "70000"}},
         {false, true, true, true, true, false, 1, 2}, " ",
         {{"On at Start", "0"}, {"Show Splash Screen", "1"}, {"Minimized at start", "1"}, {"Run at Start", "1"},
          {"Task Target", "1"}, {"Play Sound", "0"}, {"Sound", " "}, {"FileIcon", "1"}},
         true},
    };
    for (const Case& c : cases) {
        OptionsWorld w;
        w.Store(c.stored);
        w.options.ShowOptionsPage(kPageSounds);
        EXPECT_TRUE(w.view.visible && w.view.page == kPageSounds && w.view.icon == IDI_TRACK_ON) << c.label;
        EXPECT_EQ(Tie(w.view.state), Tie(c.shown)) << c.label;
        EXPECT_EQ(w.view.cd, c.cd) << c.label;

        w.options.OK_Click();
        EXPECT_FALSE(w.view.loaded) << c.label;
        EXPECT_EQ(w.Stored(), c.afterOk) << c.label;
        EXPECT_EQ(w.registered, std::vector<int>{c.shown.iconNum}) << c.label;
        EXPECT_EQ(w.reg.GetString(kHkeyLocalMachine, kRunKeyPath, "Quellwatch"),
                  c.runEntry ? std::optional<std::string>(kQuotedModule) : std::nullopt) << c.label;
        if (!c.stored.empty()) continue;
        // The association follows the seven values OK writes itself; the
        // start-with-Windows entry comes last.
        EXPECT_EQ(w.reg.ValueNames(kHkeyCurrentUser, kOptionsKeyPath),
                  (std::vector<std::string>{"On at Start", "Show Splash Screen", "Minimized at start", "Sound",
                                            "Play Sound", "Task Target", "FileIcon", "Run at Start"}));
        EXPECT_EQ(w.storedBeforeRegistering, 7u);
    }
}

// OK goes on after a step that fails: a registry call that fails anywhere
// costs at most the one value it was writing.
TEST(OptionsFaults, AFailedWriteLeavesTheOtherSettingsWritten) {
    OptionsWorld clean;
    clean.options.ShowOptionsPage(kPageOnStartup);
    const std::uint64_t before = clean.reg.CallCount();
    clean.options.OK_Click();
    for (std::uint64_t step = 0; step < clean.reg.CallCount() - before; ++step) {
        OptionsWorld w;
        w.options.ShowOptionsPage(kPageOnStartup);
        w.reg.FailAt(step);
        w.options.OK_Click();
        w.reg.Heal();
        std::size_t present = 0;
        for (const SettingInfo& info : kSettings)
            present += w.reg.GetString(kHkeyCurrentUser, kOptionsKeyPath, info.name) ? 1 : 0;
        EXPECT_GE(present, kSettingCount - 1) << "failed call " << step;
        EXPECT_FALSE(w.view.loaded) << step;  // the dialog closes all the same
    }
}

TEST_F(OptionsDialog, ReopeningOnAnotherPageOrCancellingDropsUnsavedChanges) {
    Store({{"Minimized at start", "1"}, {"Sound", "C:\\ding.wav"}, {"FileIcon", "4"}});
    const Values before = Stored();
    options.ShowOptionsPage(kPageOnStartup);
    const OptionsState loaded = view.state;
    view.state = OptionsState{false, false, false, false, false, false, 9, 10};
    view.cd = "C:\\other.wav";
    options.ShowOptionsPage(kPageListIcon);
    EXPECT_EQ(view.loads, 2);
    EXPECT_TRUE(view.visible && view.page == kPageListIcon);
    EXPECT_EQ(Tie(view.state), Tie(loaded));
    EXPECT_EQ(view.cd, "C:\\ding.wav");
    view.state.startMin = false;
    options.No_Click();
    EXPECT_FALSE(view.loaded);
    EXPECT_EQ(Stored(), before);
    EXPECT_TRUE(registered.empty());
}

// Paths a read gives back are 254 characters at most; a longer choice would
// be stored and then lost, so it is refused and the previous path stays.
TEST_F(OptionsDialog, TheChooserTakesOnlyPathsThatReadBack) {
    Store({{"Sound", "C:\\ding.wav"}});
    auto path = [](std::size_t length) { return "C:\\" + std::string(length - 7, 'a') + ".wav"; };
    const std::tuple<std::string, std::string, bool, bool> cases[] = {  // answer ("": cancel), CD, refused, reload
        {path(254), path(254), false, false},
        {path(255), "C:\\ding.wav", true, false},
        {path(259), "C:\\ding.wav", true, false},
        {"", "C:\\ding.wav", false, false},
        {"C:\\chime.wav", "C:\\ding.wav", false, true},  // the answer belongs to the closed dialog
    };
    for (const auto& [answer, cd, refused, reload] : cases) {
        options.ShowOptionsPage(kPageSounds);
        process.boxes.clear();
        dialogs.shown.clear();
        dialogs.answers = {answer};
        dialogs.during = reload ? std::function<void()>([&] { options.ShowOptionsPage(kPageSounds); }) : nullptr;
        options.BrowseSound_Click();
        EXPECT_EQ(view.cd, cd) << answer.size();
        ASSERT_EQ(dialogs.shown.size(), 1u);
        const auto& [save, request] = dialogs.shown[0];
        EXPECT_EQ(std::tie(save, request.owner, request.title, request.flags, request.filter),
                  std::make_tuple(true, kDialog, std::string("Browse for sound"), 0x1004u,
                                  std::string("Wav Files (*.wav)\0*.wav\0\0", 25)));
        const BoxFacts told(kSoundPathTooLong, "Error", 0x10010u, kDialog);
        EXPECT_EQ(FactsOf(process.boxes), std::vector<BoxFacts>(refused, told));
    }
    // The held sound plays, stored or not; the slider previews icon p + 1.
    view.cd = "C:\\new.wav";
    options.ply_Click();
    EXPECT_EQ(sound.played, (std::vector<std::pair<std::string, unsigned>>{{"C:\\new.wav", 0x13u}}));
    view.state.iconNum = 4;
    options.IconNum_Change();
    EXPECT_EQ(view.state.iconView, 5);
}

TEST(RunAtStart, WritesTheQuotedPathWhereTheMachineLetsUsAndRemovesBoth) {
    using Text = std::optional<std::string>;
    const std::tuple<bool, bool, Text, Text> cases[] = {  // machine refuses, on, machine's entry, user's entry
        {false, true, kQuotedModule, std::nullopt},
        {true, true, std::nullopt, kQuotedModule},
        {false, false, std::nullopt, std::nullopt},
        {true, false, "\"old\"", std::nullopt},  // what the machine keeps, it keeps
    };
    for (const auto& [machineRefuses, on, machine, user] : cases) {
        MemoryRegistry reg;
        if (!on) {
            reg.PutString(kHkeyLocalMachine, kRunKeyPath, "Quellwatch", "\"old\"");
            reg.PutString(kHkeyCurrentUser, kRunKeyPath, "Quellwatch", "\"old\"");
        }
        if (machineRefuses) reg.DenyWrites(kHkeyLocalMachine);
        SetRunAtStart(reg, kModule, on);
        EXPECT_EQ(reg.GetString(kHkeyLocalMachine, kRunKeyPath, "Quellwatch"), machine);
        EXPECT_EQ(reg.GetString(kHkeyCurrentUser, kRunKeyPath, "Quellwatch"), user);
        EXPECT_EQ(reg.GetString(kHkeyCurrentUser, kOptionsKeyPath, "Run at Start"), on ? "1" : "0");
    }
    // The program's name with ".exe", whatever the file is called, in quotes.
    EXPECT_EQ(RunEntryData("C:\\My.Apps\\Quellbox"), "\"C:\\My.Apps\\Quellbox.exe\"");
    EXPECT_EQ(RunEntryData("D:\\Tools\\Quellbox.bin"), "\"D:\\Tools\\Quellbox.exe\"");
}

// A VS_VERSIONINFO record as the resource compiler lays it out.
std::vector<std::uint8_t> VersionRecord(std::uint32_t ms, std::uint32_t ls, std::uint32_t signature = 0xFEEF04BD) {
    std::vector<std::uint8_t> record;
    auto word = [&](std::uint32_t v) {
        record.push_back(static_cast<std::uint8_t>(v));
        record.push_back(static_cast<std::uint8_t>(v >> 8));
    };
    word(0);   // wLength, unread
    word(52);  // wValueLength
    word(0);   // wType
    for (char c : std::string("VS_VERSION_INFO")) word(static_cast<std::uint8_t>(c));
    word(0);
    while (record.size() % 4) record.push_back(0);
    for (std::uint32_t v : {signature, 0x10000u, ms, ls, ms, ls}) {
        word(v & 0xFFFF);
        word(v >> 16);
    }
    record.resize(record.size() + 52 - 24);
    return record;
}

// The build label reads the version record; the links open through the
// shell with the hourglass meanwhile.
TEST(About, ShowsTheBuildOfTheVersionRecordAndOpensItsLinks) {
    const std::tuple<std::uint32_t, std::uint32_t, std::string> builds[] = {  // FILEVERSION a,b,c,d: a<<16|b, c<<16|d
        {0x00020000, 0x00050011, "Build: 2.0.17"},  // the third number is not shown
        {0xFFFFFFFF, 0xFFFFFFFF, "Build: 65535.65535.65535"}, {0x00010006, 0x000001C6, "Build: 1.6.454"}};
    std::optional<ProgramVersion> version;
    for (const auto& [ms, ls, text] : builds) {
        const auto record = VersionRecord(ms, ls);
        version = ParseVersionResource(record.data(), record.size());
        ASSERT_TRUE(version) << text;
        EXPECT_EQ(BuildText(version->major, version->minor, version->revision), text);
    }
    const auto wrong = VersionRecord(0x00010006, 0x1C6, 0x12345678), whole = VersionRecord(0x00010006, 0x1C6);
    EXPECT_FALSE(ParseVersionResource(wrong.data(), wrong.size()));
    EXPECT_FALSE(ParseVersionResource(whole.data(), 60));  // cut short

    MemoryProcess process;
    FakePointer pointer;
    FakeAboutView view;
    About about(view, process, pointer, *version);
    about.Show();
    about.Form_Load();
    EXPECT_EQ(std::tie(view.bld, view.icon), std::make_tuple(std::string("Build: 1.6.454"), IDI_TRACK_ON));
    about.Link_Click(2);
    about.Web_Click();
    about.Link_Click(kMailLinkCount);  // no such label
    ASSERT_EQ(process.executed.size(), 2u);
    const std::string targets[] = {"mailto:" + view.links[2] + "?subject=Quellwatch v1.6", view.web};
    for (std::size_t i = 0; i < 2; ++i) {
        const auto& run = process.executed[i];
        EXPECT_EQ(std::tie(run.operation, run.file, run.parameters, run.directory, run.show),
                  std::make_tuple(std::string("open"), targets[i], std::string(), process.folder, 1));
    }
    EXPECT_EQ(pointer.log, (std::vector<bool>{true, false, true, false}));
    about.Done_Click();
    EXPECT_FALSE(view.open);
}

struct FakeSplashView : SplashView {
    Splash* splash = nullptr;
    bool open = true, topmost = false;
    void ShowTopmost() override { topmost = open; }
    // As the window's destruction does, its unload step follows.
    void Close() override {
        if (!open) return;
        open = false;
        splash->Form_Unload();
    }
};

// However the splash goes, the main window loads exactly once.
TEST(SplashHandOver, LoadsTheMainWindowOnceByAnyRoad) {
    enum Event { kTick, kClose };
    const std::vector<Event> roads[] = {{kTick}, {kClose}, {kClose, kTick}, {kTick, kTick}, {kTick, kClose}};
    for (const auto& road : roads) {
        FakeSplashView view;
        MemoryTimer killTicker;
        int loads = 0;
        Splash splash(view, killTicker, [&] { ++loads; });
        view.splash = &splash;
        splash.Form_Load();
        splash.Show();
        EXPECT_TRUE(view.topmost && killTicker.IsRunning());
        EXPECT_EQ(loads, 0);
        for (Event event : road) {
            if (event == kTick) splash.KillTicker_Timer(); else view.Close();
        }
        EXPECT_EQ(loads, 1) << road.size();
        EXPECT_FALSE(view.open || killTicker.IsRunning());
    }
}

}  // namespace
}  // namespace qw
