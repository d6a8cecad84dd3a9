#include "c3stream/c3stream_headers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{
using Bytes = std::vector<std::uint8_t>;

const Bytes kExampleHeader = {0x88, 0x88, 0xCA, 0xFE, 0x00, 0x00, 0x00, 0x1C, 0x00, 0x00,
                              0x03, 0xE8, 0x00, 0x00, 0x19, 0x30, 0x00, 0x00, 0x00, 0x11,
                              0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x5F, 0x90};

Bytes HeaderBytes(std::uint32_t cbVideo, std::uint32_t cbAudio, std::uint32_t cbPrevious = 0)
{
    CC3Header header;
    header.m_cbHeaderLength = kC3HeaderLength;
    header.m_cbVideoLength = cbVideo;
    header.m_cbAudioLength = cbAudio;
    header.m_nFlags = kPictureP;
    header.m_cbPreviousLength = cbPrevious;
    Bytes bytes(kC3HeaderLength);
    CBufferWriter writer(bytes.data(), bytes.size());
    header.Write(writer);
    return bytes;
}

std::unique_ptr<CC3Stream> ReadStream(const Bytes& bytes)
{
    auto pStream = std::make_unique<CC3Stream>();
    CBufferReader reader(bytes.data(), bytes.size());
    pStream->Read(reader);
    return pStream;
}

CC3Packet& PacketAt(const CC3Stream& stream, std::size_t i)
{
    return dynamic_cast<CC3Packet&>(*stream.Children().at(i));
}

TEST(C3Header, ExampleBytes)
{
    CC3Header header;
    header.m_cbHeaderLength = 28;
    header.m_cbVideoLength = 1000;
    header.m_cbAudioLength = 6448;
    header.m_nFlags = 0x11;
    header.m_timestamp.m_dSeconds = 1.0;
    Bytes bytes(28);
    CBufferWriter writer(bytes.data(), bytes.size());
    header.Write(writer);
    EXPECT_EQ(bytes, kExampleHeader);

    CC3Header readBack;
    CBufferReader reader(kExampleHeader.data(), kExampleHeader.size());
    readBack.Read(reader);
    EXPECT_EQ(readBack.m_cbHeaderLength, 28u);
    EXPECT_EQ(readBack.m_cbVideoLength, 1000u);
    EXPECT_EQ(readBack.m_cbAudioLength, 6448u);
    EXPECT_EQ(readBack.PictureType(), kPictureI);
    EXPECT_EQ(readBack.AudioUnits(), 2u);
    EXPECT_EQ(readBack.m_cbPreviousLength, 0u);
    EXPECT_DOUBLE_EQ(readBack.m_timestamp.m_dSeconds, 1.0);
    EXPECT_EQ(readBack.TotalLength(), 28u + 1000 + 6448);
}

TEST(C3Header, WrongMarkerStopsAfterTheFirstWord)
{
    Bytes bytes = kExampleHeader;
    bytes[3] = 0xFF;
    CBufferReader reader(bytes.data(), bytes.size());
    CC3Header header;
    header.Read(reader);
    EXPECT_EQ(reader.Position(), bytes.data() + 4);
    EXPECT_EQ(header.m_cbVideoLength, 0u);
}

