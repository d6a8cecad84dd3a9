#include "c3stream/buffer_rw.h"

#include "c3stream/exceptions.h"

#include <algorithm>
#include <cstring>
#include <functional>

namespace
{
constexpr std::uint64_t LowBits(std::uint32_t nBits)
{
    return nBits >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << nBits) - 1;
}
} // namespace

// CBuffer

CBuffer::CBuffer(const std::uint8_t* pData, std::size_t cbLength)
    : m_pBegin(pData), m_pEnd(pData + cbLength), m_pPosition(pData)
{
}

void CBuffer::Rewind()
{
    m_pPosition = m_pBegin;
    m_nBitOffset = 0;
}

bool CBuffer::Seek(std::ptrdiff_t nOffset, SeekOrigin origin)
{
    // Integer offsets, so no pointer is ever formed outside the buffer.
    m_nBitOffset = 0;
    const std::ptrdiff_t nSize = m_pEnd - m_pBegin;
    const std::ptrdiff_t nBase = origin == FromCurrent ? m_pPosition - m_pBegin
                                 : origin == FromEnd   ? nSize
                                                       : 0;
    if (nOffset < -nBase)
    {
        m_pPosition = m_pBegin;
        return false;
    }
    if (nOffset > nSize - nBase)
    {
        m_pPosition = m_pEnd;
        return false;
    }
    m_pPosition = m_pBegin + (nBase + nOffset);
    return true;
}

bool CBuffer::SetPosition(const std::uint8_t* pPosition)
{
    m_nBitOffset = 0;
    // std::less gives a total order even for pointers into other objects.
    const std::less<const std::uint8_t*> less;
    if (less(pPosition, m_pBegin) || less(m_pEnd, pPosition))
        return false;
    m_pPosition = pPosition;
    return true;
}

// CBufferReader

std::uint8_t CBufferReader::TakeByte()
{
    if (m_pPosition == m_pEnd)
        throw CReaderException();
    return *m_pPosition++;
}

std::uint8_t CBufferReader::ReadByte()
{
    m_nBitOffset = 0;
    return TakeByte();
}

std::uint8_t CBufferReader::PeekByte() const
{
    if (m_pPosition == m_pEnd)
        throw CReaderException();
    return *m_pPosition;
}

std::uint32_t CBufferReader::ReadBit()
{
    const std::uint32_t nBit = PeekBit();
    m_nBitOffset = (m_nBitOffset + 1) % 8;
    if (m_nBitOffset == 0)
        ++m_pPosition;
    return nBit;
}

std::uint32_t CBufferReader::PeekBit() const
{
    return (PeekByte() >> (7 - m_nBitOffset)) & 1u;
}

std::uint32_t CBufferReader::ReadBits(std::uint32_t nBits)
{
    // Fields wider than 32 bits: the leading bits are consumed and dropped.
    while (nBits > 32)
    {
        const std::uint32_t nLead = std::min(nBits - 32, 32u);
        ReadBits(nLead);
        nBits -= nLead;
    }
    const std::uint32_t nTotal = m_nBitOffset + nBits;
    std::uint64_t nTouched = 0;
    for (std::uint32_t i = 0; i < nTotal / 8; ++i)
        nTouched = (nTouched << 8) | TakeByte();
    const std::uint32_t nRest = nTotal % 8;
    if (nRest != 0)
        nTouched = (nTouched << 8) | PeekByte();
    m_nBitOffset = nRest;
    const std::uint32_t nDropped = nRest == 0 ? 0 : 8 - nRest;
    return static_cast<std::uint32_t>((nTouched >> nDropped) & LowBits(nBits));
}

std::uint32_t CBufferReader::ReadBytes(std::uint32_t nBytes)
{
    if (!HasData())
        throw CReaderException();
    if (m_nBitOffset != 0)
    {
        ++m_pPosition;
        m_nBitOffset = 0;
    }
    std::uint32_t nValue = 0;
    for (std::uint32_t i = 0; i < nBytes; ++i)
        nValue = (nValue << 8) | TakeByte();
    return nValue;
}

std::uint32_t CBufferReader::PeekBytes(std::uint32_t nBytes)
{
    const std::uint32_t nValue = ReadBytes(nBytes);
    Seek(-static_cast<std::ptrdiff_t>(nBytes), FromCurrent);
    return nValue;
}

bool CBufferReader::SkipBits(std::uint32_t nBits)
{
    const std::uint64_t nTotal = std::uint64_t{m_nBitOffset} + nBits;
    if (!Seek(static_cast<std::ptrdiff_t>(nTotal / 8), FromCurrent))
        return false;
    const auto nRest = static_cast<std::uint32_t>(nTotal % 8);
    // The last skipped bits must lie in a byte that exists.
    if (nRest != 0 && !HasData())
        return false;
    m_nBitOffset = nRest;
    return true;
}

void CBufferReader::AlignRead()
{
    if (m_nBitOffset != 0 && HasData())
        ++m_pPosition;
    m_nBitOffset = 0;
}

