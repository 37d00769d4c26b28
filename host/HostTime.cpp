#include "host/HostTime.h"

namespace host {

std::optional<std::int64_t> TicksPerFrame(std::int32_t rateCode) {
    struct Rate {
        std::int64_t num, den;
    };
    static constexpr Rate kRates[] = {
        {24000, 1001}, {24, 1}, {25, 1}, {30000, 1001}, {30, 1}, {50, 1}, {60000, 1001}, {60, 1},
    };
    if (rateCode < 1 || rateCode > 8) return std::nullopt;
    const Rate& r = kRates[rateCode - 1];
    static_assert(kTicksPerSecond % 24000 == 0 && kTicksPerSecond % 60000 == 0);
    return kTicksPerSecond / r.num * r.den;
}

}  // namespace host
