#include "c3stream/exceptions.h"
#include "c3stream/pes.h"
#include "c3stream/processor_interfaces.h"
#include "format_test_support.h"

#include <gtest/gtest.h>

namespace
{
// Packet start for a video stream: prefix, stream id 0xE0, then the given length.
Bytes PacketStart(std::uint16_t nPacketLength)
{
    return {0x00,
            0x00,
            0x01,
            0xE0,
            static_cast<std::uint8_t>(nPacketLength >> 8),
            static_cast<std::uint8_t>(nPacketLength)};
}

Bytes Repeat(std::uint8_t byValue, std::size_t cb)
{
    return Bytes(cb, byValue);
}

// PTS of 1.0 second with prefix '0010'.
const Bytes kPtsOneSecond = {0x21, 0x00, 0x05, 0xBF, 0x21};

// Every optional field: PTS 1.0 s and DTS 0.5 s, ESCR 2.0 s, ES_rate 0x12345, trick mode 0xA5,
// additional_copy_info 0x55, CRC 0xBEEF, and an extension with private data 00..0F, a 3-byte
// pack header, sequence counter 0x2A, P-STD scale 1 size 0xABC and 2 extension-2 bytes.
const Bytes kAllOptionalFields = {0x31, 0x00, 0x05, 0xBF, 0x21, 0x11, 0x00, 0x03, 0x5F, 0x91, 0xC4,
                                  0x00, 0x2D, 0xF9, 0x04, 0x01, 0x82, 0x46, 0x8B, 0xA5, 0xD5, 0xBE,
                                  0xEF, 0xFF, 0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08,
                                  0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x03, 0xAA, 0xBB, 0xCC,
                                  0xAA, 0xD5, 0x6A, 0xBC, 0x82, 0xFF, 0xFF};

std::unique_ptr<CSyntaxElement> ReadByFactory(const CExactBuffer& buffer)
{
    auto pElement = CPesFactory().CreatePesPacket(buffer.Data()[3]);
    CBufferReader reader = buffer.Reader();
    if (pElement)
        pElement->Read(reader);
    return pElement;
}

TEST(PesPacket, PtsWithStuffingGivesTheRemainingBytesAsPayload)
{
    const Bytes bytes = Concat({PacketStart(1000),
                                {0x80, 0x80, 0x08},
                                kPtsOneSecond,
                                Repeat(0xFF, 3),
                                Repeat(0x42, 989),
                                {0x00, 0x00, 0x01}});
    const CExactBuffer buffer(bytes);
    CBufferReader reader = buffer.Reader();
    CPesPacket packet;
    packet.Read(reader);

    EXPECT_EQ(packet.m_byStreamId, 0xE0);
    EXPECT_EQ(packet.m_byPtsDtsFlags, 2);
    ASSERT_NE(packet.m_pOptionalFields, nullptr);
    EXPECT_EQ(packet.m_pOptionalFields->Length(), 5);
    EXPECT_DOUBLE_EQ(packet.m_pOptionalFields->m_pts.m_dSeconds, 1.0);
    EXPECT_EQ(packet.m_cbStuffing, 3);
    EXPECT_EQ(packet.m_pPayload, buffer.Data() + 17);
    EXPECT_EQ(packet.m_cbPayload, 989);
    EXPECT_EQ(reader.Remaining(), 3u);

    EXPECT_EQ(WriteToBytes(packet, bytes.size()), Bytes(bytes.begin(), bytes.end() - 3));
}

TEST(PesPacket, PtsDtsFlagsOneCarriesNoOptionalFields)
{
    const Bytes bytes = Concat({PacketStart(5), {0x80, 0x40, 0x00}, {0x11, 0x22}});
    const CExactBuffer buffer(bytes);
    CBufferReader reader = buffer.Reader();
    CPesPacket packet;
    packet.Read(reader);

    EXPECT_EQ(packet.m_byPtsDtsFlags, 1);
    EXPECT_EQ(packet.m_pOptionalFields, nullptr);
    EXPECT_EQ(packet.m_cbPayload, 2);
    EXPECT_FALSE(reader.HasData());
}

TEST(PesPacket, UnboundedPacketLeavesThePayloadUnread)
{
    const Bytes bytes =
        Concat({PacketStart(0), {0x80, 0x80, 0x05}, kPtsOneSecond, Repeat(0x42, 20)});
    const CExactBuffer buffer(bytes);
    CBufferReader reader = buffer.Reader();
    CPesPacket packet;
    packet.Read(reader);

    EXPECT_EQ(packet.m_cbPayload, 0);
    EXPECT_EQ(packet.m_pPayload, buffer.Data() + 14);
    EXPECT_EQ(reader.Position(), buffer.Data() + 14);
}

TEST(PesPacket, EveryOptionalFieldRoundTrips)
{
    const Bytes bytes = Concat(
        {PacketStart(60), {0x84, 0xFF, 53}, kAllOptionalFields, Repeat(0xFF, 2), {1, 2, 3, 4}});
    const CExactBuffer buffer(bytes);
    CBufferReader reader = buffer.Reader();
    CPesPacket packet;
    packet.Read(reader);

    ASSERT_NE(packet.m_pOptionalFields, nullptr);
    const CPesOptionalFields& fields = *packet.m_pOptionalFields;
    EXPECT_EQ(fields.Length(), 51);
    EXPECT_DOUBLE_EQ(fields.m_dts.m_dSeconds, 0.5);
    EXPECT_DOUBLE_EQ(fields.m_escr.m_dSeconds, 2.0);
    EXPECT_EQ(fields.m_nEsRate, 0x12345u);
    EXPECT_EQ(fields.m_byTrickMode, 0xA5);
    EXPECT_EQ(fields.m_byAdditionalCopyInfo, 0x55);
    EXPECT_EQ(fields.m_nPreviousCrc, 0xBEEF);
    EXPECT_EQ(fields.m_nPrivateData[3], 0x0C0D0E0Fu);
    ASSERT_NE(fields.m_pPackHeader, nullptr);
    EXPECT_EQ(fields.m_pPackHeader[2], 0xCC);
    EXPECT_EQ(fields.m_bySequenceCounter, 0x2A);
    EXPECT_TRUE(fields.m_bMpeg1Mpeg2Identifier);
    EXPECT_EQ(fields.m_byOriginalStuffLength, 0x15);
    EXPECT_TRUE(fields.m_bPstdBufferScale);
    EXPECT_EQ(fields.m_nPstdBufferSize, 0xABC);
    EXPECT_EQ(fields.m_byExtensionFieldLength, 2);
    EXPECT_EQ(packet.m_cbStuffing, 2);
    EXPECT_EQ(packet.m_cbPayload, 4);

    EXPECT_EQ(WriteToBytes(packet, bytes.size()), bytes);
}

TEST(PesPacket, WritingFixesTimePrefixesAndFillsMissingPackHeader)
{
    CPesPacket packet;
    packet.m_byStreamId = 0xE0;
    packet.m_nPacketLength = 0;
    packet.m_byPtsDtsFlags = 3;
    packet.m_bExtensionFlag = true;
    packet.m_pOptionalFields = CPesFactory().CreateOptionalFields(packet);
    packet.m_pOptionalFields->m_pts.m_dSeconds = 1.0;
    packet.m_pOptionalFields->m_dts.m_dSeconds = 1.0;
    packet.m_pOptionalFields->m_bPackHeaderFieldFlag = true;
    packet.m_pOptionalFields->m_byPackFieldLength = 2;
    packet.m_byHeaderDataLength = packet.m_pOptionalFields->Length();
    ASSERT_EQ(packet.m_byHeaderDataLength, 10 + 1 + 3);

    const Bytes bytes = WriteToBytes(packet, 64);
    const Bytes expected = Concat({PacketStart(0),
                                   {0x80, 0xC1, 14},
                                   {0x31, 0x00, 0x05, 0xBF, 0x21},
                                   {0x11, 0x00, 0x05, 0xBF, 0x21},
                                   {0x4E, 0x02, 0xFF, 0xFF}});
    EXPECT_EQ(bytes, expected);
}

// Lengths that contradict each other: the packet keeps within the buffer and never claims a
// payload that is not there.
TEST(PesPacket, MalformedLengthsStayInsideTheBuffer)
{
    {
        // Header data length 2 below the PTS's 5: no stuffing, the payload follows the PTS.
        const Bytes bytes =
            Concat({PacketStart(3 + 5 + 4), {0x80, 0x80, 0x02}, kPtsOneSecond, {9, 9, 9, 9}});
        const CExactBuffer buffer(bytes);
        CBufferReader reader = buffer.Reader();
        CPesPacket packet;
        packet.Read(reader);
        EXPECT_EQ(packet.m_cbStuffing, 0);
        EXPECT_EQ(packet.m_cbPayload, 4);
        EXPECT_FALSE(reader.HasData());
    }
    {
        // Packet length 2, below the 3 header bytes: no payload.
        const Bytes bytes = Concat({PacketStart(2), {0x80, 0x00, 0x00}, {9, 9}});
        const CExactBuffer buffer(bytes);
        CBufferReader reader = buffer.Reader();
        CPesPacket packet;
        packet.Read(reader);
        EXPECT_EQ(packet.m_cbPayload, 0);
        EXPECT_EQ(reader.Remaining(), 2u);
    }
    {
        // Packet length and stuffing past the end: both cut at the end, and writing back copies
        // only the bytes that are there.
        const Bytes bytes =
            Concat({PacketStart(0xFFFF), {0x80, 0x00, 0x04}, Repeat(0xFF, 4), {7, 7, 7}});
        const CExactBuffer buffer(bytes);
        CBufferReader reader = buffer.Reader();
        CPesPacket packet;
        packet.Read(reader);
        EXPECT_EQ(packet.m_cbPayload, 3);
        EXPECT_FALSE(reader.HasData());
        EXPECT_EQ(WriteToBytes(packet, 100), bytes);
    }
    {
        // Stuffing longer than the buffer: the payload is empty and starts at the end.
        const Bytes bytes = Concat({PacketStart(100), {0x80, 0x00, 0xF0}, Repeat(0xFF, 5)});
        const CExactBuffer buffer(bytes);
        CBufferReader reader = buffer.Reader();
        CPesPacket packet;
        packet.Read(reader);
        EXPECT_EQ(packet.m_cbPayload, 0);
        EXPECT_EQ(packet.m_pPayload, buffer.Data() + buffer.Size());
    }
}

TEST(PesPacket, WrongPrefixKeepsConstructionValuesAndTruncationThrows)
{
    const CExactBuffer wrongPrefix(Concat({{0x00, 0x00, 0x02, 0xE0, 0x00, 0x10}}));
    CBufferReader reader = wrongPrefix.Reader();
    CPesPacket packet;
    packet.Read(reader);
    EXPECT_EQ(packet.m_byStreamId, 0);
    EXPECT_EQ(packet.m_nPacketLength, 3);

    const CExactBuffer cutInPts(Concat({PacketStart(0), {0x80, 0x80, 0x05}, {0x21, 0x00}}));
    CBufferReader cutReader = cutInPts.Reader();
    CPesPacket cutPacket;
    EXPECT_THROW(cutPacket.Read(cutReader), CReaderException);
}

TEST(PesPaddingPacket, ReadsAndWritesItsLengthInFillBytes)
{
    const Bytes bytes = {0x00, 0x00, 0x01, 0xBE, 0x00, 0x04, 0xFF, 0xFF, 0xFF, 0xFF};
    const CExactBuffer buffer(bytes);
    auto pElement = ReadByFactory(buffer);
    auto* pPadding = dynamic_cast<CPesPaddingPacket*>(pElement.get());
    ASSERT_NE(pPadding, nullptr);
    EXPECT_EQ(pPadding->m_nPacketLength, 4);
    EXPECT_EQ(WriteToBytes(*pPadding, 20), bytes);

    CPesPaddingPacket sized(7);
    EXPECT_EQ(WriteToBytes(sized, 20), bytes);
    EXPECT_EQ(CPesPaddingPacket(0).m_nPacketLength, 0xFFFD);

    const CExactBuffer otherId(Bytes{0x00, 0x00, 0x01, 0xE0, 0x00, 0x04});
    CBufferReader reader = otherId.Reader();
    CPesPaddingPacket wrong(7);
    wrong.Read(reader);
    EXPECT_EQ(wrong.m_nPacketLength, 4);
    EXPECT_EQ(reader.Remaining(), 2u);
}

TEST(PesDataPacket, CopiesItsDataAndThrowsWhenItIsCutShort)
{
    const Bytes bytes = {0x00, 0x00, 0x01, 0xBF, 0x00, 0x03, 0x0A, 0x0B, 0x0C};
    const CExactBuffer buffer(bytes);
    auto pElement = ReadByFactory(buffer);
    auto* pData = dynamic_cast<CPesDataPacket*>(pElement.get());
    ASSERT_NE(pData, nullptr);
    EXPECT_EQ(pData->m_vecData, (Bytes{0x0A, 0x0B, 0x0C}));
    EXPECT_EQ(WriteToBytes(*pData, 20), bytes);

    const CExactBuffer cut(Bytes(bytes.begin(), bytes.end() - 1));
    CBufferReader reader = cut.Reader();
    CPesDataPacket cutPacket;
    EXPECT_THROW(cutPacket.Read(reader), CReaderException);
    EXPECT_FALSE(reader.HasData());
}

TEST(PesFactory, StreamIdsSelectTheElementClass)
{
    CPesFactory factory;
    for (std::uint8_t byId : {0xBC, 0xF3, 0xFF, 0x00, 0xB9})
        EXPECT_EQ(factory.CreatePesPacket(byId), nullptr) << int(byId);
    for (std::uint8_t byId : {0xBD, 0xC0, 0xDF, 0xE0, 0xEF})
        EXPECT_NE(dynamic_cast<CPesPacket*>(factory.CreatePesPacket(byId).get()), nullptr);
    for (std::uint8_t byId : {0xBF, 0xF0, 0xF2, 0xF4, 0xFE})
        EXPECT_NE(dynamic_cast<CPesDataPacket*>(factory.CreatePesPacket(byId).get()), nullptr);
    EXPECT_NE(dynamic_cast<CPesPaddingPacket*>(factory.CreatePesPacket(0xBE).get()), nullptr);
}

TEST(PesPacket, DescriptionCarriesEveryFieldAndOwnsItsPackHeaderCopy)
{
    const Bytes bytes = Concat(
        {PacketStart(60), {0x84, 0xFF, 53}, kAllOptionalFields, Repeat(0xFF, 2), {1, 2, 3, 4}});
    const CExactBuffer buffer(bytes);
    CBufferReader reader = buffer.Reader();
    CPesPacket original;
    original.Read(reader);
    original.SetPayloadReader(reader);

    CPesDescription description;
    original.GetDescription(description);
    EXPECT_EQ(description.nHasOptionalFields, 1u);
    ASSERT_NE(description.pPackHeader, nullptr);
    EXPECT_NE(description.pPackHeader.get(), original.m_pOptionalFields->m_pPackHeader.get());

    CPesPacket copy;
    copy.SetFromDescription(description);
    EXPECT_EQ(description.pPackHeader, nullptr);
    EXPECT_EQ(WriteToBytes(copy, bytes.size()), bytes);

    const std::uint8_t* pPayload = nullptr;
    std::uint16_t cbPayload = 0;
    CBufferReader payloadReader;
    copy.GetPayload(pPayload, cbPayload, payloadReader);
    EXPECT_EQ(pPayload, original.m_pPayload);
    EXPECT_EQ(cbPayload, 4);
    EXPECT_EQ(payloadReader.Position(), reader.Position());
}

class CPesCounter : public IProcessor
{
public:
    bool ProcessDataPacket(CPesDataPacket&) override { return ++m_nData, true; }
    bool ProcessPaddingPacket(CPesPaddingPacket&) override { return ++m_nPadding, true; }
    bool ProcessPesPacket(CPesPacket&) override { return ++m_nPes, false; }

    int m_nData = 0;
    int m_nPadding = 0;
    int m_nPes = 0;
};

TEST(PesPacket, EachElementCallsItsOwnOperation)
{
    CPesCounter counter;
    CPesPacket packet;
    CPesPaddingPacket padding;
    CPesDataPacket data;
    EXPECT_FALSE(packet.Accept(counter));
    EXPECT_TRUE(padding.Accept(counter));
    EXPECT_TRUE(data.Accept(counter));
    EXPECT_EQ(counter.m_nPes + counter.m_nPadding + counter.m_nData, 3);
    EXPECT_EQ(counter.m_nPes, 1);
}
} // namespace
