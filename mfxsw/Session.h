#pragma once
// One SDK session: its decoder, the application's handles and frame allocator, and the sync
// points of decoded surfaces. The session handle the application holds is this object.
#include "Decoder.h"
#include "SyncPoints.h"

#include <mfxvideo.h>

#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace mfxsw {

class Session {
public:
    // `threads` is libavcodec's thread count for decoders of this session; 0 lets it choose.
    explicit Session(int threads);
    ~Session();
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    static Session* From(mfxSession handle) { return reinterpret_cast<Session*>(handle); }
    mfxSession Handle() { return reinterpret_cast<mfxSession>(this); }

    int Threads() const { return threads_; }
    SyncPoints& Syncs() { return syncs_; }

    mfxStatus SetHandle(mfxHandleType type, mfxHDL handle);
    mfxStatus GetHandle(mfxHandleType type, mfxHDL* handle) const;
    mfxStatus SetFrameAllocator(const mfxFrameAllocator* allocator);
    const mfxFrameAllocator* FrameAllocator() const {
        return allocator_ ? &*allocator_ : nullptr;
    }

    Decoder* Decode() { return decoder_.get(); }
    void SetDecoder(std::unique_ptr<Decoder> decoder) { decoder_ = std::move(decoder); }
    // Ends decoding: unlocks the surfaces still held for the application, then the decoder.
    void CloseDecoder();

    mfxStatus Join(Session& child);
    mfxStatus Disjoin();

private:
    int threads_;
    SyncPoints syncs_;
    std::vector<std::pair<mfxHandleType, mfxHDL>> handles_;
    std::optional<mfxFrameAllocator> allocator_;
    std::unique_ptr<Decoder> decoder_;
    Session* parent_ = nullptr;
    std::vector<Session*> children_;
};

}  // namespace mfxsw
