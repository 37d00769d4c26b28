#pragma once
// A frame allocator standing in for video memory: surfaces are known to the runtime only by
// memory id, and their pixels are reachable only between Lock and Unlock. Decoder requests for
// the same pictures share one allocation, as the plug-in's allocators do.
#include <mfxvideo.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mfxsw_test {

class TestFrameAllocator {
public:
    TestFrameAllocator();
    TestFrameAllocator(const TestFrameAllocator&) = delete;
    TestFrameAllocator& operator=(const TestFrameAllocator&) = delete;

    mfxFrameAllocator* Table() { return &table_; }

    int allocCalls = 0;
    int freeCalls = 0;
    int locks = 0;    // Lock calls without their Unlock yet
    int lockCalls = 0;

private:
    struct Frame {
        std::vector<uint8_t> bytes;
        mfxU16 pitch = 0;
        size_t uvOffset = 0;
    };

    static mfxStatus Alloc(mfxHDL pthis, mfxFrameAllocRequest* request,
                           mfxFrameAllocResponse* response);
    static mfxStatus Lock(mfxHDL pthis, mfxMemId mid, mfxFrameData* data);
    static mfxStatus Unlock(mfxHDL pthis, mfxMemId mid, mfxFrameData* data);
    static mfxStatus GetHDL(mfxHDL pthis, mfxMemId mid, mfxHDL* handle);
    static mfxStatus Free(mfxHDL pthis, mfxFrameAllocResponse* response);

    mfxFrameAllocator table_{};
    std::vector<Frame> frames_;
    std::vector<mfxMemId> mids_;
    int users_ = 0;
};

}  // namespace mfxsw_test
