// The video path's cutting and packing over hand-built streams, without a graph: where units
// are cut however the input is split, the C3 and PES headers of the packets, and the times of
// pass-through units.
#include "VideoCutter.h"
#include "ElementaryStream.h"
#include "MemoryUnitStore.h"

#include "c3stream/buffer_rw.h"
#include "c3stream/c3_stream.h"
#include "c3stream/pes.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{
constexpr std::uint8_t kI = 1;
constexpr std::uint8_t kP = 2;
constexpr std::uint8_t kB = 3;
using Format = VideoCutter::Format;

// A stream with a second sequence and a stream end, pictures of assorted lengths.
ElementaryStream TwoGroups()
{
    ElementaryStream es;
    es.Sequence(3).Gop().Picture(kI, 2, 120).Picture(kB, 0, 33).Picture(kB, 1, 7);
    es.Picture(kP, 5, 61).Sequence(3).Gop().Picture(kI, 2, 90).Picture(kB, 0, 18);
    es.SequenceEnd();
    return es;
}

// Cuts the stream given as consecutive inputs, then finishes the open unit.
std::vector<MemoryUnitStore::Unit> CutInputs(const std::vector<Bytes>& inputs, Format format)
{
    Scanner scanner;
    VideoCutter cutter(scanner);
    MemoryUnitStore store(VideoCutter::kBufferSize);
    for (const Bytes& input : inputs)
        EXPECT_TRUE(cutter.Cut(input.data(), input.size(), format, store));
    cutter.FinishOpenUnit(format, store);
    EXPECT_FALSE(store.HasOpen());
    return store.Completed();
}

std::vector<Bytes> SplitAt(const Bytes& bytes, std::vector<std::size_t> cuts)
{
    std::vector<Bytes> parts;
    std::size_t nFrom = 0;
    cuts.push_back(bytes.size());
    for (std::size_t nTo : cuts)
    {
        parts.emplace_back(bytes.begin() + nFrom, bytes.begin() + nTo);
        nFrom = nTo;
    }
    return parts;
}

Bytes Slice(const Bytes& bytes, std::size_t nFrom, std::size_t nTo)
{
    return Bytes(bytes.begin() + nFrom, bytes.begin() + nTo);
}

CC3Header ReadPacketHeader(const Bytes& packet)
{
    CBufferReader reader(packet.data(), packet.size());
    CC3Header header;
    header.Read(reader);
    return header;
}

// A 33-bit PES time of five bytes: its 4-bit prefix, and the value when the three marker bits
// are set, else -1.
std::pair<int, std::int64_t> ReadPesTime(const std::uint8_t* p)
{
    const bool bMarkers = (p[0] & 1) && (p[2] & 1) && (p[4] & 1);
    const std::int64_t nValue = std::int64_t(p[0] >> 1 & 7) << 30 | std::int64_t(p[1]) << 22 |
                                std::int64_t(p[2] >> 1) << 15 | std::int64_t(p[3]) << 7 |
                                std::int64_t(p[4] >> 1);
    return {p[0] >> 4, bMarkers ? nValue : -1};
}

bool SameUnits(const std::vector<MemoryUnitStore::Unit>& a,
               const std::vector<MemoryUnitStore::Unit>& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
    {
        if (a[i].bytes != b[i].bytes || a[i].times.has_value() != b[i].times.has_value())
            return false;
        if (a[i].times && (a[i].times->rtStart != b[i].times->rtStart ||
                           a[i].times->rtStop != b[i].times->rtStop))
            return false;
    }
    return true;
}
} // namespace

TEST(VideoCutter, PassThroughUnitsAreThePicturesWithTheirHeaders)
{
    const ElementaryStream es = TwoGroups();
    const auto& at = es.Offsets();
    const Bytes& bytes = es.Data();
    const auto units = CutInputs({bytes}, Format::PassThrough);
    const std::size_t starts[] = {at[0], at[3], at[4], at[5], at[6], at[9], bytes.size()};
    ASSERT_EQ(units.size(), 6u);
    for (std::size_t i = 0; i < units.size(); ++i)
        EXPECT_EQ(units[i].bytes, Slice(bytes, starts[i], starts[i + 1])) << i;
}

TEST(VideoCutter, StartCodesSplitBetweenInputsAtEveryOffsetAreFound)
{
    const ElementaryStream es = TwoGroups();
    const Bytes& bytes = es.Data();
    for (Format format : {Format::PassThrough, Format::C3Packets})
    {
        const auto whole = CutInputs({bytes}, format);
        for (std::size_t nCut = 1; nCut < bytes.size(); ++nCut)
            EXPECT_TRUE(SameUnits(CutInputs(SplitAt(bytes, {nCut}), format), whole)) << nCut;

        std::vector<std::size_t> everyByte;
        for (std::size_t nCut = 1; nCut < bytes.size(); ++nCut)
            everyByte.push_back(nCut);
        EXPECT_TRUE(SameUnits(CutInputs(SplitAt(bytes, everyByte), format), whole));
    }
}

