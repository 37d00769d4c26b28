#include "platform/Diagnostics.h"

#include <unistd.h>

namespace platform {

void DebugOutput(std::string_view message) {
    // One write() per message so that messages of several threads never interleave.
    std::size_t done = 0;
    while (done < message.size()) {
        ssize_t n = ::write(STDERR_FILENO, message.data() + done, message.size() - done);
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

}  // namespace platform
