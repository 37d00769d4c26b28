#pragma once
// Copies a byte range of several sources joined in order into one destination.

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

// Every source is opened, copied from and closed in turn; the destination is created only
// once the first source has opened. Returns 0 or a result code; on failure failedIndex names
// the source at fault, or is -1 for the destination (and for want of memory).
unsigned CopyJoinedRange(const std::vector<std::string>& sources, const std::string& destination,
                         std::uint64_t start, std::uint64_t length, std::uint32_t bufferSize,
                         bool debug, int& failedIndex);

}  // namespace tools
