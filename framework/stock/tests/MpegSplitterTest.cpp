// The MPEG splitter behind a pull source over ffmpeg-made clips, feeding sinks.

#include "MediaFiles.h"
#include "TestClips.h"
#include "TestFilters.h"
#include "splitter/MpegSplitterFilter.h"

#include <com/ComPtr.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>

namespace
{
// source -> splitter -> one sink per output.
struct SplitterGraph
{
    HRESULT hr = S_OK;
    CTestAsyncSource* pSource;
    CMpegSplitterFilter* pSplitter = new CMpegSplitterFilter(nullptr, &hr);
    CTestSink* pVideoSink = new CTestSink(&hr);
    CTestSink* pAudioSink = new CTestSink(&hr);
    ComPtr<IBaseFilter> holders[4];

    explicit SplitterGraph(const std::string& path)
        : pSource(new CTestAsyncSource(media::ReadFile(path), &hr)), holders{pSource, pSplitter,
                                                                             pVideoSink, pAudioSink}
    {
    }
    ~SplitterGraph()
    {
        Stop();
        for (auto& holder : holders)
            DisconnectAll(holder.Get());
    }
    HRESULT ConnectSource() { return ConnectPins(FindPin(pSource, PINDIR_OUTPUT), InputPin()); }
    IPin* InputPin() { return FindPin(pSplitter, PINDIR_INPUT); }
    IPin* Output(int n) { return FindPin(pSplitter, PINDIR_OUTPUT, n); }
    void ConnectAll()
    {
        ASSERT_EQ(S_OK, ConnectSource());
        ASSERT_EQ(S_OK, ConnectPins(Output(0), pVideoSink->Pin()));
        ASSERT_EQ(S_OK, ConnectPins(Output(1), pAudioSink->Pin()));
    }
    // Downstream first, as the graph does.
    void Pause()
    {
        for (int i = 3; i >= 0; --i)
            ASSERT_EQ(S_OK, holders[i]->Pause());
    }
    void Stop()
    {
        for (int i = 3; i >= 0; --i)
            holders[i]->Stop();
    }
    void RunToEnd()
    {
        Pause();
        ASSERT_TRUE(pVideoSink->WaitForEndOfStream());
        ASSERT_TRUE(pAudioSink->WaitForEndOfStream());
    }
};

std::vector<uint8_t> FfmpegCopy(const std::string& clip, const char* stream, const char* format)
{
    return media::CaptureOutput("ffmpeg -nostdin -loglevel error -i " + media::Quote(clip) +
                                " -map 0:" + stream + " -c copy -f " + format + " -");
}

std::wstring PinName(IPin* pPin)
{
    PIN_INFO info{};
    pPin->QueryPinInfo(&info);
    if (info.pFilter)
        info.pFilter->Release();
    return info.achName;
}

// Lets each sink run at most a fifth of a second of its own stream ahead of the
// other, counting from each stream's first time, as the muxer's strict turns do.
// Which part of the file a stream's content sits in does not matter to it.
class TurnGate
{
public:
    void Attach(CTestSink* pVideo, CTestSink* pAudio)
    {
        pVideo->SetGate([this](const ReceivedSample& s) { Wait(0, s); });
        pAudio->SetGate([this](const ReceivedSample& s) { Wait(1, s); });
        pVideo->SetEndOfStreamHook([this] { Ended(0); });
        pAudio->SetEndOfStreamHook([this] { Ended(1); });
    }

private:
    void Ended(int side)
    {
        std::lock_guard lock(m_mutex);
        m_bEnded[side] = true;
        m_cv.notify_all();
    }

    static constexpr REFERENCE_TIME kSlack = UNITS / 5;

    void Wait(int side, const ReceivedSample& sample)
    {
        std::unique_lock lock(m_mutex);
        if (sample.bHasTime)
        {
            if (!m_bStarted[side])
                m_tFirst[side] = sample.tStart;
            m_bStarted[side] = true;
            m_tPosition[side] = std::max(m_tPosition[side], sample.tStart - m_tFirst[side]);
        }
        m_cv.notify_all();
        const int other = 1 - side;
        m_cv.wait(lock, [&]
                  { return m_bEnded[other] || m_tPosition[side] <= m_tPosition[other] + kSlack; });
    }

    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_bStarted[2] = {};
    bool m_bEnded[2] = {};
    REFERENCE_TIME m_tFirst[2] = {};
    REFERENCE_TIME m_tPosition[2] = {};
};
} // namespace

