#include "c3_test_support.h"

#include "c3stream/c3stream_headers.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
std::unique_ptr<CC3Stream> ReadStream(const Bytes& bytes, const std::uint8_t** ppEnd = nullptr)
{
    auto pStream = std::make_unique<CC3Stream>();
    CBufferReader reader(bytes.data(), bytes.size());
    pStream->Read(reader);
    if (ppEnd)
        *ppEnd = reader.Position();
    return pStream;
}

const CC3Packet& PacketAt(const CC3Stream& stream, std::size_t i)
{
    return dynamic_cast<const CC3Packet&>(*stream.Children().at(i));
}

Bytes operator+(Bytes left, const Bytes& right)
{
    left.insert(left.end(), right.begin(), right.end());
    return left;
}

TEST(C3Header, ExampleBytes)
{
    const Bytes example = {0x88, 0x88, 0xCA, 0xFE, 0x00, 0x00, 0x00, 0x1C, 0x00, 0x00,
                           0x03, 0xE8, 0x00, 0x00, 0x19, 0x30, 0x00, 0x00, 0x00, 0x11,
                           0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x5F, 0x90};
    CC3Header header;
    header.m_cbHeaderLength = 28;
    header.m_cbVideoLength = 1000;
    header.m_cbAudioLength = 6448;
    header.m_nFlags = 0x11;
    header.m_timestamp.m_dSeconds = 1.0;
    Bytes bytes(28);
    CBufferWriter writer(bytes.data(), bytes.size());
    header.Write(writer);
    EXPECT_EQ(bytes, example);

    CC3Header readBack;
    CBufferReader reader(example.data(), example.size());
    readBack.Read(reader);
    EXPECT_EQ(readBack.m_cbAudioLength, 6448u);
    EXPECT_EQ(readBack.PictureType(), kPictureI);
    EXPECT_EQ(readBack.AudioUnits(), 2u);
    EXPECT_DOUBLE_EQ(readBack.m_timestamp.m_dSeconds, 1.0);
}

TEST(C3Stream, HandBuiltStreamWritesAndReadsBack)
{
    Bytes payload(7000);
    for (std::size_t i = 0; i < payload.size(); ++i)
        payload[i] = static_cast<std::uint8_t>(i * 7);
    const std::uint32_t lengths[][2] = {{1000, 6448}, {0, 6448}, {1000, 0}, {0, 0}};
    CC3Stream stream;
    std::uint64_t cbTotal = 0;
    for (const auto& length : lengths)
    {
        auto pPacket = std::make_unique<CC3Packet>();
        auto pHeader = std::make_unique<CC3Header>();
        pHeader->m_cbVideoLength = length[0];
        pHeader->m_cbAudioLength = length[1];
        pHeader->m_nFlags = kPictureB | (4 << 3);
        pHeader->m_timestamp.m_dSeconds = 2.5;
        cbTotal += pHeader->TotalLength();
        pPacket->SetHeader(std::move(pHeader));
        auto pVideo = std::make_unique<CC3VideoData>();
        pVideo->SetData(payload.data(), length[0]);
        auto pAudio = std::make_unique<CC3AudioData>();
        pAudio->SetData(payload.data() + 1, length[1]);
        pPacket->AddChild(length[0] ? std::move(pVideo) : nullptr);
        pPacket->AddChild(length[1] ? std::move(pAudio) : nullptr);
        stream.AddChild(std::move(pPacket));
    }
    Bytes bytes(cbTotal);
    CBufferWriter writer(bytes.data(), bytes.size());
    stream.Write(writer);

    const auto pRead = ReadStream(bytes);
    ASSERT_EQ(pRead->Children().size(), 4u);
    for (std::size_t i = 0; i < 4; ++i)
    {
        const CC3Packet& packet = PacketAt(*pRead, i);
        const CC3Header& header = *packet.C3Header();
        EXPECT_EQ(header.m_cbVideoLength, lengths[i][0]);
        EXPECT_EQ(header.m_cbAudioLength, lengths[i][1]);
        EXPECT_EQ(header.m_nFlags, kPictureB | (4 << 3));
        EXPECT_DOUBLE_EQ(header.m_timestamp.m_dSeconds, 2.5);
        EXPECT_EQ(packet.Children().size(), (lengths[i][0] != 0) + (lengths[i][1] != 0u));
        if (const CC3Payload* pAudio = packet.AudioData())
        {
            EXPECT_TRUE(std::equal(pAudio->Data(), pAudio->Data() + 6448, payload.data() + 1));
        }
    }
    Bytes rewritten(bytes.size());
    CBufferWriter rewriter(rewritten.data(), rewritten.size());
    pRead->Write(rewriter);
    EXPECT_EQ(rewritten, bytes);
}

