// The runtime's header parsers over arbitrary bytes, through DecodeHeader as an application
// calls it. H.264 carries the MVC sequence description, filled in the two calls an application
// makes: counts first, then the arrays sized from them. The first byte chooses the codec and
// the end-of-stream flag.
#include <cstdint>
#include <vector>

#include <mfxvideo.h>
#include <mfxjpeg.h>
#include <mfxmvc.h>

namespace {

struct Session {
    Session() {
        mfxVersion version{};
        version.Major = 1;
        if (MFXInit(MFX_IMPL_SOFTWARE, &version, &session) != MFX_ERR_NONE) session = nullptr;
    }
    ~Session() {
        if (session) MFXClose(session);
    }
    mfxSession session = nullptr;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    static const mfxU32 kCodecs[] = {MFX_CODEC_AVC, MFX_CODEC_MPEG2, MFX_CODEC_VC1, MFX_CODEC_JPEG};
    std::uint8_t control = data[0];
    // The bytes get a buffer of their own, so reading past them is seen.
    std::vector<mfxU8> bytes(data + 1, data + size);
    Session s;
    if (!s.session) return 0;

    mfxBitstream bs{};
    bs.Data = bytes.data();
    bs.DataLength = bs.MaxLength = static_cast<mfxU32>(bytes.size());
    bs.DataFlag = (control & 4) ? MFX_BITSTREAM_EOS : 0;
    mfxVideoParam par{};
    par.mfx.CodecId = kCodecs[control & 3];

    mfxExtMVCSeqDesc desc{};
    desc.Header.BufferId = MFX_EXTBUFF_MVC_SEQ_DESC;
    desc.Header.BufferSz = sizeof desc;
    mfxExtBuffer* ext[] = {&desc.Header};
    bool mvc = par.mfx.CodecId == MFX_CODEC_AVC && (control & 8);
    if (mvc) {
        par.ExtParam = ext;
        par.NumExtParam = 1;
    }
    mfxStatus status = MFXVideoDECODE_DecodeHeader(s.session, &bs, &par);
    if (bs.DataOffset > bs.MaxLength || bs.DataLength > bs.MaxLength - bs.DataOffset) __builtin_trap();
    if (mvc && status == MFX_ERR_NOT_ENOUGH_BUFFER) {
        std::vector<mfxMVCViewDependency> views(desc.NumView);
        std::vector<mfxU16> viewIds(desc.NumViewId);
        std::vector<mfxMVCOperationPoint> ops(desc.NumOP);
        desc.View = views.data();
        desc.NumViewAlloc = desc.NumView;
        desc.ViewId = viewIds.data();
        desc.NumViewIdAlloc = desc.NumViewId;
        desc.OP = ops.data();
        desc.NumOPAlloc = desc.NumOP;
        status = MFXVideoDECODE_DecodeHeader(s.session, &bs, &par);
        if (status == MFX_ERR_NONE) {
            // Every operation point names view ids inside the array it was given.
            for (const auto& op : ops) {
                if (op.NumTargetViews == 0) continue;
                if (op.TargetViewId < viewIds.data() ||
                    op.TargetViewId + op.NumTargetViews > viewIds.data() + viewIds.size())
                    __builtin_trap();
            }
        }
    }
    if (bs.DataOffset > bs.MaxLength || bs.DataLength > bs.MaxLength - bs.DataOffset) __builtin_trap();
    return 0;
}
