#pragma once
// Reads a clip descriptor into the clip record and its frame source's settings.

#include <cstdint>
#include <string>
#include <string_view>

#include "importer/ClipRecord.h"

namespace qivo {

// Reads the descriptor at record.descriptorPath. Missing or malformed keys take their
// defaults; needs record.frameSource, and record.timeSuite for the frame rate. A named file
// whose resolved path does not fit the host's 260-unit buffers is not cut to another name:
// the descriptor is refused by leaving videoPath empty, so that no open of the clip succeeds.
// Returns 0.
int ReadDescriptor(ClipRecord& record);

// Resolves a file name against the descriptor's path: empty stays empty, a name with a slash or
// backslash is used as written, a bare name lies in the descriptor's folder.
std::string ResolveFileName(std::string_view descriptorPath, std::string_view value);

// Host ticks per frame for a "frame_rate" text ("num/den" or "num"); 0 when it gives no rate.
std::int64_t TicksPerFrameFor(std::string_view frameRate, std::int64_t ticksPerSecond);

// Stores the clip's frame count in the descriptor's "num_frames"; false with errno on failure.
bool WriteFrameCount(const ClipRecord& record, std::int32_t frameCount);

}  // namespace qivo
