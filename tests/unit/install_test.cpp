// What an installer and a script ask of the program: the words instead of a
// file to import, a tray copy asked to end, and what its file leaves in the
// registry removed when the file goes.
#include <gtest/gtest.h>

#include "shell/startup.h"
#include "shell/uninstall.h"
#include "store/entry_options.h"
#include "store/file_association.h"
#include "tests/unit/fake_dialogs.h"

namespace qw {
namespace {

// The start-up's host: a tray copy that ends `endsAfter` ms after the first
// request (never when negative), or none at all.
struct Host : FrmWorld, StartupHost {
    std::string commandLine;
    NamedObject trayCopy = NamedObject::kAbsent;
    int endsAfter = -1, asks = 0, loads = 0, splashes = 0;
    unsigned waited = 0, firstAsk = 0;
    PublicFlags flags;

    std::string CommandLine() override { return commandLine; }
    NamedObject ClaimTrayCopy() override { return trayCopy; }
    NamedObject FindTrayCopy() override {
        const bool ended = asks > 0 && endsAfter >= 0 && waited - firstAsk >= unsigned(endsAfter);
        return ended ? NamedObject::kAbsent : trayCopy;
    }
    void TellTrayCopyToReload() override {}
    void SetAppTitle(const std::string&) override {}
    MainFrm& LoadMainFrm() override {
        ++loads;
        frm.Form_Load();
        return frm;
    }
    void ShowSplash() override { ++splashes; }
    void AskTrayCopyToExit() override {
        if (asks++ == 0) firstAsk = waited;
    }
    void Pause(unsigned milliseconds) override { waited += milliseconds; }
    void Run(const std::string& line) {
        commandLine = line;
        commandLineMode = true;
        Main(*this, process, reg, flags);
        commandLineMode = flags.commandLineMode;
    }
};

// Only the whole command line is a word; anything else is still a file to
// import, as it always was.
TEST(Words, OnlyAWholeCommandLineIsAWord) {
    using W = CommandWord;
    const std::pair<const char*, W> cases[] = {
        {"/exit", W::kExit}, {" /EXIT\t", W::kExit}, {"/uninstall", W::kUninstall},
        {"/Uninstall \t /RemoveData ", W::kUninstallRemoveData}, {"/uninstall /ask", W::kUninstallAsk},
        {"/installed", W::kInstalled}, {"", W::kNone}, {"\"/exit\"", W::kNone}, {"C:\\exit", W::kNone},
        {"/exit.wnl", W::kNone}, {"/exit now", W::kNone}, {"/removedata", W::kNone},
        {"/uninstall /removedata /ask", W::kNone}, {"C:\\lists\\uninstall.wnl", W::kNone}};
    for (const auto& [line, word] : cases) EXPECT_EQ(CommandWordOf(line), word) << line;
}

// "/exit" shows nothing and loads no window: it asks the tray copy (again
// every 500 ms, as a copy in its splash has no main window yet to hear it)
// and waits up to 10 s for it to end.
TEST(Words, ExitAsksTheTrayCopyUntilItEnds) {
    using N = NamedObject;
    const std::tuple<N, int, unsigned, int> cases[] = {  // the copy, when it ends; the exit code, the requests
        {N::kAbsent, 0, 1, 0}, {N::kExisted, 0, 0, 1}, {N::kDenied, 1200, 0, 3}, {N::kExisted, -1, 2, 20}};
    for (const auto& [copy, endsAfter, code, asks] : cases) {
        Host w;
        w.trayCopy = copy;
        w.endsAfter = endsAfter;
        w.Run("/exit");
        EXPECT_EQ(std::make_tuple(w.process.ended, w.process.exitCode, w.asks, w.loads, w.splashes),
                  std::make_tuple(1, code, asks, 0, 0)) << endsAfter;
        EXPECT_TRUE(w.process.boxes.empty());
        EXPECT_LE(w.waited, 10000u);
    }
}

// The tray copy asked to end ends as Exit after OK, with no question; an
// importing copy, which hears the same message, goes on to its own end.
TEST(Words, TheTrayCopyEndsWhenAskedAndAnImporterGoesOn) {
    for (const bool importer : {false, true}) {
        FrmWorld w;
        w.frm.Form_Load();
        w.commandLineMode = importer;
        const std::size_t before = w.trays.shell.calls.size();
        w.frm.ExitRequested();
        EXPECT_EQ(std::make_tuple(w.process.ended, w.process.exitCode, w.frm.SysIcon() == nullptr,
                                  w.trays.shell.icons.empty(), w.trays.shell.calls.size() == before,
                                  w.process.boxes.size()),
                  std::make_tuple(importer ? 0 : 1, 0u, !importer, !importer, importer, 0u));
    }
}

// Offered after an install: Yes starts the tray program as an empty command
// line does, beside a running copy too; No ends.
TEST(Words, InstalledOffersToStart) {
    for (const auto& [answer, running] : {std::pair{kIdYes, false}, {kIdNo, false}, {kIdYes, true}}) {
        Host w;
        w.Option("Show Splash Screen", "0");
        w.trayCopy = running ? NamedObject::kExisted : NamedObject::kCreated;
        w.process.answers = {answer};
        w.Run("/installed");
        Boxes boxes = {{kStartNow, "Quellwatch", 0x10024u, 0}};
        if (running) boxes.emplace_back(kAlreadyRunning, "Quellwatch", 0x10040u, 0);
        EXPECT_EQ(FactsOf(w.process.boxes), boxes);
        const bool starts = answer == kIdYes && !running;
        EXPECT_EQ(std::make_tuple(w.loads, w.flags.commandLineMode, w.process.ended),
                  std::make_tuple(starts ? 1 : 0, !starts, starts ? 0 : 1));
    }
}

const std::string kProgram = "C:\\Program Files\\Quellwatch\\Quellbox.exe";
const std::string kUserClasses = "Software\\Classes\\";
const std::string kCommand = std::string(kListFileType) + "\\shell\\open\\command";

// Everything the program writes, in every hive it writes to, naming the
// program file as it and others may spell it; and what others wrote beside.
void Install(MemoryRegistry& reg, const std::string& runsFrom, const std::string& opensWith) {
    reg.PutString(kHkeyLocalMachine, kRunKeyPath, kRunValueName, runsFrom);
    reg.PutString(kHkeyCurrentUser, kRunKeyPath, kRunValueName, "\"" + runsFrom + "\" ");
    reg.PutString(kHkeyCurrentUser, kRunKeyPath, "Another program", runsFrom);
    MemoryRegistry users;
    users.DenyWrites(kHkeyClassesRoot);  // a standard user's copy writes its own classes
    RegisterListFileType(users, opensWith, 4);
    RegisterListFileType(reg, opensWith, 3);
    for (const std::string& path : {std::string(kListFileType), kCommand, std::string(".WNL")})
        reg.PutString(kHkeyCurrentUser, kUserClasses + path, "", *users.GetString(kHkeyCurrentUser, kUserClasses + path, ""));
    reg.PutString(kHkeyClassesRoot, std::string(kListFileType) + "\\shell\\edit\\command", "", "notepad.exe %1");
    reg.PutString(kHkeyClassesRoot, ".WNL", "Content Type", "text/plain");
    reg.PutString(kHkeyCurrentUser, kDataKeyPath, "", "1");
    reg.PutString(kHkeyCurrentUser, kOptionsKeyPath, "Sound", " ");
    reg.PutString(kHkeyCurrentUser, kRulesKeyPath + std::string("\\deep"), "", "x");
}

// What is left: the traces that name a program file, the data, and what
// others wrote.
using Left = std::tuple<bool, bool, bool, bool, bool, bool, bool>;
Left LeftIn(const MemoryRegistry& reg) {
    return {reg.GetString(kHkeyLocalMachine, kRunKeyPath, kRunValueName).has_value(),
            reg.GetString(kHkeyCurrentUser, kRunKeyPath, kRunValueName).has_value(),
            reg.KeyExists(kHkeyCurrentUser, kUserClasses + kListFileType) ||
                reg.KeyExists(kHkeyCurrentUser, kUserClasses + ".WNL"),
            reg.KeyExists(kHkeyClassesRoot, kListFileType) || reg.GetString(kHkeyClassesRoot, ".WNL", ""),
            reg.KeyExists(kHkeyCurrentUser, kProgramKeyPath),
            reg.GetString(kHkeyCurrentUser, kRunKeyPath, "Another program") &&
                reg.GetString(kHkeyClassesRoot, ".WNL", "Content Type"),
            reg.KeyExists(kHkeyCurrentUser, "Software\\Varn")};
}

// "/uninstall" ends the tray copy, then removes the Run entries and the
// association of both hives that name this file, whatever their case or
// quotes, and keeps the window list and options unless told or answered
// otherwise (No, the default, keeps them); what names another copy stays.
TEST(Words, UninstallRemovesWhatNamesThisFile) {
    const std::string elsewhere = "D:\\Portable\\Quellbox.exe", upper = "c:\\program files\\QUELLWATCH\\quellbox.EXE";
    const struct { const char* line; std::string names; std::vector<int> answers; Left left; bool told; } cases[] = {
        {"/uninstall", upper, {}, {0, 0, 0, 0, 1, 1, 1}, true},
        {"/uninstall /removedata", kProgram, {}, {0, 0, 0, 0, 0, 1, 0}, true},
        {"/uninstall /ask", kProgram, {kIdNo}, {0, 0, 0, 0, 1, 1, 1}, true},
        {"/uninstall /ask", kProgram, {kIdYes}, {0, 0, 0, 0, 0, 1, 0}, true},
        {"/uninstall", elsewhere, {}, {1, 1, 1, 1, 1, 1, 1}, false},
    };
    for (const auto& c : cases) {
        Host w;
        Install(w.reg, c.names, c.names);
        w.trayCopy = NamedObject::kExisted;
        w.endsAfter = 0;
        w.process.answers = c.answers;
        w.Run(c.line);
        EXPECT_EQ(LeftIn(w.reg), c.left) << c.line;
        EXPECT_EQ(std::make_tuple(w.process.exitCode, w.asks, w.process.associationsChanged),
                  std::make_tuple(0u, 1, c.told ? 1 : 0)) << c.line;
        const Boxes asked = {{kAlsoRemoveData, "Quellwatch", 0x50124u, 0}};  // No the default, above the installer
        EXPECT_EQ(FactsOf(w.process.boxes), c.answers.empty() ? Boxes{} : asked);
    }
    // An extension another program took since leads to its type and stays;
    // ours goes all the same.
    Host taken;
    Install(taken.reg, kProgram, kProgram);
    taken.reg.PutString(kHkeyCurrentUser, kUserClasses + ".WNL", "", "Other.List");
    taken.Run("/uninstall");
    EXPECT_EQ(std::make_tuple(taken.reg.GetString(kHkeyCurrentUser, kUserClasses + ".WNL", ""),
                              taken.reg.KeyExists(kHkeyCurrentUser, kUserClasses + kListFileType),
                              taken.process.exitCode),
              std::make_tuple(std::optional<std::string>("Other.List"), false, 0u));
    // A standard user cannot touch the machine's Run key: all else goes,
    // and the exit code says that something stayed.
    Host w;
    Install(w.reg, kProgram, kProgram);
    w.reg.DenyWrites(kHkeyLocalMachine);
    w.Run("/uninstall");
    EXPECT_EQ(std::make_pair(LeftIn(w.reg), w.process.exitCode), std::make_pair(Left{1, 0, 0, 0, 1, 1, 1}, 1u));
}

// A Run entry or an open command names the file in double quotes, whatever
// follows them, or bare with at most a "%1" after it; case ignored.
TEST(Words, WhatNamesTheProgramFile) {
    const std::pair<const char*, bool> cases[] = {
        {"\"C:\\Program Files\\Quellwatch\\Quellbox.exe\" %1", true},
        {" \"c:\\program files\\quellwatch\\QUELLBOX.EXE\"\t", true},
        {"C:\\Program Files\\Quellwatch\\Quellbox.exe %1", true},
        {"\tC:\\Program Files\\Quellwatch\\Quellbox.exe ", true},
        {"\"C:\\Program Files\\Quellwatch\\Quellbox.exe", true},  // a quote never closed: to the end
        {"C:\\Program Files\\Quellwatch\\Quellbox.exe /min", false},
        {"\"C:\\Program Files\\Quellwatch\\Quellbox.exe2\" %1", false},
        {"\"C:\\Program Files\\Quellwatch\" Quellbox.exe", false},
        {"\"D:\\Quellbox.exe\" %1", false}, {"%1", false}, {"", false}};
    for (const auto& [text, names] : cases)
        EXPECT_EQ(NamesProgram(CaseFolding::System(), text, kProgram), names) << text;
}

// One call refused anywhere: the exit code is 0 only when nothing that was
// to go is left, and "/uninstall" run again removes the rest.
TEST(Words, UninstallRefusedAnywhereSaysSoAndFinishesNextTime) {
    const auto run = [](std::uint64_t fail) {
        auto w = std::make_unique<Host>();
        Install(w->reg, kProgram, kProgram);
        w->reg.FailAt(fail);
        w->Run("/uninstall /removedata");
        w->reg.Heal();
        return w;
    };
    const Left clean = {0, 0, 0, 0, 0, 1, 0};
    const std::uint64_t calls = run(~std::uint64_t{0})->reg.CallCount();
    int said = 0;
    for (std::uint64_t n = 0; n < calls; ++n) {
        auto w = run(n);
        said += w->process.exitCode == 1;
        EXPECT_TRUE(w->process.exitCode != 0 || LeftIn(w->reg) == clean) << "at " << n;
        w->Run("/uninstall /removedata");
        EXPECT_EQ(std::make_pair(LeftIn(w->reg), w->process.exitCode), std::make_pair(clean, 0u)) << "at " << n;
    }
    EXPECT_GT(said, 50);
}

}  // namespace
}  // namespace qw
