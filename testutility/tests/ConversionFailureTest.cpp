// The conversion graph's filters in the graph manager, over an ffmpeg-made clip, with a sink
// that fails the way the writer does on a full disk, at three depths: behind the muxer,
// behind Zentrax's video output and behind the video tee. However deep it starts, the failure
// reaches the application as one EC_ERRORABORT with the sink's result and no EC_COMPLETE; every
// upstream thread stops by itself (none is left waiting at a gate or on a queue), the sink is
// offered nothing after its failure, and Stop returns.

#include "MediaFiles.h"
#include "ModuleRegistration.h"
#include "OstrelMuxerUUIDS.h"
#include "TemporaryRegistry.h"
#include "TestClips.h"
#include "TestFilters.h"
#include "ZentraxUUIDS.h"
#include "audio/AcmWrapperFilter.h"
#include "audio/AudioDecoderFilter.h"
#include "splitter/MpegSplitterFilter.h"
#include "tee/InfTeeFilter.h"

#include <com/ComRuntime.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace
{
using namespace std::chrono_literals;

const HRESULT kDiskFull = HRESULT_FROM_WIN32(ERROR_DISK_FULL);

enum class Depth
{
    BehindMuxer,
    BehindZentrax,
    BehindTee,
};

struct FailureCase
{
    const char* name;
    Depth depth;
    size_t nAccepted; // samples the sink takes before it fails
};

class ConversionFailure : public testing::TestWithParam<FailureCase>
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(S_OK, CoInitialize(nullptr));
        m_bComInitialised = true;
        ASSERT_EQ(S_OK, RegisterModule(ZENTRAX_MODULE));
        ASSERT_EQ(S_OK, RegisterModule(MUXER_MODULE));
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_PPV_ARGS(&m_pGraph)));
        ASSERT_EQ(S_OK, m_pGraph.As(&m_pControl));
        ASSERT_EQ(S_OK, m_pGraph.As(&m_pEvents));
    }

    void TearDown() override
    {
        if (m_pControl)
            m_pControl->Stop();
        for (const ComPtr<IBaseFilter>& pFilter : m_Filters)
            m_pGraph->RemoveFilter(pFilter.Get());
        m_Filters.clear();
        m_pEvents.Reset();
        m_pControl.Reset();
        m_pGraph.Reset();
        if (m_bComInitialised)
            CoUninitialize();
    }

    template <class TFilter> TFilter* Add(TFilter* pFilter, LPCWSTR pName)
    {
        m_Filters.emplace_back(pFilter);
        EXPECT_EQ(S_OK, m_hr) << "creating a filter";
        EXPECT_EQ(S_OK, m_pGraph->AddFilter(pFilter, pName));
        return pFilter;
    }

    // A filter of a registered module.
    IBaseFilter* Add(REFCLSID clsid, LPCWSTR pName)
    {
        ComPtr<IBaseFilter> pFilter;
        EXPECT_EQ(S_OK,
                  CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&pFilter)));
        return pFilter ? Add(pFilter.Get(), pName) : nullptr;
    }

    void Connect(IBaseFilter* pUpstream, int nOutput, IBaseFilter* pDownstream, int nInput = 0)
    {
        IPin* pOutput = FindPin(pUpstream, PINDIR_OUTPUT, nOutput);
        IPin* pInput = FindPin(pDownstream, PINDIR_INPUT, nInput);
        ASSERT_TRUE(pOutput && pInput);
        ASSERT_EQ(S_OK, m_pGraph->ConnectDirect(pOutput, pInput, nullptr));
    }

    // The conversion graph as far as the depth of the failing sink; other branches end in
    // sinks that take everything.
    void Build(Depth depth, size_t nAccepted)
    {
        const std::string clip = clips::Mpeg2Ntsc();
        ASSERT_FALSE(clip.empty());
        auto* pSource = Add(new CTestAsyncSource(media::ReadFile(clip), &m_hr), L"File Reader");
        m_pSplitter = Add(new CMpegSplitterFilter(nullptr, &m_hr), L"Mpeg Splitter");
        auto* pTee = Add(new CInfTeeFilter(nullptr, &m_hr), L"Infinite Tee");
        auto* pTee2 = Add(new CInfTeeFilter(nullptr, &m_hr), L"Infinite 2 Tee");
        auto* pDecoder = Add(new CAudioDecoderFilter(nullptr, &m_hr), L"Audio Decoder");
        auto* pAcm = Add(new CAcmWrapperFilter(nullptr, &m_hr), L"ACM Wrapper");
        m_pFailing = Add(new CTestSink(&m_hr), L"Dump File");
        m_pFailing->FailAfter(nAccepted, kDiskFull);
        auto* pOther = Add(new CTestSink(&m_hr), L"Other Sink");
        Connect(pSource, 0, m_pSplitter);
        Connect(m_pSplitter, 0, pTee);
        Connect(m_pSplitter, 1, pTee2);
        Connect(pTee2, 0, pDecoder);
        Connect(pDecoder, 0, pAcm);
        if (depth == Depth::BehindTee)
        {
            Connect(pTee, 0, m_pFailing);
            Connect(pAcm, 0, pOther);
            return;
        }
        // Zentrax: inputs "Audio In", "Video In"; outputs "DeadCafe Out", "Xform Out".
        IBaseFilter* pZentrax = Add(CLSID_Zentrax, L"Zentrax Filter");
        ASSERT_TRUE(pZentrax);
        Connect(pTee, 0, pZentrax, 1);
        Connect(pAcm, 0, pZentrax, 0);
        if (depth == Depth::BehindZentrax)
        {
            Connect(pZentrax, 1, m_pFailing);
            Connect(pZentrax, 0, pOther);
            return;
        }
        // The muxer: inputs "Video In", "Audio In".
        IBaseFilter* pMuxer = Add(CLSID_OstrelMuxer, L"Ostrel Muxer");
        ASSERT_TRUE(pMuxer);
        Connect(pZentrax, 1, pMuxer, 0);
        Connect(pZentrax, 0, pMuxer, 1);
        Connect(pMuxer, 0, m_pFailing);
    }

    // Every output of the splitter has ended its delivery: the position is then the end.
    bool SplitterOutputsEnd()
    {
        const auto deadline = std::chrono::steady_clock::now() + 30s;
        while (m_pSplitter->CurrentTime() != m_pSplitter->Duration())
        {
            if (std::chrono::steady_clock::now() > deadline)
                return false;
            std::this_thread::sleep_for(10ms);
        }
        return true;
    }

    TemporaryRegistry m_Registry;
    bool m_bComInitialised = false;
    HRESULT m_hr = S_OK;
    ComPtr<IGraphBuilder> m_pGraph;
    ComPtr<IMediaControl> m_pControl;
    ComPtr<IMediaEventEx> m_pEvents;
    std::vector<ComPtr<IBaseFilter>> m_Filters;
    CMpegSplitterFilter* m_pSplitter = nullptr;
    CTestSink* m_pFailing = nullptr;
};

