#include "common/StatusText.h"

namespace qivo {
namespace {

constexpr int kLowest = -20;
constexpr int kHighest = 11;

// Indexed by status - kLowest.
constexpr const char* kTexts[kHighest - kLowest + 1] = {
    "invalid audio parameters",                            // -20
    "incompatible audio parameters",                       // -19
    "expect more bitstream buffers at output",             // -18
    "device operation failure",                            // -17
    "undefined behavior",                                  // -16
    "invalid video parameters",                            // -15
    "incompatible video parameters",                       // -14
    "lose the HW acceleration device",                     // -13
    "operation aborted",                                   // -12
    "expect more surface at output",                       // -11
    "expect more data at input",                           // -10
    "the specified object is not found",                   // -9
    "member function called before initialization",        // -8
    "failed to lock the memory block",                     // -7
    "invalid handle",                                      // -6
    "insufficient buffer at input/output",                 // -5
    "failed to allocate memory",                           // -4
    "undeveloped feature",                                 // -3
    "null pointer",                                        // -2
    "unknown error",                                       // -1
    "",                                                    // 0
    "the previous asynchrous operation is in execution",   // 1
    "the HW acceleration device is busy",                  // 2
    "the video parameters are changed during decoding",    // 3
    "SW is used",                                          // 4
    "incompatible video parameters",                       // 5
    "the value is saturated based on its valid range",     // 6
    "the value is out of valid range",                     // 7
    "there is some more work to do",                       // 8
    "task is waiting for resources",                       // 9
    "one of requested filters has been skipped",           // 10
    "incompatible audio parameters",                       // 11
};

}  // namespace

const char* StatusText(int status) {
    if (status < kLowest) return "unspecified error";
    if (status > kHighest) return "unspecified warning";
    return kTexts[status - kLowest];
}

}  // namespace qivo
