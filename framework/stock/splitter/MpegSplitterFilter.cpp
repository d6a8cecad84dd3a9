#include "MpegSplitterFilter.h"

#include "SplitterMediaTypes.h"

#include <algorithm>
#include <new>

namespace
{
// Seconds of its stream each output's queue holds.
constexpr int64_t kQueueSeconds = 6;
constexpr int64_t kDefaultVideoBitRate = 10'000'000;
constexpr int64_t kDefaultAudioBitRate = 1'536'000;
constexpr int64_t kMaxPlausibleBitRate = 60'000'000;

constexpr size_t kMiB = 1024 * 1024;

size_t QueueBytesFor(int64_t bitRate, size_t cbMin, size_t cbMax)
{
    return std::clamp(size_t(bitRate / 8 * kQueueSeconds), cbMin, cbMax);
}

int64_t Plausible(int64_t bitRate)
{
    return bitRate > 0 && bitRate < kMaxPlausibleBitRate ? bitRate : 0;
}

CSplitterOutputPin::Buffering VideoBuffering(const ProgramStreamDemuxer& demuxer)
{
    // The whole stream's rate bounds the video's; the sequence header's rate is
    // often only a maximum.
    int64_t bitRate = Plausible(demuxer.BitRate());
    if (!bitRate)
        bitRate = Plausible(demuxer.VideoStream()->codecpar->bit_rate);
    if (!bitRate)
        bitRate = kDefaultVideoBitRate;
    return {QueueBytesFor(bitRate, 4 * kMiB, 16 * kMiB), 256 * 1024, 6};
}

CSplitterOutputPin::Buffering AudioBuffering(const ProgramStreamDemuxer& demuxer)
{
    int64_t bitRate = Plausible(demuxer.AudioStream()->codecpar->bit_rate);
    if (!bitRate)
        bitRate = kDefaultAudioBitRate;
    return {QueueBytesFor(bitRate, kMiB / 2, 4 * kMiB), 16 * 1024, 8};
}
} // namespace

CMpegSplitterFilter::CMpegSplitterFilter(LPUNKNOWN pUnk, HRESULT* phr)
    : CBaseFilter(NAME("MPEG splitter"), pUnk, &m_csFilter, CLSID_MPEG1Splitter),
      m_InputPin(this, &m_csFilter, phr),
      m_DemuxThread([this](HRESULT hr) { ReportStreamError(hr); }), m_Seeking(this)
{
}

CMpegSplitterFilter::~CMpegSplitterFilter()
{
    m_DemuxThread.Stop();
}

HRESULT CMpegSplitterFilter::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (ppv && riid == IID_IMediaSeeking)
        return QuerySeeking(ppv);
    return CBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CMpegSplitterFilter::QuerySeeking(void** ppv)
{
    return GetInterface(static_cast<IMediaSeeking*>(&m_Seeking), ppv);
}

int CMpegSplitterFilter::GetPinCount()
{
    return 1 + m_cOutputs;
}

CBasePin* CMpegSplitterFilter::GetPin(int n)
{
    if (n == 0)
        return &m_InputPin;
    if (n < 1 || n > m_cOutputs)
        return nullptr;
    return m_Outputs[n - 1].get();
}

HRESULT CMpegSplitterFilter::OpenSource(IAsyncReader* pReader)
{
    CAutoLock lock(&m_csFilter);
    CloseSource();
    HRESULT hr = m_Demuxer.Open(pReader);
    if (SUCCEEDED(hr))
        hr = CreateOutputs();
    if (FAILED(hr))
        CloseSource();
    return hr;
}

HRESULT CMpegSplitterFilter::CreateOutputs()
{
    CMediaType mt;
    HRESULT hr = S_OK;
    if (const AVStream* pVideo = m_Demuxer.VideoStream())
    {
        hr = BuildVideoType(*pVideo, &mt);
        if (SUCCEEDED(hr))
            hr = AddOutput(L"Video", pVideo, mt, VideoBuffering(m_Demuxer));
    }
    if (const AVStream* pAudio = m_Demuxer.AudioStream(); pAudio && SUCCEEDED(hr))
    {
        hr = BuildAudioType(*pAudio, &mt);
        if (SUCCEEDED(hr))
            hr = AddOutput(L"Audio", pAudio, mt, AudioBuffering(m_Demuxer));
    }
    return hr;
}

