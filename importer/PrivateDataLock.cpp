#include "importer/PrivateDataLock.h"

#include <new>

namespace qivo {

PrivateDataLock::PrivateDataLock(const host::MemoryFuncs* memory, host::MemoryHandle handle)
    : memory_(memory), handle_(handle) {
    if (memory_ && handle_ && memory_->lockHandle) data_ = memory_->lockHandle(handle_);
}

PrivateDataLock::~PrivateDataLock() { Release(); }

ClipRecord* PrivateDataLock::Record() const {
    return data_ ? std::launder(static_cast<ClipRecord*>(data_)) : nullptr;
}

void PrivateDataLock::Release() {
    if (data_) {
        data_ = nullptr;
        memory_->unlockHandle(handle_);
    }
}

const host::MemoryFuncs* MemoryFunctions(const host::StandardParams* stdParms) {
    if (!stdParms || !stdParms->functions) return nullptr;
    const host::MemoryFuncs* memory = stdParms->functions->memory;
    if (!memory || !memory->newHandle || !memory->lockHandle || !memory->unlockHandle ||
        !memory->disposeHandle) {
        return nullptr;
    }
    return memory;
}

}  // namespace qivo
