#include "EnumPins.h"

#include "BaseFilter.h"
#include "BasePin.h"

#include <new>

CEnumPins::CEnumPins(CBaseFilter* pFilter, const CEnumPins* pEnumPins)
    : m_pFilter(pFilter), m_Position(pEnumPins ? pEnumPins->m_Position : 0),
      m_Version(pEnumPins ? pEnumPins->m_Version : pFilter->GetPinVersion())
{
    m_pFilter->AddRef();
}

CEnumPins::~CEnumPins()
{
    m_pFilter->Release();
}

HRESULT CEnumPins::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IEnumPins || riid == IID_IUnknown)
    {
        *ppv = static_cast<IEnumPins*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG CEnumPins::AddRef()
{
    return static_cast<ULONG>(++m_cRef);
}

ULONG CEnumPins::Release()
{
    const LONG lRef = --m_cRef;
    if (lRef == 0)
        delete this;
    return static_cast<ULONG>(lRef);
}

bool CEnumPins::AreWeOutOfSync() const
{
    return m_pFilter->GetPinVersion() != m_Version;
}

HRESULT CEnumPins::Next(ULONG cPins, IPin** ppPins, ULONG* pcFetched)
{
    if (!ppPins)
        return E_POINTER;
    if (cPins > 1 && !pcFetched)
        return E_INVALIDARG;
    if (pcFetched)
        *pcFetched = 0;
    if (AreWeOutOfSync())
        return VFW_E_ENUM_OUT_OF_SYNC;

    ULONG cFetched = 0;
    const int cTotal = m_pFilter->GetPinCount();
    while (cFetched < cPins && m_Position < cTotal)
    {
        CBasePin* pPin = m_pFilter->GetPin(m_Position++);
        if (!pPin)
            continue;
        ppPins[cFetched++] = pPin;
        pPin->AddRef();
    }
    if (pcFetched)
        *pcFetched = cFetched;
    return cFetched == cPins ? S_OK : S_FALSE;
}

HRESULT CEnumPins::Skip(ULONG cPins)
{
    if (AreWeOutOfSync())
        return VFW_E_ENUM_OUT_OF_SYNC;
    const int cLeft = m_pFilter->GetPinCount() - m_Position;
    if (cPins > static_cast<ULONG>(cLeft < 0 ? 0 : cLeft))
        return S_FALSE;
    m_Position += static_cast<int>(cPins);
    return S_OK;
}

HRESULT CEnumPins::Reset()
{
    m_Version = m_pFilter->GetPinVersion();
    m_Position = 0;
    return S_OK;
}

HRESULT CEnumPins::Clone(IEnumPins** ppEnum)
{
    if (!ppEnum)
        return E_POINTER;
    if (AreWeOutOfSync())
    {
        *ppEnum = nullptr;
        return VFW_E_ENUM_OUT_OF_SYNC;
    }
    CEnumPins* pClone = new (std::nothrow) CEnumPins(m_pFilter, this);
    *ppEnum = pClone;
    if (!pClone)
        return E_OUTOFMEMORY;
    pClone->AddRef();
    return S_OK;
}
