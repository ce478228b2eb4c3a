#include "shell/startup.h"

#include <utility>

#include "engine/scanner.h"
#include "shell/uninstall.h"
#include "store/file_association.h"
#include "store/list_file.h"
#include "store/settings.h"

namespace qw {

const char kAlreadyRunning[] = "Quellwatch is already running.";
const char kImported[] = "Window List imported.";
const char kImportedPressRefresh[] =
    "Window List imported, please press refresh\r\non the main dialog to see the new entries.";
const char kStartNow[] = "Quellwatch is installed. Start it now?";
const char kAlsoRemoveData[] =
    "Quellwatch is being removed.\r\n\r\nAlso remove your window list and settings? Answer No to keep them "
    "for the next time Quellwatch is installed.";

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Whether `text` begins with `prefix`, ignoring the case of ASCII letters as
// the file system does, and the prefix ends there at a blank or the end.
bool StartsWithPath(const std::string& text, const std::string& prefix) {
    if (prefix.empty() || text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char a = text[i], b = prefix[i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a + 32);
        if (b >= 'A' && b <= 'Z') b = static_cast<char>(b + 32);
        if (a != b) return false;
    }
    return text.size() == prefix.size() || IsBlank(text[prefix.size()]);
}

}  // namespace

std::string ArgumentsAfterProgramPath(const std::string& commandLine, const std::string& modulePath) {
    std::size_t end = 0;
    if (!commandLine.empty() && commandLine[0] == '"') {
        end = commandLine.find('"', 1);
        end = end == std::string::npos ? commandLine.size() : end + 1;
    } else {
        // The path as started: with its ".exe", or without it as a user may type it.
        std::string withoutExe;
        if (modulePath.size() > 4 && StartsWithPath(modulePath.substr(modulePath.size() - 4), ".exe"))
            withoutExe = modulePath.substr(0, modulePath.size() - 4);
        if (StartsWithPath(commandLine, modulePath)) {
            end = modulePath.size();
        } else if (StartsWithPath(commandLine, withoutExe)) {
            end = withoutExe.size();
        } else {
            // Started by another name (a relative path, say): the first word.
            while (end < commandLine.size() && !IsBlank(commandLine[end])) ++end;
        }
    }
    while (end < commandLine.size() && IsBlank(commandLine[end])) ++end;
    return commandLine.substr(end);
}

CommandWord CommandWordOf(const std::string& arguments) {
    // Blanks between and around the words do not count; letters in any case.
    std::string words;
    for (char c : arguments) {
        if (IsBlank(c)) {
            if (!words.empty() && words.back() != ' ') words += ' ';
        } else {
            words += c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
        }
    }
    if (!words.empty() && words.back() == ' ') words.pop_back();
    static const std::pair<const char*, CommandWord> kWords[] = {
        {"/exit", CommandWord::kExit},
        {"/uninstall", CommandWord::kUninstall},
        {"/uninstall /removedata", CommandWord::kUninstallRemoveData},
        {"/uninstall /ask", CommandWord::kUninstallAsk},
        {"/installed", CommandWord::kInstalled},
    };
    for (const auto& [text, word] : kWords) {
        if (words == text) return word;
    }
    return CommandWord::kNone;
}

