#pragma once
// The decoder oracle: what the ffmpeg program, on the same libavcodec, makes of a file.
#include <cstdint>
#include <string>
#include <vector>

namespace mfxsw_test {

class FfmpegReference {
public:
    // Per-frame MD5 (hex) of `ffmpeg -i FILE [-vf FILTER] -f framemd5 -pix_fmt PIXFMT -`.
    static std::vector<std::string> FrameMd5(const std::string& path, const std::string& pixFmt,
                                             const std::string& filter = "");
    // Every frame of `ffmpeg -i FILE -f rawvideo -pix_fmt PIXFMT -`, concatenated.
    static std::vector<uint8_t> RawVideo(const std::string& path, const std::string& pixFmt);
};

}  // namespace mfxsw_test
