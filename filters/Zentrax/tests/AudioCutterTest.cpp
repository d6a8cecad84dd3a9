// The audio path's cutting without a graph: unit lengths by frame rate, the frame header and
// byte swap of the own format, the running clock, and the drift correction with its carry
// across inputs of every size.
#include "AudioCutter.h"
#include "MemoryUnitStore.h"

#include "c3stream/buffer_rw.h"
#include "c3stream/es_audio.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace
{
using Format = AudioCutter::Format;
constexpr double k2997 = 30000.0 / 1001.0;
constexpr std::size_t kHeader = AudioCutter::kFrameHeaderLength;

// PCM whose 16-bit little-endian words count up from 0, so each word tells where it came from.
Bytes CountingPcm(std::size_t nWords)
{
    Bytes bytes(nWords * 2);
    for (std::size_t i = 0; i < nWords; ++i)
    {
        bytes[2 * i] = static_cast<std::uint8_t>(i);
        bytes[2 * i + 1] = static_cast<std::uint8_t>(i >> 8);
    }
    return bytes;
}

// The counter values a unit's payload carries, read in the unit's byte order.
std::vector<std::uint16_t> Words(const Bytes& unit, std::size_t nOffset, bool bBigEndian)
{
    std::vector<std::uint16_t> words;
    for (std::size_t i = nOffset; i + 1 < unit.size(); i += 2)
        words.push_back(bBigEndian ? (unit[i] << 8 | unit[i + 1]) : (unit[i + 1] << 8 | unit[i]));
    return words;
}

struct CutResult
{
    std::vector<MemoryUnitStore::Unit> units;
    Bytes open;
};

// Cuts the first cbLead bytes as one input, the rest in inputs of cbChunk bytes.
CutResult CutInChunks(const Bytes& pcm, std::size_t cbChunk, double dRate, Format format,
                      std::size_t cbLead = 0)
{
    AudioCutter cutter;
    cutter.ChooseUnit(dRate, format);
    MemoryUnitStore store(4096);
    EXPECT_TRUE(cutter.Cut(pcm.data(), cbLead, store));
    for (std::size_t nPos = cbLead; nPos < pcm.size(); nPos += cbChunk)
        EXPECT_TRUE(cutter.Cut(pcm.data() + nPos, std::min(cbChunk, pcm.size() - nPos), store));
    return {store.Completed(), store.OpenBytes()};
}

CAudioFrameHeader ReadFrameHeader(const Bytes& unit)
{
    CBufferReader reader(unit.data(), unit.size());
    CAudioFrameHeader header;
    header.Read(reader);
    return header;
}
} // namespace

TEST(AudioCutter, UnitLengthFollowsTheFrameRate)
{
    const struct
    {
        double dRate;
        std::size_t cbOwn, cbPcm;
    } cases[] = {{0.0, 1944, 1920},  {25.0, 1944, 1920},  {28.99, 1944, 1920},
                 {29.0, 3224, 3200}, {k2997, 3224, 3200}, {60.0, 3224, 3200}};
    for (const auto& c : cases)
    {
        AudioCutter cutter;
        EXPECT_FALSE(cutter.HasUnit());
        cutter.ChooseUnit(c.dRate, Format::OwnUnits);
        EXPECT_EQ(cutter.UnitLength(), c.cbOwn) << c.dRate;
        cutter.ChooseUnit(c.dRate, Format::Pcm);
        EXPECT_EQ(cutter.UnitLength(), c.cbPcm) << c.dRate;
        cutter.Restart();
        EXPECT_FALSE(cutter.HasUnit());
    }
}

