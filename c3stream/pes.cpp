#include "c3stream/pes.h"

#include "c3stream/exceptions.h"
#include "c3stream/field_io.h"
#include "c3stream/processor_interfaces.h"
#include "c3stream/singleton_manager.h"

#include <algorithm>
#include <cstring>

namespace
{
CPesFactory* Factory()
{
    return CSingletonManager::Instance().PesFactory();
}

// The packet start-code prefix 00 00 01; false when the bytes are another.
bool ReadPrefix(CBufferReader& reader)
{
    return reader.ReadBytes(3) == kPesStartCodePrefix;
}

void WritePrefixAndId(CBufferWriter& writer, std::uint8_t byStreamId)
{
    writer.WriteBytes(kPesStartCodePrefix, 3);
    writer.WriteBytes(byStreamId, 1);
}
} // namespace

bool IsPesDataStream(std::uint8_t byStreamId)
{
    return byStreamId == 0xBF || (byStreamId >= 0xF0 && byStreamId <= 0xF2) ||
           (byStreamId >= 0xF4 && byStreamId <= 0xFE);
}

bool IsPesHeaderedStream(std::uint8_t byStreamId)
{
    return byStreamId == kPesPrivateStream1 ||
           (byStreamId >= kPesFirstAudioStream && byStreamId <= kPesLastVideoStream);
}

// CPesOptionalFields

void CPesOptionalFields::Read(CBufferReader& reader)
{
    if (m_packet.m_byPtsDtsFlags == kPesPtsOnly || m_packet.m_byPtsDtsFlags == kPesPtsAndDts)
        m_pts.Read(reader);
    if (m_packet.m_byPtsDtsFlags == kPesPtsAndDts)
        m_dts.Read(reader);
    if (m_packet.m_bEscrFlag)
        m_escr.Read(reader);
    if (m_packet.m_bEsRateFlag)
    {
        SkipMarkerBit(reader);
        m_nEsRate = reader.ReadBits(22);
        SkipMarkerBit(reader);
    }
    if (m_packet.m_bTrickModeFlag)
        m_byTrickMode = ReadField<std::uint8_t>(reader, 8);
    if (m_packet.m_bAdditionalCopyInfoFlag)
    {
        SkipMarkerBit(reader);
        m_byAdditionalCopyInfo = ReadField<std::uint8_t>(reader, 7);
    }
    if (m_packet.m_bCrcFlag)
        m_nPreviousCrc = ReadField<std::uint16_t>(reader, 16);
    if (m_packet.m_bExtensionFlag)
        ReadExtension(reader);
}

void CPesOptionalFields::ReadExtension(CBufferReader& reader)
{
    m_bPrivateDataFlag = ReadFlag(reader);
    m_bPackHeaderFieldFlag = ReadFlag(reader);
    m_bSequenceCounterFlag = ReadFlag(reader);
    m_bPstdBufferFlag = ReadFlag(reader);
    m_byExtensionReserved = ReadField<std::uint8_t>(reader, 3);
    m_bExtensionFlag2 = ReadFlag(reader);
    if (m_bPrivateDataFlag)
    {
        for (std::uint32_t& nWord : m_nPrivateData)
            nWord = reader.ReadBytes(4);
    }
    if (m_bPackHeaderFieldFlag)
        ReadPackHeader(reader);
    if (m_bSequenceCounterFlag)
    {
        SkipMarkerBit(reader);
        m_bySequenceCounter = ReadField<std::uint8_t>(reader, 7);
        SkipMarkerBit(reader);
        m_bMpeg1Mpeg2Identifier = ReadFlag(reader);
        m_byOriginalStuffLength = ReadField<std::uint8_t>(reader, 6);
    }
    if (m_bPstdBufferFlag)
    {
        reader.ReadBits(2);
        m_bPstdBufferScale = ReadFlag(reader);
        m_nPstdBufferSize = ReadField<std::uint16_t>(reader, 13);
    }
    if (m_bExtensionFlag2)
    {
        SkipMarkerBit(reader);
        m_byExtensionFieldLength = ReadField<std::uint8_t>(reader, 7);
        // The reserved bytes of the second extension are passed over, not kept.
        reader.Seek(m_byExtensionFieldLength, CBuffer::FromCurrent);
    }
}

