// Each setting shows in what the capture source produces: set before the start, and
// changed while it runs.

#include "CaptureTestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>

namespace
{
using namespace capture_test;

constexpr double kNtscRate = 30000.0 / 1001;

double Mean(const std::vector<double>& values, std::size_t first = 0, std::size_t end = SIZE_MAX)
{
    end = std::min(end, values.size());
    if (first >= end)
        return 0;
    return std::accumulate(values.begin() + long(first), values.begin() + long(end), 0.0) /
           double(end - first);
}

// The largest magnitude of the 16-bit big-endian samples in [first, end) bytes.
int PeakOf(const std::vector<std::uint8_t>& lpcm, std::size_t first, std::size_t end)
{
    int peak = 0;
    for (std::size_t i = first; i + 1 < end && i + 1 < lpcm.size(); i += 2)
        peak = std::max(peak, std::abs(int(std::int16_t(lpcm[i] << 8 | lpcm[i + 1]))));
    return peak;
}

TEST(CaptureBitRate, TenSecondsKeepWithinTenPercentOfTheSetRate)
{
    for (const bool vbr : {true, false})
    {
        CaptureSettings settings;
        settings.vbr = vbr;
        settings.bitRate = vbr ? 4200000 : 8000000;
        const Capture capture = CaptureFrames(settings, 300, vbr ? "vbr" : "cbr");
        ASSERT_EQ(capture.error, "");
        const double rate = BitRate(VideoPacketSizes(capture.path), 0, 300, kNtscRate);
        EXPECT_NEAR(rate, settings.bitRate, 0.1 * settings.bitRate) << (vbr ? "VBR" : "CBR");
    }
}

TEST(CaptureBitRate, ChangeWhileRunningTakesEffectAtTheNextGopAndKeepsTheStreamWhole)
{
    CaptureSettings settings;
    settings.vbr = false;
    settings.bitRate = 3000000;
    const Capture capture = CaptureFrames(settings, 300, "rate-change",
                                          [&](CaptureSource& source, int frame)
                                          {
                                              if (frame == 150)
                                              {
                                                  settings.bitRate = 8000000;
                                                  source.UpdateSettings(settings);
                                              }
                                          });
    ASSERT_EQ(capture.error, "");
    EXPECT_EQ(DecodeErrors(capture.path), "");
    // I-pictures every 14 frames throughout, P-pictures between: the encoder opened
    // again at frame 154, where the next GOP starts.
    const std::string types = PictureTypes(capture.path);
    ASSERT_EQ(types.size(), 300u);
    for (std::size_t i = 0; i < types.size(); ++i)
        ASSERT_EQ(types[i], i % 14 == 0 ? 'I' : 'P') << "frame " << i;
    const std::vector<double> sizes = VideoPacketSizes(capture.path);
    EXPECT_NEAR(BitRate(sizes, 0, 154, kNtscRate), 3000000, 300000);
    EXPECT_NEAR(BitRate(sizes, 154, 300, kNtscRate), 8000000, 800000);
}

TEST(CapturePicture, BrightnessMovesTheMeanLumaAndSaturationZeroRemovesColour)
{
    auto meanLuma = [](std::int32_t brightness)
    {
        CaptureSettings settings;
        settings.brightness = brightness;
        const Capture capture =
            CaptureFrames(settings, 10, "brightness" + std::to_string(brightness));
        EXPECT_EQ(capture.error, "");
        return Mean(MeanLuma(capture.path));
    };
    const double dark = meanLuma(0), normal = meanLuma(40), bright = meanLuma(255);
    EXPECT_GT(normal, 60);
    EXPECT_LT(normal, 190);
    EXPECT_LT(dark, normal - 30);
    EXPECT_GT(bright, normal + 30);

    CaptureSettings grey;
    grey.saturation = 0;
    const Capture capture = CaptureFrames(grey, 10, "grey");
    ASSERT_EQ(capture.error, "");
    EXPECT_LT(Mean(MeanSaturation(capture.path)), 2);
    const Capture colour = CaptureFrames(CaptureSettings(), 10, "colour");
    EXPECT_GT(Mean(MeanSaturation(colour.path)), 10);
}

TEST(CapturePicture, CompositeAndSVideoShowDifferentPatterns)
{
    CaptureSettings svideo;
    svideo.input = 1;
    const Capture composite = CaptureFrames(CaptureSettings(), 10, "composite");
    const Capture bars = CaptureFrames(svideo, 10, "svideo");
    ASSERT_EQ(composite.error + bars.error, "");
    EXPECT_GT(std::abs(Mean(MeanLuma(composite.path)) - Mean(MeanLuma(bars.path))), 5);
}

TEST(CapturePicture, ChangesWhileRunningShowFromTheNextFrame)
{
    CaptureSettings settings;
    const Capture capture = CaptureFrames(settings, 40, "live-picture",
                                          [&](CaptureSource& source, int frame)
                                          {
                                              if (frame == 20)
                                              {
                                                  settings.brightness = 255;
                                                  source.UpdateSettings(settings);
                                              }
                                          });
    ASSERT_EQ(capture.error, "");
    const std::vector<double> luma = MeanLuma(capture.path);
    ASSERT_EQ(luma.size(), 40u);
    EXPECT_GT(luma[20], luma[19] + 30);
    EXPECT_GT(Mean(luma, 20), Mean(luma, 0, 20) + 30);
}

TEST(CaptureSound, VolumeSetsTheLevelInDecibelsAndMuteGivesSilence)
{
    auto level = [](std::int32_t volume)
    {
        CaptureSettings settings;
        settings.volume = volume;
        const Capture capture = CaptureFrames(settings, 30, "volume" + std::to_string(volume));
        EXPECT_EQ(capture.error, "");
        return MeanVolume(capture.path);
    };
    const double normal = level(0);
    EXPECT_NEAR(normal, -21, 1.5); // a -18 dBFS sine's mean power
    EXPECT_NEAR(level(6) - normal, 6, 0.5);
    EXPECT_NEAR(level(-20) - normal, -20, 0.5);

    CaptureSettings muted;
    muted.mute = true;
    const Capture capture = CaptureFrames(muted, 30, "mute");
    ASSERT_EQ(capture.error, "");
    const std::vector<std::uint8_t> lpcm = LpcmSamples(capture.bytes);
    ASSERT_FALSE(lpcm.empty());
    EXPECT_EQ(std::count(lpcm.begin(), lpcm.end(), 0), long(lpcm.size()));
}

TEST(CaptureSound, ByteSwapSendsTheSameSamplesLittleEndian)
{
    CaptureSettings swapped;
    swapped.byteSwap = true;
    const Capture normal = CaptureFrames(CaptureSettings(), 20, "lpcm");
    const Capture pcm = CaptureFrames(swapped, 20, "pcm");
    ASSERT_EQ(normal.error + pcm.error, "");
    std::vector<std::uint8_t> expected = LpcmSamples(normal.bytes);
    ASSERT_FALSE(expected.empty());
    for (std::size_t i = 0; i + 1 < expected.size(); i += 2)
        std::swap(expected[i], expected[i + 1]);
    EXPECT_EQ(LpcmSamples(pcm.bytes), expected);
}

TEST(CaptureSound, VolumeAndMuteWhileRunningApplyFromTheNextFrame)
{
    CaptureSettings settings;
    const Capture capture = CaptureFrames(settings, 30, "live-sound",
                                          [&](CaptureSource& source, int frame)
                                          {
                                              if (frame == 10 || frame == 20)
                                              {
                                                  settings.volume = -20;
                                                  settings.mute = frame == 20;
                                                  source.UpdateSettings(settings);
                                              }
                                          });
    ASSERT_EQ(capture.error, "");
    const std::vector<std::uint8_t> lpcm = LpcmSamples(capture.bytes);
    auto frameStart = [](std::size_t frame) { return 4 * (frame * 48000 * 1001 / 30000); };
    const int full = PeakOf(lpcm, 0, frameStart(10));
    EXPECT_NEAR(PeakOf(lpcm, frameStart(10), frameStart(20)), full / 10.0, full / 100.0);
    EXPECT_EQ(PeakOf(lpcm, frameStart(20), lpcm.size()), 0);
}

} // namespace