std::size_t CBufferReader::CountUpTo(std::uint8_t byValue)
{
    m_nBitOffset = 0;
    if (!HasData())
        return 0;
    const void* pHit = std::memchr(m_pPosition, byValue, Remaining());
    const std::uint8_t* pNext = pHit ? static_cast<const std::uint8_t*>(pHit) + 1 : m_pEnd;
    const auto cbConsumed = static_cast<std::size_t>(pNext - m_pPosition);
    m_pPosition = pNext;
    return cbConsumed;
}

bool CBufferReader::SkipPartialByte()
{
    AlignRead();
    return HasData();
}

std::ptrdiff_t CBufferReader::FindStartCode()
{
    const std::uint8_t* pStart = m_pPosition;
    if (SkipPartialByte())
    {
        // The earliest 00 00 01 is the one with the earliest 01.
        for (const std::uint8_t* p = m_pPosition + std::min<std::size_t>(2, Remaining());
             p != m_pEnd; ++p)
        {
            p = static_cast<const std::uint8_t*>(std::memchr(p, 0x01, m_pEnd - p));
            if (!p)
                break;
            if (p[-1] == 0 && p[-2] == 0)
            {
                m_pPosition = p - 2;
                return m_pPosition - pStart;
            }
        }
    }
    m_pPosition = m_pEnd;
    return -1;
}

const std::uint8_t* CBufferReader::FindAudioSync()
{
    if (SkipPartialByte())
    {
        for (const std::uint8_t* p = m_pPosition; m_pEnd - p >= 2; ++p)
        {
            if (p[0] == 0xFF && p[1] >= 0xF0)
            {
                m_pPosition = p;
                return p;
            }
        }
    }
    m_pPosition = m_pEnd;
    return nullptr;
}

std::ptrdiff_t CBufferReader::FindFrameMarker()
{
    static constexpr std::uint8_t kMarker[] = {0xDE, 0xAD, 0xCA, 0xFE};
    const std::uint8_t* pStart = m_pPosition;
    if (SkipPartialByte())
    {
        // The marker cannot overlap itself, so the first occurrence is the one wanted.
        const std::uint8_t* pHit =
            std::search(m_pPosition, m_pEnd, std::begin(kMarker), std::end(kMarker));
        if (pHit != m_pEnd)
        {
            m_pPosition = pHit;
            return pHit - pStart;
        }
    }
    m_pPosition = m_pEnd;
    return -1;
}

// CBufferWriter

void CBufferWriter::Store(std::uint8_t byValue)
{
    if (m_pPosition != m_pEnd)
        *const_cast<std::uint8_t*>(m_pPosition++) = byValue;
}

bool CBufferWriter::WriteByte(std::uint8_t byValue)
{
    Store(byValue);
    return HasData();
}

bool CBufferWriter::WriteBits(std::uint32_t nValue, std::uint32_t nBits)
{
    if (nBits == 0 || !HasData())
        return false;
    // Fields wider than 32 bits: the leading bits are zero.
    while (nBits > 32)
    {
        const std::uint32_t nLead = std::min(nBits - 32, 32u);
        WriteBits(0, nLead);
        nBits -= nLead;
    }
    std::uint64_t nBitsOut = (std::uint64_t{m_byPending} >> (8 - m_nBitOffset)) << nBits;
    nBitsOut |= nValue & LowBits(nBits);
    std::uint32_t nTotal = m_nBitOffset + nBits;
    while (nTotal >= 8)
    {
        nTotal -= 8;
        Store(static_cast<std::uint8_t>(nBitsOut >> nTotal));
    }
    m_nBitOffset = nTotal;
    m_byPending = nTotal == 0 ? 0 : static_cast<std::uint8_t>(nBitsOut << (8 - nTotal));
    return HasData();
}

bool CBufferWriter::WriteBytes(std::uint32_t nValue, std::uint32_t nBytes)
{
    AlignWrite();
    for (std::uint32_t i = nBytes; i-- > 0;)
        Store(i < 4 ? static_cast<std::uint8_t>(nValue >> (8 * i)) : 0);
    return HasData();
}

bool CBufferWriter::AlignWrite()
{
    if (m_nBitOffset != 0)
        Store(m_byPending);
    m_nBitOffset = 0;
    m_byPending = 0;
    return HasData();
}

bool CBufferWriter::Fill(std::uint8_t byValue, std::size_t cbCount)
{
    const std::size_t cbStored = std::min(cbCount, Remaining());
    if (cbStored != 0)
        std::memset(const_cast<std::uint8_t*>(m_pPosition), byValue, cbStored);
    m_pPosition += cbStored;
    return HasData();
}

bool CBufferWriter::WriteRaw(const void* pSource, std::size_t cbLength)
{
    if (!HasData())
        throw CWriterException();
    const std::size_t cbCopied = std::min(cbLength, Remaining());
    if (cbCopied != 0)
        std::memcpy(const_cast<std::uint8_t*>(m_pPosition), pSource, cbCopied);
    m_pPosition += cbCopied;
    return HasData();
}