void CPesOptionalFields::ReadPackHeader(CBufferReader& reader)
{
    m_byPackFieldLength = ReadField<std::uint8_t>(reader, 8);
    m_pPackHeader.reset();
    if (m_byPackFieldLength == 0)
        return;
    if (reader.Remaining() < m_byPackFieldLength)
    {
        reader.Seek(0, CBuffer::FromEnd);
        throw CReaderException();
    }
    m_pPackHeader = std::make_unique<std::uint8_t[]>(m_byPackFieldLength);
    std::memcpy(m_pPackHeader.get(), reader.Position(), m_byPackFieldLength);
    reader.Seek(m_byPackFieldLength, CBuffer::FromCurrent);
}

void CPesOptionalFields::Write(CBufferWriter& writer)
{
    if (m_packet.m_byPtsDtsFlags == kPesPtsOnly)
    {
        m_pts.SetPrefix(0x2);
        m_pts.Write(writer);
    }
    else if (m_packet.m_byPtsDtsFlags == kPesPtsAndDts)
    {
        m_pts.SetPrefix(0x3);
        m_pts.Write(writer);
        m_dts.SetPrefix(0x1);
        m_dts.Write(writer);
    }
    if (m_packet.m_bEscrFlag)
    {
        m_escr.m_byReserved = 0x3;
        m_escr.Write(writer);
    }
    if (m_packet.m_bEsRateFlag)
    {
        WriteMarkerBit(writer);
        writer.WriteBits(m_nEsRate, 22);
        WriteMarkerBit(writer);
    }
    if (m_packet.m_bTrickModeFlag)
        writer.WriteBits(m_byTrickMode, 8);
    if (m_packet.m_bAdditionalCopyInfoFlag)
    {
        WriteMarkerBit(writer);
        writer.WriteBits(m_byAdditionalCopyInfo, 7);
    }
    if (m_packet.m_bCrcFlag)
        writer.WriteBits(m_nPreviousCrc, 16);
    if (m_packet.m_bExtensionFlag)
        WriteExtension(writer);
}

void CPesOptionalFields::WriteExtension(CBufferWriter& writer) const
{
    writer.WriteBit(m_bPrivateDataFlag);
    writer.WriteBit(m_bPackHeaderFieldFlag);
    writer.WriteBit(m_bSequenceCounterFlag);
    writer.WriteBit(m_bPstdBufferFlag);
    writer.WriteBits(m_byExtensionReserved, 3);
    writer.WriteBit(m_bExtensionFlag2);
    if (m_bPrivateDataFlag)
    {
        for (std::uint32_t nWord : m_nPrivateData)
            writer.WriteBytes(nWord, 4);
    }
    if (m_bPackHeaderFieldFlag)
    {
        writer.WriteBits(m_byPackFieldLength, 8);
        if (m_pPackHeader)
            WriteRawBytes(writer, m_pPackHeader.get(), m_byPackFieldLength);
        else
            writer.Fill(0xFF, m_byPackFieldLength);
    }
    if (m_bSequenceCounterFlag)
    {
        WriteMarkerBit(writer);
        writer.WriteBits(m_bySequenceCounter, 7);
        WriteMarkerBit(writer);
        writer.WriteBit(m_bMpeg1Mpeg2Identifier);
        writer.WriteBits(m_byOriginalStuffLength, 6);
    }
    if (m_bPstdBufferFlag)
    {
        writer.WriteBits(0x1, 2);
        writer.WriteBit(m_bPstdBufferScale);
        writer.WriteBits(m_nPstdBufferSize, 13);
    }
    if (m_bExtensionFlag2)
    {
        WriteMarkerBit(writer);
        writer.WriteBits(m_byExtensionFieldLength, 7);
        writer.Fill(0xFF, m_byExtensionFieldLength);
    }
}

