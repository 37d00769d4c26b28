#include "tools/bytexfer/CopyJoinedRange.h"

#include <cerrno>

#include "tools/bytexfer/CopyRange.h"
#include "tools/common/ConsoleFile.h"
#include "tools/common/CopyBuffer.h"
#include "tools/common/DebugLog.h"
#include "tools/common/FileErrorText.h"

namespace tools {

unsigned CopyJoinedRange(const std::vector<std::string>& sources, const std::string& destination,
                         std::uint64_t start, std::uint64_t length, std::uint32_t bufferSize,
                         bool debug, int& failedIndex) {
    const DebugLog log(debug);
    failedIndex = -1;
    if (bufferSize == 0) bufferSize = 0x100000;
    CopyBuffer buffer;
    if (!buffer.Allocate(bufferSize)) {
        log.Error("***  Cannot allocate memory (%u)!\n", bufferSize);
        return ERR_NO_MEMORY;
    }
    log.Info("- buffer size %u\n", bufferSize);

    std::uint64_t position = 0;
    platform::FileHandle output;
    unsigned result = 0;
    int index = -1;
    for (std::size_t i = 0; i < sources.size() && result == 0; ++i) {
        index = static_cast<int>(i);
        const std::string& name = sources[i];
        platform::FileHandle input = OpenInputFile(name);
        if (!input) {
            log.Error("***  Cannot open input %s (error %u)\n", name.c_str(),
                      static_cast<unsigned>(errno));
            result = ERR_CANNOT_OPEN_FILE;
            break;
        }
        log.Info("- open input %s\n", name.c_str());
        if (!output) {
            // Not before now: a missing first source must leave an existing destination alone.
            output = OpenOutputFile(destination, bufferSize);
            if (!output) {
                log.Error("***  Cannot create output %s (error %u)\n", destination.c_str(),
                          static_cast<unsigned>(errno));
                result = ERR_CANNOT_CREATE_FILE;
                index = -1;
                break;
            }
            log.Info("- create output %s\n", destination.c_str());
        }
        result = CopyRange(input, output, position, start, length, buffer, log);
        log.Info("- close input %s\n", name.c_str());
    }
    if (output) {
        log.Info("- close output %s\n", destination.c_str());
        output.Close();
    }
    if (result != 0) failedIndex = index;
    return result;
}

}  // namespace tools
