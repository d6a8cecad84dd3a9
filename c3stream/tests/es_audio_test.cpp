#include "c3stream/es_audio.h"
#include "c3stream/exceptions.h"
#include "c3stream/processor_interfaces.h"
#include "format_test_support.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
Bytes FrameHeader(std::uint32_t cbPayload)
{
    CAudioFrameHeader header;
    header.m_time.m_dSeconds = 2.0;
    header.m_byParam1 = 2;
    header.m_byParam2 = 16;
    header.m_cbPayloadLength = cbPayload;
    return WriteToBytes(header, kAudioFrameHeaderLength);
}

Bytes Frame(std::uint32_t cbPayload, std::uint8_t byFill)
{
    return Concat({FrameHeader(cbPayload), Bytes(cbPayload, byFill)});
}

template <class TElement> TElement* ChildAs(const CCompositeElement& element, std::size_t i)
{
    return i < element.Children().size() ? dynamic_cast<TElement*>(element.Children()[i].get())
                                         : nullptr;
}

TEST(AudioFrameHeader, WritesTheDocumentedLayout)
{
    CAudioFrameHeader header;
    header.m_byParam1 = 2;
    header.m_byParam2 = 16;
    header.m_byParam3 = 0;
    header.m_cbPayloadLength = 1000;
    const Bytes bytes = WriteToBytes(header, 40);
    ASSERT_EQ(bytes.size(), 24u);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 4), (Bytes{0xDE, 0xAD, 0xCA, 0xFE}));
    EXPECT_EQ(Bytes(bytes.begin() + 12, bytes.end()),
              (Bytes{0x00, 0x02, 0x10, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x03, 0xE8}));

    const CExactBuffer buffer(FrameHeader(77));
    CBufferReader reader = buffer.Reader();
    CAudioFrameHeader read;
    read.Read(reader);
    EXPECT_EQ(read.m_pFrameStart, buffer.Data());
    EXPECT_DOUBLE_EQ(read.m_time.m_dSeconds, 2.0);
    EXPECT_EQ(read.m_byParam2, 16);
    EXPECT_EQ(read.m_cbPayloadLength, 77u);
}

TEST(AudioStream, RawBlockBeforeAFrameAndFramesBackToBack)
{
    const Bytes bytes = Concat({Bytes(10, 0x11), Frame(100, 0x22), Frame(5, 0x33), Frame(0, 0)});
    const CExactBuffer buffer(bytes);
    CBufferReader reader = buffer.Reader();
    CAudioStream stream;
    stream.Read(reader);

    ASSERT_EQ(stream.Children().size(), 4u);
    const auto* pRaw = ChildAs<CAudioRawData>(stream, 0);
    ASSERT_NE(pRaw, nullptr);
    EXPECT_EQ(pRaw->m_cbLength, 10u);
    const auto* pFrame = ChildAs<CAudioFrame>(stream, 1);
    ASSERT_NE(pFrame, nullptr);
    ASSERT_NE(pFrame->Payload(), nullptr);
    EXPECT_EQ(pFrame->Payload()->m_cbActualLength, 100u);
    EXPECT_EQ(pFrame->FrameHeader()->m_pFrameStart, buffer.Data() + 10);
    EXPECT_NE(ChildAs<CAudioFrame>(stream, 2), nullptr);
    EXPECT_NE(ChildAs<CAudioFrame>(stream, 3), nullptr);

    // The empty last payload writes nothing, even into a buffer that is full by then.
    EXPECT_EQ(WriteToBytes(stream, bytes.size()), bytes);
}

TEST(AudioStream, ShortPayloadKeepsWhatIsThere)
{
    const Bytes bytes = Concat({FrameHeader(100), Bytes(60, 0x44)});
    const CExactBuffer buffer(bytes);
    CBufferReader reader = buffer.Reader();
    CAudioStream stream;
    stream.Read(reader);

    const auto* pFrame = ChildAs<CAudioFrame>(stream, 0);
    ASSERT_NE(pFrame, nullptr);
    EXPECT_EQ(pFrame->Payload()->m_cbDeclaredLength, 100u);
    EXPECT_EQ(pFrame->Payload()->m_cbActualLength, 60u);
    EXPECT_EQ(WriteToBytes(stream, 200), bytes);
}

TEST(AudioStream, BytesWithoutMarkerAreOneRawBlock)
{
    for (const Bytes& bytes : {Bytes{1, 2, 3, 4, 5, 6, 7}, Bytes{0xDE, 0xAD, 0xCA}, Bytes{9}})
    {
        const CExactBuffer buffer(bytes);
        CBufferReader reader = buffer.Reader();
        CAudioStream stream;
        stream.Read(reader);
        ASSERT_EQ(stream.Children().size(), 1u);
        const auto* pRaw = ChildAs<CAudioRawData>(stream, 0);
        ASSERT_NE(pRaw, nullptr);
        EXPECT_EQ(pRaw->m_cbLength, bytes.size());
        EXPECT_EQ(WriteToBytes(stream, 20), bytes);
    }
}

TEST(AudioStream, HeaderCutShortThrowsAndEmptyBufferThrows)
{
    const Bytes header = FrameHeader(8);
    const CExactBuffer cut(Bytes(header.begin(), header.begin() + 22));
    CBufferReader reader = cut.Reader();
    CAudioStream stream;
    EXPECT_THROW(stream.Read(reader), CReaderException);

    const CExactBuffer empty(Bytes{});
    CBufferReader emptyReader = empty.Reader();
    CAudioStream emptyStream;
    EXPECT_THROW(emptyStream.Read(emptyReader), CReaderException);
}

// Records the order of the walk, and stops at a chosen step.
class CAudioRecorder : public CWalkRecorder
{
public:
    bool ProcessAudioRawData(CAudioRawData&) override { return Note('R'); }
    bool ProcessAudioPayload(CAudioPayload&) override { return Note('P'); }
    bool ProcessAudioFrameHeader(CAudioFrameHeader&) override { return Note('H'); }
    bool ProcessAudioFrame(CAudioFrame&) override { return Note('F'); }
    bool ProcessAudioStream(CAudioStream&) override { return Note('S'); }
};

TEST(AudioStream, WalksChildrenBeforeParentsAndStopsOnFalse)
{
    const CExactBuffer buffer(Concat({Bytes(3, 0x11), Frame(4, 0x22), Frame(2, 0x33)}));
    CBufferReader reader = buffer.Reader();
    CAudioStream stream;
    stream.Read(reader);

    CAudioRecorder all;
    EXPECT_TRUE(stream.Accept(all));
    EXPECT_EQ(all.m_strOrder, "RHPFHPFS");

    CAudioRecorder stopping;
    stopping.m_nStopAfter = 3;
    EXPECT_FALSE(stream.Accept(stopping));
    EXPECT_EQ(stopping.m_strOrder, "RHP");
}
} // namespace
