#include "c3stream/es_video_headers.h"

#include "c3stream/buffer_rw.h"
#include "c3stream/es_video.h"
#include "c3stream/field_io.h"
#include "c3stream/processor_interfaces.h"
#include "c3stream/singleton_manager.h"

namespace
{
void ReadQuantiserMatrix(CBufferReader& reader, std::uint8_t (&byMatrix)[64])
{
    for (std::uint8_t& byValue : byMatrix)
        byValue = ReadField<std::uint8_t>(reader, 8);
}

void WriteQuantiserMatrix(CBufferWriter& writer, const std::uint8_t (&byMatrix)[64])
{
    for (std::uint8_t byValue : byMatrix)
        writer.WriteBits(byValue, 8);
}
} // namespace

// CStartCodeElement

void CStartCodeElement::Read(CBufferReader& reader)
{
    m_pStart = reader.Position();
    ReadHeader(reader);
    // A header that stopped inside a byte gives up the rest of it, so the tail starts whole.
    reader.AlignRead();
    m_pTail = reader.Position();
    const std::ptrdiff_t cbToNextCode = reader.FindStartCode();
    if (cbToNextCode < 0)
        reader.Seek(0, CBuffer::FromEnd);
    m_cbTail = static_cast<std::uint32_t>(reader.Position() - m_pTail);
}

void CStartCodeElement::Write(CBufferWriter& writer)
{
    WriteHeader(writer);
    // The raw copy goes straight to the position, so pending bits are stored first.
    writer.AlignWrite();
    WriteRawBytes(writer, m_pTail, m_cbTail);
}

// CSequenceEnd

void CSequenceEnd::ReadHeader(CBufferReader& reader)
{
    reader.ReadBytes(4);
}

void CSequenceEnd::WriteHeader(CBufferWriter& writer)
{
    writer.WriteBytes(kSequenceEndCode, 4);
}

bool CSequenceEnd::Accept(IProcessor& processor)
{
    return processor.ProcessSequenceEnd(*this);
}

// CUserData

void CUserData::ReadHeader(CBufferReader& reader)
{
    if (reader.ReadBytes(4) == kUserDataStartCode)
        reader.FindStartCode();
}

void CUserData::WriteHeader(CBufferWriter& writer)
{
    writer.WriteBytes(kUserDataStartCode, 4);
}

bool CUserData::Accept(IProcessor& processor)
{
    return processor.ProcessUserData(*this);
}

// CSequenceHeader

void CSequenceHeader::ReadHeader(CBufferReader& reader)
{
    if (reader.ReadBytes(4) != kSequenceHeaderCode)
        return;
    m_nHorizontalSize = ReadField<std::uint16_t>(reader, 12);
    m_nVerticalSize = ReadField<std::uint16_t>(reader, 12);
    m_byAspectRatioInformation = ReadField<std::uint8_t>(reader, 4);
    m_byFrameRateCode = ReadField<std::uint8_t>(reader, 4);
    m_nBitRate = reader.ReadBits(18);
    SkipMarkerBit(reader);
    m_nVbvBufferSize = ReadField<std::uint16_t>(reader, 10);
    m_bConstrainedParameters = ReadFlag(reader);
    m_bLoadIntraQuantiserMatrix = ReadFlag(reader);
    if (m_bLoadIntraQuantiserMatrix)
        ReadQuantiserMatrix(reader, m_byIntraQuantiserMatrix);
    m_bLoadNonIntraQuantiserMatrix = ReadFlag(reader);
    if (m_bLoadNonIntraQuantiserMatrix)
        ReadQuantiserMatrix(reader, m_byNonIntraQuantiserMatrix);
    reader.AlignRead();
}

void CSequenceHeader::WriteHeader(CBufferWriter& writer)
{
    writer.WriteBytes(kSequenceHeaderCode, 4);
    writer.WriteBits(m_nHorizontalSize, 12);
    writer.WriteBits(m_nVerticalSize, 12);
    writer.WriteBits(m_byAspectRatioInformation, 4);
    writer.WriteBits(m_byFrameRateCode, 4);
    writer.WriteBits(m_nBitRate, 18);
    WriteMarkerBit(writer);
    writer.WriteBits(m_nVbvBufferSize, 10);
    writer.WriteBit(m_bConstrainedParameters);
    writer.WriteBit(m_bLoadIntraQuantiserMatrix);
    if (m_bLoadIntraQuantiserMatrix)
        WriteQuantiserMatrix(writer, m_byIntraQuantiserMatrix);
    writer.WriteBit(m_bLoadNonIntraQuantiserMatrix);
    if (m_bLoadNonIntraQuantiserMatrix)
        WriteQuantiserMatrix(writer, m_byNonIntraQuantiserMatrix);
    writer.AlignWrite();
}

