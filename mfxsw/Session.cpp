#include "Session.h"

#include <algorithm>

namespace mfxsw {

Session::Session(int threads) : threads_(threads) {}

Session::~Session() {
    CloseDecoder();
    Disjoin();
    // Children of a closed parent carry on as sessions of their own.
    for (Session* child : children_) child->parent_ = nullptr;
}

mfxStatus Session::SetHandle(mfxHandleType type, mfxHDL handle) {
    if (!handle) return MFX_ERR_NULL_PTR;
    for (const auto& entry : handles_)
        if (entry.first == type) return MFX_ERR_UNDEFINED_BEHAVIOR;
    handles_.emplace_back(type, handle);
    return MFX_ERR_NONE;
}

mfxStatus Session::GetHandle(mfxHandleType type, mfxHDL* handle) const {
    if (!handle) return MFX_ERR_NULL_PTR;
    for (const auto& entry : handles_) {
        if (entry.first == type) {
            *handle = entry.second;
            return MFX_ERR_NONE;
        }
    }
    return MFX_ERR_NOT_FOUND;
}

mfxStatus Session::SetFrameAllocator(const mfxFrameAllocator* allocator) {
    // The decoder reaches its surfaces through the allocator it was initialised with.
    if (decoder_) return MFX_ERR_UNDEFINED_BEHAVIOR;
    if (!allocator) {
        allocator_.reset();
        return MFX_ERR_NONE;
    }
    if (!allocator->Alloc || !allocator->Lock || !allocator->Unlock || !allocator->Free)
        return MFX_ERR_NULL_PTR;
    allocator_ = *allocator;
    return MFX_ERR_NONE;
}

void Session::CloseDecoder() {
    syncs_.ReleaseAll();
    decoder_.reset();
}

mfxStatus Session::Join(Session& child) {
    if (&child == this || child.parent_ || !child.children_.empty() || parent_)
        return MFX_ERR_UNDEFINED_BEHAVIOR;
    child.parent_ = this;
    children_.push_back(&child);
    return MFX_ERR_NONE;
}

mfxStatus Session::Disjoin() {
    if (!parent_) return MFX_ERR_UNDEFINED_BEHAVIOR;
    auto& siblings = parent_->children_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    parent_ = nullptr;
    return MFX_ERR_NONE;
}

}  // namespace mfxsw