TEST(AudioCutter, OwnUnitsCarryAFrameHeaderAndBigEndianPcmOnTheRunningClock)
{
    const Bytes pcm = CountingPcm(2400);
    const CutResult result = CutInChunks(pcm, pcm.size(), 25.0, Format::OwnUnits);
    ASSERT_EQ(result.units.size(), 2u);
    for (std::size_t i = 0; i < 2; ++i)
    {
        const MemoryUnitStore::Unit& unit = result.units[i];
        ASSERT_EQ(unit.bytes.size(), 1944u);
        const CAudioFrameHeader header = ReadFrameHeader(unit.bytes);
        EXPECT_EQ(header.m_cbPayloadLength, 1920u);
        EXPECT_EQ(header.m_byParam1, 2);
        EXPECT_EQ(header.m_byParam2, 16);
        EXPECT_EQ(header.m_byParam3, 0);
        EXPECT_NEAR(header.m_time.m_dSeconds, 0.01 * static_cast<double>(i), 2.0 / 90000);
        ASSERT_TRUE(unit.times);
        EXPECT_EQ(unit.times->rtStart, static_cast<std::int64_t>(i) * 100000);
        EXPECT_EQ(unit.times->rtStop, static_cast<std::int64_t>(i + 1) * 100000);
        const std::vector<std::uint16_t> words = Words(unit.bytes, kHeader, true);
        EXPECT_EQ(words.front(), i * 960);
        EXPECT_EQ(words.back(), i * 960 + 959);
    }
    // 4800 bytes: the third unit is open with its header and the last 960 bytes, unswapped.
    ASSERT_EQ(result.open.size(), kHeader + 960);
    EXPECT_EQ(result.open[0], 0xDE);
    EXPECT_EQ(Words(result.open, kHeader, false).front(), 1920);
}

TEST(AudioCutter, BytesAreSwappedInTheOwnFormatOnlyAndTheClockStepsAt2997)
{
    Bytes pcm(3200 * 2);
    for (std::size_t i = 0; i < pcm.size(); i += 4)
        pcm[i] = 1, pcm[i + 1] = 2, pcm[i + 2] = 3, pcm[i + 3] = 4;
    const CutResult own = CutInChunks(pcm, 1000, k2997, Format::OwnUnits);
    const CutResult plain = CutInChunks(pcm, 1000, k2997, Format::Pcm);
    ASSERT_EQ(own.units.size(), 2u);
    ASSERT_EQ(plain.units.size(), 2u);
    EXPECT_EQ(Bytes(own.units[0].bytes.begin() + kHeader, own.units[0].bytes.begin() + kHeader + 4),
              (Bytes{2, 1, 4, 3}));
    EXPECT_EQ(plain.units[0].bytes, Bytes(pcm.begin(), pcm.begin() + 3200));
    EXPECT_EQ(plain.units[1].times->rtStart, 166833);
    EXPECT_EQ(plain.units[1].times->rtStop, 2 * 166833);
}

TEST(AudioCutter, After60UnitsAt2997The192FollowingBytesAreDropped)
{
    // 130 units' worth of stereo samples: two corrections.
    const std::size_t nWords = 130 * 1600;
    const CutResult result = CutInChunks(CountingPcm(nWords), nWords * 2, k2997, Format::OwnUnits);
    ASSERT_GE(result.units.size(), 121u);
    std::vector<std::uint16_t> words;
    for (const auto& unit : result.units)
    {
        const auto unitWords = Words(unit.bytes, kHeader, true);
        words.insert(words.end(), unitWords.begin(), unitWords.end());
    }
    // Word n of the output is input word n, plus 96 for each correction before it.
    for (std::size_t n = 0; n < words.size(); ++n)
    {
        const std::size_t nSkipped = 96 * (n / (60 * 1600));
        ASSERT_EQ(words[n], static_cast<std::uint16_t>(n + nSkipped)) << n;
    }

    for (double dRate : {25.0, 29.0})
    {
        const CutResult steady = CutInChunks(CountingPcm(nWords), 7777, dRate, Format::OwnUnits);
        const auto lastWords = Words(steady.units.back().bytes, kHeader, true);
        EXPECT_EQ(lastWords.back(),
                  static_cast<std::uint16_t>(steady.units.size() * lastWords.size() - 1))
            << dRate;
    }
}

