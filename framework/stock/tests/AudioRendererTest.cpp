// The audio renderer behind the audio decoder in the graph manager's graph, with
// a sound device (ALSA's "null" device, which any machine has) and without one.

#include "PreviewPins.h"
#include "TemporaryRegistry.h"
#include "TestFilters.h"
#include "audio/AudioDecoderFilter.h"
#include "audio/AudioRendererFilter.h"

#include <com/ComPtr.h>
#include <com/ComRuntime.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <string>

namespace
{
using namespace std::chrono_literals;

struct DeviceCase
{
    const char* pszDevice;
    bool bPlays;
};

class AudioRendererDevices : public testing::TestWithParam<DeviceCase>
{
protected:
    void SetUp() override
    {
        setenv("MARVEK_AUDIO_DEVICE", GetParam().pszDevice, 1);
        ASSERT_EQ(S_OK, CoInitialize(nullptr));
    }
    void TearDown() override
    {
        unsetenv("MARVEK_AUDIO_DEVICE");
        CoUninitialize();
    }

    TemporaryRegistry m_Registry;
};
} // namespace

TEST_P(AudioRendererDevices, PlaysLpcmAtItsPaceAndCompletesAfterTheLastSample)
{
    ComPtr<IGraphBuilder> pGraph;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_PPV_ARGS(&pGraph)));
    HRESULT hr = S_OK;
    ComPtr<CTestPushSource> pSource(new CTestPushSource(DemuxAudioType(48000), 19200, &hr));
    ComPtr<CAudioDecoderFilter> pDecoder(new CAudioDecoderFilter(nullptr, &hr));
    ComPtr<CAudioRendererFilter> pRenderer(new CAudioRendererFilter(nullptr, &hr));
    ASSERT_EQ(S_OK, pGraph->AddFilter(pSource.Get(), L"Source"));
    ASSERT_EQ(S_OK, pGraph->AddFilter(pDecoder.Get(), L"Audio Decoder 2"));
    ASSERT_EQ(S_OK, pGraph->AddFilter(pRenderer.Get(), L"Audio Renderer"));
    ASSERT_EQ(S_OK, pGraph->ConnectDirect(pSource->Pin(), pDecoder->InputPin(), nullptr));
    ASSERT_EQ(S_OK, pGraph->ConnectDirect(pDecoder->OutputPin(), pRenderer->InputPin(), nullptr));
    ComPtr<IMediaControl> pControl;
    ComPtr<IMediaEventEx> pEvents;
    ASSERT_EQ(S_OK, pGraph.As(&pControl));
    ASSERT_EQ(S_OK, pGraph.As(&pEvents));

    const auto tRun = std::chrono::steady_clock::now();
    ASSERT_TRUE(SUCCEEDED(pControl->Run()));
    EXPECT_EQ(GetParam().bPlays, pRenderer->IsPlayingToDevice());
    // One second of big-endian stereo samples, in tenths of a second.
    const std::vector<uint8_t> tenth(19200, 0x10);
    for (int i = 0; i < 10; ++i)
    {
        const REFERENCE_TIME tStart = i * UNITS / 10;
        ASSERT_EQ(S_OK, pSource->Push(tenth.data(), tenth.size(), &tStart));
    }
    ASSERT_EQ(S_OK, pSource->PushEndOfStream());
    LONG code = 0;
    EXPECT_EQ(S_OK, pEvents->WaitForCompletion(30000, &code));
    EXPECT_EQ(EC_COMPLETE, code);
    // Not before the last sample's time is over (a lower bound only).
    EXPECT_GE(std::chrono::steady_clock::now() - tRun, 950ms);
    pControl->Stop();
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutDevice, AudioRendererDevices,
                         testing::Values(DeviceCase{"null", true},
                                         DeviceCase{"no-such-device", false}));
