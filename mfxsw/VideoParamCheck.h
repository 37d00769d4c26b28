#pragma once
// What this runtime can decode, as Query, QueryIOSurf and Init answer it: 8-bit 4:2:0 NV12
// pictures of H.264 (single view), MPEG-2, VC-1 advanced profile and JPEG, into system memory
// or into surfaces reached through the application's frame allocator.
#include <mfxvideo.h>

namespace mfxsw {

class VideoParamCheck {
public:
    // Query with in == nullptr: marks the configurable fields of `out`.
    static void QueryConfigurable(mfxVideoParam& out);
    // Query with parameters: copies them to `out`, zeroing what cannot be supported.
    static mfxStatus Query(const mfxVideoParam& in, mfxVideoParam& out);
    static mfxStatus QueryIOSurf(const mfxVideoParam& par, mfxFrameAllocRequest& request);
    // Init and Reset: MFX_ERR_UNSUPPORTED for formats and features this runtime refuses,
    // MFX_ERR_INVALID_VIDEO_PARAM for missing or inconsistent parameters.
    static mfxStatus CheckInit(const mfxVideoParam& par, bool haveAllocator);

    static mfxU16 OutPattern(const mfxVideoParam& par) {
        return par.IOPattern & (MFX_IOPATTERN_OUT_VIDEO_MEMORY | MFX_IOPATTERN_OUT_SYSTEM_MEMORY |
                                MFX_IOPATTERN_OUT_OPAQUE_MEMORY);
    }
};

}  // namespace mfxsw
