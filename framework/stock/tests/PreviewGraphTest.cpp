// The preview branches in the graph manager's own graph: a pushed program
// stream through an Infinite Pin Tee into the demultiplexer, its video pin to
// the video decoder and renderer, its audio pin to the audio decoder and
// renderer, on the graph's clock.

#include "FfmpegLog.h"
#include "MediaFiles.h"
#include "PreviewPins.h"
#include "TemporaryRegistry.h"
#include "TestClips.h"
#include "TestFilters.h"
#include "audio/AudioDecoderFilter.h"
#include "audio/AudioRendererFilter.h"
#include "demux/Mpeg2DemuxFilter.h"
#include "tee/InfTeeFilter.h"
#include "video/VideoDecoderFilter.h"
#include "video/VideoRendererFilter.h"

#include <com/ComPtr.h>
#include <com/ComRuntime.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>

namespace
{
using namespace std::chrono_literals;

// What the application's window would be: it records what the renderer hands it.
class TestOwnerSurface : public IVideoOwnerSurface
{
public:
    struct Placement
    {
        LONG left, top, width, height;
        bool bVisible;
    };

    void PlaceVideo(LONG left, LONG top, LONG width, LONG height, bool bVisible) override
    {
        std::lock_guard lock(m_mutex);
        m_Placement = {left, top, width, height, bVisible};
    }
    void PresentPicture(const BYTE* pPixels, LONG width, LONG height, LONG cbStride) override
    {
        std::lock_guard lock(m_mutex);
        ++m_cPictures;
        m_bAllWellFormed = m_bAllWellFormed && pPixels && width == m_Width && height == m_Height &&
                           cbStride == width * 4;
        // Touch the whole picture, so that a short buffer shows under the sanitizer.
        m_Checksum += pPixels[size_t(cbStride) * size_t(height) - 1];
    }
    void ReleaseVideo() override
    {
        std::lock_guard lock(m_mutex);
        m_bReleased = true;
    }

