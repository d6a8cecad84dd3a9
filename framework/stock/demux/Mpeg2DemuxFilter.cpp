#include "Mpeg2DemuxFilter.h"

#include <algorithm>
#include <cwchar>
#include <new>

CMpeg2DemuxFilter::CMpeg2DemuxFilter(LPUNKNOWN pUnk, HRESULT* phr)
    : CBaseFilter(NAME("MPEG-2 demultiplexer"), pUnk, &m_csFilter, CLSID_MPEG2Demultiplexer),
      m_InputPin(this, &m_csFilter, phr), m_Router(m_Outputs, m_RoutingLock), m_Parser(m_Router)
{
    m_Outputs.reserve(kMaxOutputs);
}

CMpeg2DemuxFilter::~CMpeg2DemuxFilter() = default;

HRESULT CMpeg2DemuxFilter::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (ppv && riid == IID_IMpeg2Demultiplexer)
        return GetInterface(static_cast<IMpeg2Demultiplexer*>(this), ppv);
    return CBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

int CMpeg2DemuxFilter::GetPinCount()
{
    std::lock_guard lock(m_RoutingLock);
    return 1 + int(m_Outputs.size());
}

CBasePin* CMpeg2DemuxFilter::GetPin(int n)
{
    if (n == 0)
        return &m_InputPin;
    std::lock_guard lock(m_RoutingLock);
    if (n < 1 || size_t(n) > m_Outputs.size())
        return nullptr;
    return m_Outputs[size_t(n - 1)].get();
}

template <class Call> void CMpeg2DemuxFilter::ForEachOutput(Call call)
{
    // The pins outlive the filter's list (a deleted pin is retired), so they are
    // called outside the routing lock.
    CDemuxOutputPin* pins[kMaxOutputs];
    size_t cPins = 0;
    {
        std::lock_guard lock(m_RoutingLock);
        for (const auto& pPin : m_Outputs)
            pins[cPins++] = pPin.get();
    }
    for (size_t i = 0; i < cPins; ++i)
        call(pins[i]);
}

void CMpeg2DemuxFilter::RestartStreaming()
{
    m_Parser.Reset();
    m_Router.Reset();
    ForEachOutput([](CDemuxOutputPin* pPin) { pPin->Restart(); });
}

HRESULT CMpeg2DemuxFilter::Pause()
{
    CAutoLock lock(&m_csFilter);
    if (IsStopped())
    {
        CAutoLock receiveLock(&m_csReceive);
        RestartStreaming();
    }
    return CBaseFilter::Pause();
}

HRESULT CMpeg2DemuxFilter::Stop()
{
    CAutoLock lock(&m_csFilter);
    // The input thread may wait for an output buffer while it holds the receive
    // lock; without buffers it finishes its sample at once. Only then do the
    // outputs end their queues, which the input thread delivers to.
    ForEachOutput([](CDemuxOutputPin* pPin) { pPin->ReleaseBufferWait(); });
    CAutoLock receiveLock(&m_csReceive);
    const HRESULT hr = CBaseFilter::Stop();
    RestartStreaming();
    return hr;
}

CDemuxOutputPin* CMpeg2DemuxFilter::FindOutput(LPCWSTR pszPinName)
{
    std::lock_guard lock(m_RoutingLock);
    for (const auto& pPin : m_Outputs)
        if (std::wcscmp(pPin->Name(), pszPinName) == 0)
            return pPin.get();
    return nullptr;
}

HRESULT CMpeg2DemuxFilter::CreateOutputPin(AM_MEDIA_TYPE* pMediaType, LPWSTR pszPinName,
                                           IPin** ppIPin)
{
    if (!pMediaType || !pszPinName || !ppIPin)
        return E_POINTER;
    *ppIPin = nullptr;
    const size_t cchName = std::wcslen(pszPinName);
    if (cchName == 0 || cchName >= size_t(MAX_PIN_NAME))
        return E_INVALIDARG;
    CAutoLock lock(&m_csFilter);
    if (FindOutput(pszPinName) || std::wcscmp(m_InputPin.Name(), pszPinName) == 0)
        return E_INVALIDARG; // pins are found by their names
    if (m_Outputs.size() >= kMaxOutputs)
        return E_OUTOFMEMORY;
    HRESULT hr = S_OK;
    auto pPin = std::unique_ptr<CDemuxOutputPin>(
        new (std::nothrow) CDemuxOutputPin(this, &m_csFilter, &hr, pszPinName, *pMediaType));
    if (!pPin)
        return E_OUTOFMEMORY;
    if (FAILED(hr))
        return hr;
    CDemuxOutputPin* pCreated = pPin.get();
    {
        std::lock_guard routingLock(m_RoutingLock);
        m_Outputs.push_back(std::move(pPin));
    }
    IncrementPinVersion();
    return GetInterface(static_cast<IPin*>(pCreated), reinterpret_cast<void**>(ppIPin));
}

