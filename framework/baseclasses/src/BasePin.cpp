#include "BasePin.h"

#include "BaseFilter.h"
#include "EnumMediaTypes.h"

#include <cwchar>
#include <new>

namespace
{
// Failures that say only "this type did not fit"; a connection reports a more
// telling failure of another attempt instead.
bool IsTypeRefusal(HRESULT hr)
{
    return hr == E_FAIL || hr == E_INVALIDARG || hr == VFW_E_TYPE_NOT_ACCEPTED;
}
} // namespace

CBasePin::CBasePin(LPCTSTR pObjectName, CBaseFilter* pFilter, CCritSec* pLock, HRESULT* /*phr*/,
                   LPCWSTR pName, PIN_DIRECTION dir)
    : CUnknown(pObjectName, nullptr), m_pFilter(pFilter), m_pLock(pLock), m_dir(dir),
      m_Name(pName ? pName : L"")
{
}

CBasePin::~CBasePin()
{
    if (m_Connected)
        m_Connected->Release();
}

HRESULT CBasePin::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IPin)
        return GetInterface(static_cast<IPin*>(this), ppv);
    if (riid == IID_IQualityControl)
        return GetInterface(static_cast<IQualityControl*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

ULONG CBasePin::NonDelegatingAddRef()
{
    return m_pFilter->AddRef();
}

ULONG CBasePin::NonDelegatingRelease()
{
    return m_pFilter->Release();
}

BOOL CBasePin::IsStopped() const
{
    return m_pFilter->IsStopped();
}

HRESULT CBasePin::Connect(IPin* pReceivePin, const AM_MEDIA_TYPE* pmt)
{
    if (!pReceivePin)
        return E_POINTER;
    CAutoLock lock(m_pLock);
    if (m_Connected)
        return VFW_E_ALREADY_CONNECTED;
    if (!IsStopped() && !m_bCanReconnectWhenActive)
        return VFW_E_NOT_STOPPED;

    CMediaType mtGiven;
    const CMediaType* pmtGiven = nullptr;
    if (pmt)
    {
        if (FAILED(mtGiven.Set(*pmt)))
            return E_OUTOFMEMORY;
        pmtGiven = &mtGiven;
    }
    return AgreeMediaType(pReceivePin, pmtGiven);
}

HRESULT CBasePin::AgreeMediaType(IPin* pReceivePin, const CMediaType* pmt)
{
    if (pmt && !pmt->IsPartiallySpecified())
        return AttemptConnection(pReceivePin, pmt);

    HRESULT hrFailure = VFW_E_NO_ACCEPTABLE_TYPES;
    for (int pass = 0; pass < 2; ++pass)
    {
        const bool bReceiverTypes = (pass == 0) != (m_bTryMyTypesFirst != FALSE);
        IEnumMediaTypes* pEnum = nullptr;
        HRESULT hr = bReceiverTypes ? pReceivePin->EnumMediaTypes(&pEnum) : EnumMediaTypes(&pEnum);
        if (SUCCEEDED(hr) && pEnum)
        {
            hr = TryMediaTypes(pReceivePin, pmt, pEnum);
            pEnum->Release();
            if (SUCCEEDED(hr))
                return S_OK;
            if (!IsTypeRefusal(hr) && hr != VFW_E_NO_ACCEPTABLE_TYPES)
                hrFailure = hr;
        }
    }
    return hrFailure;
}

HRESULT CBasePin::TryMediaTypes(IPin* pReceivePin, const CMediaType* pmt, IEnumMediaTypes* pEnum)
{
    HRESULT hrFailure = VFW_E_NO_ACCEPTABLE_TYPES;
    for (;;)
    {
        AM_MEDIA_TYPE* pCandidate = nullptr;
        ULONG cFetched = 0;
        if (pEnum->Next(1, &pCandidate, &cFetched) != S_OK || cFetched != 1 || !pCandidate)
            return hrFailure;

        CMediaType mtCandidate;
        HRESULT hr = mtCandidate.Set(*pCandidate);
        DeleteMediaType(pCandidate);
        if (FAILED(hr))
            return hr;
        if (pmt && !mtCandidate.MatchesPartial(pmt))
            continue;

        hr = AttemptConnection(pReceivePin, &mtCandidate);
        if (SUCCEEDED(hr))
            return hr;
        if (!IsTypeRefusal(hr))
            hrFailure = hr;
    }
}

HRESULT CBasePin::AttemptConnection(IPin* pReceivePin, const CMediaType* pmt)
{
    HRESULT hr = CheckConnect(pReceivePin);
    if (FAILED(hr))
    {
        BreakConnect();
        return hr;
    }

    hr = CheckMediaType(pmt);
    if (hr == S_OK)
    {
        m_Connected = pReceivePin;
        m_Connected->AddRef();
        hr = SetMediaType(pmt);
        if (SUCCEEDED(hr))
        {
            hr = pReceivePin->ReceiveConnection(this, pmt);
            if (SUCCEEDED(hr))
            {
                hr = CompleteConnect(pReceivePin);
                if (SUCCEEDED(hr))
                    return hr;
                pReceivePin->Disconnect();
            }
        }
    }
    else if (SUCCEEDED(hr))
    {
        hr = VFW_E_TYPE_NOT_ACCEPTED;
    }

    if (m_Connected)
    {
        m_Connected->Release();
        m_Connected = nullptr;
    }
    BreakConnect();
    return hr;
}

HRESULT CBasePin::ReceiveConnection(IPin* pConnector, const AM_MEDIA_TYPE* pmt)
{
    if (!pConnector || !pmt)
        return E_POINTER;
    CAutoLock lock(m_pLock);
    if (m_Connected)
        return VFW_E_ALREADY_CONNECTED;
    if (!IsStopped() && !m_bCanReconnectWhenActive)
        return VFW_E_NOT_STOPPED;

    HRESULT hr = CheckConnect(pConnector);
    if (FAILED(hr))
    {
        BreakConnect();
        return hr;
    }

    CMediaType mt;
    if (FAILED(mt.Set(*pmt)))
    {
        BreakConnect();
        return E_OUTOFMEMORY;
    }
    hr = CheckMediaType(&mt);
    if (hr != S_OK)
    {
        BreakConnect();
        return SUCCEEDED(hr) ? VFW_E_TYPE_NOT_ACCEPTED : hr;
    }

    m_Connected = pConnector;
    m_Connected->AddRef();
    hr = SetMediaType(&mt);
    if (SUCCEEDED(hr))
    {
        hr = CompleteConnect(pConnector);
        if (SUCCEEDED(hr))
            return S_OK;
    }
    m_Connected->Release();
    m_Connected = nullptr;
    BreakConnect();
    return hr;
}

HRESULT CBasePin::Disconnect()
{
    CAutoLock lock(m_pLock);
    if (!IsStopped())
        return VFW_E_NOT_STOPPED;
    return DisconnectInternal();
}

HRESULT CBasePin::DisconnectInternal()
{
    if (!m_Connected)
        return S_FALSE;
    const HRESULT hr = BreakConnect();
    if (FAILED(hr))
        return hr;
    m_Connected->Release();
    m_Connected = nullptr;
    return S_OK;
}

HRESULT CBasePin::ConnectedTo(IPin** pPin)
{
    if (!pPin)
        return E_POINTER;
    CAutoLock lock(m_pLock);
    *pPin = m_Connected;
    if (!m_Connected)
        return VFW_E_NOT_CONNECTED;
    m_Connected->AddRef();
    return S_OK;
}

HRESULT CBasePin::ConnectionMediaType(AM_MEDIA_TYPE* pmt)
{
    if (!pmt)
        return E_POINTER;
    CAutoLock lock(m_pLock);
    if (!m_Connected)
    {
        *pmt = AM_MEDIA_TYPE{};
        return VFW_E_NOT_CONNECTED;
    }
    return CopyMediaType(pmt, &m_mt);
}

HRESULT CBasePin::QueryPinInfo(PIN_INFO* pInfo)
{
    if (!pInfo)
        return E_POINTER;
    pInfo->pFilter = m_pFilter;
    m_pFilter->AddRef();
    std::wcsncpy(pInfo->achName, m_Name.c_str(), MAX_PIN_NAME - 1);
    pInfo->achName[MAX_PIN_NAME - 1] = L'\0';
    pInfo->dir = m_dir;
    return S_OK;
}

HRESULT CBasePin::QueryDirection(PIN_DIRECTION* pPinDir)
{
    if (!pPinDir)
        return E_POINTER;
    *pPinDir = m_dir;
    return S_OK;
}

HRESULT CBasePin::QueryId(LPWSTR* Id)
{
    if (!Id)
        return E_POINTER;
    const size_t cb = (m_Name.size() + 1) * sizeof(WCHAR);
    *Id = static_cast<LPWSTR>(CoTaskMemAlloc(cb));
    if (!*Id)
        return E_OUTOFMEMORY;
    std::wmemcpy(*Id, m_Name.c_str(), m_Name.size() + 1);
    return S_OK;
}

HRESULT CBasePin::QueryAccept(const AM_MEDIA_TYPE* pmt)
{
    if (!pmt)
        return E_POINTER;
    CMediaType mt;
    if (FAILED(mt.Set(*pmt)))
        return E_OUTOFMEMORY;
    CAutoLock lock(m_pLock);
    const HRESULT hr = CheckMediaType(&mt);
    return FAILED(hr) ? S_FALSE : hr;
}

HRESULT CBasePin::EnumMediaTypes(IEnumMediaTypes** ppEnum)
{
    if (!ppEnum)
        return E_POINTER;
    CEnumMediaTypes* pEnum = new (std::nothrow) CEnumMediaTypes(this, nullptr);
    *ppEnum = pEnum;
    if (!pEnum)
        return E_OUTOFMEMORY;
    pEnum->AddRef();
    return S_OK;
}

HRESULT CBasePin::QueryInternalConnections(IPin** /*apPin*/, ULONG* /*nPin*/)
{
    return E_NOTIMPL;
}

HRESULT CBasePin::EndOfStream()
{
    return S_OK;
}

HRESULT CBasePin::NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate)
{
    m_tStart = tStart;
    m_tStop = tStop;
    m_dRate = dRate;
    return S_OK;
}

HRESULT CBasePin::Notify(IBaseFilter* pSender, Quality q)
{
    if (!m_pQSink)
        return E_NOTIMPL;
    return m_pQSink->Notify(pSender, q);
}

HRESULT CBasePin::SetSink(IQualityControl* piqc)
{
    CAutoLock lock(m_pLock);
    m_pQSink = piqc;
    return S_OK;
}

HRESULT CBasePin::CheckConnect(IPin* pPin)
{
    PIN_DIRECTION pd;
    const HRESULT hr = pPin->QueryDirection(&pd);
    if (FAILED(hr))
        return hr;
    return pd == m_dir ? VFW_E_INVALID_DIRECTION : S_OK;
}

HRESULT CBasePin::BreakConnect()
{
    return S_OK;
}

HRESULT CBasePin::CompleteConnect(IPin* /*pReceivePin*/)
{
    return S_OK;
}

HRESULT CBasePin::SetMediaType(const CMediaType* pmt)
{
    return m_mt.Set(*pmt);
}

HRESULT CBasePin::GetMediaType(int /*iPosition*/, CMediaType* /*pMediaType*/)
{
    return E_UNEXPECTED;
}
