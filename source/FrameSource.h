#pragma once
// One clip's source of decoded pictures. For now it carries what the clip open gives it: the
// descriptor's settings and the clip's log stream; decoding lands with the pipeline.

#include <cstdio>

#include "source/SourceSettings.h"

namespace qivo {

class FrameSource {
public:
    FrameSource() = default;
    FrameSource(const FrameSource&) = delete;
    FrameSource& operator=(const FrameSource&) = delete;

    SourceSettings settings;
    // Owned by the importer, only written here.
    std::FILE* logFile = nullptr;
};

}  // namespace qivo