namespace {

// How long "/exit" waits for the tray copy to end, how often it looks, and
// how often it asks again: a copy still showing its splash (3.5 s) has no
// main window yet to hear it.
constexpr unsigned kExitWaitMs = 10000;
constexpr unsigned kExitLookMs = 50;
constexpr unsigned kExitAskAgainMs = 500;

ExitRequest EndTrayCopy(StartupHost& host) {
    if (!ObjectExists(host.FindTrayCopy())) return ExitRequest::kNoCopy;
    for (unsigned waited = 0;; waited += kExitLookMs) {
        if (waited % kExitAskAgainMs == 0) host.AskTrayCopyToExit();
        host.Pause(kExitLookMs);
        if (!ObjectExists(host.FindTrayCopy())) return ExitRequest::kEnded;
        if (waited + kExitLookMs >= kExitWaitMs) return ExitRequest::kStillRunning;
    }
}

// The uninstaller's step while this file is still there: the tray copy
// ends first, so that nothing it does afterwards writes back what goes.
UninstallExit Uninstall(StartupHost& host, ProcessApi& process, RegistryApi& registry, CommandWord word) {
    const bool ended = EndTrayCopy(host) != ExitRequest::kStillRunning;
    bool removeData = word == CommandWord::kUninstallRemoveData;
    if (word == CommandWord::kUninstallAsk) {
        // No window of ours exists; above the installer's own window, and No
        // (keeping years of entries) unless the user says otherwise.
        removeData = process.ShowMessageBox(0, kAlsoRemoveData, "Quellwatch",
                                            kMbYesNo | kMbIconQuestion | kMbDefButton2 | kMbSetForeground |
                                                kMbTopmost) == kIdYes;
    }
    bool associationRemoved = false;
    const bool whole = RemoveTraces(registry, CaseFolding::System(), ProgramExePath(process.ProgramPath()),
                                    removeData, &associationRemoved);
    // Explorer forgets the list files' icon at once.
    if (associationRemoved) process.AssociationsChanged();
    return whole && ended ? UninstallExit::kDone : UninstallExit::kLeft;
}

// The one-shot import of the list file the shell names on the command line.
// It never scans: the main window it creates stays hidden and its load step
// does nothing while CommandLineMode holds. Returns the exit code.
ImportExit ImportListFile(StartupHost& host, ProcessApi& process, const std::string& commandLine) {
    // The shell quotes a dropped or "Open with" path.
    const std::string path = UnquotePath(commandLine);
    const auto slash = path.find_last_of('\\');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    // Created first, so that every box of this process has an owner of ours.
    MainFrm& frm = host.LoadMainFrm();
    const WindowHandle owner = frm.Own().mainFrm;
    if (process.ShowMessageBox(owner, "Import " + name + " ?", "Quellwatch", kMbYesNo) != kIdYes)
        return ImportExit::kDeclined;
    // The file is read first; the merge into the stored list is one short
    // step under the list lock, and the user hears of it only afterwards, so
    // that a tray copy never waits on a question of ours.
    ListFileContents file = frm.Files().ReadWindowList(path);
    ImportOutcome outcome = file.outcome;
    const SaveOutcome saved =
        frm.Store().SaveWindowList(ListChange::Merge(std::move(file.entries), std::move(file.options)));
    if (saved.error != kErrorSuccess) {
        process.ShowMessageBox(owner,
                               "Could not save the window list: " + RegistryRefusalText(saved.error) + "\r\n" + name +
                                   " was not imported.",
                               "Error", kMbIconStop | kMbSetForeground);
        return ImportExit::kNotStored;
    }
    if (!saved.saved) return ImportExit::kNotStored;  // the user gave up while a tray copy held the list
    if (saved.listFull) outcome = ImportOutcome::kListFull;
    const bool trayCopy = ObjectExists(host.FindTrayCopy());
    // Its next save would otherwise write its old list over the imported one.
    if (trayCopy) host.TellTrayCopyToReload();
    switch (outcome) {
    case ImportOutcome::kComplete:
        process.ShowMessageBox(owner, trayCopy ? kImportedPressRefresh : kImported, "Quellwatch", kMbOk);
        return ImportExit::kImported;
    case ImportOutcome::kWrongHeader:
    case ImportOutcome::kListFull: frm.Files().ReportImport(outcome, owner); break;
    case ImportOutcome::kNoFile:
        process.ShowMessageBox(owner, "Cannot open the window list\r\n" + path, "Error", kMbIconStop | kMbSetForeground);
        break;
    case ImportOutcome::kBadLine:
    case ImportOutcome::kReadFailed:
        process.ShowMessageBox(owner, "The window list could not be read to its end\r\n" + path, "Error",
                               kMbIconStop | kMbSetForeground);
        break;
    }
    return ImportExit::kNotWhole;
}

}  // namespace

void Main(StartupHost& host, ProcessApi& process, RegistryApi& registry, PublicFlags& flags) {
    flags.commandLineMode = true;
    host.SetAppTitle(kAppTitle);
    const std::string commandLine = host.CommandLine();
    switch (const CommandWord word = CommandWordOf(commandLine)) {
    case CommandWord::kExit: process.EndProcess(static_cast<unsigned>(EndTrayCopy(host))); return;
    case CommandWord::kUninstall:
    case CommandWord::kUninstallRemoveData:
    case CommandWord::kUninstallAsk:
        process.EndProcess(static_cast<unsigned>(Uninstall(host, process, registry, word)));
        return;
    case CommandWord::kInstalled:
        if (process.ShowMessageBox(0, kStartNow, "Quellwatch", kMbYesNo | kMbIconQuestion | kMbSetForeground) !=
            kIdYes) {
            process.EndProcess(0);
            return;
        }
        break;  // on as the tray program
    case CommandWord::kNone:
        if (!commandLine.empty()) {
            process.EndProcess(static_cast<unsigned>(ImportListFile(host, process, commandLine)));
            return;
        }
    }
    if (ObjectExists(host.ClaimTrayCopy())) {
        // No window of ours exists yet.
        process.ShowMessageBox(0, kAlreadyRunning, "Quellwatch", kMbOk | kMbIconInformation | kMbSetForeground);
        process.EndProcess(0);
        return;
    }
    flags.commandLineMode = false;
    if (ReadSwitch(registry, Setting::kShowSplashScreen)) {
        host.ShowSplash();  // which loads the main window when it goes
    } else {
        host.LoadMainFrm();
    }
}

}  // namespace qw