std::uint8_t CPesOptionalFields::Length() const
{
    unsigned cb = 0;
    if (m_packet.m_byPtsDtsFlags == kPesPtsOnly)
        cb += 5;
    else if (m_packet.m_byPtsDtsFlags == kPesPtsAndDts)
        cb += 10;
    cb += m_packet.m_bEscrFlag ? 6 : 0;
    cb += m_packet.m_bEsRateFlag ? 3 : 0;
    cb += m_packet.m_bTrickModeFlag ? 1 : 0;
    cb += m_packet.m_bAdditionalCopyInfoFlag ? 1 : 0;
    cb += m_packet.m_bCrcFlag ? 2 : 0;
    if (m_packet.m_bExtensionFlag)
    {
        cb += m_bPrivateDataFlag ? 17 : 1;
        cb += m_bPackHeaderFieldFlag ? m_byPackFieldLength + 1u : 0;
        cb += m_bSequenceCounterFlag ? 2 : 0;
        cb += m_bPstdBufferFlag ? 2 : 0;
        cb += m_bExtensionFlag2 ? m_byExtensionFieldLength + 1u : 0;
    }
    return static_cast<std::uint8_t>(cb);
}

// CPesPacket

CPesPacket::CPesPacket() = default;

CPesPacket::~CPesPacket() = default;

bool CPesPacket::HasOptionalFields() const
{
    return m_byPtsDtsFlags > 1 || m_bEscrFlag || m_bEsRateFlag || m_bTrickModeFlag ||
           m_bAdditionalCopyInfoFlag || m_bCrcFlag || m_bExtensionFlag;
}

void CPesPacket::Read(CBufferReader& reader)
{
    if (!ReadPrefix(reader))
        return;
    m_byStreamId = ReadField<std::uint8_t>(reader, 8);
    m_nPacketLength = ReadField<std::uint16_t>(reader, 16);
    ReadFlags(reader);
    m_byHeaderDataLength = ReadField<std::uint8_t>(reader, 8);

    m_pOptionalFields.reset();
    if (HasOptionalFields() && Factory())
        m_pOptionalFields = Factory()->CreateOptionalFields(*this);
    std::uint8_t cbOptionalFields = 0;
    if (m_pOptionalFields)
    {
        m_pOptionalFields->Read(reader);
        cbOptionalFields = m_pOptionalFields->Length();
    }
    ReadStuffingAndPayload(reader, cbOptionalFields);
}

void CPesPacket::ReadFlags(CBufferReader& reader)
{
    reader.ReadBits(2);
    m_byScramblingControl = ReadField<std::uint8_t>(reader, 2);
    m_bPriority = ReadFlag(reader);
    m_bDataAlignment = ReadFlag(reader);
    m_bCopyright = ReadFlag(reader);
    m_bOriginalOrCopy = ReadFlag(reader);
    m_byPtsDtsFlags = ReadField<std::uint8_t>(reader, 2);
    m_bEscrFlag = ReadFlag(reader);
    m_bEsRateFlag = ReadFlag(reader);
    m_bTrickModeFlag = ReadFlag(reader);
    m_bAdditionalCopyInfoFlag = ReadFlag(reader);
    m_bCrcFlag = ReadFlag(reader);
    m_bExtensionFlag = ReadFlag(reader);
}

void CPesPacket::ReadStuffingAndPayload(CBufferReader& reader, std::uint8_t cbOptionalFields)
{
    // A header data length shorter than the optional fields leaves no room for stuffing.
    m_cbStuffing = m_byHeaderDataLength > cbOptionalFields
                       ? static_cast<std::uint16_t>(m_byHeaderDataLength - cbOptionalFields)
                       : 0;
    reader.Seek(m_cbStuffing, CBuffer::FromCurrent);
    m_pPayload = reader.Position();
    m_cbPayload = 0;
    // Length 0 is an unbounded packet: its payload is left to the caller, unconsumed.
    if (m_nPacketLength == 0)
        return;
    const int nHeaderBytes = 3 + cbOptionalFields + m_cbStuffing;
    if (m_nPacketLength <= nHeaderBytes)
        return;
    // Never more than the buffer holds, so that writing the payload back stays inside it.
    m_cbPayload = static_cast<std::uint16_t>(
        std::min<std::size_t>(m_nPacketLength - nHeaderBytes, reader.Remaining()));
    reader.Seek(m_cbPayload, CBuffer::FromCurrent);
}

