#pragma once
// Holds a clip's private data handle locked for the length of one request and unlocks it on
// every way out, failures and exceptions included.

#include "host/HostSdk.h"
#include "importer/ClipRecord.h"

namespace qivo {

class PrivateDataLock {
public:
    // Locks when both the functions and the handle are given.
    PrivateDataLock(const host::MemoryFuncs* memory, host::MemoryHandle handle);
    ~PrivateDataLock();
    PrivateDataLock(const PrivateDataLock&) = delete;
    PrivateDataLock& operator=(const PrivateDataLock&) = delete;

    // The locked bytes, or null.
    void* Data() const { return data_; }
    // The record constructed in the locked bytes, or null.
    ClipRecord* Record() const;

    // Unlocks now (before the handle is disposed of).
    void Release();

private:
    const host::MemoryFuncs* memory_;
    host::MemoryHandle handle_;
    void* data_ = nullptr;
};

// The memory functions of the host, or null when the host gave none.
const host::MemoryFuncs* MemoryFunctions(const host::StandardParams* stdParms);

}  // namespace qivo