void PrintTo(const FailureCase& failure, std::ostream* os)
{
    *os << failure.name;
}
} // namespace

TEST_P(ConversionFailure, EndsWithOneErrorEventAndEveryThreadStops)
{
    ASSERT_NO_FATAL_FAILURE(Build(GetParam().depth, GetParam().nAccepted));
    ASSERT_TRUE(SUCCEEDED(m_pControl->Run()));

    LONG code = 0;
    LONG_PTR param1 = 0;
    LONG_PTR param2 = 0;
    ASSERT_EQ(S_OK, m_pEvents->GetEvent(&code, &param1, &param2, 30000));
    EXPECT_EQ(EC_ERRORABORT, code);
    EXPECT_EQ(kDiskFull, HRESULT(param1));
    EXPECT_TRUE(SplitterOutputsEnd());
    EXPECT_EQ(S_OK, m_pControl->Stop());

    while (m_pEvents->GetEvent(&code, &param1, &param2, 0) == S_OK)
        ADD_FAILURE() << "another event: " << code;
    EXPECT_EQ(0, m_pFailing->OfferedAfterFailure());
}

INSTANTIATE_TEST_SUITE_P(Depths, ConversionFailure,
                         testing::Values(FailureCase{"BehindMuxer", Depth::BehindMuxer, 0},
                                         FailureCase{"BehindZentrax", Depth::BehindZentrax, 10},
                                         FailureCase{"BehindTee", Depth::BehindTee, 10}),
                         [](const testing::TestParamInfo<FailureCase>& info)
                         { return info.param.name; });
