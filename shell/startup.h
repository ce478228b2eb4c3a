// Main, the start-up procedure: it decides between the tray program and the
// one-shot import of a list file named on the command line.
#pragma once

#include <string>

#include "platform/shell_api.h"
#include "shell/main_frm.h"

namespace qw {

extern const char kAlreadyRunning[];
extern const char kImported[];
extern const char kImportedPressRefresh[];
extern const char kStartNow[];
extern const char kAlsoRemoveData[];

class StartupHost {
public:
    virtual ~StartupHost() = default;
    // The whole argument text after the program's path, as one string.
    virtual std::string CommandLine() = 0;
    // Creates the tray copy's named object of this user's logon, which
    // stands for this process from then on; it exists when another tray
    // copy runs.
    virtual NamedObject ClaimTrayCopy() = 0;
    // Opens it without becoming the tray copy (an importing copy asks).
    virtual NamedObject FindTrayCopy() = 0;
    // Tells the tray copy that the stored list changed, so it reloads it.
    virtual void TellTrayCopyToReload() = 0;
    virtual void SetAppTitle(const std::string& title) = 0;
    // Creates the main window hidden and runs its load step.
    virtual MainFrm& LoadMainFrm() = 0;
    // Shows the splash window, which loads the main window when it goes.
    virtual void ShowSplash() = 0;
    // Asks the tray copy to end, as its Exit does after OK (the registered
    // message "Quellwatch.Exit" to every top-level window).
    virtual void AskTrayCopyToExit() = 0;
    // Waits; this process shows no window meanwhile.
    virtual void Pause(unsigned milliseconds) = 0;
};

// The exit code of an import through the shell, for scripts that run one.
enum class ImportExit : unsigned {
    kImported = 0,   // every entry of the file is in the stored list
    kDeclined = 1,   // the user answered No
    kNotWhole = 2,   // the file could not be opened or read to its end, or the list filled up
    kNotStored = 3,  // the stored list is unchanged: the registry refused, or another copy held it
};

// The words an installer or a script gives instead of a file to import. A
// word is the whole command line, letters in any case; the shell never
// gives one, since it names a file by its full path (a drive or a server
// first), and a file these words could otherwise name, such as "exit" in
// the root of the current drive, is imported under its full path.
enum class CommandWord {
    kNone,                 // a file to import, or the tray program when empty
    kExit,                 // "/exit": the tray copy is asked to end
    kUninstall,            // "/uninstall": it ends, and what names this file goes
    kUninstallRemoveData,  // "/uninstall /removedata": the window list and options too
    kUninstallAsk,         // "/uninstall /ask": the user says whether they go too
    kInstalled,            // "/installed": the user is offered to start the tray program
};
CommandWord CommandWordOf(const std::string& arguments);

// The exit code of "/exit", and of the first step of "/uninstall".
enum class ExitRequest : unsigned {
    kEnded = 0,         // a tray copy was asked and has ended
    kNoCopy = 1,        // no tray copy ran
    kStillRunning = 2,  // it was asked and still runs after 10 s
};

// The exit code of "/uninstall".
enum class UninstallExit : unsigned {
    kDone = 0,    // nothing that names this file is left, nor the data when it was to go
    kLeft = 1,    // the registry refused something, or the tray copy still runs
};

// Process-wide flags that several windows read.
struct PublicFlags {
    bool commandLineMode = false;
};

void Main(StartupHost& host, ProcessApi& process, RegistryApi& registry, PublicFlags& flags);

// The argument text of a command line: everything after the program's own
// path, blanks before it skipped. An unquoted path may hold spaces (Windows
// hands a Run entry such as C:\Program Files\...\Quellbox.exe over as it
// stands), so it is recognised by comparing with `modulePath`, the program
// file's full path, with or without its ".exe".
std::string ArgumentsAfterProgramPath(const std::string& commandLine, const std::string& modulePath);

}  // namespace qw
