// CAudioStream reading, then writing and walking what was read.
#include "c3stream/es_audio.h"
#include "fuzz_target.h"

namespace
{
FuzzBytes Frame(std::uint8_t byLength)
{
    return HeadAndFill({0xDE, 0xAD, 0xCA, 0xFE, 0x00, 0x00, 0xAF, 0xC8, 0x00, 0x00, 0x00, 0x00,
                        0x00, 0x02, 0x10, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, byLength},
                       byLength, 0x5A);
}
} // namespace

std::vector<FuzzBytes> FuzzSeeds()
{
    return {JoinBytes({{1, 2, 3, 4, 5}, Frame(8), Frame(0), {0xDE, 0xDE}, Frame(3)}),
            JoinBytes({Frame(40), {0xDE, 0xAD}})};
}

std::vector<FuzzBytes> FuzzTokens()
{
    return C3Markers();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t cbSize)
{
    CBufferReader reader(pData, cbSize);
    CAudioStream stream;
    const bool bWhole = ReadQuietly(stream, reader);
    const std::size_t cbWritten = WriteAndWalk(stream, cbSize + 64);
    // Headers are 24 bytes both ways and payloads copy what was there: same length back.
    if (bWhole)
        FuzzCheck(cbWritten == cbSize, "written stream as long as the input");
    return 0;
}
