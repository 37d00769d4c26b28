#pragma once
// Looks up an extension buffer attached to a parameter set by its id.
#include <mfxvideo.h>

namespace mfxsw {

template <typename T>
T* FindExtBuffer(const mfxVideoParam& par, mfxU32 id) {
    if (!par.ExtParam) return nullptr;
    for (mfxU16 i = 0; i < par.NumExtParam; ++i) {
        mfxExtBuffer* buffer = par.ExtParam[i];
        if (buffer && buffer->BufferId == id && buffer->BufferSz >= sizeof(T))
            return reinterpret_cast<T*>(buffer);
    }
    return nullptr;
}

}  // namespace mfxsw