    void Expect(LONG width, LONG height)
    {
        m_Width = width;
        m_Height = height;
    }
    OAHWND Handle() { return reinterpret_cast<OAHWND>(static_cast<IVideoOwnerSurface*>(this)); }
    int Pictures()
    {
        std::lock_guard lock(m_mutex);
        return m_cPictures;
    }
    bool AllWellFormed()
    {
        std::lock_guard lock(m_mutex);
        return m_bAllWellFormed;
    }
    Placement LastPlacement()
    {
        std::lock_guard lock(m_mutex);
        return m_Placement;
    }
    bool Released()
    {
        std::lock_guard lock(m_mutex);
        return m_bReleased;
    }

private:
    std::mutex m_mutex;
    LONG m_Width = 0;
    LONG m_Height = 0;
    int m_cPictures = 0;
    bool m_bAllWellFormed = true;
    unsigned m_Checksum = 0;
    Placement m_Placement{};
    bool m_bReleased = false;
};

template <class TFilter> TFilter* NewFilter()
{
    HRESULT hr = S_OK;
    auto* pFilter = new TFilter(nullptr, &hr);
    EXPECT_EQ(S_OK, hr);
    return pFilter;
}

// push source -> tee -> demux; video: decoder -> renderer; audio (optional):
// decoder -> renderer. The filters belong to the graph.
class PreviewGraph
{
public:
    explicit PreviewGraph(bool bAudio)
    {
        SilenceFfmpegLog(); // streams joined mid-way start with undecodable pictures
        EXPECT_EQ(S_OK, CoInitialize(nullptr));
        EXPECT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_PPV_ARGS(&m_pGraph)));
        m_pGraph.As(&m_pControl);
        m_pGraph.As(&m_pEvents);
        HRESULT hr = S_OK;
        pSource = new CTestPushSource(ProgramStreamType(), 32768, &hr);
        for (IBaseFilter* pFilter :
             std::initializer_list<IBaseFilter*>{pSource, pTee, pDemux, pVideoDecoder,
                                                 pVideoRenderer, pAudioDecoder, pAudioRenderer})
            m_Held.emplace_back(pFilter);
        Add(pSource, L"Source");
        Add(pTee, L"Infinite Tee");
        Add(pDemux, L"Demux");
        Add(pVideoDecoder, L"Video Decoder");
        Add(pVideoRenderer, L"Video Renderer");
        Connect(pSource->Pin(), FindPin(pTee, PINDIR_INPUT));
        Connect(FindPin(pTee, PINDIR_OUTPUT), pDemux->InputPin());
        Connect(CreateVideoOut(pDemux, 352, 240), pVideoDecoder->InputPin());
        Connect(pVideoDecoder->OutputPin(), pVideoRenderer->InputPin());
        if (!bAudio)
            return;
        Add(pAudioDecoder, L"Aduio Decoder");
        Add(pAudioRenderer, L"Audio Renderer");
        Connect(CreateAudioOut(pDemux), pAudioDecoder->InputPin());
        Connect(pAudioDecoder->OutputPin(), pAudioRenderer->InputPin());
    }
    ~PreviewGraph()
    {
        m_pControl->Stop();
        m_pEvents.Reset();
        m_pControl.Reset();
        m_pGraph.Reset();
        CoUninitialize();
    }

    IGraphBuilder* Graph() { return m_pGraph.Get(); }
    IMediaControl* Control() { return m_pControl.Get(); }

    // Pushes the bytes as the device would, then ends the stream. False when a
    // push is refused (the graph stopped).
    bool Push(const std::vector<uint8_t>& bytes, const std::atomic<bool>* pbQuit = nullptr)
    {
        constexpr size_t kPiece = 32768;
        for (size_t offset = 0; offset < bytes.size(); offset += kPiece)
        {
            if (pbQuit && *pbQuit)
                return false;
            if (pSource->Push(bytes.data() + offset, std::min(kPiece, bytes.size() - offset)) !=
                S_OK)
                return false;
        }
        return pSource->PushEndOfStream() == S_OK;
    }

    LONG WaitForCompletion()
    {
        LONG code = 0;
        m_pEvents->WaitForCompletion(30000, &code);
        return code;
    }

    CTestPushSource* pSource = nullptr;
    CInfTeeFilter* pTee = NewFilter<CInfTeeFilter>();
    CMpeg2DemuxFilter* pDemux = NewFilter<CMpeg2DemuxFilter>();
    CVideoDecoderFilter* pVideoDecoder = NewFilter<CVideoDecoderFilter>();
    CVideoRendererFilter* pVideoRenderer = NewFilter<CVideoRendererFilter>();
    CAudioDecoderFilter* pAudioDecoder = NewFilter<CAudioDecoderFilter>();
    CAudioRendererFilter* pAudioRenderer = NewFilter<CAudioRendererFilter>();

private:
    void Add(IBaseFilter* pFilter, const wchar_t* pName)
    {
        EXPECT_EQ(S_OK, m_pGraph->AddFilter(pFilter, pName));
    }
    void Connect(IPin* pOut, IPin* pIn)
    {
        ASSERT_EQ(S_OK, m_pGraph->ConnectDirect(pOut, pIn, nullptr));
    }

    TemporaryRegistry m_Registry;
    ComPtr<IGraphBuilder> m_pGraph;
    ComPtr<IMediaControl> m_pControl;
    ComPtr<IMediaEventEx> m_pEvents;
    std::vector<ComPtr<IBaseFilter>> m_Held;
};

int QualityValue(IQualProp* pQuality, HRESULT (IQualProp::*get)(int*))
{
    int value = -1;
    EXPECT_EQ(S_OK, (pQuality->*get)(&value));
    return value;
}
} // namespace

