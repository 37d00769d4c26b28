#pragma once
// One source's share of a joined copy.

#include <cstdint>

#include "platform/FileHandle.h"
#include "tools/common/CopyBuffer.h"
#include "tools/common/DebugLog.h"

namespace tools {

// position is the offset in the joined stream of the source's next byte; bytes before start
// are read and dropped (sources may be pipes, which cannot seek), bytes of the range are
// copied, and nothing past the range is read. length 0 means to the end. The position is
// always advanced by every byte read. Returns 0 or a result code.
unsigned CopyRange(const platform::FileHandle& input, const platform::FileHandle& output,
                   std::uint64_t& position, std::uint64_t start, std::uint64_t length,
                   const CopyBuffer& buffer, const DebugLog& log);

}  // namespace tools
