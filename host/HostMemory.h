#pragma once
// The host's memory handles. Blocks never move, but the plug-in may use one only between lock
// and unlock; misuse (unknown handle, unbalanced unlock, disposing a locked block) is counted so
// that a test can insist on none.

#include <cstdint>
#include <memory>
#include <unordered_map>

#include "host/HostSdk.h"

namespace host {

class HostMemory {
public:
    HostMemory();
    ~HostMemory();
    HostMemory(const HostMemory&) = delete;
    HostMemory& operator=(const HostMemory&) = delete;

    // New blocks are not cleared: the plug-in must not rely on their contents.
    MemoryHandle New(std::int32_t size);
    void* Lock(MemoryHandle handle);
    void Unlock(MemoryHandle handle);
    void Dispose(MemoryHandle handle);

    bool Owns(MemoryHandle handle) const;
    std::size_t LiveHandles() const { return blocks_.size(); }
    // Locks not yet matched by an unlock, over all live blocks.
    int OutstandingLocks() const;
    int Faults() const { return faults_; }

    static constexpr std::uint8_t kFreshByte = 0xA5;

private:
    std::unordered_map<MemoryHandle, std::unique_ptr<MemoryBlock>> blocks_;
    int faults_ = 0;
};

}  // namespace host
