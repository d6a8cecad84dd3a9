// Real MPEG-2 video and PCM made by ffmpeg, through the filter: the C3 packets' headers, and
// the video they carry, stripped of its headers, decodes to the same pictures as the source.
#include "FfmpegMedia.h"
#include "ZentraxTestGraph.h"

#include "c3stream/buffer_rw.h"
#include "c3stream/c3_stream.h"

#include <gtest/gtest.h>

namespace
{
constexpr std::size_t kPesHeaderLength = 28;

struct Rate
{
    const char* pszName;
    const char* pszRate;
    std::uint32_t nUnitsFlag; // audio units per packet, in flags bits 3 and up
};

class ZentraxWithFfmpeg : public testing::TestWithParam<Rate>
{
protected:
    void SetUp() override
    {
        if (!FfmpegMedia::Available())
            GTEST_SKIP() << "ffmpeg is needed to make the sample streams; it is not installed";
    }

    FfmpegMedia m_media;
};

// Runs the streams through the filter in its own formats; the samples of both outputs.
std::pair<RecordingSink::Received, RecordingSink::Received> Transform(const Bytes& video,
                                                                      const Bytes& pcm)
{
    ZentraxTestGraph::Setup setup;
    setup.video = Chunks(video, 4093);
    setup.audio = Chunks(pcm, 7680);
    ZentraxTestGraph graph(setup);
    EXPECT_EQ(graph.ConnectResult(), S_OK);
    EXPECT_EQ(graph.Run(), S_OK);
    EXPECT_TRUE(graph.VideoSink()->WaitForEndOfStream(1));
    EXPECT_TRUE(graph.AudioSink()->WaitForEndOfStream(1));
    return {graph.VideoSink()->Snapshot(), graph.AudioSink()->Snapshot()};
}
} // namespace

TEST_P(ZentraxWithFfmpeg, PacketPayloadsDecodeToTheSourcePicturesUpToTheLast)
{
    const Bytes source = m_media.Mpeg2Video(GetParam().pszRate, 40);
    ASSERT_FALSE(source.empty());
    const auto [video, audio] = Transform(source, {});
    ASSERT_FALSE(video.samples.empty());

    Bytes payloads;
    std::uint32_t cbPrevious = 0;
    for (const auto& sample : video.samples)
    {
        const Bytes& packet = sample.bytes;
        CBufferReader reader(packet.data(), packet.size());
        CC3Header header;
        header.Read(reader);
        ASSERT_EQ(packet.size(), kC3HeaderLength + header.m_cbVideoLength);
        EXPECT_EQ(header.m_cbVideoLength % 4, 0u);
        EXPECT_EQ(header.m_cbPreviousLength, cbPrevious);
        EXPECT_EQ(header.m_nFlags & ~7u, GetParam().nUnitsFlag);
        const std::size_t cbHeaders =
            kC3HeaderLength + (header.PictureType() == kPictureI ? kPesHeaderLength : 0);
        payloads.insert(payloads.end(), packet.begin() + cbHeaders, packet.end());
        cbPrevious = static_cast<std::uint32_t>(packet.size());
    }
    const std::vector<std::string> expected = m_media.FrameMd5(source);
    ASSERT_EQ(expected.size(), 40u);
    EXPECT_EQ(m_media.FrameMd5(payloads), expected);
}

TEST_P(ZentraxWithFfmpeg, AudioUnitsCarryTheSourcePcmBigEndianLessTheDriftCorrection)
{
    const Bytes source = m_media.Mpeg2Video(GetParam().pszRate, 12);
    const Bytes pcm = m_media.Pcm(3.0);
    ASSERT_FALSE(source.empty());
    ASSERT_EQ(pcm.size(), 3u * 192000);
    const auto [video, audio] = Transform(source, pcm);

    const bool b2997 = GetParam().nUnitsFlag == 16;
    const std::size_t cbPayload = b2997 ? 3200 : 1920;
    // At 29.97 frames per second 192 bytes are dropped after every 60 units.
    const std::size_t cbDropped = b2997 ? 192 : 0;
    ASSERT_FALSE(audio.samples.empty());
    std::size_t nSource = 0;
    for (std::size_t i = 0; i < audio.samples.size(); ++i)
    {
        const Bytes& unit = audio.samples[i].bytes;
        ASSERT_EQ(unit.size(), 24 + cbPayload);
        for (std::size_t n = 24; n < unit.size(); n += 2, nSource += 2)
        {
            ASSERT_EQ(unit[n], pcm[nSource + 1]) << i;
            ASSERT_EQ(unit[n + 1], pcm[nSource]) << i;
        }
        if ((i + 1) % 60 == 0)
            nSource += cbDropped;
    }
    EXPECT_LT(pcm.size() - nSource, 24 + cbPayload + cbDropped);
}

INSTANTIATE_TEST_SUITE_P(Rates, ZentraxWithFfmpeg,
                         testing::Values(Rate{"At25", "25", 32}, Rate{"At2997", "30000/1001", 16}),
                         [](const auto& info) { return std::string(info.param.pszName); });
