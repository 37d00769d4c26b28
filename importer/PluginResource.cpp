// The importer's resource: a 16-bit zero and the file type it declares, little-endian, in an
// ELF section of its own so that a host can read it without loading the library.

#include <cstdint>

#include "importer/FileType.h"

namespace qivo {
namespace {

#pragma pack(push, 1)
struct ImporterResource {
    std::uint16_t reserved;
    std::uint32_t fileType;
};
#pragma pack(pop)
static_assert(sizeof(ImporterResource) == 6);

[[gnu::used, gnu::section("IMPT")]] const ImporterResource kImporterResource = {0, kQivoFileType};

}  // namespace
}  // namespace qivo
