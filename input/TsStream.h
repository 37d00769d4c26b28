#pragma once
// What the demultiplexer knows about one PID: the table that described it, the table section or
// PES header being collected, how many PES headers it carried, and, for the selected stream,
// where its payload goes.

#include <array>
#include <cstdint>

#include "input/PayloadOutput.h"

namespace qivo {

class TsStream {
public:
    static constexpr std::uint16_t kNoProgram = 0xFFFF;
    // Marks a PID no table has described yet, or (with a program) a program map PID.
    static constexpr std::uint8_t kNoType = 0xFF;
    static constexpr std::size_t kSectionCapacity = 512;

    // Takes the table data of one packet (the bytes after the header and adaptation field).
    // Returns 0 and sets section/length when a whole section is ready to be parsed, 0 with
    // section null when the packet is ignored or the section continues, or a negative error.
    int TakeSection(const std::uint8_t* data, std::uint32_t size, bool unitStart,
                    const std::uint8_t** section, std::uint32_t* length);
    // Takes the PES data of one packet: completes a PES header, counts it, and writes the
    // payload that follows to the output. 0, or a negative error.
    int TakePes(const std::uint8_t* data, std::uint32_t size, bool unitStart);

    std::uint16_t program = kNoProgram;
    std::uint8_t type = kNoType;
    std::uint64_t pesCount = 0;
    PayloadOutput output;

private:
    std::array<std::uint8_t, kSectionCapacity> buffer_{};
    std::uint16_t expected_ = 0;
    std::uint16_t collected_ = 0;
};

}  // namespace qivo
