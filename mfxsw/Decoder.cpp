#include "Decoder.h"

#include "AvcHeaderParser.h"
#include "StartCode.h"
#include "SyncPoints.h"
#include "VideoParamCheck.h"

#include <mfxjpeg.h>

#include <algorithm>
#include <cstring>

namespace mfxsw {
namespace {

AVCodecID CodecIdOf(mfxU32 codec) {
    switch (codec) {
        case MFX_CODEC_AVC: return AV_CODEC_ID_H264;
        case MFX_CODEC_MPEG2: return AV_CODEC_ID_MPEG2VIDEO;
        case MFX_CODEC_VC1: return AV_CODEC_ID_VC1;
        case MFX_CODEC_JPEG: return AV_CODEC_ID_MJPEG;
        default: return AV_CODEC_ID_NONE;
    }
}

}  // namespace

Decoder::Decoder(const mfxVideoParam& par, const mfxFrameAllocator* allocator, int threads)
    : params_(par), allocator_(allocator), threads_(threads), writer_(allocator) {
    mfxU16 fields = par.mfx.FrameInfo.PicStruct & (MFX_PICSTRUCT_FIELD_TFF | MFX_PICSTRUCT_FIELD_BFF);
    fieldPairs_ = par.mfx.CodecId == MFX_CODEC_JPEG && fields != 0;
    topFieldFirst_ = fields != MFX_PICSTRUCT_FIELD_BFF;
    // Extension buffers belong to the application and may be gone after Init.
    params_.ExtParam = nullptr;
    params_.NumExtParam = 0;
}

Decoder::~Decoder() {
    DropLoneField();
    if (haveResponse_) allocator_->Free(allocator_->pthis, &response_);
}

mfxStatus Decoder::Open(const mfxVideoParam& par, int threads, const mfxFrameAllocator* allocator,
                        std::unique_ptr<Decoder>& out) {
    std::unique_ptr<Decoder> decoder(new Decoder(par, allocator, threads));
    mfxStatus status = decoder->OpenCodec();
    if (status != MFX_ERR_NONE) return status;
    if (VideoParamCheck::OutPattern(par) == MFX_IOPATTERN_OUT_VIDEO_MEMORY) {
        mfxFrameAllocRequest request{};
        VideoParamCheck::QueryIOSurf(par, request);
        if (allocator->Alloc(allocator->pthis, &request, &decoder->response_) != MFX_ERR_NONE)
            return MFX_ERR_MEMORY_ALLOC;
        decoder->haveResponse_ = true;
    }
    out = std::move(decoder);
    return MFX_ERR_NONE;
}

mfxStatus Decoder::OpenCodec() {
    AVCodecID id = CodecIdOf(params_.mfx.CodecId);
    const AVCodec* codec = avcodec_find_decoder(id);
    if (!codec) return MFX_ERR_UNSUPPORTED;
    CodecContextPtr context(avcodec_alloc_context3(codec));
    CodecContextPtr parserContext(avcodec_alloc_context3(codec));
    ParserPtr parser(av_parser_init(id));
    PacketPtr packet(av_packet_alloc());
    FramePtr frame(av_frame_alloc());
    if (!context || !parserContext || !parser || !packet || !frame) return MFX_ERR_MEMORY_ALLOC;
    context->thread_count = threads_;
    context->thread_type = FF_THREAD_FRAME | FF_THREAD_SLICE;
    // The surface receives the whole decoded picture and the crop window describes the visible
    // part, as SDK surfaces do; libavcodec's own cropping could only move the left edge to an
    // aligned column.
    context->apply_cropping = 0;
    // Damaged pictures are reported through Corrupted and the decode statistics; libavcodec's
    // own messages would land on the host's standard error, so they are moved to debug level
    // for these contexts only (the process-wide level stays the application's).
    context->log_level_offset = AV_LOG_DEBUG - AV_LOG_ERROR;
    parserContext->log_level_offset = AV_LOG_DEBUG - AV_LOG_ERROR;
    // libavcodec's decoder opens with the first picture: what it must know beforehand (the
    // VC-1 sequence header and entry point, the H.264 reorder depth) comes from the stream.
    opened_ = false;
    codec_ = std::move(context);
    parserCodec_ = std::move(parserContext);
    parser_ = std::move(parser);
    packet_ = std::move(packet);
    frame_ = std::move(frame);
    draining_ = drained_ = parserFlushed_ = streamStarted_ = false;
    return MFX_ERR_NONE;
}

void Decoder::PrepareForStream(const mfxBitstream& bs) {
    streamStarted_ = true;
    if (params_.mfx.CodecId != MFX_CODEC_AVC || opened_) return;
    // Without a stated reorder depth libavcodec learns it while decoding and drops the pictures
    // it has already passed; a conforming decoder holds as many as the level's DPB, so do that.
    HeaderSearch search = AvcHeaderParser::Search(bs.Data + bs.DataOffset, bs.DataLength, true, false);
    if (search.result == HeaderSearch::Result::kFound && search.header.unstatedReorderDepth)
        codec_->has_b_frames = search.header.unstatedReorderDepth;
}

mfxStatus Decoder::OpenWithStreamHeaders(const uint8_t* data, int size) {
    if (codec_->codec_id == AV_CODEC_ID_VC1) {
        constexpr uint8_t kVc1Sequence = 0x0F, kVc1Field = 0x0C, kVc1Frame = 0x0D;
        size_t length = static_cast<size_t>(size);
        size_t headersEnd = length;
        bool sequence = false;
        for (size_t pos = FindStartCode(data, length, 0); pos != kNoStartCode && pos + 3 < length;
             pos = FindStartCode(data, length, pos + 3)) {
            uint8_t code = data[pos + 3];
            if (code == kVc1Sequence) sequence = true;
            if (code == kVc1Frame || code == kVc1Field) {
                headersEnd = pos;
                break;
            }
        }
        // Pictures before the first sequence header cannot be decoded; wait for it.
        if (!sequence) return MFX_ERR_MORE_DATA;
        auto* extradata =
            static_cast<uint8_t*>(av_mallocz(headersEnd + AV_INPUT_BUFFER_PADDING_SIZE));
        if (!extradata) return MFX_ERR_MEMORY_ALLOC;
        std::memcpy(extradata, data, headersEnd);
        av_freep(&codec_->extradata);
        codec_->extradata = extradata;
        codec_->extradata_size = static_cast<int>(headersEnd);
    }
    int result = avcodec_open2(codec_.get(), codec_->codec, nullptr);
    if (result == AVERROR(ENOMEM)) return MFX_ERR_MEMORY_ALLOC;
    if (result < 0) return MFX_ERR_UNSUPPORTED;
    opened_ = true;
    return MFX_ERR_NONE;
}

mfxStatus Decoder::Send(const uint8_t* data, int size, int64_t pts) {
    if (!opened_) {
        mfxStatus status = OpenWithStreamHeaders(data, size);
        if (status == MFX_ERR_MORE_DATA) {
            ++errors_;
            return MFX_ERR_NONE;
        }
        if (status != MFX_ERR_NONE) return status;
    }
    packet_->data = const_cast<uint8_t*>(data);
    packet_->size = size;
    packet_->pts = pts;
    packet_->dts = AV_NOPTS_VALUE;
    int result = avcodec_send_packet(codec_.get(), packet_.get());
    packet_->data = nullptr;
    packet_->size = 0;
    if (result == AVERROR(ENOMEM)) return MFX_ERR_MEMORY_ALLOC;
    // A picture libavcodec cannot decode is skipped, as the SDK skips slices it cannot use.
    if (result < 0) ++errors_;
    return MFX_ERR_NONE;
}

mfxStatus Decoder::FlushParser() {
    uint8_t* data = nullptr;
    int size = 0;
    av_parser_parse2(parser_.get(), parserCodec_.get(), &data, &size, nullptr, 0, AV_NOPTS_VALUE,
                     AV_NOPTS_VALUE, 0);
    parserFlushed_ = true;
    return size > 0 ? Send(data, size, parser_->pts) : MFX_ERR_NONE;
}

mfxStatus Decoder::DecodeFrameAsync(mfxBitstream* bs, mfxFrameSurface1* work,
                                    mfxFrameSurface1** out) {
    if (!codec_) return MFX_ERR_NOT_INITIALIZED;  // a failed Reset left no decoder behind
    if (!work) return MFX_ERR_NULL_PTR;
    mfxStatus status = writer_.CheckWorkSurface(*work, params_.mfx.FrameInfo);
    if (status != MFX_ERR_NONE) return status;
    if (work->Data.Locked) return MFX_ERR_MORE_SURFACE;
    if (bs) {
        if (!bs->Data && bs->DataLength) return MFX_ERR_NULL_PTR;
        if (drained_ && bs->DataLength) {
            // New data after a completed drain starts a new stream.
            if ((status = Reset(params_)) != MFX_ERR_NONE) return status;
        }
        if (!streamStarted_ && bs->DataLength) PrepareForStream(*bs);
    }
    int idleParses = 0;
    for (;;) {
        int received = opened_ ? avcodec_receive_frame(codec_.get(), frame_.get())
                               : (draining_ ? AVERROR_EOF : AVERROR(EAGAIN));
        if (received == 0) {
            if (!fieldPairs_) return Deliver(*work, out);
            status = TakeField(*work, out);
            if (status == MFX_ERR_MORE_DATA) continue;
            return status;
        }
        if (received == AVERROR_EOF) {
            drained_ = true;
            if (firstField_) return DeliverLoneField(out);
            return MFX_ERR_MORE_DATA;
        }
        if (received != AVERROR(EAGAIN)) {
            if (received == AVERROR(ENOMEM)) return MFX_ERR_MEMORY_ALLOC;
            ++errors_;
            continue;
        }
        // libavcodec takes input only once it has no output waiting, so every send below
        // follows a receive that answered EAGAIN.
        if (!bs) {
            if (draining_) return MFX_ERR_MORE_DATA;
            if (!parserFlushed_) {
                if ((status = FlushParser()) != MFX_ERR_NONE) return status;
                continue;
            }
            if (opened_) avcodec_send_packet(codec_.get(), nullptr);
            draining_ = true;
            continue;
        }
        int64_t pts = bs->TimeStamp == static_cast<mfxU64>(MFX_TIMESTAMP_UNKNOWN)
                          ? AV_NOPTS_VALUE
                          : static_cast<int64_t>(bs->TimeStamp);
        // A buffer marked complete holds whole pictures: none waits for the next start code.
        // JPEG pictures are framed by their markers, so several may share one such buffer.
        bool complete = (bs->DataFlag & MFX_BITSTREAM_COMPLETE_FRAME) != 0;
        bool jpeg = params_.mfx.CodecId == MFX_CODEC_JPEG;
        if (bs->DataLength == 0) {
            if (((bs->DataFlag & MFX_BITSTREAM_EOS) || (complete && jpeg)) && !parserFlushed_) {
                if ((status = FlushParser()) != MFX_ERR_NONE) return status;
                continue;
            }
            return MFX_ERR_MORE_DATA;
        }
        if (complete && !jpeg) {
            if (bs->DataLength > INT32_MAX) return MFX_ERR_UNSUPPORTED;
            int size = static_cast<int>(bs->DataLength);
            const uint8_t* data = bs->Data + bs->DataOffset;
            bs->DataOffset += bs->DataLength;
            bs->DataLength = 0;
            if ((status = Send(data, size, pts)) != MFX_ERR_NONE) return status;
            continue;
        }
        uint8_t* data = nullptr;
        int size = 0;
        int length = bs->DataLength > INT32_MAX ? INT32_MAX : static_cast<int>(bs->DataLength);
        int consumed = av_parser_parse2(parser_.get(), parserCodec_.get(), &data, &size,
                                        bs->Data + bs->DataOffset, length, pts, AV_NOPTS_VALUE, 0);
        if (consumed < 0) return MFX_ERR_UNKNOWN;
        bs->DataOffset += static_cast<mfxU32>(consumed);
        bs->DataLength -= static_cast<mfxU32>(consumed);
        if (size > 0) {
            parserFlushed_ = false;
            idleParses = 0;
            if ((status = Send(data, size, parser_->pts)) != MFX_ERR_NONE) return status;
        } else if (consumed == 0 && ++idleParses > 1) {
            // A parser takes one call to restart after a flush; a second idle call means it
            // cannot use these bytes at all.
            return MFX_ERR_MORE_DATA;
        }
    }
}

mfxStatus Decoder::Deliver(mfxFrameSurface1& work, mfxFrameSurface1** out) {
    mfxStatus status = writer_.Write(*frame_, work);
    if (status == MFX_ERR_NONE) DescribeOutput(work);
    av_frame_unref(frame_.get());
    if (status != MFX_ERR_NONE) return status;
    ++framesOut_;
    *out = &work;
    return MFX_ERR_NONE;
}

mfxStatus Decoder::TakeField(mfxFrameSurface1& work, mfxFrameSurface1** out) {
    using Rows = SurfaceWriter::Rows;
    Rows first = topFieldFirst_ ? Rows::kTopField : Rows::kBottomField;
    Rows second = topFieldFirst_ ? Rows::kBottomField : Rows::kTopField;
    mfxFrameSurface1& target = firstField_ ? *firstField_ : work;
    mfxStatus status = writer_.Write(*frame_, target, firstField_ ? second : first);
    if (status != MFX_ERR_NONE) {
        av_frame_unref(frame_.get());
        return status;
    }
    if (!firstField_) {
        LockSurface(work);
        firstField_ = &work;
        av_frame_unref(frame_.get());
        return MFX_ERR_MORE_DATA;  // decode on to the second field
    }
    DescribeOutput(target);
    av_frame_unref(frame_.get());
    UnlockSurface(target);
    firstField_ = nullptr;
    ++framesOut_;
    *out = &target;
    return MFX_ERR_NONE;
}

mfxStatus Decoder::DeliverLoneField(mfxFrameSurface1** out) {
    // The stream ended after a first field: its pair is delivered with the other field absent.
    mfxFrameSurface1& target = *firstField_;
    UnlockSurface(target);
    firstField_ = nullptr;
    target.Data.Corrupted = topFieldFirst_ ? MFX_CORRUPTION_ABSENT_BOTTOM_FIELD
                                           : MFX_CORRUPTION_ABSENT_TOP_FIELD;
    ++framesOut_;
    *out = &target;
    return MFX_ERR_NONE;
}

void Decoder::DropLoneField() {
    if (firstField_) UnlockSurface(*firstField_);
    firstField_ = nullptr;
}

void Decoder::DescribeOutput(mfxFrameSurface1& s) const {
    const AVFrame& f = *frame_;
    mfxFrameInfo& info = s.Info;
    info.CropX = static_cast<mfxU16>(f.crop_left);
    info.CropY = static_cast<mfxU16>(f.crop_top);
    info.CropW = static_cast<mfxU16>(f.width - static_cast<int>(f.crop_left + f.crop_right));
    info.CropH = static_cast<mfxU16>(f.height - static_cast<int>(f.crop_top + f.crop_bottom));
    mfxU16 picStruct = MFX_PICSTRUCT_PROGRESSIVE;
    if (f.interlaced_frame) picStruct = f.top_field_first ? MFX_PICSTRUCT_FIELD_TFF
                                                          : MFX_PICSTRUCT_FIELD_BFF;
    if (fieldPairs_) {
        info.CropY = static_cast<mfxU16>(2 * info.CropY);
        info.CropH = static_cast<mfxU16>(2 * info.CropH);
        picStruct = topFieldFirst_ ? MFX_PICSTRUCT_FIELD_TFF : MFX_PICSTRUCT_FIELD_BFF;
    }
    if (params_.mfx.ExtendedPicStruct && params_.mfx.CodecId != MFX_CODEC_JPEG) {
        if (f.repeat_pict == 1) picStruct |= MFX_PICSTRUCT_FIELD_REPEATED;
        else if (f.repeat_pict == 2) picStruct |= MFX_PICSTRUCT_FRAME_DOUBLING;
        else if (f.repeat_pict >= 4) picStruct |= MFX_PICSTRUCT_FRAME_TRIPLING;
        if (f.repeat_pict == 1 && !f.interlaced_frame)
            picStruct |= f.top_field_first ? MFX_PICSTRUCT_FIELD_TFF : MFX_PICSTRUCT_FIELD_BFF;
    }
    info.PicStruct = picStruct;
    // Rates and aspect given at Init win; zero there means the stream's.
    const mfxFrameInfo& init = params_.mfx.FrameInfo;
    if (init.FrameRateExtN && init.FrameRateExtD) {
        info.FrameRateExtN = init.FrameRateExtN;
        info.FrameRateExtD = init.FrameRateExtD;
    } else if (codec_->framerate.num > 0 && codec_->framerate.den > 0) {
        info.FrameRateExtN = static_cast<mfxU32>(codec_->framerate.num);
        info.FrameRateExtD = static_cast<mfxU32>(codec_->framerate.den);
    } else {
        info.FrameRateExtN = info.FrameRateExtD = 0;
    }
    if (init.AspectRatioW && init.AspectRatioH) {
        info.AspectRatioW = init.AspectRatioW;
        info.AspectRatioH = init.AspectRatioH;
    } else if (f.sample_aspect_ratio.num > 0 && f.sample_aspect_ratio.den > 0 &&
               f.sample_aspect_ratio.num <= UINT16_MAX && f.sample_aspect_ratio.den <= UINT16_MAX) {
        info.AspectRatioW = static_cast<mfxU16>(f.sample_aspect_ratio.num);
        info.AspectRatioH = static_cast<mfxU16>(f.sample_aspect_ratio.den);
    } else {
        info.AspectRatioW = info.AspectRatioH = 0;
    }
    info.FrameId.ViewId = 0;
    info.FrameId.TemporalId = 0;
    info.FrameId.PriorityId = 0;
    mfxFrameData& data = s.Data;
    int64_t pts = f.best_effort_timestamp != AV_NOPTS_VALUE ? f.best_effort_timestamp : f.pts;
    if (pts != AV_NOPTS_VALUE) {
        data.TimeStamp = static_cast<mfxU64>(pts);
        data.DataFlag = MFX_FRAMEDATA_ORIGINAL_TIMESTAMP;
    } else {
        data.TimeStamp = static_cast<mfxU64>(MFX_TIMESTAMP_UNKNOWN);
        data.DataFlag = 0;
    }
    data.FrameOrder = framesOut_;
    data.Corrupted = 0;
    if (f.decode_error_flags) data.Corrupted |= MFX_CORRUPTION_MINOR;
    if (f.flags & AV_FRAME_FLAG_CORRUPT) data.Corrupted |= MFX_CORRUPTION_MAJOR;
}

mfxStatus Decoder::Reset(const mfxVideoParam& par) {
    if (par.mfx.CodecId != params_.mfx.CodecId ||
        VideoParamCheck::OutPattern(par) != VideoParamCheck::OutPattern(params_))
        return MFX_ERR_INVALID_VIDEO_PARAM;
    if (par.mfx.FrameInfo.Width > params_.mfx.FrameInfo.Width ||
        par.mfx.FrameInfo.Height > params_.mfx.FrameInfo.Height)
        return MFX_ERR_INCOMPATIBLE_VIDEO_PARAM;
    mfxVideoParam kept = par;
    kept.ExtParam = nullptr;
    kept.NumExtParam = 0;
    // A fresh libavcodec decoder forgets every header and picture of the old stream, which a
    // flush alone does not promise for all codecs.
    DropLoneField();
    codec_.reset();
    parserCodec_.reset();
    parser_.reset();
    mfxVideoParam previous = params_;
    params_ = kept;
    mfxU16 fields = kept.mfx.FrameInfo.PicStruct & (MFX_PICSTRUCT_FIELD_TFF | MFX_PICSTRUCT_FIELD_BFF);
    fieldPairs_ = kept.mfx.CodecId == MFX_CODEC_JPEG && fields != 0;
    topFieldFirst_ = fields != MFX_PICSTRUCT_FIELD_BFF;
    params_.mfx.FrameInfo.Width = previous.mfx.FrameInfo.Width;
    params_.mfx.FrameInfo.Height = previous.mfx.FrameInfo.Height;
    return OpenCodec();
}

void Decoder::GetVideoParam(mfxVideoParam& par) const {
    mfxExtBuffer** ext = par.ExtParam;
    mfxU16 numExt = par.NumExtParam;
    par.mfx = params_.mfx;
    par.IOPattern = params_.IOPattern;
    par.AsyncDepth = params_.AsyncDepth;
    par.Protected = params_.Protected;
    par.AllocId = params_.AllocId;
    par.ExtParam = ext;
    par.NumExtParam = numExt;
    if (!par.mfx.FrameInfo.FrameRateExtN && codec_ && codec_->framerate.num > 0) {
        par.mfx.FrameInfo.FrameRateExtN = static_cast<mfxU32>(codec_->framerate.num);
        par.mfx.FrameInfo.FrameRateExtD = static_cast<mfxU32>(codec_->framerate.den);
    }
}

void Decoder::GetDecodeStat(mfxDecodeStat& stat) const {
    stat.NumFrame = framesOut_;
    stat.NumSkippedFrame = 0;
    stat.NumError = errors_;
    stat.NumCachedFrame = 0;
}

}  // namespace mfxsw
