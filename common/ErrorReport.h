#pragma once
// The one-line failure report of the decoding side: status text, status, module, location.

#include "common/CEnvironment.h"

namespace qivo {

// Source module names that appear in reports.
inline constexpr const char kModuleUtils[] = "src\\qivo_utils";
inline constexpr const char kModulePipeline[] = "src\\pipeline_decode";
inline constexpr const char kModuleSource[] = "src\\qivo_source";

// Logs "<text> (<status>),\t<module> (<location>)\n" at error level; no-op without env.
void ReportStatus(CEnvironment* env, int status, const char* module, int location);

}  // namespace qivo
