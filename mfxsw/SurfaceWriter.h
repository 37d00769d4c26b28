#pragma once
// Writes a decoded picture into an application surface as NV12, in one pass: luma rows are
// copied, chroma rows are interleaved (and, for 4:2:2 JPEG pictures, averaged in pairs of
// rows) straight from libavcodec's planes into the surface.
#include "LibavPtr.h"

#include <mfxvideo.h>

namespace mfxsw {

class SurfaceWriter {
public:
    // `allocator` (may be null) reaches surfaces that carry only a memory id.
    explicit SurfaceWriter(const mfxFrameAllocator* allocator) : allocator_(allocator) {}

    // A work surface must match the decoder's format and be reachable, before any input is
    // consumed for it.
    mfxStatus CheckWorkSurface(const mfxFrameSurface1& surface, const mfxFrameInfo& init) const;

    static bool CanWrite(int pixelFormat);

    // Where a picture goes: the whole surface, or every other row for one field.
    enum class Rows { kFrame, kTopField, kBottomField };

    // MFX_ERR_INCOMPATIBLE_VIDEO_PARAM when the picture does not fit the surface,
    // MFX_ERR_UNSUPPORTED for a format that cannot become 8-bit 4:2:0.
    mfxStatus Write(const AVFrame& frame, mfxFrameSurface1& surface, Rows rows = Rows::kFrame) const;

private:
    static void WritePlanes(const AVFrame& frame, mfxU8* y, mfxU8* uv, size_t pitch);
    static void WriteRows(const AVFrame& frame, const mfxFrameData& data, Rows rows);

    const mfxFrameAllocator* allocator_;
};

}  // namespace mfxsw
