#pragma once
// The four host suites a clip uses, acquired at its first open and released at its close, both
// through the host's suite broker.

#include "host/HostSdk.h"
#include "importer/ClipRecord.h"

namespace qivo {

// Gets the broker into basicSuite and, when there is one, acquires the suites in order.
void AcquireSuites(const host::StandardParams* stdParms, ClipRecord& record);
// Releases what AcquireSuites acquired, with the same names and versions.
void ReleaseSuites(ClipRecord& record);

}  // namespace qivo
