// Impossible settings, a sink that stops or throws, calls in the wrong order: each
// gives a clear error, never a crash or a broken stream.

#include "CaptureTestSupport.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace
{
using namespace capture_test;

bool TakeAll(const std::uint8_t*, std::size_t)
{
    return true;
}

TEST(CaptureRobustness, ImpossibleSettingsAreRefusedWithTheReason)
{
    struct Case
    {
        void (*change)(CaptureSettings&);
        const char* reason;
    };
    const Case cases[] = {
        {[](CaptureSettings& s) { s.standard = 2; }, "video standard 2"},
        {[](CaptureSettings& s) { s.width = 800, s.height = 600; }, "frame size 800x600"},
        {[](CaptureSettings& s) { s.width = 351; }, "frame size 351x480"},
        {[](CaptureSettings& s) { s.height = 576; }, "to 720x480 for NTSC"},
        {[](CaptureSettings& s) { s.sampleRate = 22050; }, "sampling rate 22050"},
        {[](CaptureSettings& s) { s.bitRate = 0; }, "bit rate 0"},
        {[](CaptureSettings& s) { s.peakBitRate = 3000000; }, "below the bit rate"},
        {[](CaptureSettings& s) { s.brightness = 256; }, "brightness 256"},
        {[](CaptureSettings& s) { s.sharpness = 0; }, "sharpness 0"},
        {[](CaptureSettings& s) { s.input = 2; }, "input 2"},
        {[](CaptureSettings& s) { s.volume = 100; }, "volume 100"},
    };
    for (const Case& c : cases)
    {
        CaptureSettings settings;
        c.change(settings);
        std::string error;
        EXPECT_EQ(CaptureSource::Create(settings, TakeAll, &error), nullptr) << c.reason;
        EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    }
    // The peak rate only matters for a variable rate.
    CaptureSettings cbr;
    cbr.vbr = false;
    cbr.peakBitRate = 0;
    EXPECT_NE(CaptureSource::Create(cbr, TakeAll, nullptr), nullptr);
}

TEST(CaptureRobustness, ANameWithTheFiltersSpecialCharactersIsShownAsItIs)
{
    CaptureSettings settings;
    settings.deviceName = "Orva%{station:\\'[in];,=";
    const Capture capture = CaptureFrames(settings, 3, "name");
    EXPECT_EQ(capture.error, "");
    EXPECT_EQ(capture.framesEncoded, 3);
}

TEST(CaptureRobustness, ImpossibleLiveSettingsAreIgnoredAndTheStreamGoesOn)
{
    CaptureSettings settings;
    const Capture capture = CaptureFrames(settings, 40, "ignored",
                                          [&](CaptureSource& source, int frame)
                                          {
                                              if (frame == 10)
                                              {
                                                  CaptureSettings wrong = settings;
                                                  wrong.bitRate = -1;
                                                  wrong.brightness = 1000;
                                                  wrong.volume = -1000;
                                                  source.UpdateSettings(wrong);
                                              }
                                          });
    EXPECT_EQ(capture.error, "");
    EXPECT_EQ(capture.framesEncoded, 40);
    EXPECT_EQ(DecodeErrors(capture.path), "");
}

TEST(CaptureRobustness, ASinkThatStopsOrThrowsEndsTheSourceWithItsReason)
{
    struct Case
    {
        const char* name;
        CaptureSource::ByteSink sink;
        const char* reason;
    };
    std::size_t received = 0;
    const Case cases[] = {
        {"stops",
         [&](const std::uint8_t*, std::size_t cbData) { return (received += cbData) < 100000; },
         "stopped taking"},
        {"throws",
         [](const std::uint8_t*, std::size_t) -> bool { throw std::runtime_error("disk full"); },
         "disk full"},
    };
    for (const Case& c : cases)
    {
        std::string error;
        std::unique_ptr<CaptureSource> pSource =
            CaptureSource::Create(CaptureSettings(), c.sink, &error);
        // The stream's head alone may already reach the sink.
        for (int frame = 0; pSource && frame < 100 && error.empty(); ++frame)
            pSource->EncodeNextFrame(&error);
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.name << ": " << error;
        if (!pSource)
            continue;
        std::string again;
        EXPECT_FALSE(pSource->EncodeNextFrame(&again)) << c.name;
        EXPECT_EQ(again, error);
        EXPECT_FALSE(pSource->Finish(&again)) << c.name;
    }
}

TEST(CaptureRobustness, FinishEndsTheStreamOnce)
{
    std::vector<std::uint8_t> bytes;
    auto sink = [&](const std::uint8_t* pData, std::size_t cbData)
    {
        bytes.insert(bytes.end(), pData, pData + cbData);
        return true;
    };
    std::string error;
    std::unique_ptr<CaptureSource> pSource = CaptureSource::Create(CaptureSettings(), sink, &error);
    ASSERT_NE(pSource, nullptr) << error;
    ASSERT_TRUE(pSource->EncodeNextFrame(&error)) << error;
    ASSERT_TRUE(pSource->Finish(&error)) << error;
    const std::size_t size = bytes.size();
    EXPECT_TRUE(pSource->Finish(&error));
    EXPECT_FALSE(pSource->EncodeNextFrame(&error));
    EXPECT_NE(error.find("finished"), std::string::npos);
    EXPECT_EQ(bytes.size(), size);
    EXPECT_TRUE(WalkProgramStream(bytes).endCode);
}

TEST(CaptureRobustness, SkippedFramesAreNotEncodedAndTheStreamStaysWhole)
{
    const Capture capture = CaptureFrames(CaptureSettings(), 30, "skips",
                                          [](CaptureSource& source, int frame)
                                          {
                                              if (frame % 5 == 4)
                                                  source.SkipFrame();
                                          });
    ASSERT_EQ(capture.error, "");
    EXPECT_EQ(capture.framesEncoded, 30);
    EXPECT_EQ(ProbeStream(capture.path, "v", "nb_read_frames")["nb_read_frames"], "30");
    EXPECT_EQ(LpcmSamples(capture.bytes).size(), 4u * (30 * 48000 * 1001 / 30000));
}

} // namespace
