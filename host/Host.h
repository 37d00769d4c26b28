#pragma once
// The editing host as a plug-in sees it: the standard parameters with their memory and utility
// tables, the suite broker and the four suites (frame buffer creation, planar access, time,
// strings). The tables are plain function pointers without a context, so they reach the one
// Host that exists at a time; a second Host while one lives is a programming error.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "host/FrameBuffer.h"
#include "host/HostMemory.h"
#include "host/HostSdk.h"
#include "host/SuiteBroker.h"

namespace host {

class Host {
public:
    explicit Host(std::int32_t interfaceVersion = 7);
    ~Host();
    Host(const Host&) = delete;
    Host& operator=(const Host&) = delete;

    StandardParams* Params() { return &params_; }
    HostMemory& Memory() { return memory_; }
    SuiteBroker& Broker() { return broker_; }

    // A host that offers no suite broker at all.
    void SetBrokerOffered(bool offered) { brokerOffered_ = offered; }

    // Frame buffers made through the creator suite; they stay the host's.
    FrameBuffer* Frame(PPixHandle handle);
    void DisposeFrame(PPixHandle handle);
    std::size_t LiveFrames() const { return frames_.size(); }

    // Strings made through the string suite.
    std::optional<std::string> Text(HostString string) const;
    void DisposeString(HostString string) { strings_.erase(string.id); }

    // Largest frame buffer side the host agrees to create.
    static constexpr std::int32_t kMaxFrameSide = 16384;

private:
    static Host* Active();

    static MemoryHandle NewHandle(std::int32_t size);
    static void* LockHandle(MemoryHandle handle);
    static void UnlockHandle(MemoryHandle handle);
    static void DisposeHandle(MemoryHandle handle);
    static BasicSuite* GetBasicSuite();
    static std::int32_t AcquireSuite(const char* name, std::int32_t version, const void** suite);
    static std::int32_t ReleaseSuite(const char* name, std::int32_t version);
    static std::int32_t CreatePPix(PPixHandle* out, std::int32_t access, std::uint32_t pixelFormat,
                                   const BoundsRect* bounds);
    static std::int32_t GetYUV420PlanarBuffers(PPixHandle frame, std::int32_t access, char** y,
                                               std::uint32_t* yRowBytes, char** u,
                                               std::uint32_t* uRowBytes, char** v,
                                               std::uint32_t* vRowBytes);
    static std::int32_t GetTicksPerSecond(std::int64_t* ticks);
    static std::int32_t GetTicksPerVideoFrame(std::int32_t rateCode, std::int64_t* ticks);
    static std::int32_t AllocateFromUTF8(const std::uint8_t* text, HostString* out);

    HostMemory memory_;
    SuiteBroker broker_;
    bool brokerOffered_ = true;
    std::map<PPixHandle, std::unique_ptr<FrameBufferRec>> frames_;
    std::map<std::uint64_t, std::string> strings_;
    std::uint64_t nextString_ = 1;

    MemoryFuncs memoryFuncs_{};
    UtilityFuncs utilityFuncs_{};
    BasicSuite basicSuite_{};
    PPixCreatorSuite creatorSuite_{};
    PPix2Suite ppix2Suite_{};
    TimeSuite timeSuite_{};
    StringSuite stringSuite_{};
    HostFunctionTables functions_{};
    StandardParams params_{};
};

}  // namespace host
