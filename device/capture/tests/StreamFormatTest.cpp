// What the capture source produces for each stream format, read by ffprobe and by a
// walk over the program stream's bytes.

#include "CaptureTestSupport.h"

#include <gtest/gtest.h>

namespace
{
using namespace capture_test;

struct Format
{
    const char* name;
    CaptureSettings settings;
    const char* codec;
    const char* size;
    const char* rate;
    const char* sampleRate;

    friend void PrintTo(const Format& format, std::ostream* pOut) { *pOut << format.name; }
};

CaptureSettings With(void (*change)(CaptureSettings&))
{
    CaptureSettings settings;
    settings.deviceName = "Orvastation";
    change(settings);
    return settings;
}

const Format kFormats[] = {
    {"Defaults", With([](CaptureSettings&) {}), "mpeg2video", "720x480", "30000/1001", "48000"},
    {"Pal", With([](CaptureSettings& s) { s.standard = 16, s.height = 576; }), "mpeg2video",
     "720x576", "25/1", "48000"},
    {"Mpeg1", With([](CaptureSettings& s) { s.mpeg1 = true; }), "mpeg1video", "720x480",
     "30000/1001", "48000"},
    {"CdRate", With([](CaptureSettings& s) { s.sampleRate = 44100; }), "mpeg2video", "720x480",
     "30000/1001", "44100"},
    {"SmallPal", With([](CaptureSettings& s) { s.standard = 64, s.width = 352, s.height = 288; }),
     "mpeg2video", "352x288", "25/1", "48000"},
};

class StreamFormatTest : public testing::TestWithParam<Format>
{
};

// ffprobe reads the format and every frame; the bytes are MPEG-2 packs holding video
// packets and LPCM packets in substream 0xA0, with every sample of the frames' span.
TEST_P(StreamFormatTest, FfprobeAndTheBytesShowTheSettings)
{
    const Format& format = GetParam();
    const Capture capture = CaptureFrames(format.settings, 45, format.name);
    ASSERT_EQ(capture.error, "");
    ASSERT_EQ(capture.framesEncoded, 45);

    auto video = ProbeStream(capture.path, "v",
                             "codec_name,profile,width,height,r_frame_rate,nb_read_frames");
    EXPECT_EQ(video["codec_name"], format.codec);
    if (!format.settings.mpeg1)
    {
        EXPECT_EQ(video["profile"], "Main");
    }
    EXPECT_EQ(video["width"] + "x" + video["height"], format.size);
    EXPECT_EQ(video["r_frame_rate"], format.rate);
    EXPECT_EQ(video["nb_read_frames"], "45");
    auto audio =
        ProbeStream(capture.path, "a", "codec_name,sample_rate,channels,bits_per_raw_sample");
    EXPECT_EQ(audio["codec_name"] + " " + audio["sample_rate"] + " " + audio["channels"] + " " +
                  audio["bits_per_raw_sample"],
              std::string("pcm_dvd ") + format.sampleRate + " 2 16");
    EXPECT_EQ(DecodeErrors(capture.path), "");

    const ProgramStream ps = WalkProgramStream(capture.bytes);
    EXPECT_TRUE(ps.intact);
    EXPECT_TRUE(ps.endCode);
    EXPECT_GT(ps.packs, 0u);
    EXPECT_EQ(ps.mpeg2Packs, ps.packs);
    std::size_t videoPackets = 0, lpcmPackets = 0;
    for (const PesPacket& packet : ps.packets)
    {
        videoPackets += packet.streamId == 0xE0;
        lpcmPackets += packet.streamId == 0xBD && packet.substream == 0xA0;
    }
    EXPECT_GT(videoPackets, 0u);
    EXPECT_GT(lpcmPackets, 0u);
    EXPECT_EQ(videoPackets + lpcmPackets, ps.packets.size());
    const std::size_t sampleRate = format.settings.sampleRate;
    const std::size_t samples =
        format.settings.standard == 1 ? 45 * sampleRate * 1001 / 30000 : 45 * sampleRate / 25;
    EXPECT_EQ(LpcmSamples(capture.bytes).size(), 4 * samples);
}

INSTANTIATE_TEST_SUITE_P(CaptureFormats, StreamFormatTest, testing::ValuesIn(kFormats),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
