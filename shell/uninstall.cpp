#include "shell/uninstall.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "store/file_association.h"
#include "store/registry_access.h"
#include "store/settings.h"
#include "store/window_list_store.h"

namespace qw {
namespace {

const char kUserClasses[] = "Software\\Classes\\";
const char kMakerKeyPath[] = "Software\\Varn";
const char kExtensionKey[] = ".WNL";
// A text value of the registry holds at most 32,767 UTF-16 units, three UTF-8
// bytes each at most, and its terminator.
constexpr std::uint32_t kLongestText = 3 * 32767 + 3;

enum class Found { kNothing, kText, kUnknown };

// A text value whole; kUnknown when the registry refused to tell.
Found ReadText(RegistryApi& registry, RegKey root, const std::string& path, const std::string& name,
               std::string* text) {
    RegKeyReader key(registry, root, path);
    std::uint32_t type = 0;
    switch (key.TryReadData(name, &type, text, kLongestText)) {
    case ReadStatus::kRead: break;
    case ReadStatus::kFailed: return Found::kUnknown;
    default: return Found::kNothing;
    }
    text->resize(std::min(text->size(), text->find('\0')));
    return type == kRegSz || type == kRegExpandSz ? Found::kText : Found::kNothing;
}

// The names of a key's subkeys, as far as the registry lists them.
void SubkeyNames(RegistryApi& registry, RegKey root, const std::string& path, std::vector<std::string>* names) {
    RegKey key = 0;
    const long opened = registry.OpenKeyEx(root, path, kKeyRead, &key);
    if (opened != kErrorSuccess) return;
    std::string name;
    for (std::uint32_t index = 0; registry.EnumKeyName(key, index, &name) == kErrorSuccess; ++index)
        names->push_back(name);
    registry.CloseKey(key);
}

bool Gone(long result) { return result == kErrorSuccess || result == kErrorFileNotFound; }

// The key and everything under it, deepest first, as RegDeleteTreeW would;
// false when the key is still there (the registry refuses to delete a key
// that has a subkey left).
bool DeleteTree(RegistryApi& registry, RegKey root, const std::string& path) {
    std::vector<std::string> names;
    SubkeyNames(registry, root, path, &names);
    for (const std::string& name : names) DeleteTree(registry, root, path + "\\" + name);
    return Gone(registry.DeleteKey(root, path));
}

// A key that holds neither a value nor a subkey goes; another program's
// value or subkey keeps it. False when an empty key stayed, or the registry
// would not say whether it is empty.
bool DeleteIfEmpty(RegistryApi& registry, RegKey root, const std::string& path) {
    RegKey key = 0;
    const long opened = registry.OpenKeyEx(root, path, kKeyRead, &key);
    if (opened != kErrorSuccess) return opened == kErrorFileNotFound;
    std::string name;
    const long value = registry.EnumValueName(key, 0, &name);
    const long subkey = value == kErrorNoMoreItems ? registry.EnumKeyName(key, 0, &name) : value;
    registry.CloseKey(key);
    if (subkey == kErrorSuccess) return true;
    return subkey == kErrorNoMoreItems && Gone(registry.DeleteKey(root, path));
}

bool RemoveRunEntry(RegistryApi& registry, const CaseFolding& lower, RegKey root, const std::string& program) {
    std::string data;
    switch (ReadText(registry, root, kRunKeyPath, kRunValueName, &data)) {
    case Found::kNothing: return true;
    case Found::kUnknown: return false;
    case Found::kText: break;
    }
    if (!NamesProgram(lower, data, program)) return true;
    return RegKeyWriter(registry, root, kRunKeyPath).Delete(kRunValueName);
}

// The association under `classes` (HKEY_CLASSES_ROOT itself, or a user's
// Software\Classes), unless its open command names another copy. A type
// without a command is what a removal cut short left: it opens nothing.
bool RemoveAssociation(RegistryApi& registry, const CaseFolding& lower, RegKey root, const std::string& classes,
                       const std::string& program, bool* removed) {
    const std::string type = classes + kListFileType;
    std::string text;
    switch (ReadText(registry, root, type + "\\shell\\open\\command", "", &text)) {
    case Found::kUnknown: return false;
    case Found::kText:
        if (!NamesProgram(lower, text, program)) return true;
        break;
    case Found::kNothing: break;
    }
    RegKey key = 0;
    const long opened = registry.OpenKeyEx(root, type, kKeyRead, &key);
    if (opened != kErrorSuccess && opened != kErrorFileNotFound) return false;
    bool whole = true;
    if (opened == kErrorSuccess) {
        registry.CloseKey(key);
        *removed = true;
        whole = DeleteTree(registry, root, type);
    }
    // The extension only while it leads to our type: another program may
    // have taken it since.
    const std::string extension = classes + kExtensionKey;
    switch (ReadText(registry, root, extension, "", &text)) {
    case Found::kUnknown: return false;
    case Found::kNothing: break;
    case Found::kText:
        if (!lower.EqualNoCase(text, kListFileType)) return whole;
        *removed = true;
        whole = RegKeyWriter(registry, root, extension).Delete("") && whole;
        break;
    }
    // Empty, it would hide the machine's extension from this user.
    return DeleteIfEmpty(registry, root, extension) && whole;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

}  // namespace

bool NamesProgram(const CaseFolding& lower, const std::string& text, const std::string& programPath) {
    std::string_view named = Trimmed(text);
    if (!named.empty() && named.front() == '"') {
        named.remove_prefix(1);
        named = named.substr(0, named.find('"'));
    } else if (named.size() >= 2 && named.substr(named.size() - 2) == "%1") {
        named = Trimmed(named.substr(0, named.size() - 2));
    }
    return lower.EqualNoCase(named, programPath);
}

bool RemoveTraces(RegistryApi& registry, const CaseFolding& lower, const std::string& programPath, bool removeData,
                  bool* associationRemoved) {
    bool whole = true;
    for (RegKey root : {kHkeyLocalMachine, kHkeyCurrentUser})
        whole = RemoveRunEntry(registry, lower, root, programPath) && whole;
    // The user's own classes first: on Windows HKEY_CLASSES_ROOT shows them
    // over the machine's, so that only once they are gone does it show what
    // the machine holds.
    *associationRemoved = false;
    whole = RemoveAssociation(registry, lower, kHkeyCurrentUser, kUserClasses, programPath, associationRemoved) &&
            whole;
    whole = RemoveAssociation(registry, lower, kHkeyClassesRoot, "", programPath, associationRemoved) && whole;
    if (removeData) {
        whole = DeleteTree(registry, kHkeyCurrentUser, kProgramKeyPath) && whole;
        whole = DeleteIfEmpty(registry, kHkeyCurrentUser, kMakerKeyPath) && whole;
    }
    return whole;
}

}  // namespace qw
