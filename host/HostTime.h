#pragma once
// The host's time base: a tick count per second that divides every standard frame duration.

#include <cstdint>
#include <optional>

namespace host {

inline constexpr std::int64_t kTicksPerSecond = 254016000000;

// Ticks per frame of a standard rate code (1 to 8), or nothing for any other code.
std::optional<std::int64_t> TicksPerFrame(std::int32_t rateCode);

}  // namespace host