TEST(C3Stream, ShortAndOddBuffers)
{
    EXPECT_THROW(ReadStream({}), CReaderException);
    Bytes cutHeader = HeaderBytes(0, 0);
    cutHeader.resize(20);
    EXPECT_THROW(ReadStream(cutHeader), CReaderException);

    auto pStream = ReadStream(HeaderBytes(0, 0));
    ASSERT_EQ(pStream->Children().size(), 1u);
    EXPECT_TRUE(PacketAt(*pStream, 0).Children().empty());

    pStream = ReadStream(HeaderBytes(0, 5) + Bytes(5, 0xAA));
    ASSERT_EQ(PacketAt(*pStream, 0).Children().size(), 1u);
    EXPECT_EQ(PacketAt(*pStream, 0).AudioData()->Length(), 5u);

    // A payload longer than the bytes left: the packet keeps its header, the stream ends.
    pStream = ReadStream(HeaderBytes(100, 5) + Bytes(60, 0x11));
    ASSERT_EQ(pStream->Children().size(), 1u);
    EXPECT_TRUE(PacketAt(*pStream, 0).Children().empty());

    // Bytes that are not a marker end the stream quietly and stay unread, even when fewer
    // than four are left.
    const Bytes packets = HeaderBytes(3, 0) + Bytes{1, 2, 3} + HeaderBytes(0, 0, 31);
    for (const Bytes& tail : {Bytes(40, 0x47), Bytes{0x88, 0x88, 0xCA}})
    {
        const Bytes bytes = packets + tail;
        const std::uint8_t* pEnd = nullptr;
        EXPECT_EQ(ReadStream(bytes, &pEnd)->Children().size(), 2u);
        EXPECT_EQ(pEnd, bytes.data() + packets.size());
    }
}

TEST(C3Stream, PayloadWriteIsCutAtTheEndThenThrows)
{
    const Bytes bytes = HeaderBytes(10, 0) + Bytes(10, 0x33);
    const auto pStream = ReadStream(bytes);
    Bytes out(30);
    CBufferWriter writer(out.data(), out.size());
    pStream->Write(writer);
    EXPECT_EQ(out[29], 0x33);
    EXPECT_THROW(CC3VideoData(4).Write(writer), CWriterException);
}

// Records the order of the calls and stops at a chosen one.
class CRecordingProcessor : public IProcessor
{
public:
    explicit CRecordingProcessor(char chStopAt = 0) : m_chStopAt(chStopAt) {}
    bool ProcessAudioData(CC3AudioData&) override { return Record('A'); }
    bool ProcessVideoData(CC3VideoData&) override { return Record('V'); }
    bool ProcessHeader(CC3Header&) override { return Record('H'); }
    bool ProcessPacket(CC3Packet&) override { return Record('P'); }
    bool ProcessStream(CC3Stream&) override { return Record('S'); }

    std::string m_strCalls;

private:
    bool Record(char chCall)
    {
        m_strCalls += chCall;
        return chCall != m_chStopAt;
    }
    char m_chStopAt;
};

TEST(C3Stream, WalkIsDepthFirstAndStopsAtTheFirstFalse)
{
    const Bytes bytes = HeaderBytes(2, 3) + Bytes(5) + HeaderBytes(0, 0);
    const auto pStream = ReadStream(bytes);
    for (auto [chStopAt, pszCalls] : {std::pair{'\0', "HVAPHPS"}, {'H', "H"}, {'P', "HVAP"}})
    {
        CRecordingProcessor processor(chStopAt);
        EXPECT_EQ(pStream->Accept(processor), chStopAt == '\0');
        EXPECT_EQ(processor.m_strCalls, pszCalls);
    }
}

class CCountingFactory : public CC3Factory
{
public:
    std::unique_ptr<CC3Packet> CreatePacket() override
    {
        ++s_nPackets;
        return CC3Factory::CreatePacket();
    }
    static inline int s_nPackets = 0;
};

TEST(C3Stream, NextReadUsesTheInstalledFactory)
{
    CSingletonManager& registry = CSingletonManager::Instance();
    registry.SetC3Factory(std::make_unique<CCountingFactory>());
    ReadStream(HeaderBytes(0, 0) + HeaderBytes(0, 0));
    registry.SetC3Factory(std::make_unique<CC3Factory>());
    ReadStream(HeaderBytes(0, 0));
    EXPECT_EQ(CCountingFactory::s_nPackets, 2);
}
} // namespace
