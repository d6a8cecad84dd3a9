// A source file replaces the pattern and the tone: decoded, looped and encoded again
// with the device's settings; files it cannot use are refused with a reason.

#include "CaptureTestSupport.h"
#include "MediaFiles.h"

#include <algorithm>
#include <fstream>
#include <gtest/gtest.h>

namespace
{
using namespace capture_test;

// 1.5 s of red at 24 frames/s, 320x240, with a 440 Hz mono tone at 44.1 kHz: another
// size, frame rate, sampling rate and channel count than the device's.
std::string RedClip(const std::string& format)
{
    return media::Clip("capture-red." + format,
                       "-f lavfi -i color=c=red:size=320x240:rate=24:duration=1.5 "
                       "-f lavfi -i sine=frequency=440:sample_rate=44100:duration=1.5 "
                       "-c:v mpeg2video -c:a mp2 -ac 1 -f " +
                           format);
}

CaptureSettings FromFile(const std::string& path)
{
    CaptureSettings settings;
    settings.sourceFile = path;
    return settings;
}

std::string CreateError(const CaptureSettings& settings)
{
    std::string error;
    auto sink = [](const std::uint8_t*, std::size_t) { return true; };
    EXPECT_EQ(CaptureSource::Create(settings, sink, &error), nullptr);
    return error;
}

TEST(CaptureSourceFile, LoopsThePictureAndSoundInTheDevicesFormat)
{
    for (const char* container : {"mpeg", "mp4"})
    {
        const std::string clip = RedClip(container);
        ASSERT_FALSE(clip.empty());
        // 4 s: the clip plays almost three times.
        const Capture capture = CaptureFrames(FromFile(clip), 120, container);
        ASSERT_EQ(capture.error, "") << container;

        auto video = ProbeStream(capture.path, "v", "width,height,nb_read_frames");
        EXPECT_EQ(video["width"] + "x" + video["height"] + " " + video["nb_read_frames"],
                  "720x480 120");
        auto audio = ProbeStream(capture.path, "a", "codec_name,sample_rate,channels");
        EXPECT_EQ(audio["codec_name"] + " " + audio["sample_rate"] + " " + audio["channels"],
                  "pcm_dvd 48000 2");
        // Red in every picture, across the loops' joins too.
        const std::vector<double> luma = MeanLuma(capture.path);
        ASSERT_EQ(luma.size(), 120u);
        for (double value : luma)
            EXPECT_NEAR(value, 81, 6) << container;
        // The tone plays on over the joins: no sample run longer than 10 ms is silent.
        const std::vector<std::uint8_t> lpcm = LpcmSamples(capture.bytes);
        std::size_t silent = 0, longestSilence = 0;
        for (std::size_t i = 0; i + 3 < lpcm.size(); i += 4)
        {
            silent = lpcm[i] == 0 && lpcm[i + 1] == 0 ? silent + 1 : 0;
            longestSilence = std::max(longestSilence, silent);
        }
        EXPECT_LT(longestSilence, 480u) << container;
    }
}

TEST(CaptureSourceFile, WithoutSoundGivesSilence)
{
    const std::string clip =
        media::Clip("capture-mute.mpg", "-f lavfi -i color=c=blue:size=320x240:rate=25:duration=1 "
                                        "-c:v mpeg2video -f mpeg");
    const Capture capture = CaptureFrames(FromFile(clip), 40, "silent");
    ASSERT_EQ(capture.error, "");
    const std::vector<std::uint8_t> lpcm = LpcmSamples(capture.bytes);
    ASSERT_FALSE(lpcm.empty());
    EXPECT_EQ(std::count(lpcm.begin(), lpcm.end(), 0), long(lpcm.size()));
}

TEST(CaptureSourceFile, UnusableFilesAreRefusedWithTheReason)
{
    EXPECT_NE(CreateError(FromFile("/nonexistent/clip.mpg")).find("cannot open"),
              std::string::npos);

    const std::string garbage = media::ScratchPath("garbage.mpg");
    std::ofstream(garbage) << std::string(100000, 'x');
    EXPECT_NE(CreateError(FromFile(garbage)).find(garbage), std::string::npos);
    std::remove(garbage.c_str());

    const std::string soundOnly =
        media::Clip("capture-sound-only.mpg",
                    "-f lavfi -i sine=frequency=440:sample_rate=48000:duration=1 -c:a mp2 -f mpeg");
    EXPECT_NE(CreateError(FromFile(soundOnly)).find("has no picture"), std::string::npos);
}

TEST(CaptureSourceFile, ACutFileLoopsWhatItHolds)
{
    // 6 s fading in from black, its index at the front, cut to its first third: the
    // header still says 6 s.
    const std::vector<std::uint8_t> whole = media::ReadFile(
        media::Clip("capture-fade.mp4",
                    "-f lavfi -i color=c=white:size=320x240:rate=25:duration=6,fade=in:0:150 "
                    "-c:v mpeg2video -movflags faststart -f mp4"));
    ASSERT_GT(whole.size(), 1000u);
    const std::string cut = media::ScratchPath("cut.mp4");
    std::ofstream(cut, std::ios::binary)
        .write(reinterpret_cast<const char*>(whole.data()), long(whole.size() / 3));
    const Capture capture = CaptureFrames(FromFile(cut), 150, "cut");
    std::remove(cut.c_str());
    ASSERT_EQ(capture.error, "");
    EXPECT_EQ(capture.framesEncoded, 150);
    // The picture goes dark again when the next pass starts, after about 2 s, instead
    // of standing still until the 6 s the header tells.
    const std::vector<double> luma = MeanLuma(capture.path);
    ASSERT_EQ(luma.size(), 150u);
    const auto darkest = std::min_element(luma.begin() + 30, luma.begin() + 120);
    EXPECT_LT(*darkest, luma[30] - 20);
}

} // namespace