TEST(VideoCutter, FirstPacketWaitsForTheNextBoundaryAndCarriesBothHeaders)
{
    for (auto [byRateCode, nFlags] : {std::pair<std::uint8_t, std::uint32_t>{3, 33}, {4, 17}})
    {
        ElementaryStream es;
        es.Sequence(byRateCode).Gop().Picture(kI, 0, 200).Picture(kP, 3, 50);
        const Bytes& bytes = es.Data();
        const std::size_t nP = es.Offsets()[3];
        Scanner scanner;
        VideoCutter cutter(scanner);
        MemoryUnitStore store(VideoCutter::kBufferSize);
        ASSERT_TRUE(cutter.Cut(bytes.data(), nP, Format::C3Packets, store));
        EXPECT_TRUE(store.Completed().empty());
        ASSERT_TRUE(cutter.Cut(bytes.data() + nP, bytes.size() - nP, Format::C3Packets, store));
        ASSERT_EQ(store.Completed().size(), 1u);

        const Bytes& packet = store.Completed()[0].bytes;
        const CC3Header header = ReadPacketHeader(packet);
        EXPECT_EQ(header.m_cbHeaderLength, kC3HeaderLength);
        EXPECT_EQ(header.m_nFlags, nFlags);
        EXPECT_EQ(header.m_cbAudioLength, 0u);
        EXPECT_EQ(header.m_cbPreviousLength, 0u);
        EXPECT_EQ(packet.size(), kC3HeaderLength + header.m_cbVideoLength);
        // The PES header (28 bytes) sits between the packet header and the picture.
        EXPECT_EQ(Slice(packet, 28 + 28, 28 + 28 + nP), Slice(bytes, 0, nP));
        EXPECT_EQ(packet[28 + 3], 0xE0);
    }
}

TEST(VideoCutter, PesHeaderOfIUnitsCarriesDisplayAndDecodeTimes)
{
    ElementaryStream es;
    es.Sequence(3).Gop().Picture(kI, 2).Picture(kB, 0).Picture(kB, 1).Picture(kP, 5);
    es.Gop().Picture(kI, 2).Picture(kB, 0);
    const auto packets = CutInputs({es.Data()}, Format::C3Packets);
    ASSERT_EQ(packets.size(), 6u);
    // Units 0 and 4 are I-units: display (2 + GOP base + 1) / 25, decode count / 25.
    const struct
    {
        std::size_t nUnit;
        double dPts, dDts;
    } iUnits[] = {{0, 4.0 / 25, 1.0 / 25}, {4, 8.0 / 25, 5.0 / 25}};
    for (const auto& expected : iUnits)
    {
        const Bytes& packet = packets[expected.nUnit].bytes;
        CBufferReader reader(packet.data() + kC3HeaderLength, packet.size() - kC3HeaderLength);
        CPesPacket pes;
        pes.Read(reader);
        EXPECT_EQ(pes.m_byStreamId, 0xE0);
        EXPECT_EQ(pes.m_nPacketLength, 0u);
        EXPECT_EQ(pes.m_byPtsDtsFlags, 3);
        EXPECT_EQ(pes.m_cbStuffing, 9u);
        ASSERT_TRUE(pes.m_pOptionalFields);
        EXPECT_NEAR(pes.m_pOptionalFields->m_pts.m_dSeconds, expected.dPts, 1e-5);
        EXPECT_NEAR(pes.m_pOptionalFields->m_dts.m_dSeconds, expected.dDts, 1e-5);
        EXPECT_NEAR(ReadPacketHeader(packet).m_timestamp.m_dSeconds, expected.dPts, 1e-4);
        EXPECT_EQ(reader.Position() - packet.data(), 56);

        // The header's bytes: flags 0x80 0xC0, header data length 10 + 9, PTS with prefix 3
        // and DTS with prefix 1 in 90 kHz ticks, then the stuffing.
        const std::uint8_t* pPes = packet.data() + kC3HeaderLength;
        EXPECT_EQ(Bytes(pPes, pPes + 9), (Bytes{0, 0, 1, 0xE0, 0, 0, 0x80, 0xC0, 19}));
        EXPECT_EQ(ReadPesTime(pPes + 9),
                  std::make_pair(3, std::int64_t(std::llround(expected.dPts * 90000))));
        EXPECT_EQ(ReadPesTime(pPes + 14),
                  std::make_pair(1, std::int64_t(std::llround(expected.dDts * 90000))));
        EXPECT_EQ(Bytes(pPes + 19, pPes + 28), Bytes(9, 0xFF));
    }
    // Packets run on the video clock in steps of 330000; the empty buffer the stream's first
    // start code was scanned in is released, so the first packet has the second step.
    for (std::size_t i = 0; i < packets.size(); ++i)
    {
        ASSERT_TRUE(packets[i].times);
        EXPECT_EQ(packets[i].times->rtStart, 330000 * std::int64_t(i + 1)) << i;
        EXPECT_EQ(packets[i].times->rtStop, 330000 * std::int64_t(i + 2)) << i;
    }
    // Other units carry the picture right behind the packet header, typed P or B.
    EXPECT_EQ(packets[1].bytes[kC3HeaderLength + 3], 0x00);
    EXPECT_EQ(ReadPacketHeader(packets[1].bytes).m_nFlags, 32u | kB);
    EXPECT_EQ(ReadPacketHeader(packets[3].bytes).m_nFlags, 32u | kP);
}

