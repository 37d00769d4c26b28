// The rest of the dispatcher's function table. The dispatcher loads a runtime only when every
// entry exists; this runtime decodes, so encoding, processing, ENC/PAK and plug-ins are
// answered with MFX_ERR_UNSUPPORTED.
#include "MfxApi.h"

namespace {
constexpr mfxStatus kNo = MFX_ERR_UNSUPPORTED;
}

extern "C" {

mfxStatus MFXCloneSession(mfxSession, mfxSession*) { return kNo; }
mfxStatus MFXSetPriority(mfxSession, mfxPriority) { return kNo; }
mfxStatus MFXGetPriority(mfxSession, mfxPriority*) { return kNo; }
mfxStatus MFXDoWork(mfxSession) { return kNo; }
mfxStatus MFXVideoCORE_SetBufferAllocator(mfxSession, mfxBufferAllocator*) { return kNo; }
mfxStatus MFXVideoCORE_QueryPlatform(mfxSession, mfxPlatform*) { return kNo; }

mfxStatus MFXVideoENCODE_Query(mfxSession, mfxVideoParam*, mfxVideoParam*) { return kNo; }
mfxStatus MFXVideoENCODE_QueryIOSurf(mfxSession, mfxVideoParam*, mfxFrameAllocRequest*) { return kNo; }
mfxStatus MFXVideoENCODE_Init(mfxSession, mfxVideoParam*) { return kNo; }
mfxStatus MFXVideoENCODE_Reset(mfxSession, mfxVideoParam*) { return kNo; }
mfxStatus MFXVideoENCODE_Close(mfxSession) { return kNo; }
mfxStatus MFXVideoENCODE_GetVideoParam(mfxSession, mfxVideoParam*) { return kNo; }
mfxStatus MFXVideoENCODE_GetEncodeStat(mfxSession, mfxEncodeStat*) { return kNo; }
mfxStatus MFXVideoENCODE_EncodeFrameAsync(mfxSession, mfxEncodeCtrl*, mfxFrameSurface1*,
                                          mfxBitstream*, mfxSyncPoint*) { return kNo; }

mfxStatus MFXVideoVPP_Query(mfxSession, mfxVideoParam*, mfxVideoParam*) { return kNo; }
mfxStatus MFXVideoVPP_QueryIOSurf(mfxSession, mfxVideoParam*, mfxFrameAllocRequest*) { return kNo; }
mfxStatus MFXVideoVPP_Init(mfxSession, mfxVideoParam*) { return kNo; }
mfxStatus MFXVideoVPP_Reset(mfxSession, mfxVideoParam*) { return kNo; }
mfxStatus MFXVideoVPP_Close(mfxSession) { return kNo; }
mfxStatus MFXVideoVPP_GetVideoParam(mfxSession, mfxVideoParam*) { return kNo; }
mfxStatus MFXVideoVPP_GetVPPStat(mfxSession, mfxVPPStat*) { return kNo; }
mfxStatus MFXVideoVPP_RunFrameVPPAsync(mfxSession, mfxFrameSurface1*, mfxFrameSurface1*,
                                       mfxExtVppAuxData*, mfxSyncPoint*) { return kNo; }
mfxStatus MFXVideoVPP_RunFrameVPPAsyncEx(mfxSession, mfxFrameSurface1*, mfxFrameSurface1*,
                                         mfxFrameSurface1**, mfxSyncPoint*) { return kNo; }

mfxStatus MFXVideoENC_Query(mfxSession, mfxVideoParam*, mfxVideoParam*) { return kNo; }
mfxStatus MFXVideoENC_QueryIOSurf(mfxSession, mfxVideoParam*, mfxFrameAllocRequest*) { return kNo; }
mfxStatus MFXVideoENC_Init(mfxSession, mfxVideoParam*) { return kNo; }
mfxStatus MFXVideoENC_Reset(mfxSession, mfxVideoParam*) { return kNo; }
mfxStatus MFXVideoENC_Close(mfxSession) { return kNo; }
mfxStatus MFXVideoENC_ProcessFrameAsync(mfxSession, mfxENCInput*, mfxENCOutput*, mfxSyncPoint*) { return kNo; }
mfxStatus MFXVideoENC_GetVideoParam(mfxSession, mfxVideoParam*) { return kNo; }

mfxStatus MFXVideoPAK_Query(mfxSession, mfxVideoParam*, mfxVideoParam*) { return kNo; }
mfxStatus MFXVideoPAK_QueryIOSurf(mfxSession, mfxVideoParam*, mfxFrameAllocRequest*) { return kNo; }
mfxStatus MFXVideoPAK_Init(mfxSession, mfxVideoParam*) { return kNo; }
mfxStatus MFXVideoPAK_Reset(mfxSession, mfxVideoParam*) { return kNo; }
mfxStatus MFXVideoPAK_Close(mfxSession) { return kNo; }
mfxStatus MFXVideoPAK_ProcessFrameAsync(mfxSession, mfxPAKInput*, mfxPAKOutput*, mfxSyncPoint*) { return kNo; }
mfxStatus MFXVideoPAK_GetVideoParam(mfxSession, mfxVideoParam*) { return kNo; }

mfxStatus MFXVideoUSER_Register(mfxSession, mfxU32, const mfxPlugin*) { return kNo; }
mfxStatus MFXVideoUSER_Unregister(mfxSession, mfxU32) { return kNo; }
mfxStatus MFXVideoUSER_GetPlugin(mfxSession, mfxU32, mfxPlugin*) { return kNo; }
mfxStatus MFXVideoUSER_ProcessFrameAsync(mfxSession, const mfxHDL*, mfxU32, const mfxHDL*, mfxU32,
                                         mfxSyncPoint*) { return kNo; }
mfxStatus MFXVideoUSER_Load(mfxSession, const mfxPluginUID*, mfxU32) { return kNo; }
mfxStatus MFXVideoUSER_LoadByPath(mfxSession, const mfxPluginUID*, mfxU32, const mfxChar*, mfxU32) { return kNo; }
mfxStatus MFXVideoUSER_UnLoad(mfxSession, const mfxPluginUID*) { return kNo; }
mfxStatus MFXAudioUSER_Load(mfxSession, const mfxPluginUID*, mfxU32) { return kNo; }
mfxStatus MFXAudioUSER_UnLoad(mfxSession, const mfxPluginUID*) { return kNo; }

}  // extern "C"
