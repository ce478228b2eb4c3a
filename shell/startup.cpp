#include "shell/startup.h"

#include "engine/scanner.h"

namespace qw {

const char kAlreadyRunning[] = "Quellwatch is already running.";

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
        process.ShowMessageBox(kAlreadyRunning, "Quellwatch", kMbOk | kMbIconInformation | kMbSetForeground);
        process.EndProcess();
        return;
    }
    flags.commandLineMode = false;
    // "Show Splash Screen" picks the splash window, which comes with the
    // settings; until then the main window loads at once either way.
    host.LoadMainFrm();
}

}  // namespace qw
