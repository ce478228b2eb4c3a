// An in-memory file system behind FileApi, and the fault injector of the file
// layer: any counted operation can be made to fail, or to stop the process
// there, leaving the files exactly as they stood at that moment.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/file_api.h"

namespace qw {

// Thrown by the operation at which MemoryFiles stops the process.
class ProcessStopped : public std::runtime_error {
public:
    ProcessStopped() : std::runtime_error("process stopped") {}
};

class MemoryFiles : public FileApi {
public:
    // Operation kinds, combined as masks for FailAt and StopAt.
    enum Op : unsigned {
        kOpen = 1u << 0,
        kRead = 1u << 1,
        kCreate = 1u << 2,
        kWrite = 1u << 3,
        kClose = 1u << 4,
        kReplace = 1u << 5,
        kDelete = 1u << 6,
        kList = 1u << 7,
        kAnyOp = (1u << 8) - 1,
    };

    std::map<std::string, std::string> files;  // path -> bytes
    std::uint32_t processId = 4242;

    // Reads return at most this many bytes at a time.
    void SetReadChunk(std::size_t bytes) { chunk_ = bytes ? bytes : 1; }
    // The n-th operation (from 1, counting only the kinds in `kinds`) fails
    // and changes nothing; later ones succeed again.
    void FailAt(std::uint64_t n, unsigned kinds = kAnyOp) { fail_ = Trigger{n, kinds, 0}; }
    // The n-th operation (counted as for FailAt) throws ProcessStopped before
    // it changes anything; every operation after it fails and changes nothing,
    // as if the process were gone.
    void StopAt(std::uint64_t n, unsigned kinds = kAnyOp) { stop_ = Trigger{n, kinds, 0}; }

    // A new process (with an id of its own): the files as they stand, no fault armed.
    void Restart() {
        ++processId;
        stopped_ = false;
        stop_ = fail_ = Trigger{};
        handles_.clear();
    }

    std::uint64_t Operations() const { return operations_; }
    std::size_t OpenHandles() const { return handles_.size(); }
    bool Stopped() const { return stopped_; }

    FileHandle OpenRead(const std::string& path) override;
    long Read(FileHandle file, char* buffer, std::size_t size) override;
    FileHandle Create(const std::string& path) override;
    bool Write(FileHandle file, const char* data, std::size_t size) override;
    bool Close(FileHandle file) override;
    bool Replace(const std::string& from, const std::string& to) override;
    bool Delete(const std::string& path) override;
    std::vector<std::string> NamesStartingWith(const std::string& pathPrefix) override;
    std::uint32_t ProcessId() override { return processId; }

private:
    struct Trigger {
        std::uint64_t n = 0;  // 0: never
        unsigned kinds = 0;
        std::uint64_t seen = 0;
        bool Fires(Op op) { return n != 0 && (kinds & op) && ++seen == n; }
    };
    struct Open {
        std::string path;
        std::size_t position = 0;
        bool writing = false;
    };

    // Whether the operation may go ahead; throws at the stop point.
    bool Proceed(Op op);
    bool IsOpen(const std::string& path) const;

    std::map<FileHandle, Open> handles_;
    FileHandle nextHandle_ = 0x100;
    std::size_t chunk_ = static_cast<std::size_t>(-1);
    Trigger fail_, stop_;
    std::uint64_t operations_ = 0;
    bool stopped_ = false;
};

}  // namespace qw
