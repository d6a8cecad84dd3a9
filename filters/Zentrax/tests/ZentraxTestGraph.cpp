#include "ZentraxTestGraph.h"

#include "OstrelMediaTypesUUIDS.h"

#include <algorithm>

namespace
{
bool IsOwnVideo(const CMediaType& mt)
{
    return *mt.Subtype() == MEDIASUBTYPE_OstrelVideo;
}

bool IsMpeg2Video(const CMediaType& mt)
{
    return *mt.Subtype() == MEDIASUBTYPE_MPEG2_VIDEO;
}

bool IsOwnAudio(const CMediaType& mt)
{
    return *mt.Subtype() == MEDIASUBTYPE_OstrelAudio;
}

bool IsPcm(const CMediaType& mt)
{
    return *mt.Subtype() == MEDIASUBTYPE_PCM;
}

TestPushSource::Options SourceOptions(CMediaType type, std::vector<Bytes> payloads,
                                      bool bEndOfStream, unsigned nMaxDelayMicros, unsigned nSeed)
{
    TestPushSource::Options options;
    options.type = std::move(type);
    options.payloads = std::move(payloads);
    options.bEndOfStream = bEndOfStream;
    options.nMaxDelayMicros = nMaxDelayMicros;
    options.nSeed = nSeed;
    return options;
}
} // namespace

std::vector<Bytes> Chunks(const Bytes& bytes, std::size_t cbChunk)
{
    std::vector<Bytes> chunks;
    for (std::size_t nPos = 0; nPos < bytes.size(); nPos += cbChunk)
        chunks.emplace_back(bytes.begin() + nPos,
                            bytes.begin() + std::min(bytes.size(), nPos + cbChunk));
    return chunks;
}

CMediaType Mpeg2VideoType()
{
    CMediaType type;
    type.SetType(&MEDIATYPE_Video);
    type.SetSubtype(&MEDIASUBTYPE_MPEG2_VIDEO);
    type.SetFormatType(&FORMAT_MPEG2Video);
    return type;
}

CMediaType PcmType(DWORD nSamplesPerSec, WORD nChannels)
{
    const WORD nBlockAlign = static_cast<WORD>(nChannels * 2);
    const WAVEFORMATEX format = {WAVE_FORMAT_PCM,
                                 nChannels,
                                 nSamplesPerSec,
                                 nSamplesPerSec * nBlockAlign,
                                 nBlockAlign,
                                 16,
                                 0};
    CMediaType type;
    type.SetType(&MEDIATYPE_Audio);
    type.SetSubtype(&MEDIASUBTYPE_PCM);
    type.SetFormatType(&FORMAT_WaveFormatEx);
    type.SetFormat(reinterpret_cast<const BYTE*>(&format), sizeof(format));
    return type;
}

ZentraxTestGraph::ZentraxTestGraph(Setup setup)
{
    HRESULT hr = S_OK;
    m_pFilter = new ZentraxFilter(nullptr, &hr);
    m_pVideo = new TestPushSource(SourceOptions(Mpeg2VideoType(), std::move(setup.video),
                                                setup.bVideoEndOfStream, setup.nMaxDelayMicros, 1),
                                  &hr);
    m_pAudio = new TestPushSource(SourceOptions(PcmType(), std::move(setup.audio),
                                                setup.bAudioEndOfStream, setup.nMaxDelayMicros, 2),
                                  &hr);
    m_pVideoSink = new RecordingSink(setup.bOwnVideo ? IsOwnVideo : IsMpeg2Video, &hr);
    m_pAudioSink = new RecordingSink(setup.bOwnAudio ? IsOwnAudio : IsPcm, &hr);

    if (SUCCEEDED(hr) && setup.bConnectVideo)
    {
        hr = Connect(m_pVideo->OutputPin(), Pin(kVideoIn));
        if (SUCCEEDED(hr))
            hr = Connect(Pin(kVideoOut), m_pVideoSink->InputPin());
        m_bVideoConnected = SUCCEEDED(hr);
    }
    if (SUCCEEDED(hr) && setup.bConnectAudio)
    {
        hr = Connect(m_pAudio->OutputPin(), Pin(kAudioIn));
        if (SUCCEEDED(hr))
            hr = Connect(Pin(kAudioOut), m_pAudioSink->InputPin());
        m_bAudioConnected = SUCCEEDED(hr);
    }
    m_hrConnect = hr;
}

ZentraxTestGraph::~ZentraxTestGraph()
{
    Stop();
    for (auto [pOutput, pInput] : m_connections)
    {
        pOutput->Disconnect();
        pInput->Disconnect();
    }
}

HRESULT ZentraxTestGraph::Connect(IPin* pOutput, IPin* pInput)
{
    const HRESULT hr = pOutput->Connect(pInput, nullptr);
    if (SUCCEEDED(hr))
        m_connections.emplace_back(pOutput, pInput);
    return hr;
}

HRESULT ZentraxTestGraph::Run()
{
    IBaseFilter* order[] = {m_pVideoSink.Get(), m_pAudioSink.Get(), m_pFilter.Get(), m_pAudio.Get(),
                            m_pVideo.Get()};
    for (IBaseFilter* pFilter : order)
        if (const HRESULT hr = pFilter->Pause(); FAILED(hr))
            return hr;
    for (IBaseFilter* pFilter : order)
        if (const HRESULT hr = pFilter->Run(0); FAILED(hr))
            return hr;
    if (m_bAudioConnected)
        StartAudio();
    if (m_bVideoConnected)
        StartVideo();
    return S_OK;
}

void ZentraxTestGraph::JoinSources()
{
    m_pAudio->Join();
    m_pVideo->Join();
}

void ZentraxTestGraph::Stop()
{
    m_pVideoSink->Stop();
    m_pAudioSink->Stop();
    m_pFilter->Stop();
    m_pAudio->Stop();
    m_pVideo->Stop();
}
