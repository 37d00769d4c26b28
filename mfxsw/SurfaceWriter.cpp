#include "SurfaceWriter.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace mfxsw {
namespace {

size_t PitchOf(const mfxFrameData& data) {
    return (static_cast<size_t>(data.PitchHigh) << 16) | data.PitchLow;
}

// One NV12 chroma row from a U row and a V row.
void InterleaveRow(const uint8_t* u, const uint8_t* v, uint8_t* uv, int count) {
    int i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= count; i += 16) {
        __m128i uu = _mm_loadu_si128(reinterpret_cast<const __m128i*>(u + i));
        __m128i vv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(v + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(uv + 2 * i), _mm_unpacklo_epi8(uu, vv));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(uv + 2 * i + 16), _mm_unpackhi_epi8(uu, vv));
    }
#endif
    for (; i < count; ++i) {
        uv[2 * i] = u[i];
        uv[2 * i + 1] = v[i];
    }
}

// One NV12 chroma row from two rows of 4:2:2 chroma, rounding the average up as the
// usual vertical halving filter does.
void InterleaveAverageRow(const uint8_t* u0, const uint8_t* u1, const uint8_t* v0,
                          const uint8_t* v1, uint8_t* uv, int count) {
    int i = 0;
#if defined(__SSE2__)
    for (; i + 16 <= count; i += 16) {
        __m128i uu = _mm_avg_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(u0 + i)),
                                  _mm_loadu_si128(reinterpret_cast<const __m128i*>(u1 + i)));
        __m128i vv = _mm_avg_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(v0 + i)),
                                  _mm_loadu_si128(reinterpret_cast<const __m128i*>(v1 + i)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(uv + 2 * i), _mm_unpacklo_epi8(uu, vv));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(uv + 2 * i + 16), _mm_unpackhi_epi8(uu, vv));
    }
#endif
    for (; i < count; ++i) {
        uv[2 * i] = static_cast<uint8_t>((u0[i] + u1[i] + 1) >> 1);
        uv[2 * i + 1] = static_cast<uint8_t>((v0[i] + v1[i] + 1) >> 1);
    }
}

bool Is422(int format) { return format == AV_PIX_FMT_YUVJ422P || format == AV_PIX_FMT_YUV422P; }

}  // namespace

bool SurfaceWriter::CanWrite(int format) {
    return format == AV_PIX_FMT_YUV420P || format == AV_PIX_FMT_YUVJ420P || Is422(format);
}

mfxStatus SurfaceWriter::CheckWorkSurface(const mfxFrameSurface1& s,
                                          const mfxFrameInfo& init) const {
    if (s.Info.FourCC != MFX_FOURCC_NV12 || s.Info.Width < init.Width ||
        s.Info.Height < init.Height)
        return MFX_ERR_INVALID_VIDEO_PARAM;
    if (s.Data.Y) {
        if (!s.Data.UV || PitchOf(s.Data) < s.Info.Width) return MFX_ERR_INVALID_VIDEO_PARAM;
        return MFX_ERR_NONE;
    }
    // Without plane pointers the surface is the allocator's, reached through its memory id.
    if (!allocator_ || !s.Data.MemId) return MFX_ERR_NULL_PTR;
    return MFX_ERR_NONE;
}

void SurfaceWriter::WritePlanes(const AVFrame& f, mfxU8* y, mfxU8* uv, size_t pitch) {
    const int width = f.width, height = f.height;
    for (int row = 0; row < height; ++row)
        std::memcpy(y + row * pitch, f.data[0] + static_cast<ptrdiff_t>(row) * f.linesize[0],
                    static_cast<size_t>(width));
    const int chromaWidth = (width + 1) / 2, chromaRows = (height + 1) / 2;
    const uint8_t* u = f.data[1];
    const uint8_t* v = f.data[2];
    const ptrdiff_t us = f.linesize[1], vs = f.linesize[2];
    if (Is422(f.format)) {
        for (int row = 0; row < chromaRows; ++row) {
            int r0 = 2 * row, r1 = r0 + 1 < height ? r0 + 1 : r0;
            InterleaveAverageRow(u + r0 * us, u + r1 * us, v + r0 * vs, v + r1 * vs,
                                 uv + row * pitch, chromaWidth);
        }
    } else {
        for (int row = 0; row < chromaRows; ++row)
            InterleaveRow(u + row * us, v + row * vs, uv + row * pitch, chromaWidth);
    }
}

void SurfaceWriter::WriteRows(const AVFrame& frame, const mfxFrameData& data, Rows rows) {
    size_t pitch = PitchOf(data);
    if (rows == Rows::kFrame) {
        WritePlanes(frame, data.Y, data.UV, pitch);
        return;
    }
    // A field is every other row of the frame, in luma and in NV12 chroma alike.
    size_t first = rows == Rows::kTopField ? 0 : pitch;
    WritePlanes(frame, data.Y + first, data.UV + first, 2 * pitch);
}

mfxStatus SurfaceWriter::Write(const AVFrame& frame, mfxFrameSurface1& s, Rows rows) const {
    if (!CanWrite(frame.format)) return MFX_ERR_UNSUPPORTED;
    int height = rows == Rows::kFrame ? frame.height : 2 * frame.height;
    if (frame.width <= 0 || frame.height <= 0 || frame.width > s.Info.Width ||
        height > s.Info.Height)
        return MFX_ERR_INCOMPATIBLE_VIDEO_PARAM;
    if (s.Data.Y) {
        WriteRows(frame, s.Data, rows);
        return MFX_ERR_NONE;
    }
    mfxFrameData mapped{};
    mfxStatus status = allocator_->Lock(allocator_->pthis, s.Data.MemId, &mapped);
    if (status != MFX_ERR_NONE) return status;
    if (!mapped.Y || !mapped.UV || PitchOf(mapped) < static_cast<size_t>(frame.width)) {
        allocator_->Unlock(allocator_->pthis, s.Data.MemId, &mapped);
        return MFX_ERR_LOCK_MEMORY;
    }
    WriteRows(frame, mapped, rows);
    return allocator_->Unlock(allocator_->pthis, s.Data.MemId, &mapped);
}

}  // namespace mfxsw