bool CSequenceHeader::Accept(IProcessor& processor)
{
    return processor.ProcessSequenceHeader(*this);
}

// CGopHeader

void CGopHeader::ReadHeader(CBufferReader& reader)
{
    if (reader.ReadBytes(4) != kGroupStartCode)
        return;
    m_bDropFrame = ReadFlag(reader);
    m_byHours = ReadField<std::uint8_t>(reader, 5);
    m_byMinutes = ReadField<std::uint8_t>(reader, 6);
    SkipMarkerBit(reader);
    m_bySeconds = ReadField<std::uint8_t>(reader, 6);
    m_byPictures = ReadField<std::uint8_t>(reader, 6);
    m_bClosedGop = ReadFlag(reader);
    m_bBrokenLink = ReadFlag(reader);
    reader.AlignRead();
}

void CGopHeader::WriteHeader(CBufferWriter& writer)
{
    writer.WriteBytes(kGroupStartCode, 4);
    writer.WriteBit(m_bDropFrame);
    writer.WriteBits(m_byHours, 5);
    writer.WriteBits(m_byMinutes, 6);
    WriteMarkerBit(writer);
    writer.WriteBits(m_bySeconds, 6);
    writer.WriteBits(m_byPictures, 6);
    writer.WriteBit(m_bClosedGop);
    writer.WriteBit(m_bBrokenLink);
    writer.AlignWrite();
}

bool CGopHeader::Accept(IProcessor& processor)
{
    return processor.ProcessGopHeader(*this);
}

// CPictureHeader

void CPictureHeader::ReadHeader(CBufferReader& reader)
{
    if (reader.ReadBytes(4) != kPictureStartCode)
        return;
    m_nTemporalReference = ReadField<std::uint16_t>(reader, 10);
    m_byPictureCodingType = ReadField<std::uint8_t>(reader, 3);
    m_nVbvDelay = ReadField<std::uint16_t>(reader, 16);
    if (m_byPictureCodingType == kPictureCodingP || m_byPictureCodingType == kPictureCodingB)
    {
        m_bFullPelForwardVector = ReadFlag(reader);
        m_byForwardFCode = ReadField<std::uint8_t>(reader, 3);
    }
    if (m_byPictureCodingType == kPictureCodingB)
    {
        m_bFullPelBackwardVector = ReadFlag(reader);
        m_byBackwardFCode = ReadField<std::uint8_t>(reader, 3);
    }
    m_bExtraBitPicture = ReadFlag(reader);
    reader.AlignRead();
}

void CPictureHeader::WriteHeader(CBufferWriter& writer)
{
    writer.WriteBytes(kPictureStartCode, 4);
    writer.WriteBits(m_nTemporalReference, 10);
    writer.WriteBits(m_byPictureCodingType, 3);
    writer.WriteBits(m_nVbvDelay, 16);
    if (m_byPictureCodingType == kPictureCodingP || m_byPictureCodingType == kPictureCodingB)
    {
        writer.WriteBit(m_bFullPelForwardVector);
        writer.WriteBits(m_byForwardFCode, 3);
    }
    if (m_byPictureCodingType == kPictureCodingB)
    {
        writer.WriteBit(m_bFullPelBackwardVector);
        writer.WriteBits(m_byBackwardFCode, 3);
    }
    writer.WriteBit(m_bExtraBitPicture);
    writer.AlignWrite();
}

bool CPictureHeader::Accept(IProcessor& processor)
{
    return processor.ProcessPictureHeader(*this);
}

// CExtension

CExtension::CExtension() = default;

CExtension::~CExtension() = default;

void CExtension::ReadHeader(CBufferReader& reader)
{
    if (reader.ReadBytes(4) != kExtensionStartCode)
        return;
    const auto byIdentifier = static_cast<std::uint8_t>(reader.PeekByte() >> 4);
    CVideoFactory* pFactory = CSingletonManager::Instance().VideoFactory();
    m_pBody = pFactory ? pFactory->CreateExtension(byIdentifier) : nullptr;
    if (m_pBody)
        m_pBody->Read(reader);
}

void CExtension::WriteHeader(CBufferWriter& writer)
{
    writer.WriteBytes(kExtensionStartCode, 4);
    if (m_pBody)
        m_pBody->Write(writer);
}

bool CExtension::Accept(IProcessor& processor)
{
    if (!processor.ProcessExtension(*this))
        return false;
    return !m_pBody || m_pBody->Accept(processor);
}

void CExtension::SetBody(std::unique_ptr<CExtensionBody> pBody)
{
    m_pBody = std::move(pBody);
}