TEST(MpegSplitter, OffersMpeg2VideoFirstThenAudio)
{
    SplitterGraph g(clips::Mpeg2Ntsc());
    ASSERT_EQ(S_OK, g.ConnectSource());
    ASSERT_EQ(3, g.pSplitter->GetPinCount());
    EXPECT_EQ(L"Video", PinName(g.Output(0)));
    EXPECT_EQ(L"Audio", PinName(g.Output(1)));

    ASSERT_EQ(S_OK, ConnectPins(g.Output(0), g.pVideoSink->Pin()));
    const CMediaType& video = g.pVideoSink->ConnectionType();
    EXPECT_TRUE(video.majortype == MEDIATYPE_Video);
    EXPECT_TRUE(video.subtype == MEDIASUBTYPE_MPEG2_VIDEO);
    ASSERT_TRUE(video.formattype == FORMAT_MPEG2Video);
    const auto* pInfo = reinterpret_cast<const MPEG2VIDEOINFO*>(video.pbFormat);
    EXPECT_EQ(352, pInfo->hdr.bmiHeader.biWidth);
    EXPECT_EQ(240, pInfo->hdr.bmiHeader.biHeight);
    EXPECT_EQ(333667, pInfo->hdr.AvgTimePerFrame);
    ASSERT_GE(pInfo->cbSequenceHeader, 12u);
    const auto* pHeader = reinterpret_cast<const uint8_t*>(pInfo->dwSequenceHeader);
    EXPECT_EQ(0xB3, pHeader[3]);

    ASSERT_EQ(S_OK, ConnectPins(g.Output(1), g.pAudioSink->Pin()));
    const CMediaType& audio = g.pAudioSink->ConnectionType();
    EXPECT_TRUE(audio.subtype == MEDIASUBTYPE_MPEG1Payload);
    const auto* pWave = reinterpret_cast<const WAVEFORMATEX*>(audio.pbFormat);
    EXPECT_EQ(48000u, pWave->nSamplesPerSec);
    EXPECT_EQ(2, pWave->nChannels);
}

TEST(MpegSplitter, OffersMpeg1VideoOfASystemStream)
{
    SplitterGraph g(clips::Mpeg1System());
    g.ConnectAll();
    EXPECT_TRUE(g.pVideoSink->ConnectionType().subtype == MEDIASUBTYPE_MPEG1Payload);
    EXPECT_TRUE(g.pVideoSink->ConnectionType().formattype == FORMAT_MPEGVideo);
    const auto* pWave =
        reinterpret_cast<const WAVEFORMATEX*>(g.pAudioSink->ConnectionType().pbFormat);
    EXPECT_EQ(44100u, pWave->nSamplesPerSec);
}

TEST(MpegSplitter, DeliversBothElementaryStreamsWhole)
{
    const std::string clip = clips::Mpeg2Pal();
    SplitterGraph g(clip);
    g.ConnectAll();
    g.RunToEnd();

    EXPECT_EQ(FfmpegCopy(clip, "v", "mpeg2video"), g.pVideoSink->Bytes());
    EXPECT_EQ(FfmpegCopy(clip, "a", "mp2"), g.pAudioSink->Bytes());
    const auto video = g.pVideoSink->Samples();
    ASSERT_FALSE(video.empty());
    EXPECT_TRUE(video.front().bDiscontinuity);
    EXPECT_TRUE(video.front().bSyncPoint);
    EXPECT_TRUE(std::all_of(video.begin(), video.end(), [](auto& s) { return s.bHasTime; }));
}

TEST(MpegSplitter, LpcmArrivesAsBigEndianSamplesWithoutItsHeader)
{
    const std::string clip = clips::Mpeg2Lpcm();
    SplitterGraph g(clip);
    g.ConnectAll();
    EXPECT_TRUE(g.pAudioSink->ConnectionType().subtype == MEDIASUBTYPE_DVD_LPCM_AUDIO);
    g.RunToEnd();
    const std::vector<uint8_t> reference = media::CaptureOutput(
        "ffmpeg -nostdin -loglevel error -i " + media::Quote(clip) + " -map 0:a -f s16be -");
    EXPECT_EQ(reference, g.pAudioSink->Bytes());
}

TEST(MpegSplitter, Ac3ArrivesWithoutItsSubstreamHeader)
{
    const std::string clip = clips::Mpeg2Ac3();
    SplitterGraph g(clip);
    g.ConnectAll();
    g.RunToEnd();
    EXPECT_EQ(FfmpegCopy(clip, "a", "ac3"), g.pAudioSink->Bytes());
}

