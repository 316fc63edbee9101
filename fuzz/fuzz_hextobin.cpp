// Intel HEX reader: any file content, read into exactly sized windows so that
// a byte stored outside its window is a heap overflow.
#include "FuzzCheck.h"
#include "FuzzInputFile.h"

#include "firmware/HexToBin.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

struct Window {
    quint32 first;
    quint32 last;
};

// The bootloader window the program uses, a small one where records without
// an extended address land, and one at the very top where address sums wrap.
constexpr Window Windows[] = {
    {0x08000000, 0x08003FFF},
    {0x00000010, 0x0000002F},
    {0xFFFFFFF0, 0xFFFFFFFF},
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString fileName = FuzzInputFile::write(data, size);
    if (fileName.isEmpty())
        return 0;
    for (const Window &window : Windows) {
        std::vector<unsigned char> buffer(size_t(window.last - window.first) + 1, 0xA5);
        const HexToBinResult result = readHexWindow(fileName, buffer.data(), window.first, window.last);
        // The reader gives its own codes only; the upgrade image's refusal
        // of a file without application data is never one of them.
        FUZZ_CHECK(result.code >= HexLowestResult && result.code <= 0 && result.code != HexFileWithoutApplication);
        // A refused record names its line; a file-wide result names none.
        const bool fileWide = result.code == 0 || result.code == HexFileNotOpened || result.code == HexFileWithoutData;
        FUZZ_CHECK(fileWide ? result.line == 0 : result.line >= 1);
        FUZZ_CHECK(result.outsideBytes >= 0);
        // A line of the file takes at least one byte.
        FUZZ_CHECK(size_t(result.line) <= size);
    }
    return 0;
}
