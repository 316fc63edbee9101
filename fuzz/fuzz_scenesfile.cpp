// Scenes file (.scn) reader on any bytes.
#include "LightingFileFuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return fuzzLightingFile(data, size, LightingFile::Kind::Scenes);
}