TEST(AudioCutter, CorrectionCarriesIntoTheNextInputsEvenWhenTheyAreShorter)
{
    const Bytes pcm = CountingPcm(60 * 1600 + 50 + 200);
    AudioCutter cutter;
    cutter.ChooseUnit(k2997, Format::OwnUnits);
    MemoryUnitStore store(4096);
    // The 60th unit fills with 100 bytes left in this input: they are dropped, 92 more owed.
    const std::size_t cbFirst = 60 * 3200 + 100;
    ASSERT_TRUE(cutter.Cut(pcm.data(), cbFirst, store));
    EXPECT_EQ(store.Completed().size(), 60u);
    EXPECT_FALSE(store.HasOpen());
    // Inputs of 40 and 40 bytes are dropped whole; 12 bytes of the third are dropped.
    ASSERT_TRUE(cutter.Cut(pcm.data() + cbFirst, 40, store));
    ASSERT_TRUE(cutter.Cut(pcm.data() + cbFirst + 40, 40, store));
    EXPECT_FALSE(store.HasOpen());
    ASSERT_TRUE(cutter.Cut(pcm.data() + cbFirst + 80, 100, store));
    const auto words = Words(store.OpenBytes(), kHeader, false);
    ASSERT_EQ(words.size(), 44u);
    EXPECT_EQ(words.front(), static_cast<std::uint16_t>((cbFirst + 92) / 2));
}

TEST(AudioCutter, InputsOfEverySizeAroundACorrectionGiveTheSameUnits)
{
    // One input up to unit 58, then inputs of one size through the correction after unit 60.
    const Bytes pcm = CountingPcm(64 * 1600);
    const std::size_t cbLead = 58 * 3200 + 10;
    for (Format format : {Format::OwnUnits, Format::Pcm})
    {
        const CutResult whole = CutInChunks(pcm, pcm.size(), k2997, format);
        std::vector<std::size_t> sizes;
        for (std::size_t cb = 1; cb <= 400; ++cb)
            sizes.push_back(cb);
        for (std::size_t cb : {1943, 1944, 3199, 3200, 3201, 3224, 4096, 6401, 9600})
            sizes.push_back(cb);
        for (std::size_t cbChunk : sizes)
        {
            const CutResult chunked = CutInChunks(pcm, cbChunk, k2997, format, cbLead);
            ASSERT_EQ(chunked.units.size(), whole.units.size()) << cbChunk;
            for (std::size_t i = 0; i < whole.units.size(); ++i)
                ASSERT_EQ(chunked.units[i].bytes, whole.units[i].bytes) << cbChunk << " " << i;
            EXPECT_EQ(chunked.open, whole.open) << cbChunk;
        }
    }
}

TEST(AudioCutter, RestartBeginsTheClockAgainAndDropsAnOpenUnitThatNoLongerFits)
{
    const Bytes pcm = CountingPcm(3000);
    AudioCutter cutter;
    cutter.ChooseUnit(k2997, Format::Pcm);
    MemoryUnitStore store(4096);
    ASSERT_TRUE(cutter.Cut(pcm.data(), 5700, store));
    cutter.Restart();
    cutter.ChooseUnit(25.0, Format::Pcm);
    ASSERT_TRUE(cutter.Cut(pcm.data(), 1920, store));
    ASSERT_EQ(store.Completed().size(), 2u);
    EXPECT_EQ(store.Completed()[1].bytes, Bytes(pcm.begin(), pcm.begin() + 1920));
    EXPECT_EQ(store.Completed()[1].times->rtStart, 0);
    EXPECT_EQ(store.Discarded(), 1);
}

TEST(AudioCutter, RunningOutOfBuffersEndsTheInput)
{
    const Bytes pcm = CountingPcm(5000);
    AudioCutter cutter;
    cutter.ChooseUnit(25.0, Format::OwnUnits);
    MemoryUnitStore store(4096);
    store.LimitFreshUnits(2);
    EXPECT_FALSE(cutter.Cut(pcm.data(), pcm.size(), store));
    EXPECT_EQ(store.Completed().size(), 2u);
}
