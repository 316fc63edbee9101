// Intel HEX reader: any file content, read into exactly sized windows so that
// a byte stored outside its window is a heap overflow.
#include "FuzzCheck.h"
#include "FuzzInputFile.h"

#include "firmware/HexToBin.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

struct Window
{
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
        const int result = HexToBin(fileName, buffer.data(), window.first, window.last);
        FUZZ_CHECK(result >= -9 && result <= 0);
    }
    return 0;
}
