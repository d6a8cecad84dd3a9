#include "c3stream/es_audio.h"

#include "c3stream/buffer_rw.h"
#include "c3stream/field_io.h"
#include "c3stream/processor_interfaces.h"
#include "c3stream/singleton_manager.h"

namespace
{
CAudioFactory* Factory()
{
    return CSingletonManager::Instance().AudioFactory();
}

std::uint8_t ReadOneByte(CBufferReader& reader)
{
    return static_cast<std::uint8_t>(reader.ReadBytes(1));
}
} // namespace

// CAudioFrameHeader

void CAudioFrameHeader::Read(CBufferReader& reader)
{
    if (reader.ReadBytes(4) != kAudioFrameMarker)
        return;
    m_pFrameStart = reader.Position() - 4;
    m_time.ReadAudioTime(reader);
    reader.Seek(1, CBuffer::FromCurrent);
    m_byParam1 = ReadOneByte(reader);
    m_byParam2 = ReadOneByte(reader);
    m_byParam3 = ReadOneByte(reader);
    reader.Seek(4, CBuffer::FromCurrent);
    m_cbPayloadLength = reader.ReadBytes(4);
}

void CAudioFrameHeader::Write(CBufferWriter& writer)
{
    writer.WriteBytes(kAudioFrameMarker, 4);
    m_time.WriteAudioTime(writer);
    writer.WriteBytes(0, 1);
    writer.WriteBytes(m_byParam1, 1);
    writer.WriteBytes(m_byParam2, 1);
    writer.WriteBytes(m_byParam3, 1);
    writer.WriteBytes(0, 4);
    writer.WriteBytes(m_cbPayloadLength, 4);
}

bool CAudioFrameHeader::Accept(IProcessor& processor)
{
    return processor.ProcessAudioFrameHeader(*this);
}

// CAudioPayload

void CAudioPayload::Read(CBufferReader& reader)
{
    m_pData = reader.Position();
    m_cbActualLength = m_cbDeclaredLength;
    if (!reader.Seek(m_cbDeclaredLength, CBuffer::FromCurrent))
        m_cbActualLength = static_cast<std::uint32_t>(reader.Position() - m_pData);
}

void CAudioPayload::Write(CBufferWriter& writer)
{
    WriteRawBytes(writer, m_pData, m_cbActualLength);
}

bool CAudioPayload::Accept(IProcessor& processor)
{
    return processor.ProcessAudioPayload(*this);
}

// CAudioRawData

void CAudioRawData::Read(CBufferReader& reader)
{
    m_pData = reader.Position();
    reader.FindFrameMarker();
    // Without a further marker the scan has left the position at the end.
    m_cbLength = static_cast<std::uint32_t>(reader.Position() - m_pData);
}

void CAudioRawData::Write(CBufferWriter& writer)
{
    WriteRawBytes(writer, m_pData, m_cbLength);
}

bool CAudioRawData::Accept(IProcessor& processor)
{
    return processor.ProcessAudioRawData(*this);
}

// CAudioFrame

bool CAudioFrame::Accept(IProcessor& processor)
{
    return CCompositeElement::Accept(processor) && processor.ProcessAudioFrame(*this);
}

CAudioFrameHeader* CAudioFrame::FrameHeader() const
{
    return dynamic_cast<CAudioFrameHeader*>(Header());
}

CAudioPayload* CAudioFrame::Payload() const
{
    return Children().empty() ? nullptr : dynamic_cast<CAudioPayload*>(Children().front().get());
}

std::unique_ptr<CSyntaxElement> CAudioFrame::CreateHeader(CBufferReader&)
{
    return Factory() ? Factory()->CreateFrameHeader() : nullptr;
}

std::unique_ptr<CSyntaxElement> CAudioFrame::CreateNext(CBufferReader&)
{
    const CAudioFrameHeader* pHeader = FrameHeader();
    if (m_bPayloadTaken || !pHeader || !Factory())
        return nullptr;
    m_bPayloadTaken = true;
    return Factory()->CreatePayload(pHeader->m_cbPayloadLength);
}

// CAudioStream

bool CAudioStream::Accept(IProcessor& processor)
{
    return CCompositeElement::Accept(processor) && processor.ProcessAudioStream(*this);
}

std::unique_ptr<CSyntaxElement> CAudioStream::CreateHeader(CBufferReader&)
{
    return nullptr;
}

std::unique_ptr<CSyntaxElement> CAudioStream::CreateNext(CBufferReader& reader)
{
    if (!Factory())
        return nullptr;
    if (reader.Remaining() >= 4 && reader.PeekBytes(4) == kAudioFrameMarker)
        return Factory()->CreateFrame();
    return Factory()->CreateRawData();
}

// CAudioFactory

std::unique_ptr<CAudioFrame> CAudioFactory::CreateFrame()
{
    return std::make_unique<CAudioFrame>();
}

std::unique_ptr<CAudioFrameHeader> CAudioFactory::CreateFrameHeader()
{
    return std::make_unique<CAudioFrameHeader>();
}

std::unique_ptr<CAudioPayload> CAudioFactory::CreatePayload(std::uint32_t cbLength)
{
    return std::make_unique<CAudioPayload>(cbLength);
}

std::unique_ptr<CAudioRawData> CAudioFactory::CreateRawData()
{
    return std::make_unique<CAudioRawData>();
}
