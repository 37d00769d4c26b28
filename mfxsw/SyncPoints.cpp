#include "SyncPoints.h"

namespace mfxsw {
namespace {

// Outstanding sync points are bounded by the surface pool; this many never reallocates for
// any pool the pipeline builds.
constexpr size_t kExpectedOutstanding = 64;

}  // namespace

void LockSurface(mfxFrameSurface1& surface) {
    __atomic_fetch_add(&surface.Data.Locked, 1, __ATOMIC_ACQ_REL);
}

void UnlockSurface(mfxFrameSurface1& surface) {
    __atomic_fetch_sub(&surface.Data.Locked, 1, __ATOMIC_ACQ_REL);
}

SyncPoints::SyncPoints() { pending_.reserve(kExpectedOutstanding); }

mfxSyncPoint SyncPoints::Add(mfxFrameSurface1* surface) {
    uintptr_t id = nextId_++;
    if (nextId_ == 0) nextId_ = 1;
    LockSurface(*surface);
    pending_.push_back({id, surface});
    return reinterpret_cast<mfxSyncPoint>(id);
}

mfxStatus SyncPoints::Complete(mfxSyncPoint point) {
    uintptr_t id = reinterpret_cast<uintptr_t>(point);
    for (size_t i = 0; i < pending_.size(); ++i) {
        if (pending_[i].id != id) continue;
        UnlockSurface(*pending_[i].surface);
        pending_[i] = pending_.back();
        pending_.pop_back();
        return MFX_ERR_NONE;
    }
    return MFX_ERR_NOT_FOUND;
}

void SyncPoints::ReleaseAll() {
    for (auto& entry : pending_) UnlockSurface(*entry.surface);
    pending_.clear();
}

}  // namespace mfxsw
