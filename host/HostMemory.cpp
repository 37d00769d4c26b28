#include "host/HostMemory.h"

#include <cstring>
#include <new>

namespace host {

struct MemoryBlock {
    std::unique_ptr<std::byte[]> data;
    std::int32_t size = 0;
    int locks = 0;
};

HostMemory::HostMemory() = default;
HostMemory::~HostMemory() = default;

MemoryHandle HostMemory::New(std::int32_t size) {
    if (size < 0) return nullptr;
    auto block = std::make_unique<MemoryBlock>();
    // One byte at least, so that every handle has an address of its own.
    block->data.reset(new (std::nothrow) std::byte[size > 0 ? size : 1]);
    if (!block->data) return nullptr;
    std::memset(block->data.get(), kFreshByte, size > 0 ? size : 1);
    block->size = size;
    MemoryHandle handle = block.get();
    blocks_.emplace(handle, std::move(block));
    return handle;
}

void* HostMemory::Lock(MemoryHandle handle) {
    auto it = blocks_.find(handle);
    if (it == blocks_.end()) {
        ++faults_;
        return nullptr;
    }
    ++it->second->locks;
    return it->second->data.get();
}

void HostMemory::Unlock(MemoryHandle handle) {
    auto it = blocks_.find(handle);
    if (it == blocks_.end() || it->second->locks == 0) {
        ++faults_;
        return;
    }
    --it->second->locks;
}

void HostMemory::Dispose(MemoryHandle handle) {
    auto it = blocks_.find(handle);
    if (it == blocks_.end()) {
        ++faults_;
        return;
    }
    if (it->second->locks != 0) ++faults_;
    blocks_.erase(it);
}

bool HostMemory::Owns(MemoryHandle handle) const { return blocks_.count(handle) != 0; }

int HostMemory::OutstandingLocks() const {
    int locks = 0;
    for (const auto& [handle, block] : blocks_) locks += block->locks;
    return locks;
}

}  // namespace host
