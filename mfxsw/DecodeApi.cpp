// DECODE entry points.
// MfxApi.h comes first: the first declaration of an entry point decides its visibility.
#include "MfxApi.h"

#include "HeaderReader.h"
#include "Session.h"
#include "VideoParamCheck.h"

using mfxsw::Decoder;
using mfxsw::HeaderReader;
using mfxsw::Session;
using mfxsw::VideoParamCheck;

extern "C" {

mfxStatus MFXVideoDECODE_DecodeHeader(mfxSession session, mfxBitstream* bs, mfxVideoParam* par) {
    if (!session) return MFX_ERR_INVALID_HANDLE;
    if (!bs || !par) return MFX_ERR_NULL_PTR;
    return HeaderReader::DecodeHeader(*bs, *par);
}

mfxStatus MFXVideoDECODE_Query(mfxSession session, mfxVideoParam* in, mfxVideoParam* out) {
    if (!session) return MFX_ERR_INVALID_HANDLE;
    if (!out) return MFX_ERR_NULL_PTR;
    if (!in) {
        VideoParamCheck::QueryConfigurable(*out);
        return MFX_ERR_NONE;
    }
    return VideoParamCheck::Query(*in, *out);
}

mfxStatus MFXVideoDECODE_QueryIOSurf(mfxSession session, mfxVideoParam* par,
                                     mfxFrameAllocRequest* request) {
    if (!session) return MFX_ERR_INVALID_HANDLE;
    if (!par || !request) return MFX_ERR_NULL_PTR;
    return VideoParamCheck::QueryIOSurf(*par, *request);
}

mfxStatus MFXVideoDECODE_Init(mfxSession session, mfxVideoParam* par) {
    if (!session) return MFX_ERR_INVALID_HANDLE;
    if (!par) return MFX_ERR_NULL_PTR;
    Session& s = *Session::From(session);
    if (s.Decode()) return MFX_ERR_UNDEFINED_BEHAVIOR;
    mfxStatus status = VideoParamCheck::CheckInit(*par, s.FrameAllocator() != nullptr);
    if (status != MFX_ERR_NONE) return status;
    std::unique_ptr<Decoder> decoder;
    status = Decoder::Open(*par, s.Threads(), s.FrameAllocator(), decoder);
    if (status != MFX_ERR_NONE) return status;
    s.SetDecoder(std::move(decoder));
    return MFX_ERR_NONE;
}

mfxStatus MFXVideoDECODE_Reset(mfxSession session, mfxVideoParam* par) {
    if (!session) return MFX_ERR_INVALID_HANDLE;
    if (!par) return MFX_ERR_NULL_PTR;
    Session& s = *Session::From(session);
    if (!s.Decode()) return MFX_ERR_NOT_INITIALIZED;
    mfxStatus status = VideoParamCheck::CheckInit(*par, s.FrameAllocator() != nullptr);
    if (status != MFX_ERR_NONE) return status == MFX_ERR_UNSUPPORTED ? MFX_ERR_INVALID_VIDEO_PARAM
                                                                     : status;
    s.Syncs().ReleaseAll();
    return s.Decode()->Reset(*par);
}

mfxStatus MFXVideoDECODE_Close(mfxSession session) {
    if (!session) return MFX_ERR_INVALID_HANDLE;
    Session& s = *Session::From(session);
    if (!s.Decode()) return MFX_ERR_NOT_INITIALIZED;
    s.CloseDecoder();
    return MFX_ERR_NONE;
}

mfxStatus MFXVideoDECODE_GetVideoParam(mfxSession session, mfxVideoParam* par) {
    if (!session) return MFX_ERR_INVALID_HANDLE;
    if (!par) return MFX_ERR_NULL_PTR;
    Decoder* decoder = Session::From(session)->Decode();
    if (!decoder) return MFX_ERR_NOT_INITIALIZED;
    decoder->GetVideoParam(*par);
    return MFX_ERR_NONE;
}

mfxStatus MFXVideoDECODE_GetDecodeStat(mfxSession session, mfxDecodeStat* stat) {
    if (!session) return MFX_ERR_INVALID_HANDLE;
    if (!stat) return MFX_ERR_NULL_PTR;
    Decoder* decoder = Session::From(session)->Decode();
    if (!decoder) return MFX_ERR_NOT_INITIALIZED;
    decoder->GetDecodeStat(*stat);
    return MFX_ERR_NONE;
}

mfxStatus MFXVideoDECODE_DecodeFrameAsync(mfxSession session, mfxBitstream* bs,
                                          mfxFrameSurface1* surface_work,
                                          mfxFrameSurface1** surface_out, mfxSyncPoint* syncp) {
    if (!session) return MFX_ERR_INVALID_HANDLE;
    if (!surface_out || !syncp) return MFX_ERR_NULL_PTR;
    *surface_out = nullptr;
    *syncp = nullptr;
    Session& s = *Session::From(session);
    Decoder* decoder = s.Decode();
    if (!decoder) return MFX_ERR_NOT_INITIALIZED;
    mfxStatus status = decoder->DecodeFrameAsync(bs, surface_work, surface_out);
    if (status == MFX_ERR_NONE) {
        *syncp = s.Syncs().Add(*surface_out);
    } else {
        *surface_out = nullptr;
    }
    return status;
}

mfxStatus MFXVideoDECODE_GetPayload(mfxSession session, mfxU64*, mfxPayload*) {
    return session ? MFX_ERR_UNSUPPORTED : MFX_ERR_INVALID_HANDLE;
}

mfxStatus MFXVideoDECODE_SetSkipMode(mfxSession session, mfxSkipMode) {
    return session ? MFX_ERR_UNSUPPORTED : MFX_ERR_INVALID_HANDLE;
}

}  // extern "C"
