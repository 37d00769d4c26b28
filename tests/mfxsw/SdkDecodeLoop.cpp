#include "SdkDecodeLoop.h"

#include "TestFrameAllocator.h"
#include "common/MediaRuntime.h"

extern "C" {
#include <libavutil/md5.h>
}

#include <cstdio>
#include <cstring>
#include <memory>

namespace mfxsw_test {
namespace {

struct FileClose {
    void operator()(FILE* f) const { std::fclose(f); }
};

struct SessionClose {
    void operator()(mfxSession s) const { MFXClose(s); }
};
using SessionPtr = std::unique_ptr<std::remove_pointer_t<mfxSession>, SessionClose>;

size_t PitchOf(const mfxFrameData& d) { return (size_t(d.PitchHigh) << 16) | d.PitchLow; }

class Input {
public:
    Input(const std::string& path, size_t size) : file_(std::fopen(path.c_str(), "rb")) {
        buffer_.resize(size);
        bs.Data = buffer_.data();
        bs.MaxLength = static_cast<mfxU32>(size);
    }
    bool Open() const { return file_ != nullptr; }

    // Appends after the unread bytes, as the plug-in's reader does: MFX_ERR_MORE_DATA at the end.
    mfxStatus Read() {
        std::memmove(bs.Data, bs.Data + bs.DataOffset, bs.DataLength);
        bs.DataOffset = 0;
        size_t n = std::fread(bs.Data + bs.DataLength, 1, bs.MaxLength - bs.DataLength, file_.get());
        bs.DataLength += static_cast<mfxU32>(n);
        return n > 0 ? MFX_ERR_NONE : MFX_ERR_MORE_DATA;
    }

    void Grow() {
        std::vector<uint8_t> bigger(buffer_.size() * 2);
        std::memcpy(bigger.data(), bs.Data + bs.DataOffset, bs.DataLength);
        buffer_.swap(bigger);
        bs.Data = buffer_.data();
        bs.DataOffset = 0;
        bs.MaxLength = static_cast<mfxU32>(buffer_.size());
    }

