#pragma once
// A host frame buffer in one of the planar 4:2:0 formats. Every plane's row pitch is wider than
// its row and a multiple of 64 bytes, so a plug-in that copies packed rows must spread them.

#include <cstdint>
#include <vector>

namespace host {

class FrameBuffer {
public:
    FrameBuffer(std::uint32_t pixelFormat, std::int32_t width, std::int32_t height);

    static bool IsPlanar420(std::uint32_t pixelFormat);
    // Smallest multiple of 64 strictly greater than rowBytes.
    static std::uint32_t PitchFor(std::int32_t rowBytes);

    std::uint32_t PixelFormat() const { return pixelFormat_; }
    std::int32_t Width() const { return width_; }
    std::int32_t Height() const { return height_; }

    // Plane 0 is Y, 1 is U (Cb), 2 is V (Cr).
    char* Plane(int plane) { return planes_[plane].data(); }
    const char* Plane(int plane) const { return planes_[plane].data(); }
    std::uint32_t Pitch(int plane) const { return pitch_[plane]; }
    std::int32_t RowBytes(int plane) const { return plane == 0 ? width_ : (width_ + 1) / 2; }
    std::int32_t Rows(int plane) const { return plane == 0 ? height_ : (height_ + 1) / 2; }

    // Contents of a buffer that nothing has written to.
    static constexpr char kUnwritten = static_cast<char>(0xEE);

private:
    std::uint32_t pixelFormat_;
    std::int32_t width_;
    std::int32_t height_;
    std::uint32_t pitch_[3];
    std::vector<char> planes_[3];
};

}  // namespace host
