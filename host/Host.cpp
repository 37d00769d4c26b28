#include "host/Host.h"

#include <cassert>
#include <new>

#include "host/HostTime.h"

namespace host {

struct FrameBufferRec {
    FrameBuffer buffer;
};

namespace {
// The one live Host; the host's function tables carry no context to find it otherwise.
Host* g_active = nullptr;
}  // namespace

Host::Host(std::int32_t interfaceVersion) {
    assert(g_active == nullptr && "only one Host at a time");
    g_active = this;

    memoryFuncs_ = {&NewHandle, &LockHandle, &UnlockHandle, &DisposeHandle};
    utilityFuncs_ = {&GetBasicSuite};
    basicSuite_ = {&AcquireSuite, &ReleaseSuite};
    creatorSuite_ = {&CreatePPix};
    ppix2Suite_ = {&GetYUV420PlanarBuffers};
    timeSuite_ = {&GetTicksPerSecond, &GetTicksPerVideoFrame};
    stringSuite_ = {&AllocateFromUTF8};
    functions_ = {&memoryFuncs_, &utilityFuncs_};
    params_ = {interfaceVersion, nullptr, &functions_};

    broker_.Register(kPPixCreatorSuiteName, kPPixCreatorSuiteVersion, &creatorSuite_);
    broker_.Register(kPPix2SuiteName, kPPix2SuiteVersion, &ppix2Suite_);
    broker_.Register(kTimeSuiteName, kTimeSuiteVersion, &timeSuite_);
    broker_.Register(kStringSuiteName, kStringSuiteVersion, &stringSuite_);
}

Host::~Host() {
    if (g_active == this) g_active = nullptr;
}

Host* Host::Active() { return g_active; }

FrameBuffer* Host::Frame(PPixHandle handle) {
    auto it = frames_.find(handle);
    return it == frames_.end() ? nullptr : &it->second->buffer;
}

void Host::DisposeFrame(PPixHandle handle) { frames_.erase(handle); }

std::optional<std::string> Host::Text(HostString string) const {
    auto it = strings_.find(string.id);
    if (it == strings_.end()) return std::nullopt;
    return it->second;
}

MemoryHandle Host::NewHandle(std::int32_t size) {
    Host* host = Active();
    return host ? host->memory_.New(size) : nullptr;
}

void* Host::LockHandle(MemoryHandle handle) {
    Host* host = Active();
    return host ? host->memory_.Lock(handle) : nullptr;
}

void Host::UnlockHandle(MemoryHandle handle) {
    if (Host* host = Active()) host->memory_.Unlock(handle);
}

void Host::DisposeHandle(MemoryHandle handle) {
    if (Host* host = Active()) host->memory_.Dispose(handle);
}

BasicSuite* Host::GetBasicSuite() {
    Host* host = Active();
    return host && host->brokerOffered_ ? &host->basicSuite_ : nullptr;
}

std::int32_t Host::AcquireSuite(const char* name, std::int32_t version, const void** suite) {
    Host* host = Active();
    if (!host || !name || !suite) return kSuiteBadParameter;
    *suite = host->broker_.Acquire(name, version);
    return *suite ? kSuiteSuccess : kSuiteUnknownSuite;
}

std::int32_t Host::ReleaseSuite(const char* name, std::int32_t version) {
    Host* host = Active();
    if (!host || !name) return kSuiteBadParameter;
    return host->broker_.Release(name, version) ? kSuiteSuccess : kSuiteUnknownSuite;
}

std::int32_t Host::CreatePPix(PPixHandle* out, std::int32_t access, std::uint32_t pixelFormat,
                              const BoundsRect* bounds) {
    Host* host = Active();
    if (!host || !out || !bounds || access != kAccessReadWrite) return kSuiteBadParameter;
    if (!FrameBuffer::IsPlanar420(pixelFormat)) return kSuiteBadParameter;
    const std::int64_t width = static_cast<std::int64_t>(bounds->right) - bounds->left;
    const std::int64_t height = static_cast<std::int64_t>(bounds->bottom) - bounds->top;
    if (width <= 0 || height <= 0 || width > kMaxFrameSide || height > kMaxFrameSide) {
        return kSuiteBadParameter;
    }
    auto rec = std::unique_ptr<FrameBufferRec>(new (std::nothrow) FrameBufferRec{
        FrameBuffer(pixelFormat, static_cast<std::int32_t>(width), static_cast<std::int32_t>(height))});
    if (!rec) return kSuiteOutOfMemory;
    PPixHandle handle = rec.get();
    host->frames_.emplace(handle, std::move(rec));
    *out = handle;
    return kSuiteSuccess;
}

std::int32_t Host::GetYUV420PlanarBuffers(PPixHandle frame, std::int32_t access, char** y,
                                          std::uint32_t* yRowBytes, char** u,
                                          std::uint32_t* uRowBytes, char** v,
                                          std::uint32_t* vRowBytes) {
    Host* host = Active();
    FrameBuffer* buffer = host ? host->Frame(frame) : nullptr;
    if (!buffer || access != kAccessReadWrite || !y || !yRowBytes || !u || !uRowBytes || !v ||
        !vRowBytes) {
        return kSuiteBadParameter;
    }
    *y = buffer->Plane(0);
    *yRowBytes = buffer->Pitch(0);
    *u = buffer->Plane(1);
    *uRowBytes = buffer->Pitch(1);
    *v = buffer->Plane(2);
    *vRowBytes = buffer->Pitch(2);
    return kSuiteSuccess;
}

std::int32_t Host::GetTicksPerSecond(std::int64_t* ticks) {
    if (!ticks) return kSuiteBadParameter;
    *ticks = kTicksPerSecond;
    return kSuiteSuccess;
}

std::int32_t Host::GetTicksPerVideoFrame(std::int32_t rateCode, std::int64_t* ticks) {
    const auto perFrame = TicksPerFrame(rateCode);
    if (!ticks || !perFrame) return kSuiteBadParameter;
    *ticks = *perFrame;
    return kSuiteSuccess;
}

std::int32_t Host::AllocateFromUTF8(const std::uint8_t* text, HostString* out) {
    Host* host = Active();
    if (!host || !text || !out) return kSuiteBadParameter;
    const std::uint64_t id = host->nextString_++;
    host->strings_.emplace(id, reinterpret_cast<const char*>(text));
    out->id = id;
    return kSuiteSuccess;
}

}  // namespace host
