#include "shell/startup.h"

#include "engine/scanner.h"

namespace qw {

const char kAlreadyRunning[] = "Quellwatch is already running.";

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

void Main(StartupHost& host, ProcessApi& process, PublicFlags& flags) {
    flags.commandLineMode = true;
    host.SetAppTitle(kAppTitle);
    if (!host.CommandLine().empty()) {
        // The import of a list file comes with the list-file commands; until
        // then a request on the command line ends the process untouched.
        process.EndProcess();
        return;
    }
    if (host.AnotherInstanceRunning()) {
        // No window of ours exists yet.
        process.ShowMessageBox(0, kAlreadyRunning, "Quellwatch", kMbOk | kMbIconInformation | kMbSetForeground);
        process.EndProcess();
        return;
    }
    flags.commandLineMode = false;
    // "Show Splash Screen" picks the splash window, which comes with the
    // settings; until then the main window loads at once either way.
    host.LoadMainFrm();
}

}  // namespace qw
