#pragma once
// What the importer tells the host before any clip exists: its capabilities and its one file
// format.

#include <cstdint>

#include "host/HostSdk.h"

namespace qivo {

// Selector 0.
std::int32_t AnswerStartup(const host::StandardParams* stdParms, host::ImportInfoRecord* info);
// Selector 14.
std::int32_t AnswerFileFormat(std::intptr_t index, host::FileFormatRecord* format);

}  // namespace qivo