TEST(PreviewGraph, DrawsEveryPictureOnTheClockAndBothRenderersComplete)
{
    const std::string clip = clips::Mpeg2Lpcm(); // 2 s, 352x240
    const int cFrames = media::VideoFrameCount(clip);
    ASSERT_GT(cFrames, 50);
    PreviewGraph g(true);
    TestOwnerSurface surface;
    surface.Expect(352, 240);
    ComPtr<IVideoWindow> pWindow;
    ASSERT_EQ(S_OK, g.Graph()->QueryInterface(IID_PPV_ARGS(&pWindow)));
    ASSERT_EQ(S_OK, pWindow->put_Owner(surface.Handle()));

    const auto tRun = std::chrono::steady_clock::now();
    ASSERT_TRUE(SUCCEEDED(g.Control()->Run()));
    ASSERT_TRUE(g.Push(media::ReadFile(clip)));
    EXPECT_EQ(EC_COMPLETE, g.WaitForCompletion());
    const auto elapsed = std::chrono::steady_clock::now() - tRun;

    // Paced: the last picture is not shown before its time (a lower bound only,
    // which a loaded machine cannot break).
    EXPECT_GE(elapsed, 1900ms);
    ComPtr<IQualProp> pQuality;
    ASSERT_EQ(S_OK, g.pVideoRenderer->QueryInterface(IID_PPV_ARGS(&pQuality)));
    const int cDrawn = QualityValue(pQuality.Get(), &IQualProp::get_FramesDrawn);
    const int cDropped = QualityValue(pQuality.Get(), &IQualProp::get_FramesDroppedInRenderer);
    EXPECT_EQ(cFrames, cDrawn + cDropped);
    EXPECT_EQ(cDrawn, surface.Pictures());
    EXPECT_TRUE(surface.AllWellFormed());
    EXPECT_LE(QualityValue(pQuality.Get(), &IQualProp::get_AvgSyncOffset),
              int(CVideoRendererFilter::kMaxLateness / 10000));
    EXPECT_TRUE(surface.LastPlacement().bVisible); // shown by itself when streaming started
    ASSERT_EQ(S_OK, pWindow->put_Owner(0));
    EXPECT_TRUE(surface.Released());
}

TEST(PreviewGraph, VideoWindowCallsReachTheRendererThroughTheGraph)
{
    PreviewGraph g(false);
    TestOwnerSurface surface;
    ComPtr<IVideoWindow> pWindow;
    ASSERT_EQ(S_OK, g.Graph()->QueryInterface(IID_PPV_ARGS(&pWindow)));
    ASSERT_EQ(S_OK, pWindow->put_Owner(surface.Handle()));
    ASSERT_EQ(S_OK, pWindow->put_WindowStyle(WS_CHILD));
    ASSERT_EQ(S_OK, pWindow->SetWindowPosition(10, 20, 722, 578));
    ASSERT_EQ(S_OK, pWindow->put_Visible(OATRUE));
    const TestOwnerSurface::Placement placed = surface.LastPlacement();
    EXPECT_EQ(10, placed.left);
    EXPECT_EQ(20, placed.top);
    EXPECT_EQ(722, placed.width);
    EXPECT_EQ(578, placed.height);
    EXPECT_TRUE(placed.bVisible);
    LONG width = 0;
    LONG height = 0;
    ASSERT_EQ(S_OK, pWindow->GetVideoSize(&width, &height));
    EXPECT_EQ(352, width);
    EXPECT_EQ(240, height);
    OAHWND owner = 0;
    ASSERT_EQ(S_OK, g.pVideoRenderer->get_Owner(&owner));
    EXPECT_EQ(surface.Handle(), owner);

    // Without a video renderer the graph has no video window.
    ASSERT_EQ(S_OK, g.Graph()->RemoveFilter(g.pVideoRenderer));
    EXPECT_EQ(E_NOINTERFACE, pWindow->put_Visible(OATRUE));
    ComPtr<IVideoWindow> pNone;
    EXPECT_EQ(E_NOINTERFACE, g.Graph()->QueryInterface(IID_PPV_ARGS(&pNone)));
}

TEST(PreviewGraph, RunsAndStopsAHundredTimesWhileTheStreamFlows)
{
    const std::vector<uint8_t> clip = media::ReadFile(clips::Mpeg2Lpcm());
    ASSERT_FALSE(clip.empty());
    PreviewGraph g(true);
    std::atomic<bool> bQuit{false};
    std::thread device(
        [&]
        {
            while (!bQuit)
                if (!g.Push(clip, &bQuit))
                    std::this_thread::sleep_for(1ms);
        });
    for (int cycle = 0; cycle < 100; ++cycle)
    {
        ASSERT_TRUE(SUCCEEDED(g.Control()->Run()));
        std::this_thread::sleep_for(std::chrono::milliseconds(5 + cycle % 4 * 10));
        ASSERT_TRUE(SUCCEEDED(g.Control()->Stop()));
    }
    bQuit = true;
    device.join();

    // The graph still plays a whole stream afterwards.
    ASSERT_TRUE(SUCCEEDED(g.Control()->Run()));
    ASSERT_TRUE(g.Push(clip));
    EXPECT_EQ(EC_COMPLETE, g.WaitForCompletion());
}