TEST(MpegSplitter, VideoOnlyFileHasOneOutput)
{
    SplitterGraph g(clips::Mpeg2VideoOnly());
    ASSERT_EQ(S_OK, g.ConnectSource());
    EXPECT_EQ(2, g.pSplitter->GetPinCount());
    EXPECT_EQ(L"Video", PinName(g.Output(0)));
}

TEST(MpegSplitter, RefusesSourcesThatHoldNoMpegStream)
{
    std::vector<uint8_t> noise(300000);
    uint32_t state = 12345;
    for (auto& byte : noise)
        byte = uint8_t((state = state * 1103515245 + 12345) >> 16);
    for (const auto& bytes : {std::vector<uint8_t>{}, noise})
    {
        const std::string path = media::ScratchPath("not-mpeg");
        {
            FILE* pFile = fopen(path.c_str(), "wb");
            if (!bytes.empty())
                fwrite(bytes.data(), 1, bytes.size(), pFile);
            fclose(pFile);
        }
        SplitterGraph g(path);
        EXPECT_TRUE(FAILED(g.ConnectSource()));
        EXPECT_EQ(1, g.pSplitter->GetPinCount());
        remove(path.c_str());
    }
}

TEST(MpegSplitter, ReportsDurationAndPositionInTimeAndBytes)
{
    const std::string clip = clips::Mpeg2Ntsc();
    SplitterGraph g(clip);
    g.ConnectAll();
    ComPtr<IMediaSeeking> pSeeking;
    ASSERT_EQ(S_OK,
              g.pSplitter->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&pSeeking)));
    LONGLONG duration = 0;
    ASSERT_EQ(S_OK, pSeeking->GetDuration(&duration));
    EXPECT_NEAR(2.0, double(duration) / UNITS, 0.15);
    LONGLONG position = -1;
    pSeeking->GetCurrentPosition(&position);
    EXPECT_EQ(0, position);

    g.RunToEnd();
    pSeeking->GetCurrentPosition(&position);
    EXPECT_EQ(duration, position);

    ASSERT_EQ(S_OK, pSeeking->SetTimeFormat(&TIME_FORMAT_BYTE));
    pSeeking->GetDuration(&duration);
    pSeeking->GetCurrentPosition(&position);
    EXPECT_EQ(LONGLONG(media::ReadFile(clip).size()), duration);
    EXPECT_EQ(duration, position);
    EXPECT_EQ(E_NOTIMPL, pSeeking->SetPositions(&position, AM_SEEKING_AbsolutePositioning, nullptr,
                                                AM_SEEKING_NoPositioning));
}

class MpegSplitterSkew : public testing::TestWithParam<bool>
{
};

TEST_P(MpegSplitterSkew, StreamsFilesWhoseStreamsAreFiveSecondsApart)
{
    const std::string clip =
        GetParam() ? clips::AudioFiveSecondsLate() : clips::VideoFiveSecondsLate();
    TurnGate gate; // outlives the graph's threads
    SplitterGraph g(clip);
    g.ConnectAll();
    gate.Attach(g.pVideoSink, g.pAudioSink);
    g.Pause();
    ASSERT_TRUE(g.pVideoSink->WaitForEndOfStream());
    ASSERT_TRUE(g.pAudioSink->WaitForEndOfStream());
    EXPECT_EQ(FfmpegCopy(clip, "v", "mpeg2video"), g.pVideoSink->Bytes());
    EXPECT_EQ(FfmpegCopy(clip, "a", "mp2"), g.pAudioSink->Bytes());
}

INSTANTIATE_TEST_SUITE_P(AudioLateOrVideoLate, MpegSplitterSkew, testing::Bool());

TEST(MpegSplitter, StopsWhileEveryThreadIsBlocked)
{
    SplitterGraph g(clips::Mpeg2Pal());
    g.ConnectAll();
    // The sinks keep every sample, so the outputs run out of buffers.
    std::mutex mutex;
    std::condition_variable cv;
    std::vector<IMediaSample*> held;
    auto keep = [&](const ReceivedSample& s)
    {
        s.pSample->AddRef();
        std::lock_guard lock(mutex);
        held.push_back(s.pSample);
        cv.notify_all();
    };
    g.pVideoSink->SetGate(keep);
    g.pAudioSink->SetGate(keep);
    g.Pause();
    {
        std::unique_lock lock(mutex);
        cv.wait(lock, [&] { return held.size() >= 6; });
    }
    // Stop must return although the delivery threads wait for buffers the sinks hold.
    // (A short clip may already have delivered all of one stream; that is no failure.)
    g.Stop();
    for (IMediaSample* pSample : held)
        pSample->Release();
}
