#pragma once
// The one kind of file this importer declares: clip descriptors.

#include "host/HostSdk.h"

namespace qivo {

inline constexpr std::uint32_t kQivoFileType = host::FileTypeCode('Q', 'I', 'V', 'O');
inline constexpr char kFormatName[] = "QIVO Import Descriptor";
inline constexpr char kFormatShortName[] = "QIVO File";
inline constexpr char kFormatExtensions[] = "qivo";

}  // namespace qivo
