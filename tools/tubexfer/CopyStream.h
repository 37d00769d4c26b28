#pragma once
// One copy from an input to an output until the input ends.

#include <cstdint>
#include <string>

namespace tools {

// Either end that is a server creates its pipe and waits for its peer: the output's reader
// first, then the input's writer. An input that is not a server is a file or a waiting pipe
// client; an output that is not a server is a file (created anew) or a pipe client that must
// find its server at once. Returns 0 or a result code; messages only when debug is set.
unsigned CopyStream(bool inputIsServer, const std::string& inputName, bool outputIsServer,
                    const std::string& outputName, std::uint32_t bufferSize, bool debug);

}  // namespace tools