    mfxBitstream bs{};

private:
    std::unique_ptr<FILE, FileClose> file_;
    std::vector<uint8_t> buffer_;
};

}  // namespace

std::vector<uint8_t> PackNv12(const mfxFrameInfo& info, const mfxFrameData& data) {
    const size_t pitch = PitchOf(data);
    const size_t w = info.CropW, h = info.CropH, cw = (w + 1) / 2, ch = (h + 1) / 2;
    std::vector<uint8_t> out(w * h + 2 * cw * ch);
    uint8_t* y = out.data();
    uint8_t* u = y + w * h;
    uint8_t* v = u + cw * ch;
    for (size_t r = 0; r < h; ++r)
        std::memcpy(y + r * w, data.Y + (info.CropY + r) * pitch + info.CropX, w);
    for (size_t r = 0; r < ch; ++r) {
        const uint8_t* uv = data.UV + (info.CropY / 2 + r) * pitch + info.CropX;
        for (size_t c = 0; c < cw; ++c) {
            u[r * cw + c] = uv[2 * c];
            v[r * cw + c] = uv[2 * c + 1];
        }
    }
    return out;
}

std::string Md5Hex(const std::vector<uint8_t>& bytes) {
    uint8_t digest[16];
    av_md5_sum(digest, bytes.data(), static_cast<int>(bytes.size()));
    static const char* hex = "0123456789abcdef";
    std::string text;
    for (uint8_t b : digest) {
        text += hex[b >> 4];
        text += hex[b & 15];
    }
    return text;
}

DecodeRun SdkDecodeLoop::Run(const std::string& path, const Options& options) {
    DecodeRun run;
    auto fail = [&run](mfxStatus status, const char* step) {
        run.status = status;
        run.failedAt = step;
        return run;
    };
    qivo::MediaRuntime runtime;
    if (!runtime.IsLoaded()) return fail(MFX_ERR_NOT_FOUND, "MediaRuntime");
    Input input(path, options.bufferSize);
    if (!input.Open()) return fail(MFX_ERR_NOT_FOUND, "open");
    input.Read();

    // Declared before the session: closing the session may still touch surfaces and allocator.
    TestFrameAllocator allocator;
    std::vector<mfxFrameSurface1> surfaces;
    std::vector<std::vector<uint8_t>> memory;
    mfxVersion version{};
    version.Major = 1;
    mfxSession raw = nullptr;
    mfxStatus status = MFXInit(options.impl, &version, &raw);
    if (status != MFX_ERR_NONE) return fail(status, "MFXInit");
    SessionPtr session(raw);
    if (options.videoMemory &&
        (status = MFXVideoCORE_SetFrameAllocator(raw, allocator.Table())) != MFX_ERR_NONE)
        return fail(status, "SetFrameAllocator");

    mfxVideoParam par{};
    par.mfx.CodecId = options.codec;
    mfxBitstream& bs = input.bs;
    for (;;) {
        status = MFXVideoDECODE_DecodeHeader(raw, &bs, &par);
        if (status != MFX_ERR_MORE_DATA) break;
        if (bs.DataLength == bs.MaxLength) input.Grow();
        if (input.Read() == MFX_ERR_MORE_DATA) {
            if (bs.DataFlag & MFX_BITSTREAM_EOS) return fail(status, "DecodeHeader");
            bs.DataFlag |= MFX_BITSTREAM_EOS;
        }
    }
    if (status < MFX_ERR_NONE) return fail(status, "DecodeHeader");
    run.header = par;
    if (options.jpegFieldOrder) {
        mfxFrameInfo& fi = par.mfx.FrameInfo;
        fi.PicStruct = options.jpegFieldOrder;
        fi.CropH = static_cast<mfxU16>(fi.CropH * 2);
        fi.Height = static_cast<mfxU16>((fi.CropH + 15) & ~15);
    }
    par.IOPattern = options.videoMemory ? MFX_IOPATTERN_OUT_VIDEO_MEMORY
                                        : MFX_IOPATTERN_OUT_SYSTEM_MEMORY;
    par.AsyncDepth = options.asyncDepth;
    if ((status = MFXVideoDECODE_Query(raw, &par, &par)) < MFX_ERR_NONE) return fail(status, "Query");
    mfxFrameAllocRequest request{};
    if ((status = MFXVideoDECODE_QueryIOSurf(raw, &par, &request)) < MFX_ERR_NONE)
        return fail(status, "QueryIOSurf");
    run.request = request;
    mfxU16 count = request.NumFrameSuggested ? request.NumFrameSuggested : 1;
    request.NumFrameMin = request.NumFrameSuggested = count;

    // System memory is laid out as the plug-in's allocator lays out NV12 frames.
    surfaces.resize(count);
    mfxFrameAllocResponse response{};
    if (options.videoMemory) {
        if ((status = allocator.Table()->Alloc(&allocator, &request, &response)) != MFX_ERR_NONE)
            return fail(status, "Alloc");
        for (mfxU16 i = 0; i < count; ++i) {
            surfaces[i].Info = request.Info;
            surfaces[i].Data.MemId = response.mids[i];
        }
    } else {
        size_t pitch = (request.Info.Width + 31u) & ~31u, rows = (request.Info.Height + 31u) & ~31u;
        for (auto& surface : surfaces) {
            memory.emplace_back(pitch * rows * 3 / 2);
            surface.Info = request.Info;
            surface.Data.Y = memory.back().data();
            surface.Data.UV = surface.Data.Y + pitch * rows;
            surface.Data.V = surface.Data.UV + 1;
            surface.Data.PitchLow = static_cast<mfxU16>(pitch);
        }
    }
    if ((status = MFXVideoDECODE_Init(raw, &par)) < MFX_ERR_NONE) return fail(status, "Init");

    auto freeSurface = [&surfaces]() -> mfxFrameSurface1* {
        for (auto& s : surfaces)
            if (s.Data.Locked == 0) return &s;
        return nullptr;
    };
    auto deliver = [&](mfxFrameSurface1* out, mfxSyncPoint sync) -> mfxStatus {
        DecodedPicture picture;
        picture.lockedBeforeSync = out->Data.Locked;
        mfxStatus synced = MFXVideoCORE_SyncOperation(raw, sync, 300000);
        if (synced != MFX_ERR_NONE) return synced;
        picture.lockedAfterSync = out->Data.Locked;
        picture.info = out->Info;
        mfxFrameData data = out->Data;
        if (options.videoMemory) allocator.Table()->Lock(&allocator, out->Data.MemId, &data);
        std::vector<uint8_t> packed = PackNv12(out->Info, data);
        if (options.videoMemory) allocator.Table()->Unlock(&allocator, out->Data.MemId, &data);
        picture.md5 = Md5Hex(packed);
        if (options.keepPlanes) picture.planes = std::move(packed);
        run.pictures.push_back(std::move(picture));
        return MFX_ERR_NONE;
    };

    // The first call decodes what the header search left in the buffer.
    status = MFX_ERR_NONE;
    for (;;) {
        if (status == MFX_ERR_MORE_DATA && input.Read() != MFX_ERR_NONE) break;
        mfxFrameSurface1* work = freeSurface();
        if (!work) return fail(MFX_ERR_MEMORY_ALLOC, "no free surface");
        mfxFrameSurface1* out = nullptr;
        mfxSyncPoint sync = nullptr;
        status = MFXVideoDECODE_DecodeFrameAsync(raw, &bs, work, &out, &sync);
        if (status == MFX_ERR_MORE_SURFACE) ++run.moreSurface;
        if (status == MFX_ERR_NONE || (status > MFX_ERR_NONE && sync)) {
            if ((status = deliver(out, sync)) != MFX_ERR_NONE) return fail(status, "SyncOperation");
        } else if (status < MFX_ERR_NONE && status != MFX_ERR_MORE_DATA &&
                   status != MFX_ERR_MORE_SURFACE) {
            return fail(status, "DecodeFrameAsync");
        }
    }
    for (;;) {
        mfxFrameSurface1* work = freeSurface();
        if (!work) return fail(MFX_ERR_MEMORY_ALLOC, "no free surface while draining");
        mfxFrameSurface1* out = nullptr;
        mfxSyncPoint sync = nullptr;
        status = MFXVideoDECODE_DecodeFrameAsync(raw, nullptr, work, &out, &sync);
        if (status == MFX_ERR_MORE_DATA) break;
        if (status == MFX_ERR_MORE_SURFACE) {
            ++run.moreSurface;
            continue;
        }
        if (status != MFX_ERR_NONE) return fail(status, "drain");
        if ((status = deliver(out, sync)) != MFX_ERR_NONE) return fail(status, "SyncOperation");
    }
    if ((status = MFXVideoDECODE_Close(raw)) != MFX_ERR_NONE) return fail(status, "Close");
    if (options.videoMemory) allocator.Table()->Free(&allocator, &response);
    return run;
}

}  // namespace mfxsw_test