TEST(C3Stream, HandBuiltStreamWritesAndReadsBack)
{
    const Bytes video(1000, 0x5A);
    Bytes audio(6448);
    for (std::size_t i = 0; i < audio.size(); ++i)
        audio[i] = static_cast<std::uint8_t>(i);

    CC3Stream stream;
    const std::uint32_t lengths[][2] = {{1000, 6448}, {0, 6448}, {1000, 0}, {0, 0}};
    std::uint64_t cbPrevious = 0;
    for (const auto& length : lengths)
    {
        auto pHeader = std::make_unique<CC3Header>();
        pHeader->m_cbHeaderLength = kC3HeaderLength;
        pHeader->m_cbVideoLength = length[0];
        pHeader->m_cbAudioLength = length[1];
        pHeader->m_nFlags = kPictureB | (4 << 3);
        pHeader->m_cbPreviousLength = static_cast<std::uint32_t>(cbPrevious);
        pHeader->m_timestamp.m_dSeconds = 2.5;
        cbPrevious = pHeader->TotalLength();
        auto pPacket = std::make_unique<CC3Packet>();
        pPacket->SetHeader(std::move(pHeader));
        if (length[0] != 0)
        {
            auto pVideo = std::make_unique<CC3VideoData>();
            pVideo->SetData(video.data(), length[0]);
            pPacket->AddChild(std::move(pVideo));
        }
        if (length[1] != 0)
        {
            auto pAudio = std::make_unique<CC3AudioData>();
            pAudio->SetData(audio.data(), length[1]);
            pPacket->AddChild(std::move(pAudio));
        }
        stream.AddChild(std::move(pPacket));
    }
    Bytes bytes(2 * (1000 + 6448) + 4 * 28);
    CBufferWriter writer(bytes.data(), bytes.size());
    stream.Write(writer);
    EXPECT_FALSE(writer.HasData());

    const auto pRead = ReadStream(bytes);
    ASSERT_EQ(pRead->Children().size(), 4u);
    cbPrevious = 0;
    for (std::size_t i = 0; i < 4; ++i)
    {
        const CC3Packet& packet = PacketAt(*pRead, i);
        const CC3Header& header = *packet.C3Header();
        EXPECT_EQ(header.m_cbVideoLength, lengths[i][0]);
        EXPECT_EQ(header.m_cbAudioLength, lengths[i][1]);
        EXPECT_EQ(header.PictureType(), kPictureB);
        EXPECT_EQ(header.AudioUnits(), 4u);
        EXPECT_EQ(header.m_cbPreviousLength, cbPrevious);
        EXPECT_DOUBLE_EQ(header.m_timestamp.m_dSeconds, 2.5);
        cbPrevious = header.TotalLength();
        EXPECT_EQ(packet.Children().size(), (lengths[i][0] != 0) + (lengths[i][1] != 0));
        if (const CC3VideoData* pVideo = packet.VideoData())
        {
            EXPECT_EQ(Bytes(pVideo->Data(), pVideo->Data() + pVideo->Length()), video);
        }
        if (const CC3AudioData* pAudio = packet.AudioData())
        {
            EXPECT_EQ(Bytes(pAudio->Data(), pAudio->Data() + pAudio->Length()), audio);
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

    // One bare header: one packet, header only.
    auto pStream = ReadStream(HeaderBytes(0, 0));
    ASSERT_EQ(pStream->Children().size(), 1u);
    EXPECT_NE(PacketAt(*pStream, 0).C3Header(), nullptr);
    EXPECT_TRUE(PacketAt(*pStream, 0).Children().empty());

    // Audio only.
    Bytes bytes = HeaderBytes(0, 5);
    bytes.resize(bytes.size() + 5, 0xAA);
    pStream = ReadStream(bytes);
    ASSERT_EQ(PacketAt(*pStream, 0).Children().size(), 1u);
    ASSERT_NE(PacketAt(*pStream, 0).AudioData(), nullptr);
    EXPECT_EQ(PacketAt(*pStream, 0).AudioData()->Length(), 5u);

    // A payload longer than the bytes left: the packet keeps its header, and the stream ends
    // at the bytes after it.
    bytes = HeaderBytes(100, 5);
    bytes.resize(bytes.size() + 60, 0x11);
    pStream = ReadStream(bytes);
    ASSERT_EQ(pStream->Children().size(), 1u);
    EXPECT_TRUE(PacketAt(*pStream, 0).Children().empty());

    // A header cut short throws.
    bytes = HeaderBytes(0, 0);
    bytes.resize(20);
    EXPECT_THROW(ReadStream(bytes), CReaderException);
}

TEST(C3Stream, EndsQuietlyBeforeBytesThatAreNotAMarker)
{
    for (const Bytes& tail : {Bytes{0x47, 0x00, 0x00, 0x00, 0x00}, Bytes{0x88, 0x88, 0xCA}})
    {
        Bytes bytes = HeaderBytes(3, 0);
        bytes.insert(bytes.end(), {1, 2, 3});
        const Bytes second = HeaderBytes(0, 0, 31);
        bytes.insert(bytes.end(), second.begin(), second.end());
        bytes.insert(bytes.end(), tail.begin(), tail.end());
        const auto pStream = ReadStream(bytes);
        EXPECT_EQ(pStream->Children().size(), 2u);
    }
    // Garbage from the first byte: no packet, no error.
    EXPECT_TRUE(ReadStream(Bytes(100, 0x47))->Children().empty());
}

TEST(C3Stream, PayloadWriteIsCutAtTheEndThenThrows)
{
    Bytes bytes = HeaderBytes(10, 0);
    bytes.resize(bytes.size() + 10, 0x33);
    const auto pStream = ReadStream(bytes);
    Bytes out(30);
    CBufferWriter writer(out.data(), out.size());
    pStream->Write(writer);
    EXPECT_EQ(out[29], 0x33);
    CC3VideoData video(4);
    EXPECT_THROW(video.Write(writer), CWriterException);
}

// Records the order of the calls; stops at a chosen one.
class CRecordingProcessor : public IProcessor
{
public:
    explicit CRecordingProcessor(std::string strStopAt = "") : m_strStopAt(std::move(strStopAt)) {}
    bool ProcessAudioData(CC3AudioData&) override { return Record("A"); }
    bool ProcessVideoData(CC3VideoData&) override { return Record("V"); }
    bool ProcessHeader(CC3Header&) override { return Record("H"); }
    bool ProcessPacket(CC3Packet&) override { return Record("P"); }
    bool ProcessStream(CC3Stream&) override { return Record("S"); }

    std::string m_strCalls;

private:
    bool Record(const char* pszCall)
    {
        m_strCalls += pszCall;
        return m_strStopAt != pszCall;
    }
    std::string m_strStopAt;
};

TEST(C3Stream, WalkIsDepthFirstAndStopsAtTheFirstFalse)
{
    Bytes bytes = HeaderBytes(2, 3);
    bytes.resize(bytes.size() + 5);
    const Bytes second = HeaderBytes(0, 0);
    bytes.insert(bytes.end(), second.begin(), second.end());
    const auto pStream = ReadStream(bytes);

    CRecordingProcessor all;
    EXPECT_TRUE(pStream->Accept(all));
    EXPECT_EQ(all.m_strCalls, "HVAPHPS");

    CRecordingProcessor stopAtHeader("H");
    EXPECT_FALSE(pStream->Accept(stopAtHeader));
    EXPECT_EQ(stopAtHeader.m_strCalls, "H");

    CRecordingProcessor stopAtPacket("P");
    EXPECT_FALSE(pStream->Accept(stopAtPacket));
    EXPECT_EQ(stopAtPacket.m_strCalls, "HVAP");
}

// Counts the packets it makes.
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
    const Bytes bytes = HeaderBytes(0, 0);
    CSingletonManager& registry = CSingletonManager::Instance();
    CCountingFactory::s_nPackets = 0;
    registry.SetC3Factory(std::make_unique<CCountingFactory>());
    ReadStream(bytes);
    ReadStream(bytes);
    EXPECT_EQ(CCountingFactory::s_nPackets, 2);

    registry.SetC3Factory(std::make_unique<CC3Factory>());
    ReadStream(bytes);
    EXPECT_EQ(CCountingFactory::s_nPackets, 2);
}

TEST(C3Factory, MakesAHeaderOnlyForTheMarker)
{
    CC3Factory factory;
    EXPECT_NE(factory.CreateHeader(kC3Marker), nullptr);
    EXPECT_EQ(factory.CreateHeader(0xDEADCAFE), nullptr);
}
} // namespace
