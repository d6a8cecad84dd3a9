// CC3Stream reading, then writing and walking what was read.
#include "c3stream/c3_stream.h"
#include "fuzz_target.h"

namespace
{
FuzzBytes Packet(std::uint8_t cbVideo, std::uint8_t cbAudio, std::uint8_t byPrevious)
{
    return HeadAndFill({0x88, 0x88,    0xCA, 0xFE,       0, 0,       0,    28,  0, 0,
                        0,    cbVideo, 0,    0,          0, cbAudio, 0,    0,   0, 0x11,
                        0,    0,       0,    byPrevious, 0, 1,       0x5F, 0x90},
                       std::size_t{cbVideo} + cbAudio, 0x3C);
}
} // namespace

std::vector<FuzzBytes> FuzzSeeds()
{
    return {JoinBytes({Packet(10, 6, 0), Packet(0, 4, 44), Packet(3, 0, 32)}),
            JoinBytes({Packet(5, 5, 0), {0x88, 0x88}})};
}

std::vector<FuzzBytes> FuzzTokens()
{
    return C3Markers();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t cbSize)
{
    CBufferReader reader(pData, cbSize);
    CC3Stream stream;
    const bool bWhole = ReadQuietly(stream, reader);
    const std::size_t cbWritten = WriteAndWalk(stream, cbSize + 64);
    // Packets are read only when whole, and write back the bytes they were read from.
    if (bWhole)
        FuzzCheck(cbWritten == static_cast<std::size_t>(reader.Position() - reader.Begin()),
                  "written stream as long as what was read");
    return 0;
}
