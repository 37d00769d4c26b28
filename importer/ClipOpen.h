#pragma once
// Opening, quieting and closing a clip: the life of its record in the host's memory handle.

#include <cstdint>

#include "host/HostSdk.h"

namespace qivo {

// Selector 39: param1 receives the clip's file, param2 is the open record. 0 or 2.
std::int32_t OpenClip(const host::StandardParams* stdParms, host::FileRef* file, host::OpenRecord* open);
// Selector 8: releases the clip's file and decoder; the record stays. 0.
std::int32_t QuietClip(const host::StandardParams* stdParms, host::FileRef* file, host::MemoryHandle privateData);
// Selector 9: quiets the clip when its file is still open, then tears the record down and
// disposes of the handle. 0.
std::int32_t CloseClip(const host::StandardParams* stdParms, host::FileRef* file, host::MemoryHandle privateData);

}  // namespace qivo
