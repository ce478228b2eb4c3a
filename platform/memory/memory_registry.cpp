#include "platform/memory/memory_registry.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <unordered_map>

#include "platform/text.h"
#include "platform/registry_api.h"

namespace qw {
namespace {

// Key and value names are compared as the registry does, without regard to case.
std::string Fold(const std::string& text) {
    static const CaseFolding folding = CaseFolding::Common();
    return folding.Lower(text);
}

std::vector<std::string> SplitPath(const std::string& path) {
    std::vector<std::string> parts;
    std::string current;
    for (char c : path) {
        if (c == '\\') {
            if (!current.empty()) parts.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) parts.push_back(current);
    return parts;
}

bool IsText(std::uint32_t type) { return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz; }

// Text is kept as Windows keeps it, UTF-16 (little-endian); the program's side
// of the platform speaks UTF-8.
std::vector<std::uint8_t> Stored(std::uint32_t type, const std::uint8_t* data, std::uint32_t size) {
    if (!IsText(type)) return std::vector<std::uint8_t>(data, data + size);
    const std::u16string units = utf8::ToUtf16(std::string_view(reinterpret_cast<const char*>(data), size));
    std::vector<std::uint8_t> bytes;
    bytes.reserve(units.size() * 2);
    for (char16_t u : units) bytes.insert(bytes.end(), {static_cast<std::uint8_t>(u), static_cast<std::uint8_t>(u >> 8)});
    return bytes;
}

// What a reader is given: text as UTF-8 (an odd last byte dropped), other data as it is.
std::vector<std::uint8_t> Given(const MemoryRegistry::Value& value) {
    if (!IsText(value.type)) return value.data;
    std::u16string units;
    for (std::size_t i = 0; i + 1 < value.data.size(); i += 2)
        units += static_cast<char16_t>(value.data[i] | (value.data[i + 1] << 8));
    const std::string text = utf8::FromUtf16(units);
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

}  // namespace

struct MemoryRegistry::Key {
    struct Named {
        std::string name;  // as first written
        Value value;
    };

    // Keyed by the folded name; each entry keeps the name as first written.
    std::map<std::string, std::pair<std::string, KeyPtr>> subkeys;
    // Values in creation order, found by folded name in one look-up: a full
    // window list is 65,534 values, written and enumerated one by one.
    std::map<std::uint64_t, Named> values;
    std::unordered_map<std::string, std::uint64_t> byName;
    std::uint64_t next = 0;
    // The place of the last enumerated value, so that walking the values by
    // index costs one step each.
    std::uint32_t cursorIndex = 0;
    std::map<std::uint64_t, Named>::iterator cursor = values.end();

    Named* FindValue(const std::string& name) {
        auto it = byName.find(Fold(name));
        return it == byName.end() ? nullptr : &values[it->second];
    }

    // Replaces the value of that name, keeping its place, or appends it.
    void SetValue(const std::string& name, Value value) {
        if (Named* named = FindValue(name)) {
            named->value = std::move(value);
            return;
        }
        byName[Fold(name)] = next;
        values[next++] = Named{name, std::move(value)};
        cursor = values.end();
    }

    bool EraseValue(const std::string& name) {
        auto it = byName.find(Fold(name));
        if (it == byName.end()) return false;
        values.erase(it->second);
        byName.erase(it);
        cursor = values.end();
        return true;
    }

    const Named* ValueAt(std::uint32_t index) {
        if (cursor == values.end() || index < cursorIndex) {
            cursor = values.begin();
            cursorIndex = 0;
        }
        while (cursor != values.end() && cursorIndex < index) {
            ++cursor;
            ++cursorIndex;
        }
        return cursor == values.end() ? nullptr : &cursor->second;
    }
};

MemoryRegistry::MemoryRegistry() {
    for (auto& root : roots_) root = std::make_shared<Key>();
}

MemoryRegistry::~MemoryRegistry() = default;

bool MemoryRegistry::Tick() {
    const std::uint64_t call = calls_++;
    if (fail_at_ && *fail_at_ == call) return false;
    if (!stop_after_) return true;
    if (*stop_after_ == 0) return false;
    --*stop_after_;
    return true;
}

MemoryRegistry::KeyPtr MemoryRegistry::Resolve(RegKey key, long* error) const {
    *error = kErrorSuccess;
    if (key >= kHkeyClassesRoot && key <= kHkeyLocalMachine) return roots_[key - kHkeyClassesRoot];
    auto it = handles_.find(key);
    if (it == handles_.end()) {
        *error = kErrorInvalidHandle;
        return nullptr;
    }
    KeyPtr node = it->second.lock();
    if (!node) *error = kErrorKeyDeleted;
    return node;
}

MemoryRegistry::KeyPtr MemoryRegistry::Walk(const KeyPtr& from, const std::string& path,
                                            bool create) const {
    KeyPtr node = from;
    for (const std::string& part : SplitPath(path)) {
        const std::string folded = Fold(part);
        auto it = node->subkeys.find(folded);
        if (it == node->subkeys.end()) {
            if (!create) return nullptr;
            it = node->subkeys.emplace(folded, std::make_pair(part, std::make_shared<Key>())).first;
        }
        node = it->second.second;
    }
    return node;
}

RegKey MemoryRegistry::NewHandle(const KeyPtr& key) {
    const RegKey handle = next_handle_;
    next_handle_ += 4;
    handles_[handle] = key;
    return handle;
}

long MemoryRegistry::CreateKey(RegKey root, const std::string& path, RegKey* out) {
    if (!Tick()) return kErrorAccessDenied;
    if (std::find(denied_.begin(), denied_.end(), root) != denied_.end()) return kErrorAccessDenied;
    long error;
    KeyPtr base = Resolve(root, &error);
    if (!base) return error;
    *out = NewHandle(Walk(base, path, true));
    return kErrorSuccess;
}

long MemoryRegistry::SetValueEx(RegKey key, const std::string& name, std::uint32_t type,
                                const std::uint8_t* data, std::uint32_t size) {
    if (!Tick()) return kErrorAccessDenied;
    long error;
    KeyPtr node = Resolve(key, &error);
    if (!node) return error;
    node->SetValue(name, Value{type, Stored(type, data, size)});
    return kErrorSuccess;
}

long MemoryRegistry::OpenKeyEx(RegKey root, const std::string& path, std::uint32_t, RegKey* out) {
    if (!Tick()) return kErrorAccessDenied;
    long error;
    KeyPtr base = Resolve(root, &error);
    if (!base) return error;
    KeyPtr node = Walk(base, path, false);
    if (!node) return kErrorFileNotFound;
    *out = NewHandle(node);
    return kErrorSuccess;
}

long MemoryRegistry::QueryValueEx(RegKey key, const std::string& name, std::uint32_t* type,
                                  std::uint8_t* data, std::uint32_t* size) {
    if (!Tick()) return kErrorAccessDenied;
    if (data && !size) return kErrorInvalidParameter;
    long error;
    KeyPtr node = Resolve(key, &error);
    if (!node) return error;
    const Key::Named* named = node->FindValue(name);
    if (!named) return kErrorFileNotFound;
    if (type) *type = named->value.type;
    if (!size) return kErrorSuccess;
    const std::vector<std::uint8_t> given = Given(named->value);
    const auto needed = static_cast<std::uint32_t>(given.size());
    if (data && *size < needed) {
        *size = needed;
        return kErrorMoreData;
    }
    if (data && needed) std::memcpy(data, given.data(), needed);
    *size = needed;
    return kErrorSuccess;
}

long MemoryRegistry::EnumValueName(RegKey key, std::uint32_t index, std::string* name) {
    if (!Tick()) return kErrorAccessDenied;
    long error;
    KeyPtr node = Resolve(key, &error);
    if (!node) return error;
    const Key::Named* named = node->ValueAt(index);
    if (!named) return kErrorNoMoreItems;
    *name = named->name;
    return kErrorSuccess;
}

long MemoryRegistry::EnumKeyName(RegKey key, std::uint32_t index, std::string* name) {
    if (!Tick()) return kErrorAccessDenied;
    long error;
    KeyPtr node = Resolve(key, &error);
    if (!node) return error;
    if (index >= node->subkeys.size()) return kErrorNoMoreItems;
    *name = std::next(node->subkeys.begin(), index)->second.first;
    return kErrorSuccess;
}

long MemoryRegistry::DeleteValue(RegKey key, const std::string& name) {
    if (!Tick()) return kErrorAccessDenied;
    long error;
    KeyPtr node = Resolve(key, &error);
    if (!node) return error;
    return node->EraseValue(name) ? kErrorSuccess : kErrorFileNotFound;
}

long MemoryRegistry::DeleteKey(RegKey root, const std::string& path) {
    if (!Tick()) return kErrorAccessDenied;
    if (std::find(denied_.begin(), denied_.end(), root) != denied_.end()) return kErrorAccessDenied;
    long error;
    KeyPtr base = Resolve(root, &error);
    if (!base) return error;
    std::vector<std::string> parts = SplitPath(path);
    if (parts.empty()) return kErrorAccessDenied;  // a key cannot delete itself
    const std::string leaf = Fold(parts.back());
    parts.pop_back();
    KeyPtr parent = base;
    for (const std::string& part : parts) {
        auto it = parent->subkeys.find(Fold(part));
        if (it == parent->subkeys.end()) return kErrorFileNotFound;
        parent = it->second.second;
    }
    auto it = parent->subkeys.find(leaf);
    if (it == parent->subkeys.end()) return kErrorFileNotFound;
    if (!it->second.second->subkeys.empty()) return kErrorAccessDenied;
    parent->subkeys.erase(it);
    return kErrorSuccess;
}

long MemoryRegistry::CloseKey(RegKey key) {
    if (!Tick()) return kErrorAccessDenied;
    if (key >= kHkeyClassesRoot && key <= kHkeyLocalMachine) return kErrorSuccess;
    return handles_.erase(key) ? kErrorSuccess : kErrorInvalidHandle;
}

const MemoryRegistry::Key* MemoryRegistry::Find(RegKey root, const std::string& path) const {
    if (root < kHkeyClassesRoot || root > kHkeyLocalMachine) return nullptr;
    return Walk(roots_[root - kHkeyClassesRoot], path, false).get();
}

bool MemoryRegistry::KeyExists(RegKey root, const std::string& path) const {
    return Find(root, path) != nullptr;
}

std::optional<MemoryRegistry::Value> MemoryRegistry::GetValue(RegKey root, const std::string& path,
                                                              const std::string& name) const {
    Key* node = const_cast<Key*>(Find(root, path));
    if (!node) return std::nullopt;
    const Key::Named* named = node->FindValue(name);
    if (!named) return std::nullopt;
    return named->value;
}

std::optional<std::string> MemoryRegistry::GetString(RegKey root, const std::string& path,
                                                     const std::string& name) const {
    auto value = GetValue(root, path, name);
    if (!value) return std::nullopt;
    const std::vector<std::uint8_t> given = Given(*value);
    return std::string(given.begin(), given.end());
}

void MemoryRegistry::PutString(RegKey root, const std::string& path, const std::string& name,
                               const std::string& text) {
    PutValue(root, path, name, kRegSz,
             Stored(kRegSz, reinterpret_cast<const std::uint8_t*>(text.data()), static_cast<std::uint32_t>(text.size())));
}

void MemoryRegistry::PutValue(RegKey root, const std::string& path, const std::string& name, std::uint32_t type,
                              std::vector<std::uint8_t> stored) {
    Walk(roots_[root - kHkeyClassesRoot], path, true)->SetValue(name, Value{type, std::move(stored)});
}

std::vector<std::string> MemoryRegistry::ValueNames(RegKey root, const std::string& path) const {
    std::vector<std::string> names;
    if (const Key* node = Find(root, path)) {
        for (const auto& v : node->values) names.push_back(v.second.name);
    }
    return names;
}

}  // namespace qw
