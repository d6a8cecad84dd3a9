#include "Scanner.h"

#include "c3stream/buffer_rw.h"
#include "c3stream/es_video_headers.h"
#include "c3stream/exceptions.h"

namespace
{
constexpr std::size_t kStartCodeLength = 4;

// frame_rate_code 1 to 8 of the sequence header; other codes leave the rate as it was.
constexpr double kFrameRates[] = {0.0,  24000.0 / 1001.0, 24.0, 25.0, 30000.0 / 1001.0, 30.0,
                                  50.0, 60000.0 / 1001.0, 60.0};

// Positions the reader on the next start code that has at least one byte after it.
bool NextStartCode(CBufferReader& reader)
{
    return reader.FindStartCode() >= 0 && reader.Remaining() > kStartCodeLength;
}
} // namespace

std::ptrdiff_t Scanner::FindBoundary(const std::uint8_t* pBase, std::size_t nOffset,
                                     std::size_t cbWindow)
{
    if (nOffset >= cbWindow)
        return kNoBoundary;
    CBufferReader reader(pBase, cbWindow);
    reader.Seek(static_cast<std::ptrdiff_t>(nOffset), CBuffer::FromBegin);
    while (NextStartCode(reader))
    {
        if (StartsUnit(reader.PeekBytes(kStartCodeLength)))
            return reader.Position() - pBase;
        reader.Seek(kStartCodeLength, CBuffer::FromCurrent);
    }
    return kNoBoundary;
}

bool Scanner::StartsUnit(std::uint32_t nCode)
{
    switch (nCode)
    {
    case kPictureStartCode:
        if (!m_bHeaderOpen)
            return true;
        m_bHeaderOpen = false;
        return false;
    case kGroupStartCode:
        if (m_bSequenceOpen)
        {
            m_bSequenceOpen = false;
            return false;
        }
        m_bHeaderOpen = true;
        return true;
    case kSequenceHeaderCode:
        m_bHeaderOpen = true;
        m_bSequenceOpen = true;
        return true;
    default:
        return false;
    }
}

bool Scanner::ParseUnit(const std::uint8_t* pData, std::size_t cbLength)
{
    bool bBeforeFirstI = false;
    CBufferReader reader(pData, cbLength);
    try
    {
        while (NextStartCode(reader))
        {
            const std::uint8_t* pCode = reader.Position();
            switch (reader.PeekBytes(kStartCodeLength))
            {
            case kPictureStartCode:
                ReadPicture(reader, bBeforeFirstI);
                break;
            case kGroupStartCode:
                m_nGopBase = m_nDecodeCount + 1;
                break;
            case kSequenceHeaderCode:
                ReadSequence(reader);
                break;
            default:
                break;
            }
            reader.SetPosition(pCode + kStartCodeLength);
        }
    }
    catch (const CReaderException&)
    {
        // A header cut off by the end of the unit: its values are not taken, and nothing can
        // follow it in this unit.
    }
    return bBeforeFirstI;
}

// The header is read from a copy of the reader, so the counters change only once it is whole.
void Scanner::ReadPicture(const CBufferReader& reader, bool& bBeforeFirstI)
{
    CBufferReader headerReader(reader);
    CPictureHeader header;
    header.ReadHeader(headerReader);
    m_nPictureType = header.m_byPictureCodingType;
    m_nTemporalRef = header.m_nTemporalReference;
    if (m_nDecodeCount != 0)
        ++m_nDecodeCount;
    else if (m_nPictureType == kPictureCodingI)
        m_nDecodeCount = 1;
    else
        bBeforeFirstI = true;
}

void Scanner::ReadSequence(const CBufferReader& reader)
{
    CBufferReader headerReader(reader);
    CSequenceHeader header;
    header.ReadHeader(headerReader);
    const std::uint8_t byCode = header.m_byFrameRateCode;
    if (byCode >= 1 && byCode < std::size(kFrameRates))
        m_dFrameRate.store(kFrameRates[byCode], std::memory_order_relaxed);
}

void Scanner::Reset()
{
    m_nDecodeCount = 0;
    m_nGopBase = 0;
    m_nPictureType = 0;
    m_nTemporalRef = 0;
    m_dFrameRate.store(0.0, std::memory_order_relaxed);
}

double Scanner::DisplayTime() const
{
    return (static_cast<double>(m_nTemporalRef) + m_nGopBase + 1) / FrameRate();
}

double Scanner::DecodeTime() const
{
    return m_nDecodeCount / FrameRate();
}
