#include "ElementaryStream.h"

#include "c3stream/buffer_rw.h"
#include "c3stream/es_video_headers.h"

namespace
{
constexpr std::uint8_t kSliceFiller = 0x55;

// Appends what the element's WriteHeader produces.
template <class TElement> void AppendHeader(Bytes& bytes, TElement& element)
{
    std::uint8_t scratch[256];
    CBufferWriter writer(scratch, sizeof(scratch));
    element.WriteHeader(writer);
    bytes.insert(bytes.end(), writer.Begin(), writer.Position());
}

void AppendCode(Bytes& bytes, std::uint8_t byLast)
{
    bytes.insert(bytes.end(), {0x00, 0x00, 0x01, byLast});
}
} // namespace

ElementaryStream& ElementaryStream::Sequence(std::uint8_t byFrameRateCode)
{
    Mark();
    CSequenceHeader header;
    header.m_nHorizontalSize = 720;
    header.m_nVerticalSize = 576;
    header.m_byAspectRatioInformation = 2;
    header.m_byFrameRateCode = byFrameRateCode;
    header.m_nBitRate = 20000;
    header.m_nVbvBufferSize = 112;
    AppendHeader(m_bytes, header);
    // A sequence extension (main profile at main level, 4:2:0), as MPEG-2 streams carry.
    AppendCode(m_bytes, 0xB5);
    m_bytes.insert(m_bytes.end(), {0x14, 0x8A, 0x00, 0x01, 0x00, 0x00});
    return *this;
}

ElementaryStream& ElementaryStream::Gop()
{
    Mark();
    CGopHeader header;
    header.m_bClosedGop = true;
    AppendHeader(m_bytes, header);
    return *this;
}

ElementaryStream& ElementaryStream::Picture(std::uint8_t byType, std::uint16_t nTemporalRef,
                                            std::size_t cbSlice)
{
    Mark();
    CPictureHeader header;
    header.m_byPictureCodingType = byType;
    header.m_nTemporalReference = nTemporalRef;
    header.m_nVbvDelay = 0xFFFF;
    AppendHeader(m_bytes, header);
    AppendCode(m_bytes, 0x01);
    m_bytes.insert(m_bytes.end(), cbSlice, kSliceFiller);
    return *this;
}

ElementaryStream& ElementaryStream::SequenceEnd()
{
    Mark();
    AppendCode(m_bytes, 0xB7);
    return *this;
}

ElementaryStream& ElementaryStream::Raw(const Bytes& bytes)
{
    Mark();
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    return *this;
}
