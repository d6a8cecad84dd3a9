// CVideoStream reading, then writing and walking what was read.
#include "c3stream/es_video.h"
#include "fuzz_target.h"

namespace
{
FuzzBytes Code(std::uint8_t byCode)
{
    return {0x00, 0x00, 0x01, byCode};
}

const FuzzBytes kSequenceHeader =
    JoinBytes({Code(0xB3), {0x0B, 0x00, 0x90, 0x23, 0xFF, 0xFF, 0xE0, 0x18}});
const FuzzBytes kSequenceExtension = JoinBytes({Code(0xB5), {0x14, 0x8A, 0x00, 0x01, 0x00, 0x1F}});
const FuzzBytes kDisplayExtension =
    JoinBytes({Code(0xB5), {0x2B, 0x01, 0x01, 0x01, 0x0B, 0x42, 0x12, 0x00}});
const FuzzBytes kGop = JoinBytes({Code(0xB8), {0x04, 0x28, 0x62, 0x40}});
const FuzzBytes kIPicture = JoinBytes({Code(0x00), {0x00, 0x0F, 0xFF, 0xF8}});
const FuzzBytes kPPicture = JoinBytes({Code(0x00), {0x01, 0x50, 0x91, 0xA3, 0x80}});
const FuzzBytes kBPicture = JoinBytes({Code(0x00), {0x01, 0x58, 0x91, 0xA3, 0xB8}});
const FuzzBytes kCodingExtension = JoinBytes({Code(0xB5), {0x8F, 0xFF, 0xF3, 0x41, 0x80}});
const FuzzBytes kCompositeCodingExtension =
    JoinBytes({Code(0xB5), {0x81, 0x2F, 0xF3, 0xAA, 0x6F, 0x56, 0xA8}});
const FuzzBytes kSpatialScalable =
    JoinBytes({Code(0xB5), {0x50, 0x41, 0x60, 0x82, 0x40, 0x11, 0x04, 0x40}});
const FuzzBytes kTemporalScalable = JoinBytes({Code(0xB5), {0x5C, 0x75, 0x40}});
const FuzzBytes kQuantMatrixExtension = JoinBytes({Code(0xB5), {0x3B, 0x12, 0x34}});
const FuzzBytes kUnknownExtension = JoinBytes({Code(0xB5), {0x6B, 0x12}});
const FuzzBytes kUserData = JoinBytes({Code(0xB2), {'a', 'b', 'c'}});
const FuzzBytes kSlice1 = JoinBytes({Code(0x01), {0xAA, 0xBB, 0xCC}});
const FuzzBytes kSlice2 = JoinBytes({Code(0x02), {0xDD, 0xEE, 0x00}});
const FuzzBytes kSequenceEnd = Code(0xB7);

FuzzBytes SequenceHeaderWithMatrix()
{
    FuzzBytes header = {0x00, 0x00, 0x01, 0xB3, 0x0B, 0x00, 0x90, 0x23, 0xFF, 0xFF, 0xE0, 0x1A};
    // load_intra_quantiser_matrix is set: 64 bytes follow, then load_non_intra 0.
    for (int i = 0; i < 64; ++i)
        header.push_back(static_cast<std::uint8_t>(0x10 + i));
    header.back() &= 0xFE;
    return header;
}
} // namespace

std::vector<FuzzBytes> FuzzSeeds()
{
    return {
        JoinBytes({kSequenceHeader, kSequenceExtension, kDisplayExtension, kGop, kIPicture,
                   kCodingExtension, kSlice1, kSlice2, kPPicture, kCodingExtension, kSlice1,
                   kBPicture, kUserData, kSlice2, kSequenceEnd}),
        JoinBytes({SequenceHeaderWithMatrix(), kQuantMatrixExtension, kSpatialScalable,
                   kUnknownExtension, kIPicture, kCompositeCodingExtension, kSlice1,
                   kSequenceHeader, kTemporalScalable, kGop, kPPicture, kSlice2, kSequenceEnd}),
        JoinBytes({{0x47, 0x11}, kIPicture, kSlice1, kSequenceHeader, kPPicture, kSlice1}),
    };
}

std::vector<FuzzBytes> FuzzTokens()
{
    return C3Markers();
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t cbSize)
{
    CBufferReader reader(pData, cbSize);
    CVideoStream stream;
    const bool bWhole = ReadQuietly(stream, reader);
    FuzzCheck(reader.Position() >= reader.Begin() && reader.Position() <= reader.End(),
              "reader position inside its buffer");
    const std::size_t cbWritten = WriteAndWalk(stream, 2 * cbSize + 256);
    // Headers write back what they read and user data shrinks, so a whole read never grows.
    if (bWhole)
        FuzzCheck(cbWritten <= cbSize, "written stream no longer than the input");
    return 0;
}
