#include "HeaderReader.h"

#include "AvcHeaderParser.h"
#include "ExtBuffers.h"
#include "JpegHeaderParser.h"
#include "Mpeg2HeaderParser.h"
#include "Vc1HeaderParser.h"

#include <mfxjpeg.h>

namespace mfxsw {
namespace {

// Bytes kept when no header was found: a start code cut by the end of the buffer must not be
// lost when the application appends the next portion.
constexpr size_t kKeepTail = 3;

void Advance(mfxBitstream& bs, size_t bytes) {
    bs.DataOffset += static_cast<mfxU32>(bytes);
    bs.DataLength -= static_cast<mfxU32>(bytes);
}

}  // namespace

bool HeaderReader::SupportedCodec(mfxU32 codecId) {
    return codecId == MFX_CODEC_AVC || codecId == MFX_CODEC_MPEG2 || codecId == MFX_CODEC_VC1 ||
           codecId == MFX_CODEC_JPEG;
}

HeaderSearch HeaderReader::Search(mfxU32 codecId, const mfxU8* data, size_t size, bool eos,
                                  bool wantMvc) {
    switch (codecId) {
        case MFX_CODEC_AVC: return AvcHeaderParser::Search(data, size, eos, wantMvc);
        case MFX_CODEC_MPEG2: return Mpeg2HeaderParser::Search(data, size, eos);
        case MFX_CODEC_VC1: return Vc1HeaderParser::Search(data, size, eos);
        default: return JpegHeaderParser::Search(data, size, eos);
    }
}

mfxStatus HeaderReader::DecodeHeader(mfxBitstream& bs, mfxVideoParam& par) {
    if (!SupportedCodec(par.mfx.CodecId)) return MFX_ERR_UNSUPPORTED;
    if (!bs.Data && bs.DataLength) return MFX_ERR_NULL_PTR;
    if (bs.DataLength == 0) return MFX_ERR_MORE_DATA;
    auto* mvc = par.mfx.CodecId == MFX_CODEC_AVC
                    ? FindExtBuffer<mfxExtMVCSeqDesc>(par, MFX_EXTBUFF_MVC_SEQ_DESC)
                    : nullptr;
    bool eos = (bs.DataFlag & MFX_BITSTREAM_EOS) != 0;
    HeaderSearch search =
        Search(par.mfx.CodecId, bs.Data + bs.DataOffset, bs.DataLength, eos, mvc != nullptr);
    switch (search.result) {
        case HeaderSearch::Result::kFound: {
            Advance(bs, search.headerOffset);
            if (mvc) {
                mfxStatus status = FillMvcSeqDesc(search, *mvc);
                if (status != MFX_ERR_NONE) return status;
            }
            StreamHeader header = search.header;
            if (mvc && search.hasMvc) header.profile = search.mvc.profile;
            FillVideoParam(par.mfx.CodecId, header, par);
            return MFX_ERR_NONE;
        }
        case HeaderSearch::Result::kNeedMore:
            if (search.headerStartKnown) Advance(bs, search.headerOffset);
            return MFX_ERR_MORE_DATA;
        case HeaderSearch::Result::kNotFound:
        default:
            if (bs.DataLength > kKeepTail) Advance(bs, bs.DataLength - kKeepTail);
            return MFX_ERR_MORE_DATA;
    }
}

void HeaderReader::FillVideoParam(mfxU32 codecId, const StreamHeader& h, mfxVideoParam& par) {
    mfxFrameInfo& fi = par.mfx.FrameInfo;
    bool jpeg = codecId == MFX_CODEC_JPEG;
    uint32_t heightAlign = h.fieldCoding ? 32u : 16u;
    fi.Width = static_cast<mfxU16>((h.codedWidth + 15u) & ~15u);
    fi.Height = static_cast<mfxU16>((h.codedHeight + heightAlign - 1) & ~(heightAlign - 1));
    fi.CropX = h.cropX;
    fi.CropY = h.cropY;
    fi.CropW = h.cropW;
    fi.CropH = h.cropH;
    fi.FrameRateExtN = h.frameRateN;
    fi.FrameRateExtD = h.frameRateD;
    fi.AspectRatioW = h.aspectW;
    fi.AspectRatioH = h.aspectH;
    fi.PicStruct = h.fieldCoding ? MFX_PICSTRUCT_UNKNOWN : MFX_PICSTRUCT_PROGRESSIVE;
    fi.BitDepthLuma = fi.BitDepthChroma = h.bitDepth;
    fi.Shift = 0;
    // JPEG pictures are converted to the output format; other codecs report what is coded,
    // and Query/Init refuse what cannot be delivered as 8-bit 4:2:0.
    mfxU16 chroma = jpeg ? mfxU16{MFX_CHROMAFORMAT_YUV420} : h.chromaFormat;
    fi.ChromaFormat = chroma;
    bool deep = h.bitDepth > 8;
    switch (chroma) {
        case MFX_CHROMAFORMAT_YUV420: fi.FourCC = deep ? MFX_FOURCC_P010 : MFX_FOURCC_NV12; break;
        case MFX_CHROMAFORMAT_YUV422: fi.FourCC = deep ? MFX_FOURCC_P210 : MFX_FOURCC_NV16; break;
        case MFX_CHROMAFORMAT_YUV444: fi.FourCC = deep ? MFX_FOURCC_Y410 : MFX_FOURCC_AYUV; break;
        default: fi.FourCC = MFX_FOURCC_NV12; break;
    }
    if (jpeg) fi.FourCC = MFX_FOURCC_NV12;
    par.mfx.CodecProfile = h.profile;
    par.mfx.CodecLevel = h.level;
    if (jpeg) {
        par.mfx.JPEGChromaFormat = h.chromaFormat;
        par.mfx.JPEGColorFormat = h.jpegColorFormat;
        par.mfx.Rotation = MFX_ROTATION_0;
        par.mfx.InterleavedDec = MFX_SCANTYPE_UNKNOWN;
    }
}

mfxStatus HeaderReader::FillMvcSeqDesc(const HeaderSearch& search, mfxExtMVCSeqDesc& desc) {
    MvcDescription single;
    if (!search.hasMvc) {
        // A stream without a subset SPS has exactly the base view.
        single.views.resize(1);
        single.referenceFrames = search.header.referenceFrames;
    }
    const MvcDescription& mvc = search.hasMvc ? search.mvc : single;
    std::vector<MvcOperationPoint> defaultOps;
    const std::vector<MvcOperationPoint>* ops = &mvc.operationPoints;
    if (ops->empty()) {
        MvcOperationPoint all;
        all.numViews = static_cast<uint16_t>(mvc.views.size());
        for (const auto& v : mvc.views) all.targetViews.push_back(v.viewId);
        defaultOps.push_back(std::move(all));
        ops = &defaultOps;
    }
    mfxU32 viewIds = 0;
    for (const auto& op : *ops) viewIds += static_cast<mfxU32>(op.targetViews.size());

    desc.NumView = static_cast<mfxU32>(mvc.views.size());
    desc.NumViewId = viewIds;
    desc.NumOP = static_cast<mfxU32>(ops->size());
    if (desc.NumViewAlloc < desc.NumView || desc.NumViewIdAlloc < desc.NumViewId ||
        desc.NumOPAlloc < desc.NumOP)
        return MFX_ERR_NOT_ENOUGH_BUFFER;
    if (!desc.View || !desc.ViewId || !desc.OP) return MFX_ERR_NULL_PTR;

    for (size_t i = 0; i < mvc.views.size(); ++i) {
        const MvcView& v = mvc.views[i];
        mfxMVCViewDependency& d = desc.View[i];
        d = mfxMVCViewDependency{};
        d.ViewId = v.viewId;
        auto copy = [](const std::vector<uint16_t>& from, mfxU16& count, mfxU16* to) {
            count = static_cast<mfxU16>(from.size());
            for (size_t k = 0; k < from.size(); ++k) to[k] = from[k];
        };
        copy(v.anchorL0, d.NumAnchorRefsL0, d.AnchorRefL0);
        copy(v.anchorL1, d.NumAnchorRefsL1, d.AnchorRefL1);
        copy(v.nonAnchorL0, d.NumNonAnchorRefsL0, d.NonAnchorRefL0);
        copy(v.nonAnchorL1, d.NumNonAnchorRefsL1, d.NonAnchorRefL1);
    }
    // Each operation point's target list is a slice of the application's view id array.
    mfxU32 next = 0;
    for (size_t k = 0; k < ops->size(); ++k) {
        const MvcOperationPoint& op = (*ops)[k];
        mfxMVCOperationPoint& out = desc.OP[k];
        out.TemporalId = op.temporalId;
        out.LevelIdc = op.levelIdc;
        out.NumViews = op.numViews;
        out.NumTargetViews = static_cast<mfxU16>(op.targetViews.size());
        out.TargetViewId = desc.ViewId + next;
        for (uint16_t id : op.targetViews) desc.ViewId[next++] = id;
    }
    desc.NumRefsTotal = static_cast<mfxU16>(mvc.referenceFrames * mvc.views.size());
    return MFX_ERR_NONE;
}

}  // namespace mfxsw
