#include "tools/tubexfer/CopyStream.h"

#include <cerrno>

#include "platform/PipeClient.h"
#include "platform/PipeServer.h"
#include "tools/common/ChunkTransfer.h"
#include "tools/common/ConsoleFile.h"
#include "tools/common/CopyBuffer.h"
#include "tools/common/DebugLog.h"
#include "tools/common/FileErrorText.h"

namespace tools {
namespace {

constexpr std::uint32_t kDefaultBufferSize = 0x100000;

// An output that is not a server is opened once, with no waiting: a pipe must be there now.
platform::FileHandle OpenOutput(const std::string& name) {
    if (!IsPipeName(name)) return platform::FileHandle::CreateWrite(name);
    platform::FileHandle handle;
    platform::PipeClient::TryOpen(name, handle);
    return handle;
}

unsigned CopyUntilEnd(const platform::FileHandle& input, const platform::FileHandle& output,
                      const CopyBuffer& buffer, const DebugLog& log) {
    ChunkTransfer transfer(input, output, buffer);
    for (;;) {
        // The writer closing its end of a pipe reads as 0 bytes: the normal end.
        std::int64_t count = transfer.Read(buffer.Size());
        if (count < 0) {
            log.Error("***  Input read error %u\n", static_cast<unsigned>(errno));
            return ERR_FILE_READ;
        }
        log.Info("- read %u\n", static_cast<unsigned>(count));
        if (count == 0) {
            log.Info("- end of input\n");
            return 0;
        }
        if (!transfer.Write(static_cast<std::size_t>(count))) {
            log.Error("***  Output write error %u\n", static_cast<unsigned>(errno));
            return ERR_FILE_WRITE;
        }
        log.Info("- written %u\n", static_cast<unsigned>(count));
    }
}

}  // namespace

unsigned CopyStream(bool inputIsServer, const std::string& inputName, bool outputIsServer,
                    const std::string& outputName, std::uint32_t bufferSize, bool debug) {
    const DebugLog log(debug);
    if (bufferSize == 0) bufferSize = kDefaultBufferSize;
    CopyBuffer buffer;
    if (!buffer.Allocate(bufferSize)) {
        log.Error("***  Cannot allocate memory (%u)!\n", bufferSize);
        return ERR_NO_MEMORY;
    }
    log.Info("- buffer size %u\n", bufferSize);

    platform::PipeServer inputServer;
    platform::FileHandle input;
    if (inputIsServer) {
        // Only created here; its writer is accepted once the output is ready.
        inputServer = platform::PipeServer::Create(inputName, bufferSize);
        if (!inputServer) {
            log.Error("***  Cannot create input pipe-server %s (error %u)\n", inputName.c_str(),
                      static_cast<unsigned>(errno));
            return ERR_CANNOT_OPEN_FILE;
        }
        log.Info("- create input pipe %s\n", inputName.c_str());
    } else {
        input = OpenInputFile(inputName);
        if (!input) {
            log.Error("***  Cannot open input %s (error %u)\n", inputName.c_str(),
                      static_cast<unsigned>(errno));
            return ERR_CANNOT_OPEN_FILE;
        }
        log.Info("- open input %s\n", inputName.c_str());
    }

    unsigned result = 0;
    platform::FileHandle output;
    if (outputIsServer) {
        output = OpenOutputFile(outputName, bufferSize);
        if (!output) {
            log.Error("***  Cannot create output pipe-server %s (error %u)\n", outputName.c_str(),
                      static_cast<unsigned>(errno));
            result = ERR_CANNOT_CREATE_FILE;
        } else {
            log.Info("- create output pipe %s\n", outputName.c_str());
        }
    } else {
        output = OpenOutput(outputName);
        if (!output) {
            log.Error("***  Cannot open output %s (error %u)\n", outputName.c_str(),
                      static_cast<unsigned>(errno));
            result = ERR_CANNOT_CREATE_FILE;
        } else {
            log.Info("- create output %s\n", outputName.c_str());
        }
    }

    if (result == 0) {
        // A failed accept leaves the input invalid, and the first read reports it.
        if (inputIsServer) input = inputServer.Connect();
        result = CopyUntilEnd(input, output, buffer, log);
        log.Info("- close output %s\n", outputName.c_str());
        output.Close();
    }
    log.Info("- close input %s\n", inputName.c_str());
    input.Close();
    inputServer = platform::PipeServer();
    return result;
}

}  // namespace tools
