#include "TestFrameAllocator.h"

namespace mfxsw_test {

TestFrameAllocator::TestFrameAllocator() {
    table_.pthis = this;
    table_.Alloc = &Alloc;
    table_.Lock = &Lock;
    table_.Unlock = &Unlock;
    table_.GetHDL = &GetHDL;
    table_.Free = &Free;
}

mfxStatus TestFrameAllocator::Alloc(mfxHDL pthis, mfxFrameAllocRequest* request,
                                    mfxFrameAllocResponse* response) {
    auto& self = *static_cast<TestFrameAllocator*>(pthis);
    ++self.allocCalls;
    if (!(request->Type & MFX_MEMTYPE_VIDEO_MEMORY_DECODER_TARGET) ||
        request->Info.FourCC != MFX_FOURCC_NV12)
        return MFX_ERR_UNSUPPORTED;
    if (self.users_ == 0) {
        mfxU16 pitch = static_cast<mfxU16>((request->Info.Width + 31) & ~31);
        size_t rows = (request->Info.Height + 31u) & ~31u;
        self.frames_.resize(request->NumFrameSuggested);
        self.mids_.clear();
        for (auto& frame : self.frames_) {
            frame.pitch = pitch;
            frame.uvOffset = pitch * rows;
            frame.bytes.assign(pitch * rows * 3 / 2, 0);
            self.mids_.push_back(&frame);
        }
    } else if (request->NumFrameSuggested > self.frames_.size()) {
        return MFX_ERR_MEMORY_ALLOC;
    }
    ++self.users_;
    response->mids = self.mids_.data();
    response->NumFrameActual = static_cast<mfxU16>(self.mids_.size());
    return MFX_ERR_NONE;
}

mfxStatus TestFrameAllocator::Lock(mfxHDL pthis, mfxMemId mid, mfxFrameData* data) {
    auto& self = *static_cast<TestFrameAllocator*>(pthis);
    auto* frame = static_cast<Frame*>(mid);
    ++self.locks;
    ++self.lockCalls;
    data->Y = frame->bytes.data();
    data->UV = frame->bytes.data() + frame->uvOffset;
    data->V = data->UV + 1;
    data->PitchHigh = 0;
    data->PitchLow = frame->pitch;
    return MFX_ERR_NONE;
}

mfxStatus TestFrameAllocator::Unlock(mfxHDL pthis, mfxMemId, mfxFrameData* data) {
    auto& self = *static_cast<TestFrameAllocator*>(pthis);
    --self.locks;
    if (data) {
        data->Y = data->UV = data->V = nullptr;
        data->PitchLow = 0;
    }
    return MFX_ERR_NONE;
}

mfxStatus TestFrameAllocator::GetHDL(mfxHDL, mfxMemId, mfxHDL*) { return MFX_ERR_UNSUPPORTED; }

mfxStatus TestFrameAllocator::Free(mfxHDL pthis, mfxFrameAllocResponse* response) {
    auto& self = *static_cast<TestFrameAllocator*>(pthis);
    ++self.freeCalls;
    if (!response || response->mids != self.mids_.data()) return MFX_ERR_INVALID_HANDLE;
    if (--self.users_ == 0) {
        self.frames_.clear();
        self.mids_.clear();
    }
    return MFX_ERR_NONE;
}

}  // namespace mfxsw_test
