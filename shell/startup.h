// Main, the start-up procedure: it decides between the tray program and the
// one-shot import of a list file named on the command line.
#pragma once

#include <string>

#include "platform/shell_api.h"

namespace qw {

extern const char kAlreadyRunning[];

class StartupHost {
public:
    virtual ~StartupHost() = default;
    // The whole argument text after the program's path, as one string.
    virtual std::string CommandLine() = 0;
    // True exactly when another copy runs in this user's logon.
    virtual bool AnotherInstanceRunning() = 0;
    virtual void SetAppTitle(const std::string& title) = 0;
    virtual void LoadMainFrm() = 0;
};

// Process-wide flags that several windows read.
struct PublicFlags {
    bool commandLineMode = false;
};

void Main(StartupHost& host, ProcessApi& process, PublicFlags& flags);

// The argument text of a command line: everything after the program's own
// path, blanks before it skipped. An unquoted path may hold spaces (Windows
// hands a Run entry such as C:\Program Files\...\Quellbox.exe over as it
// stands), so it is recognised by comparing with `modulePath`, the program
// file's full path, with or without its ".exe".
std::string ArgumentsAfterProgramPath(const std::string& commandLine, const std::string& modulePath);

}  // namespace qw