void CPesPacket::Write(CBufferWriter& writer)
{
    WritePrefixAndId(writer, m_byStreamId);
    writer.WriteBytes(m_nPacketLength, 2);
    WriteFlags(writer);
    writer.WriteBytes(m_byHeaderDataLength, 1);
    if (m_pOptionalFields)
        m_pOptionalFields->Write(writer);
    writer.Fill(0xFF, m_cbStuffing);
    WriteRawBytes(writer, m_pPayload, m_cbPayload);
}

void CPesPacket::WriteFlags(CBufferWriter& writer) const
{
    writer.WriteBits(0x2, 2);
    writer.WriteBits(m_byScramblingControl, 2);
    writer.WriteBit(m_bPriority);
    writer.WriteBit(m_bDataAlignment);
    writer.WriteBit(m_bCopyright);
    writer.WriteBit(m_bOriginalOrCopy);
    writer.WriteBits(m_byPtsDtsFlags, 2);
    writer.WriteBit(m_bEscrFlag);
    writer.WriteBit(m_bEsRateFlag);
    writer.WriteBit(m_bTrickModeFlag);
    writer.WriteBit(m_bAdditionalCopyInfoFlag);
    writer.WriteBit(m_bCrcFlag);
    writer.WriteBit(m_bExtensionFlag);
}

bool CPesPacket::Accept(IProcessor& processor)
{
    return processor.ProcessPesPacket(*this);
}

void CPesPacket::GetPayload(const std::uint8_t*& pPayload, std::uint16_t& cbPayload,
                            CBufferReader& payloadReader) const
{
    pPayload = m_pPayload;
    cbPayload = m_cbPayload;
    payloadReader = m_payloadReader;
}

// CPesPaddingPacket

void CPesPaddingPacket::Read(CBufferReader& reader)
{
    if (!ReadPrefix(reader) || reader.ReadBytes(1) != kPesPaddingStream)
        return;
    m_nPacketLength = ReadField<std::uint16_t>(reader, 16);
    reader.Seek(m_nPacketLength, CBuffer::FromCurrent);
}

void CPesPaddingPacket::Write(CBufferWriter& writer)
{
    WritePrefixAndId(writer, kPesPaddingStream);
    writer.WriteBytes(m_nPacketLength, 2);
    writer.Fill(0xFF, m_nPacketLength);
}

bool CPesPaddingPacket::Accept(IProcessor& processor)
{
    return processor.ProcessPaddingPacket(*this);
}

// CPesDataPacket

void CPesDataPacket::Read(CBufferReader& reader)
{
    if (!ReadPrefix(reader))
        return;
    m_byStreamId = ReadField<std::uint8_t>(reader, 8);
    m_nPacketLength = ReadField<std::uint16_t>(reader, 16);
    if (m_nPacketLength == 0)
        return;
    const std::size_t cbPresent = std::min<std::size_t>(m_nPacketLength, reader.Remaining());
    m_vecData.assign(reader.Position(), reader.Position() + cbPresent);
    reader.Seek(static_cast<std::ptrdiff_t>(cbPresent), CBuffer::FromCurrent);
    if (cbPresent < m_nPacketLength)
        throw CReaderException();
}

void CPesDataPacket::Write(CBufferWriter& writer)
{
    WritePrefixAndId(writer, m_byStreamId);
    writer.WriteBytes(m_nPacketLength, 2);
    WriteRawBytes(writer, m_vecData.data(), m_vecData.size());
}

bool CPesDataPacket::Accept(IProcessor& processor)
{
    return processor.ProcessDataPacket(*this);
}

// CPesFactory

std::unique_ptr<CSyntaxElement> CPesFactory::CreatePesPacket(std::uint8_t byStreamId)
{
    if (byStreamId == kPesPaddingStream)
        return std::make_unique<CPesPaddingPacket>(0);
    if (IsPesHeaderedStream(byStreamId))
        return std::make_unique<CPesPacket>();
    if (IsPesDataStream(byStreamId))
        return std::make_unique<CPesDataPacket>();
    return nullptr;
}

std::unique_ptr<CPesOptionalFields> CPesFactory::CreateOptionalFields(const CPesPacket& packet)
{
    return std::make_unique<CPesOptionalFields>(packet);
}
