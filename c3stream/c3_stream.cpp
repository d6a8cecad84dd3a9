#include "c3stream/c3_stream.h"

#include "c3stream/buffer_rw.h"
#include "c3stream/exceptions.h"
#include "c3stream/processor_interfaces.h"
#include "c3stream/singleton_manager.h"

// CC3Header

void CC3Header::Read(CBufferReader& reader)
{
    if (reader.ReadBytes(4) != kC3Marker)
        return;
    m_cbHeaderLength = reader.ReadBytes(4);
    m_cbVideoLength = reader.ReadBytes(4);
    m_cbAudioLength = reader.ReadBytes(4);
    m_nFlags = reader.ReadBytes(4);
    m_cbPreviousLength = reader.ReadBytes(4);
    m_timestamp.Read(reader);
}

void CC3Header::Write(CBufferWriter& writer)
{
    writer.WriteBytes(kC3Marker, 4);
    writer.WriteBytes(m_cbHeaderLength, 4);
    writer.WriteBytes(m_cbVideoLength, 4);
    writer.WriteBytes(m_cbAudioLength, 4);
    writer.WriteBytes(m_nFlags, 4);
    writer.WriteBytes(m_cbPreviousLength, 4);
    m_timestamp.Write(writer);
}

bool CC3Header::Accept(IProcessor& processor)
{
    return processor.ProcessHeader(*this);
}

std::uint32_t CC3Header::AudioUnits() const
{
    const std::uint32_t nUnits = m_nFlags >> 3;
    return nUnits == 0 ? 2 : nUnits;
}

std::uint64_t CC3Header::TotalLength() const
{
    return std::uint64_t{kC3HeaderLength} + m_cbVideoLength + m_cbAudioLength;
}

// CC3Payload

void CC3Payload::Read(CBufferReader& reader)
{
    if (reader.Remaining() < m_cbLength)
        throw CReaderException();
    m_pData = reader.Position();
    reader.Seek(m_cbLength, CBuffer::FromCurrent);
}

void CC3Payload::Write(CBufferWriter& writer)
{
    if (m_pData)
    {
        writer.WriteRaw(m_pData, m_cbLength);
        return;
    }
    if (!writer.HasData())
        throw CWriterException();
    writer.Fill(0, m_cbLength);
}

void CC3Payload::SetData(const std::uint8_t* pData, std::uint32_t cbLength)
{
    m_pData = pData;
    m_cbLength = cbLength;
}

bool CC3VideoData::Accept(IProcessor& processor)
{
    return processor.ProcessVideoData(*this);
}

bool CC3AudioData::Accept(IProcessor& processor)
{
    return processor.ProcessAudioData(*this);
}

// CC3Packet

bool CC3Packet::Accept(IProcessor& processor)
{
    return CCompositeElement::Accept(processor) && processor.ProcessPacket(*this);
}

CC3Header* CC3Packet::C3Header() const
{
    return dynamic_cast<CC3Header*>(Header());
}

template <class TPayload> TPayload* CC3Packet::FindChild() const
{
    for (const auto& pChild : Children())
    {
        if (auto* pPayload = dynamic_cast<TPayload*>(pChild.get()))
            return pPayload;
    }
    return nullptr;
}

CC3VideoData* CC3Packet::VideoData() const
{
    return FindChild<CC3VideoData>();
}

CC3AudioData* CC3Packet::AudioData() const
{
    return FindChild<CC3AudioData>();
}

std::unique_ptr<CSyntaxElement> CC3Packet::CreateHeader(CBufferReader&)
{
    return std::make_unique<CC3Header>();
}

std::unique_ptr<CSyntaxElement> CC3Packet::CreateNext(CBufferReader& reader)
{
    const CC3Header* pHeader = C3Header();
    CC3Factory* pFactory = CSingletonManager::Instance().C3Factory();
    if (!pHeader || !pFactory)
        return nullptr;
    if (!m_bVideoTaken && pHeader->m_cbVideoLength != 0)
    {
        m_bVideoTaken = true;
        if (reader.Remaining() < pHeader->m_cbVideoLength)
            return nullptr;
        return pFactory->CreateVideoData(pHeader->m_cbVideoLength);
    }
    if (!m_bAudioTaken && pHeader->m_cbAudioLength != 0)
    {
        m_bAudioTaken = true;
        if (reader.Remaining() < pHeader->m_cbAudioLength)
            return nullptr;
        return pFactory->CreateAudioData(pHeader->m_cbAudioLength);
    }
    return nullptr;
}

// CC3Stream

bool CC3Stream::Accept(IProcessor& processor)
{
    return CCompositeElement::Accept(processor) && processor.ProcessStream(*this);
}

std::unique_ptr<CSyntaxElement> CC3Stream::CreateHeader(CBufferReader&)
{
    return nullptr;
}

std::unique_ptr<CSyntaxElement> CC3Stream::CreateNext(CBufferReader& reader)
{
    // Fewer than 4 bytes cannot hold a marker: they end the stream like any other bytes that
    // are not one.
    CC3Factory* pFactory = CSingletonManager::Instance().C3Factory();
    if (!pFactory || reader.Remaining() < 4 || reader.PeekBytes(4) != kC3Marker)
        return nullptr;
    return pFactory->CreatePacket();
}

// CC3Factory

std::unique_ptr<CC3Stream> CC3Factory::CreateStream()
{
    return std::make_unique<CC3Stream>();
}

std::unique_ptr<CC3Packet> CC3Factory::CreatePacket()
{
    return std::make_unique<CC3Packet>();
}

std::unique_ptr<CC3Header> CC3Factory::CreateHeader(std::uint32_t nMarker)
{
    return nMarker == kC3Marker ? std::make_unique<CC3Header>() : nullptr;
}

std::unique_ptr<CC3VideoData> CC3Factory::CreateVideoData(std::uint32_t cbLength)
{
    return std::make_unique<CC3VideoData>(cbLength);
}

std::unique_ptr<CC3AudioData> CC3Factory::CreateAudioData(std::uint32_t cbLength)
{
    return std::make_unique<CC3AudioData>(cbLength);
}
