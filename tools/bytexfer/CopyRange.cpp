#include "tools/bytexfer/CopyRange.h"

#include <algorithm>
#include <cerrno>
#include <limits>

#include "tools/common/ChunkTransfer.h"
#include "tools/common/FileErrorText.h"

namespace tools {
namespace {

// Reads at most want bytes, by read (skipping) or by transfer (copying); the end of the data
// (a pipe's writer gone) is a count of 0.
template <typename ReadChunk>
bool ReadSome(ReadChunk read, const CopyBuffer& buffer, std::uint64_t want, std::uint32_t& count,
              const DebugLog& log) {
    std::int64_t n = read(static_cast<std::size_t>(std::min<std::uint64_t>(want, buffer.Size())));
    if (n < 0) {
        log.Error("***  Input read error %u\n", static_cast<unsigned>(errno));
        return false;
    }
    count = static_cast<std::uint32_t>(n);
    log.Info("- read %u\n", count);
    return true;
}

}  // namespace

unsigned CopyRange(const platform::FileHandle& input, const platform::FileHandle& output,
                   std::uint64_t& position, std::uint64_t start, std::uint64_t length,
                   const CopyBuffer& buffer, const DebugLog& log) {
    if (!input) {
        log.Error("***  Input file not opened\n");
        return ERR_FILE_READ;
    }
    if (!output) {
        log.Error("***  Output file not opened\n");
        return ERR_FILE_WRITE;
    }

    auto skip = [&](std::size_t size) { return input.Read(buffer.Data(), size); };
    ChunkTransfer transfer(input, output, buffer);
    auto copy = [&](std::size_t size) { return transfer.Read(size); };

    std::uint32_t count = 0;
    while (position < start) {
        if (!ReadSome(skip, buffer, start - position, count, log)) return ERR_FILE_READ;
        if (count == 0) {
            log.Info("- end of input\n");
            break;
        }
        log.Info("- skipped\n");
        position += count;
    }

    // A range reaching past 2^64 runs to the end instead of wrapping to a range that ends
    // before it starts.
    const std::uint64_t end = length == 0 ? std::numeric_limits<std::uint64_t>::max()
                              : start > std::numeric_limits<std::uint64_t>::max() - length
                                  ? std::numeric_limits<std::uint64_t>::max()
                                  : start + length;
    for (;;) {
        std::uint64_t want = buffer.Size();
        if (length != 0) {
            if (position >= end) break;
            want = end - position;
        }
        if (!ReadSome(copy, buffer, want, count, log)) return ERR_FILE_READ;
        if (count == 0) {
            log.Info("- end of input\n");
            break;
        }
        if (!transfer.Write(count)) {
            log.Error("***  Output write error %u\n", static_cast<unsigned>(errno));
            return ERR_FILE_WRITE;
        }
        log.Info("- written %u\n", count);
        position += count;
    }
    return 0;
}

}  // namespace tools
