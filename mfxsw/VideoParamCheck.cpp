#include "VideoParamCheck.h"

#include "ExtBuffers.h"
#include "HeaderReader.h"
#include "StreamHeader.h"

#include <mfxvideo.h>
#include <mfxjpeg.h>
#include <mfxmvc.h>

namespace mfxsw {
namespace {

constexpr mfxU16 kMaxSize = kMaxPictureSide;

bool MultiviewRequested(const mfxVideoParam& par) {
    if (par.mfx.CodecId != MFX_CODEC_AVC) return false;
    if (par.mfx.CodecProfile == MFX_PROFILE_AVC_MULTIVIEW_HIGH ||
        par.mfx.CodecProfile == MFX_PROFILE_AVC_STEREO_HIGH)
        return true;
    if (auto* desc = FindExtBuffer<mfxExtMVCSeqDesc>(par, MFX_EXTBUFF_MVC_SEQ_DESC))
        if (desc->NumView > 1) return true;
    if (auto* targets = FindExtBuffer<mfxExtMVCTargetViews>(par, MFX_EXTBUFF_MVC_TARGET_VIEWS))
        for (mfxU32 i = 0; i < targets->NumView && i < 1024; ++i)
            if (targets->ViewId[i] != 0) return true;
    return false;
}

bool JpegSamplingSupported(mfxU16 format) {
    // 0 is also "not described"; what libavcodec then delivers is checked per picture.
    return format == MFX_CHROMAFORMAT_MONOCHROME || format == MFX_CHROMAFORMAT_YUV420 ||
           format == MFX_CHROMAFORMAT_YUV422H;
}

}  // namespace

void VideoParamCheck::QueryConfigurable(mfxVideoParam& out) {
    mfxU32 codec = out.mfx.CodecId;
    out.mfx = mfxInfoMFX{};
    out.mfx.CodecId = codec;
    out.mfx.CodecProfile = 1;
    out.mfx.CodecLevel = 1;
    mfxFrameInfo& fi = out.mfx.FrameInfo;
    fi.FourCC = 1;
    fi.Width = fi.Height = 1;
    fi.CropX = fi.CropY = fi.CropW = fi.CropH = 1;
    fi.FrameRateExtN = fi.FrameRateExtD = 1;
    fi.AspectRatioW = fi.AspectRatioH = 1;
    fi.PicStruct = 1;
    fi.ChromaFormat = 1;
    out.IOPattern = MFX_IOPATTERN_OUT_SYSTEM_MEMORY;
    out.AsyncDepth = 1;
    out.Protected = 0;
}

mfxStatus VideoParamCheck::Query(const mfxVideoParam& in, mfxVideoParam& out) {
    // `in` and `out` may be the same structure: read everything before writing.
    const mfxInfoMFX mfx = in.mfx;
    const mfxU16 ioPattern = in.IOPattern, asyncDepth = in.AsyncDepth, prot = in.Protected;
    const bool multiview = MultiviewRequested(in);
    bool unsupported = false;

    out.mfx = mfx;
    out.IOPattern = ioPattern;
    out.AsyncDepth = asyncDepth;
    out.Protected = 0;
    if (prot != 0) unsupported = true;
    if (!HeaderReader::SupportedCodec(mfx.CodecId)) {
        out.mfx.CodecId = 0;
        unsupported = true;
    }
    mfxFrameInfo& fi = out.mfx.FrameInfo;
    if (fi.FourCC != 0 && fi.FourCC != MFX_FOURCC_NV12) {
        fi.FourCC = 0;
        unsupported = true;
    }
    if (fi.ChromaFormat != MFX_CHROMAFORMAT_YUV420 && fi.ChromaFormat != 0) {
        fi.ChromaFormat = 0;
        unsupported = true;
    }
    if ((fi.BitDepthLuma != 0 && fi.BitDepthLuma != 8) ||
        (fi.BitDepthChroma != 0 && fi.BitDepthChroma != 8) || fi.Shift != 0) {
        fi.BitDepthLuma = fi.BitDepthChroma = 0;
        fi.Shift = 0;
        unsupported = true;
    }
    if (fi.Width > kMaxSize || fi.Height > kMaxSize) {
        fi.Width = fi.Height = 0;
        unsupported = true;
    }
    mfxU16 pattern = OutPattern(out);
    if (pattern & MFX_IOPATTERN_OUT_OPAQUE_MEMORY) {
        out.IOPattern = 0;
        unsupported = true;
    }
    if (multiview) {
        out.mfx.CodecProfile = 0;
        unsupported = true;
    }
    if (mfx.CodecId == MFX_CODEC_JPEG) {
        if (!JpegSamplingSupported(mfx.JPEGChromaFormat)) {
            out.mfx.JPEGChromaFormat = 0;
            unsupported = true;
        }
        if (mfx.JPEGColorFormat == MFX_JPEG_COLORFORMAT_RGB) {
            out.mfx.JPEGColorFormat = 0;
            unsupported = true;
        }
        if (mfx.Rotation != MFX_ROTATION_0) {
            out.mfx.Rotation = 0;
            unsupported = true;
        }
    }
    return unsupported ? MFX_ERR_UNSUPPORTED : MFX_ERR_NONE;
}

mfxStatus VideoParamCheck::QueryIOSurf(const mfxVideoParam& par, mfxFrameAllocRequest& request) {
    if (!HeaderReader::SupportedCodec(par.mfx.CodecId)) return MFX_ERR_INVALID_VIDEO_PARAM;
    mfxU16 pattern = OutPattern(par);
    if (pattern != MFX_IOPATTERN_OUT_SYSTEM_MEMORY && pattern != MFX_IOPATTERN_OUT_VIDEO_MEMORY)
        return MFX_ERR_INVALID_VIDEO_PARAM;
    request = mfxFrameAllocRequest{};
    request.AllocId = par.AllocId;
    request.Info = par.mfx.FrameInfo;
    request.Type = MFX_MEMTYPE_FROM_DECODE | MFX_MEMTYPE_EXTERNAL_FRAME |
                   (pattern == MFX_IOPATTERN_OUT_SYSTEM_MEMORY
                        ? MFX_MEMTYPE_SYSTEM_MEMORY
                        : MFX_MEMTYPE_VIDEO_MEMORY_DECODER_TARGET);
    // Reference pictures live inside libavcodec, and a surface is written only when its picture
    // is output; it is held from then until its sync point completes. So one surface decodes,
    // and each operation the application keeps in flight needs one more.
    request.NumFrameMin = 1;
    request.NumFrameSuggested = par.AsyncDepth > 1 ? par.AsyncDepth : 1;
    return MFX_ERR_NONE;
}

mfxStatus VideoParamCheck::CheckInit(const mfxVideoParam& par, bool haveAllocator) {
    mfxVideoParam checked = par;
    if (Query(par, checked) != MFX_ERR_NONE) return MFX_ERR_UNSUPPORTED;
    const mfxFrameInfo& fi = par.mfx.FrameInfo;
    if (fi.FourCC != MFX_FOURCC_NV12) return MFX_ERR_UNSUPPORTED;
    if (fi.Width == 0 || fi.Height == 0) return MFX_ERR_INVALID_VIDEO_PARAM;
    mfxU16 pattern = OutPattern(par);
    if (pattern != MFX_IOPATTERN_OUT_SYSTEM_MEMORY && pattern != MFX_IOPATTERN_OUT_VIDEO_MEMORY)
        return MFX_ERR_INVALID_VIDEO_PARAM;
    // Video memory is only reachable through the application's allocator.
    if (pattern == MFX_IOPATTERN_OUT_VIDEO_MEMORY && !haveAllocator)
        return MFX_ERR_INVALID_VIDEO_PARAM;
    return MFX_ERR_NONE;
}

}  // namespace mfxsw
