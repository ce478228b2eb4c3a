// An in-memory registry that follows the real one's model: case-blind key
// paths and value names, an unnamed default value per key, keys created along
// the path, RegDeleteKeyW refusing a key with subkeys, handles that go stale
// when their key is deleted, text kept in UTF-16 (with a terminator or not,
// as written) and handed over in UTF-8, as the Win32 adapter does.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry_api.h"

namespace qw {

class MemoryRegistry : public RegistryApi {
public:
    struct Value {
        std::uint32_t type = 0;
        std::vector<std::uint8_t> data;
    };

    MemoryRegistry();
    ~MemoryRegistry() override;

    long CreateKey(RegKey root, const std::string& path, RegKey* out) override;
    long SetValueEx(RegKey key, const std::string& name, std::uint32_t type,
                    const std::uint8_t* data, std::uint32_t size) override;
    long OpenKeyEx(RegKey root, const std::string& path, std::uint32_t access, RegKey* out) override;
    long QueryValueEx(RegKey key, const std::string& name, std::uint32_t* type,
                      std::uint8_t* data, std::uint32_t* size) override;
    long EnumValueName(RegKey key, std::uint32_t index, std::string* name) override;
    long EnumKeyName(RegKey key, std::uint32_t index, std::string* name) override;
    long DeleteValue(RegKey key, const std::string& name) override;
    long DeleteKey(RegKey root, const std::string& path) override;
    long CloseKey(RegKey key) override;

    // Test helpers, addressing keys by path directly.
    bool KeyExists(RegKey root, const std::string& path) const;
    std::optional<Value> GetValue(RegKey root, const std::string& path, const std::string& name) const;
    // Text values as the program reads and writes them, in UTF-8.
    std::optional<std::string> GetString(RegKey root, const std::string& path, const std::string& name) const;
    void PutString(RegKey root, const std::string& path, const std::string& name, const std::string& text);
    // A value exactly as stored (text in UTF-16), as another program may have written it.
    void PutValue(RegKey root, const std::string& path, const std::string& name, std::uint32_t type,
                  std::vector<std::uint8_t> stored);
    // Value names of a key in creation order (the default value as "").
    std::vector<std::string> ValueNames(RegKey root, const std::string& path) const;
    std::size_t OpenHandles() const { return handles_.size(); }

    // Simulates the process stopping: after `calls` more API calls every
    // operation fails and changes nothing.
    void StopAfter(std::uint64_t calls) { stop_after_ = calls; }
    // Makes only the call after `calls` more fail, changing nothing; the
    // calls after it succeed again.
    void FailAt(std::uint64_t calls) { fail_at_ = calls_ + calls; }
    // Calls work again: the process restarted, or the fault is gone.
    void Heal() {
        stop_after_.reset();
        fail_at_.reset();
    }
    bool Stopped() const { return stop_after_ && *stop_after_ == 0; }
    std::uint64_t CallCount() const { return calls_; }
    // A standard user's rights: keys under `root` cannot be created, opened
    // for writing or deleted.
    void DenyWrites(RegKey root) { denied_.push_back(root); }

private:
    struct Key;
    using KeyPtr = std::shared_ptr<Key>;
    KeyPtr Resolve(RegKey key, long* error) const;
    KeyPtr Walk(const KeyPtr& from, const std::string& path, bool create) const;
    RegKey NewHandle(const KeyPtr& key);
    const Key* Find(RegKey root, const std::string& path) const;
    bool Tick();

    KeyPtr roots_[3];
    std::map<RegKey, std::weak_ptr<Key>> handles_;
    RegKey next_handle_ = 0x1000;
    std::optional<std::uint64_t> stop_after_;
    std::uint64_t calls_ = 0;
    std::optional<std::uint64_t> fail_at_;
    std::vector<RegKey> denied_;
};

}  // namespace qw
