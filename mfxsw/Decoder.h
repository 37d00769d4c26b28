#pragma once
// The DECODE component of a session on libavcodec: frames the application's byte stream into
// pictures with libavcodec's parser, decodes them (with libavcodec's threads), and writes each
// output picture into the work surface of the call that produces it.
#include "LibavPtr.h"
#include "SurfaceWriter.h"

#include <mfxvideo.h>

#include <memory>

namespace mfxsw {

class Decoder {
public:
    // `par` must have passed VideoParamCheck::CheckInit. For video memory the allocator's
    // Alloc is asked once for the decoder's surfaces, as an SDK decoder does at Init.
    static mfxStatus Open(const mfxVideoParam& par, int threads,
                          const mfxFrameAllocator* allocator, std::unique_ptr<Decoder>& out);
    ~Decoder();
    Decoder(const Decoder&) = delete;
    Decoder& operator=(const Decoder&) = delete;

    // One call of MFXVideoDECODE_DecodeFrameAsync; `bs` null drains. On MFX_ERR_NONE `*out` is
    // the work surface, holding the next picture in display order.
    mfxStatus DecodeFrameAsync(mfxBitstream* bs, mfxFrameSurface1* work, mfxFrameSurface1** out);
    mfxStatus Reset(const mfxVideoParam& par);
    void GetVideoParam(mfxVideoParam& par) const;
    void GetDecodeStat(mfxDecodeStat& stat) const;

private:
    Decoder(const mfxVideoParam& par, const mfxFrameAllocator* allocator, int threads);
    mfxStatus OpenCodec();
    void PrepareForStream(const mfxBitstream& bs);
    // MFX_ERR_MORE_DATA while the packet lacks the headers the decoder must open with.
    mfxStatus OpenWithStreamHeaders(const uint8_t* data, int size);
    mfxStatus Send(const uint8_t* data, int size, int64_t pts);
    mfxStatus FlushParser();
    mfxStatus Deliver(mfxFrameSurface1& work, mfxFrameSurface1** out);
    mfxStatus TakeField(mfxFrameSurface1& work, mfxFrameSurface1** out);
    mfxStatus DeliverLoneField(mfxFrameSurface1** out);
    void DropLoneField();
    void DescribeOutput(mfxFrameSurface1& work) const;

    mfxVideoParam params_;
    const mfxFrameAllocator* allocator_;
    int threads_;
    SurfaceWriter writer_;
    CodecContextPtr codec_;
    CodecContextPtr parserCodec_;  // the parser keeps its own view of the stream, as ffmpeg's
    ParserPtr parser_;
    PacketPtr packet_;
    FramePtr frame_;
    bool opened_ = false;    // libavcodec's decoder is open (VC-1 waits for its headers)
    bool streamStarted_ = false;  // the first data of the stream has been looked at
    bool draining_ = false;  // the end of the stream has been passed to libavcodec
    bool drained_ = false;   // libavcodec has given out its last picture
    bool parserFlushed_ = false;
    // Interlaced motion JPEG codes each field as a picture of its own; two consecutive
    // pictures fill one surface, the first on the rows the field order gives it.
    bool fieldPairs_ = false;
    bool topFieldFirst_ = true;
    mfxFrameSurface1* firstField_ = nullptr;  // holds the first field, locked by the decoder
    mfxFrameAllocResponse response_{};
    bool haveResponse_ = false;
    mfxU32 framesOut_ = 0;
    mfxU32 errors_ = 0;
};

}  // namespace mfxsw
