#include "host/FrameBuffer.h"

#include "host/HostSdk.h"

namespace host {

FrameBuffer::FrameBuffer(std::uint32_t pixelFormat, std::int32_t width, std::int32_t height)
    : pixelFormat_(pixelFormat), width_(width), height_(height) {
    for (int p = 0; p < 3; ++p) {
        pitch_[p] = PitchFor(RowBytes(p));
        planes_[p].assign(static_cast<std::size_t>(pitch_[p]) * static_cast<std::size_t>(Rows(p)),
                          kUnwritten);
    }
}

bool FrameBuffer::IsPlanar420(std::uint32_t pixelFormat) {
    return pixelFormat == kPixelFormatYV12 || pixelFormat == kPixelFormatYV17 ||
           pixelFormat == kPixelFormatYVI2 || pixelFormat == kPixelFormatYVI7;
}

std::uint32_t FrameBuffer::PitchFor(std::int32_t rowBytes) {
    return (static_cast<std::uint32_t>(rowBytes) / 64 + 1) * 64;
}

}  // namespace host
