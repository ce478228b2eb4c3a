#include "store/file_association.h"

#include "store/registry_access.h"

namespace qw {

const char kListFileType[] = "Quellwatch Window List";

namespace {

const char kUserClasses[] = "Software\\Classes\\";

void Write(RegistryApi& registry, const std::string& path, const std::string& name, const std::string& text,
           std::uint16_t type = kRegSz) {
    // The shell and other readers of the association take a text value with
    // its terminating NUL, as RegSetValueA stores it.
    const std::string data = type == kRegSz ? text + '\0' : text;
    if (!RegTryWriteString(registry, kHkeyClassesRoot, path, name, data, type))
        RegTryWriteString(registry, kHkeyCurrentUser, kUserClasses + path, name, data, type);
}

}  // namespace

std::string ProgramExePath(const std::string& modulePath) {
    const auto slash = modulePath.find_last_of('\\');
    const auto dot = modulePath.find_last_of('.');
    const std::string stem = dot != std::string::npos && (slash == std::string::npos || dot > slash)
                                 ? modulePath.substr(0, dot)
                                 : modulePath;
    return stem + ".exe";
}

void RegisterListFileType(RegistryApi& registry, const std::string& programPath, int iconIndex) {
    const std::string type = kListFileType;
    Write(registry, type, "", type);
    // Two 32-bit numbers, least significant byte first: BrowserFlags 0x1000
    // and EditFlags 0x10000 (FTA_OpenIsSafe: the shell opens a list file
    // without warning that it may be unsafe).
    Write(registry, type, "BrowserFlags", std::string("\x00\x10\x00\x00", 4), kRegBinary);
    Write(registry, type, "EditFlags", std::string("\x00\x00\x01\x00", 4), kRegBinary);
    Write(registry, type + "\\DefaultIcon", "", programPath + "," + std::to_string(iconIndex));
    Write(registry, type + "\\shell\\open", "", "Import");
    Write(registry, type + "\\shell\\open\\command", "", "\"" + programPath + "\" %1");
    Write(registry, ".WNL", "", type);
}

}  // namespace qw