TEST(VideoCutter, PaddingIsCountedInTheVideoLengthAndChainsThePreviousLength)
{
    ElementaryStream es;
    es.Sequence(3).Gop().Picture(kI, 0);
    const std::size_t cbHead = es.Data().size();
    es.Raw(Bytes(1001 - cbHead, 0x55)).Picture(kP, 3, 1001 - 12).Picture(kB, 1, 20);
    const auto packets = CutInputs({es.Data()}, Format::C3Packets);
    ASSERT_EQ(packets.size(), 3u);

    const CC3Header first = ReadPacketHeader(packets[0].bytes);
    EXPECT_EQ(first.m_cbVideoLength, 28u + 1004u);
    EXPECT_EQ(Slice(packets[0].bytes, packets[0].bytes.size() - 4, packets[0].bytes.size()),
              (Bytes{0x55, 0, 0, 0}));
    const CC3Header second = ReadPacketHeader(packets[1].bytes);
    EXPECT_EQ(second.m_cbPreviousLength, 28u + first.m_cbVideoLength);
    EXPECT_EQ(second.m_cbVideoLength % 4, 0u);
    EXPECT_EQ(ReadPacketHeader(packets[2].bytes).m_cbPreviousLength, 28u + second.m_cbVideoLength);
}

TEST(VideoCutter, UnitsBeforeTheFirstSequenceHeaderOrIPictureAreDroppedOrUntimed)
{
    ElementaryStream es;
    es.Picture(kP, 1).Picture(kB, 0).Sequence(3).Gop().Picture(kP, 2).Picture(kI, 0);
    es.Picture(kP, 3).Picture(kB, 1);

    const auto packets = CutInputs({es.Data()}, Format::C3Packets);
    ASSERT_EQ(packets.size(), 3u);
    EXPECT_EQ(ReadPacketHeader(packets[0].bytes).m_cbPreviousLength, 0u);
    EXPECT_EQ(ReadPacketHeader(packets[0].bytes).PictureType(), kPictureI);

    const auto units = CutInputs({es.Data()}, Format::PassThrough);
    ASSERT_EQ(units.size(), 6u);
    EXPECT_FALSE(units[0].times);
    EXPECT_FALSE(units[1].times);
    for (std::size_t i = 2; i < units.size(); ++i)
        EXPECT_TRUE(units[i].times) << i;
}

TEST(VideoCutter, PassThroughUnitsAreTimedByTheirDisplayNumber)
{
    ElementaryStream es;
    es.Sequence(3).Gop().Picture(kI, 2).Picture(kB, 0).Picture(kP, 5);
    const auto units = CutInputs({es.Data()}, Format::PassThrough);
    ASSERT_EQ(units.size(), 3u);
    // Display numbers 4, 2 and 7 at 25 frames per second.
    const std::int64_t starts[] = {1600000, 800000, 2800000};
    for (std::size_t i = 0; i < units.size(); ++i)
    {
        ASSERT_TRUE(units[i].times);
        EXPECT_EQ(units[i].times->rtStart, starts[i]);
        EXPECT_EQ(units[i].times->rtStop, starts[i] + 333333);
    }
}

TEST(VideoCutter, PictureLongerThanABufferIsCutAtThePayloadLimitWithoutLosingBytes)
{
    ElementaryStream es;
    es.Sequence(3).Gop().Picture(kI, 0, 700000).Picture(kP, 3, 100);
    const Bytes& bytes = es.Data();
    const auto units = CutInputs({bytes}, Format::PassThrough);
    ASSERT_EQ(units.size(), 4u);
    Bytes joined;
    for (const auto& unit : units)
    {
        EXPECT_LE(unit.bytes.size(), VideoCutter::kBufferSize);
        joined.insert(joined.end(), unit.bytes.begin(), unit.bytes.end());
    }
    EXPECT_EQ(joined, bytes);
    EXPECT_EQ(units[3].bytes, Slice(bytes, es.Offsets()[3], bytes.size()));

    for (const auto& packet : CutInputs({bytes}, Format::C3Packets))
        EXPECT_LE(packet.bytes.size(), VideoCutter::kBufferSize);
}

TEST(VideoCutter, RunningOutOfBuffersEndsTheInputAndKeepsWhatWasCut)
{
    const ElementaryStream es = TwoGroups();
    const Bytes& bytes = es.Data();
    Scanner scanner;
    VideoCutter cutter(scanner);
    MemoryUnitStore store(VideoCutter::kBufferSize);
    // The first buffer is released empty at the stream's first start code.
    store.LimitFreshUnits(4);
    EXPECT_FALSE(cutter.Cut(bytes.data(), bytes.size(), Format::PassThrough, store));
    EXPECT_EQ(store.Completed().size(), 3u);
    EXPECT_FALSE(store.HasOpen());
}
