// Session and CORE entry points.
// MfxApi.h comes first: the first declaration of an entry point decides its visibility.
#include "MfxApi.h"

#include "Session.h"

#include <mfxvideo.h>

#include <memory>
#include <new>

using mfxsw::Session;

namespace {

constexpr mfxU16 kApiMajor = 1;
constexpr mfxU16 kApiMinor = 35;

mfxStatus CreateSession(const mfxInitParam& par, mfxSession* session) {
    if (!session) return MFX_ERR_NULL_PTR;
    *session = nullptr;
    mfxIMPL base = MFX_IMPL_BASETYPE(par.Implementation);
    // There is no hardware behind this runtime: only software and "whatever is there" match.
    if (base != MFX_IMPL_SOFTWARE && base != MFX_IMPL_AUTO && base != MFX_IMPL_AUTO_ANY)
        return MFX_ERR_UNSUPPORTED;
    if (par.Implementation & MFX_IMPL_AUDIO) return MFX_ERR_UNSUPPORTED;
    if (par.Version.Version != 0 &&
        (par.Version.Major != kApiMajor || par.Version.Minor > kApiMinor))
        return MFX_ERR_UNSUPPORTED;
    // All work happens inside the calls, so there is nothing for application threads to do.
    if (par.ExternalThreads) return MFX_ERR_UNSUPPORTED;
    int threads = 0;
    for (mfxU16 i = 0; par.ExtParam && i < par.NumExtParam; ++i) {
        const mfxExtBuffer* ext = par.ExtParam[i];
        if (ext && ext->BufferId == MFX_EXTBUFF_THREADS_PARAM &&
            ext->BufferSz >= sizeof(mfxExtThreadsParam))
            threads = reinterpret_cast<const mfxExtThreadsParam*>(ext)->NumThread;
    }
    auto created = std::unique_ptr<Session>(new (std::nothrow) Session(threads));
    if (!created) return MFX_ERR_MEMORY_ALLOC;
    *session = created.release()->Handle();
    return MFX_ERR_NONE;
}

}  // namespace

extern "C" {

mfxStatus MFXInit(mfxIMPL impl, mfxVersion* ver, mfxSession* session) {
    mfxInitParam par{};
    par.Implementation = impl;
    if (ver) par.Version = *ver;
    return CreateSession(par, session);
}

mfxStatus MFXInitEx(mfxInitParam par, mfxSession* session) { return CreateSession(par, session); }

mfxStatus MFXClose(mfxSession session) {
    if (!session) return MFX_ERR_INVALID_HANDLE;
    std::unique_ptr<Session> owned(Session::From(session));
    return MFX_ERR_NONE;
}

mfxStatus MFXQueryIMPL(mfxSession session, mfxIMPL* impl) {
    if (!session) return MFX_ERR_INVALID_HANDLE;
    if (!impl) return MFX_ERR_NULL_PTR;
    *impl = MFX_IMPL_SOFTWARE;
    return MFX_ERR_NONE;
}

mfxStatus MFXQueryVersion(mfxSession session, mfxVersion* version) {
    if (!session) return MFX_ERR_INVALID_HANDLE;
    if (!version) return MFX_ERR_NULL_PTR;
    version->Major = kApiMajor;
    version->Minor = kApiMinor;
    return MFX_ERR_NONE;
}

mfxStatus MFXJoinSession(mfxSession session, mfxSession child) {
    if (!session || !child) return MFX_ERR_INVALID_HANDLE;
    return Session::From(session)->Join(*Session::From(child));
}

mfxStatus MFXDisjoinSession(mfxSession session) {
    if (!session) return MFX_ERR_INVALID_HANDLE;
    return Session::From(session)->Disjoin();
}

mfxStatus MFXVideoCORE_SetHandle(mfxSession session, mfxHandleType type, mfxHDL hdl) {
    if (!session) return MFX_ERR_INVALID_HANDLE;
    return Session::From(session)->SetHandle(type, hdl);
}

mfxStatus MFXVideoCORE_GetHandle(mfxSession session, mfxHandleType type, mfxHDL* hdl) {
    if (!session) return MFX_ERR_INVALID_HANDLE;
    return Session::From(session)->GetHandle(type, hdl);
}

mfxStatus MFXVideoCORE_SetFrameAllocator(mfxSession session, mfxFrameAllocator* allocator) {
    if (!session) return MFX_ERR_INVALID_HANDLE;
    return Session::From(session)->SetFrameAllocator(allocator);
}

mfxStatus MFXVideoCORE_SyncOperation(mfxSession session, mfxSyncPoint syncp, mfxU32 wait) {
    (void)wait;  // every operation is complete when its call returns
    if (!session) return MFX_ERR_INVALID_HANDLE;
    if (!syncp) return MFX_ERR_NULL_PTR;
    return Session::From(session)->Syncs().Complete(syncp);
}

}  // extern "C"