HRESULT CMpeg2DemuxFilter::SetOutputPinMediaType(LPWSTR pszPinName, AM_MEDIA_TYPE* pMediaType)
{
    if (!pszPinName || !pMediaType)
        return E_POINTER;
    CAutoLock lock(&m_csFilter);
    CDemuxOutputPin* pPin = FindOutput(pszPinName);
    if (!pPin)
        return VFW_E_NOT_FOUND;
    HRESULT hr = S_OK;
    const CMediaType mtNew(*pMediaType, &hr);
    if (FAILED(hr))
        return hr;
    IPin* pPeer = pPin->GetConnected();
    if (!pPeer)
        return pPin->SetOfferedType(mtNew);
    // A connected pin takes the type only when its peer does, and is then
    // connected again with it.
    if (!IsStopped())
        return VFW_E_NOT_STOPPED;
    if (pPeer->QueryAccept(&mtNew) != S_OK)
        return VFW_E_TYPE_NOT_ACCEPTED;
    const CMediaType mtOld = pPin->CurrentMediaType();
    pPeer->AddRef();
    pPeer->Disconnect();
    pPin->Disconnect();
    pPin->SetOfferedType(mtNew);
    hr = pPin->Connect(pPeer, &mtNew);
    if (FAILED(hr))
    {
        pPin->SetOfferedType(mtOld);
        pPin->Connect(pPeer, &mtOld);
    }
    pPeer->Release();
    return hr;
}

HRESULT CMpeg2DemuxFilter::DeleteOutputPin(LPWSTR pszPinName)
{
    if (!pszPinName)
        return E_POINTER;
    CAutoLock lock(&m_csFilter);
    if (!IsStopped())
        return VFW_E_NOT_STOPPED;
    CDemuxOutputPin* pPin = FindOutput(pszPinName);
    if (!pPin)
        return VFW_E_NOT_FOUND;
    if (IPin* pPeer = pPin->GetConnected())
    {
        pPeer->Disconnect();
        pPin->Disconnect();
    }
    {
        std::lock_guard routingLock(m_RoutingLock);
        auto it = std::find_if(m_Outputs.begin(), m_Outputs.end(),
                               [pPin](const auto& p) { return p.get() == pPin; });
        m_RetiredOutputs.push_back(std::move(*it));
        m_Outputs.erase(it);
    }
    IncrementPinVersion();
    return S_OK;
}

HRESULT CMpeg2DemuxFilter::ReceiveBytes(std::span<const BYTE> bytes)
{
    CAutoLock receiveLock(&m_csReceive);
    m_Parser.Push(bytes);
    return S_OK;
}

HRESULT CMpeg2DemuxFilter::EndOfInput()
{
    CAutoLock receiveLock(&m_csReceive);
    ForEachOutput([](CDemuxOutputPin* pPin) { pPin->DeliverOpenSample(); });
    ForEachOutput([](CDemuxOutputPin* pPin) { pPin->DeliverEndOfStream(); });
    return S_OK;
}

void CMpeg2DemuxFilter::BeginFlushOutputs()
{
    ForEachOutput([](CDemuxOutputPin* pPin) { pPin->DeliverBeginFlush(); });
}

void CMpeg2DemuxFilter::EndFlushOutputs()
{
    {
        CAutoLock receiveLock(&m_csReceive);
        RestartStreaming();
    }
    ForEachOutput([](CDemuxOutputPin* pPin) { pPin->DeliverEndFlush(); });
}

void CMpeg2DemuxFilter::NewSegmentOnOutputs(REFERENCE_TIME tStart, REFERENCE_TIME tStop,
                                            double dRate)
{
    ForEachOutput([=](CDemuxOutputPin* pPin) { pPin->DeliverNewSegment(tStart, tStop, dRate); });
}
