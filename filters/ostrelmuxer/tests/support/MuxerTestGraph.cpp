#include "MuxerTestGraph.h"

#include "OstrelMediaTypesUUIDS.h"

namespace
{
CMediaType MakeType(const GUID& major, const GUID& sub)
{
    CMediaType type;
    type.SetType(&major);
    type.SetSubtype(&sub);
    type.SetFormatType(&FORMAT_None);
    return type;
}
} // namespace

CMediaType VideoInputType()
{
    return MakeType(MEDIATYPE_Video, MEDIASUBTYPE_OstrelVideo);
}

CMediaType AudioInputType()
{
    return MakeType(MEDIATYPE_Audio, MEDIASUBTYPE_OstrelAudio);
}

MuxerTestGraph::MuxerTestGraph(Setup setup)
{
    HRESULT hr = S_OK;
    m_pMuxer = new OstrelMuxerFilter(nullptr, &hr);
    m_pSink = new TestSink(setup.sink, &hr);

    TestPushSource::Options video;
    video.type = VideoInputType();
    video.payloads = std::move(setup.input.video);
    video.nMaxDelayMicros = setup.nMaxVideoDelayMicros;
    video.nSeed = setup.nSeed;
    video.nRounds = setup.nRounds;
    video.bPrebuilt = setup.bPrebuilt;
    video.bEndOfStream = setup.bVideoEndOfStream;
    video.bStopOnRefusal = setup.bStopOnRefusal;
    m_pVideo = new TestPushSource(std::move(video), &hr);

    TestPushSource::Options audio;
    audio.type = AudioInputType();
    audio.payloads = std::move(setup.input.audio);
    audio.nMaxDelayMicros = setup.nMaxAudioDelayMicros;
    audio.nSeed = setup.nSeed + 1;
    audio.nRounds = setup.nRounds;
    audio.bPrebuilt = setup.bPrebuilt;
    audio.bEndOfStream = setup.bAudioEndOfStream;
    audio.bStopOnRefusal = setup.bStopOnRefusal;
    m_pAudio = new TestPushSource(std::move(audio), &hr);

    if (setup.bConnectVideo && SUCCEEDED(hr))
    {
        hr = m_pVideo->OutputPin()->Connect(m_pMuxer->GetPin(0), nullptr);
        m_bVideoConnected = SUCCEEDED(hr);
    }
    if (setup.bConnectAudio && SUCCEEDED(hr))
    {
        hr = m_pAudio->OutputPin()->Connect(m_pMuxer->GetPin(1), nullptr);
        m_bAudioConnected = SUCCEEDED(hr);
    }
    if (SUCCEEDED(hr))
        hr = m_pMuxer->GetPin(2)->Connect(m_pSink->InputPin(), nullptr);
    m_hrConnect = hr;
}

MuxerTestGraph::~MuxerTestGraph()
{
    Stop();
    if (!m_pMuxer)
        return;
    Disconnect(m_pVideo->OutputPin(), m_pMuxer->GetPin(0));
    Disconnect(m_pAudio->OutputPin(), m_pMuxer->GetPin(1));
    Disconnect(m_pMuxer->GetPin(2), m_pSink->InputPin());
}

void MuxerTestGraph::DestroyMuxerWithoutStopping()
{
    m_pSink->Stop();
    m_pAudio->Stop();
    m_pVideo->Stop();
    m_pVideo->OutputPin()->Disconnect();
    m_pAudio->OutputPin()->Disconnect();
    m_pSink->InputPin()->Disconnect();
    m_pMuxer.Reset();
}

void MuxerTestGraph::Disconnect(IPin* pOutput, IPin* pInput)
{
    pOutput->Disconnect();
    pInput->Disconnect();
}

HRESULT MuxerTestGraph::Run()
{
    IBaseFilter* order[] = {m_pSink.Get(), m_pMuxer.Get(), m_pAudio.Get(), m_pVideo.Get()};
    for (IBaseFilter* pFilter : order)
        if (HRESULT hr = pFilter->Pause(); FAILED(hr))
            return hr;
    for (IBaseFilter* pFilter : order)
        if (HRESULT hr = pFilter->Run(0); FAILED(hr))
            return hr;
    if (m_bAudioConnected)
        m_pAudio->StartPushing();
    if (m_bVideoConnected)
        m_pVideo->StartPushing();
    return S_OK;
}

void MuxerTestGraph::JoinSources()
{
    m_pAudio->Join();
    m_pVideo->Join();
}

void MuxerTestGraph::Stop()
{
    m_pSink->Stop();
    if (m_pMuxer)
        m_pMuxer->Stop();
    m_pAudio->Stop();
    m_pVideo->Stop();
}
