#include "importer/StartupAnswers.h"

#include <cstring>

#include "importer/FileType.h"

namespace qivo {
namespace {

template <std::size_t N>
void CopyText(char (&field)[N], const char* text) {
    std::strncpy(field, text, N - 1);
    field[N - 1] = 0;
}

}  // namespace

std::int32_t AnswerStartup(const host::StandardParams* stdParms, host::ImportInfoRecord* info) {
    if (!info) return host::kResultSuccess;
    info->capability8 = 0;
    info->capability12 = 0;
    info->capability36 = 0;
    info->capability40 = 0;
    info->capability44 = 0;
    info->capability48 = 0;
    info->capability52 = 0;
    info->capability64 = 0;
    info->capability68 = 0;
    if (stdParms && stdParms->interfaceVersion >= 6) info->version6Feature72 = 1;
    return host::kResultSuccess;
}

std::int32_t AnswerFileFormat(std::intptr_t index, host::FileFormatRecord* format) {
    if (index != 0) return host::kResultBadFormatIndex;
    if (!format) return host::kResultSuccess;
    format->fileType = kQivoFileType;
    format->flags8 = 0;
    CopyText(format->formatName, kFormatName);
    CopyText(format->shortName, kFormatShortName);
    CopyText(format->extensions, kFormatExtensions);
    return host::kResultSuccess;
}

}  // namespace qivo