HRESULT CMpegSplitterFilter::AddOutput(LPCWSTR pName, const AVStream* pStream, const CMediaType& mt,
                                       const CSplitterOutputPin::Buffering& buffering)
{
    HRESULT hr = S_OK;
    auto pPin = std::unique_ptr<CSplitterOutputPin>(
        new (std::nothrow) CSplitterOutputPin(this, &m_csFilter, &hr, pName, mt, buffering));
    if (!pPin)
        return E_OUTOFMEMORY;
    if (FAILED(hr))
        return hr;
    m_Outputs[m_cOutputs] = std::move(pPin);
    m_OutputStreams[m_cOutputs] = pStream;
    ++m_cOutputs;
    IncrementPinVersion();
    return S_OK;
}

void CMpegSplitterFilter::CloseSource()
{
    CAutoLock lock(&m_csFilter);
    for (int i = 0; i < m_cOutputs; ++i)
    {
        CSplitterOutputPin* pPin = m_Outputs[i].get();
        if (IPin* pPeer = pPin->GetConnected())
        {
            pPeer->Disconnect();
            pPin->Disconnect();
        }
        m_RetiredOutputs.push_back(std::move(m_Outputs[i]));
        m_OutputStreams[i] = nullptr;
    }
    if (m_cOutputs > 0)
        IncrementPinVersion();
    m_cOutputs = 0;
    m_Demuxer.Close();
}

HRESULT CMpegSplitterFilter::Pause()
{
    CAutoLock lock(&m_csFilter);
    const bool bStarting = IsStopped();
    HRESULT hr = CBaseFilter::Pause();
    if (bStarting && SUCCEEDED(hr) && !StartDemuxing())
        hr = E_OUTOFMEMORY;
    if (bStarting && FAILED(hr))
        StopOutputs(); // the pins activated before the failure stay stopped
    return hr;
}

bool CMpegSplitterFilter::StartDemuxing()
{
    std::array<DemuxThread::Route, PesPacker::kMaxRoutes> routes{};
    size_t cRoutes = 0;
    for (int i = 0; i < m_cOutputs; ++i)
    {
        CSplitterOutputPin* pPin = m_Outputs[i].get();
        if (!pPin->IsConnected())
            continue;
        routes[cRoutes++] = {ProgramStreamDemuxer::IdentityOf(*m_OutputStreams[i]), pPin->Queue(),
                             pPin->SampleSize()};
    }
    return cRoutes == 0 || m_DemuxThread.Start(&m_Demuxer, std::span(routes.data(), cRoutes));
}

HRESULT CMpegSplitterFilter::Stop()
{
    CAutoLock lock(&m_csFilter);
    m_DemuxThread.Stop();
    return CBaseFilter::Stop();
}

void CMpegSplitterFilter::StopOutputs()
{
    for (int i = 0; i < m_cOutputs; ++i)
    {
        if (m_Outputs[i]->IsConnected())
            m_Outputs[i]->Inactive();
    }
}

REFERENCE_TIME CMpegSplitterFilter::CurrentTime() const
{
    // The slowest output that is still streaming sets the position; once all
    // have ended it is the end.
    REFERENCE_TIME rtCurrent = Duration();
    bool bAnyStreaming = false;
    for (int i = 0; i < m_cOutputs; ++i)
    {
        const CSplitterOutputPin* pPin = m_Outputs[i].get();
        if (!pPin->IsConnected() || pPin->HasEnded())
            continue;
        rtCurrent =
            bAnyStreaming ? std::min(rtCurrent, pPin->DeliveredTime()) : pPin->DeliveredTime();
        bAnyStreaming = true;
    }
    return std::max<REFERENCE_TIME>(rtCurrent, 0);
}

void CMpegSplitterFilter::ReportStreamError(HRESULT hr)
{
    NotifyEvent(EC_ERRORABORT, hr, 0);
}
