#pragma once
// Sync points handed out with decoded surfaces. A surface stays locked for the application
// from the moment it is returned until its sync point is completed (or the decoder is reset or
// closed), because until then the application may not reuse it as a work surface.
#include <mfxvideo.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mfxsw {

class SyncPoints {
public:
    SyncPoints();

    // Locks the surface and returns its sync point.
    mfxSyncPoint Add(mfxFrameSurface1* surface);
    // MFX_ERR_NONE and the surface unlocked, or MFX_ERR_NOT_FOUND for an unknown sync point.
    mfxStatus Complete(mfxSyncPoint point);
    // Unlocks every surface still waiting for its sync point and forgets the sync points.
    void ReleaseAll();

private:
    struct Entry {
        uintptr_t id;
        mfxFrameSurface1* surface;
    };
    std::vector<Entry> pending_;
    uintptr_t nextId_ = 1;
};

// The SDK's Locked counter may be read by the application while the runtime changes it.
void LockSurface(mfxFrameSurface1& surface);
void UnlockSurface(mfxFrameSurface1& surface);

}  // namespace mfxsw
