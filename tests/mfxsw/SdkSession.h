#pragma once
// A dispatcher session on our runtime, loaded from the test binary's folder as the plug-in
// loads it from its own.
#include "common/MediaRuntime.h"

#include <mfxvideo.h>

namespace mfxsw_test {

class SdkSession {
public:
    explicit SdkSession(mfxIMPL impl = MFX_IMPL_AUTO_ANY) {
        mfxVersion version{};
        version.Major = 1;
        status_ = MFXInit(impl, &version, &session_);
    }
    ~SdkSession() {
        if (session_) MFXClose(session_);
    }
    SdkSession(const SdkSession&) = delete;
    SdkSession& operator=(const SdkSession&) = delete;

    mfxStatus InitStatus() const { return status_; }
    mfxSession get() const { return session_; }
    operator mfxSession() const { return session_; }

private:
    qivo::MediaRuntime runtime_;  // first in, last out
    mfxSession session_ = nullptr;
    mfxStatus status_;
};

}  // namespace mfxsw_test
