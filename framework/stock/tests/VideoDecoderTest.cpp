// The video decoder behind the splitter, as in playback, and behind the
// demultiplexer's video pin; its pictures compared with ffmpeg's decoding.

#include "MediaFiles.h"
#include "TestClips.h"
#include "TestFilters.h"
#include "splitter/MpegSplitterFilter.h"
#include "video/Rgb32Format.h"
#include "video/VideoDecoderFilter.h"

#include <com/ComPtr.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace
{
struct Clip
{
    std::string path;
    LONG width;
    LONG height;
    REFERENCE_TIME frameDuration;
};

class VideoDecoderClips : public testing::TestWithParam<int>
{
protected:
    static Clip ClipOf(int n)
    {
        switch (n)
        {
        case 0:
            return {clips::Mpeg2Pal(), 352, 288, 400000};
        default:
            return {clips::Mpeg1System(), 352, 240, 333667};
        }
    }
};

// Pixels of ffmpeg's own decoding of the first picture, in the renderer's layout.
std::vector<uint8_t> FirstPictureByFfmpeg(const std::string& clip)
{
    return media::CaptureOutput("ffmpeg -nostdin -loglevel quiet -i " + media::Quote(clip) +
                                " -map 0:v -frames:v 1 -pix_fmt bgr0 -f rawvideo -");
}

double MeanDifference(const uint8_t* a, const uint8_t* b, size_t cb)
{
    double sum = 0;
    for (size_t i = 0; i < cb; ++i)
        sum += std::abs(int(a[i]) - int(b[i]));
    return sum / double(cb);
}
} // namespace

TEST_P(VideoDecoderClips, DecodesEveryPictureOfTheSplittersVideoLikeFfmpeg)
{
    const Clip clip = ClipOf(GetParam());
    HRESULT hr = S_OK;
    auto* pSource = new CTestAsyncSource(media::ReadFile(clip.path), &hr);
    auto* pSplitter = new CMpegSplitterFilter(nullptr, &hr);
    auto* pDecoder = new CVideoDecoderFilter(nullptr, &hr);
    auto* pSink = new CTestSink(&hr);
    ComPtr<IBaseFilter> holders[] = {ComPtr<IBaseFilter>(pSource), ComPtr<IBaseFilter>(pSplitter),
                                     ComPtr<IBaseFilter>(pDecoder), ComPtr<IBaseFilter>(pSink)};
    ASSERT_EQ(S_OK, ConnectPins(FindPin(pSource, PINDIR_OUTPUT), FindPin(pSplitter, PINDIR_INPUT)));
    ASSERT_EQ(S_OK, ConnectPins(FindPin(pSplitter, PINDIR_OUTPUT), pDecoder->InputPin()));
    ASSERT_EQ(S_OK, ConnectPins(pDecoder->OutputPin(), pSink->Pin()));

    Rgb32Format format;
    ASSERT_TRUE(Rgb32Format::FromMediaType(pSink->ConnectionType(), &format));
    EXPECT_EQ(clip.width, format.width);
    EXPECT_EQ(clip.height, format.height);
    EXPECT_TRUE(format.bTopDown);

    for (auto it = std::rbegin(holders); it != std::rend(holders); ++it)
        ASSERT_EQ(S_OK, (*it)->Pause());
    ASSERT_TRUE(pSink->WaitForEndOfStream());
    const std::vector<ReceivedSample> pictures = pSink->Samples();
    const std::vector<uint8_t> bytes = pSink->Bytes();
    for (auto& holder : holders)
        holder->Stop();
    for (auto& holder : holders)
        DisconnectAll(holder.Get());

    ASSERT_EQ(size_t(media::VideoFrameCount(clip.path)), pictures.size());
    // The first picture as ffmpeg sees it (conversions may round differently).
    const std::vector<uint8_t> reference = FirstPictureByFfmpeg(clip.path);
    ASSERT_EQ(size_t(format.ImageSize()), reference.size());
    EXPECT_LT(MeanDifference(reference.data(), bytes.data(), reference.size()), 2.0);
    // Display order, one frame duration apart.
    for (size_t i = 1; i < pictures.size(); ++i)
    {
        ASSERT_TRUE(pictures[i].bHasTime);
        EXPECT_NEAR(double(pictures[i - 1].tStart + clip.frameDuration), double(pictures[i].tStart),
                    1000.0);
    }
}

INSTANTIATE_TEST_SUITE_P(Mpeg2AndMpeg1, VideoDecoderClips, testing::Values(0, 1));

TEST(VideoDecoder, TakesOnlyMpegVideoWithAPictureSize)
{
    HRESULT hr = S_OK;
    ComPtr<IBaseFilter> pFilter(new CVideoDecoderFilter(nullptr, &hr));
    auto* pDecoder = static_cast<CVideoDecoderFilter*>(pFilter.Get());
    CMediaType mpeg2;
    mpeg2.SetType(&MEDIATYPE_Video);
    mpeg2.SetSubtype(&MEDIASUBTYPE_MPEG2_VIDEO);
    mpeg2.SetFormatType(&FORMAT_MPEG2Video);
    auto* pInfo =
        reinterpret_cast<MPEG2VIDEOINFO*>(mpeg2.AllocFormatBuffer(sizeof(MPEG2VIDEOINFO)));
    *pInfo = MPEG2VIDEOINFO{};
    EXPECT_NE(S_OK, pDecoder->InputPin()->QueryAccept(&mpeg2)); // no size
    pInfo->hdr.rcSource = RECT{0, 0, 720, 576};
    EXPECT_EQ(S_OK, pDecoder->InputPin()->QueryAccept(&mpeg2)); // size from the source rectangle
    mpeg2.SetFormatType(&FORMAT_VideoInfo);
    EXPECT_NE(S_OK, pDecoder->InputPin()->QueryAccept(&mpeg2));
}
