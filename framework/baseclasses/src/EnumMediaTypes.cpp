#include "EnumMediaTypes.h"

#include "BasePin.h"

#include <new>

CEnumMediaTypes::CEnumMediaTypes(CBasePin* pPin, const CEnumMediaTypes* pEnumMediaTypes)
    : m_pPin(pPin), m_Position(pEnumMediaTypes ? pEnumMediaTypes->m_Position : 0),
      m_Version(pEnumMediaTypes ? pEnumMediaTypes->m_Version : pPin->GetMediaTypeVersion())
{
    m_pPin->AddRef();
}

CEnumMediaTypes::~CEnumMediaTypes()
{
    m_pPin->Release();
}

HRESULT CEnumMediaTypes::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IEnumMediaTypes || riid == IID_IUnknown)
    {
        *ppv = static_cast<IEnumMediaTypes*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG CEnumMediaTypes::AddRef()
{
    return static_cast<ULONG>(++m_cRef);
}

ULONG CEnumMediaTypes::Release()
{
    const LONG lRef = --m_cRef;
    if (lRef == 0)
        delete this;
    return static_cast<ULONG>(lRef);
}

bool CEnumMediaTypes::AreWeOutOfSync() const
{
    return m_pPin->GetMediaTypeVersion() != m_Version;
}

HRESULT CEnumMediaTypes::Next(ULONG cMediaTypes, AM_MEDIA_TYPE** ppMediaTypes, ULONG* pcFetched)
{
    if (!ppMediaTypes)
        return E_POINTER;
    if (cMediaTypes > 1 && !pcFetched)
        return E_INVALIDARG;
    if (pcFetched)
        *pcFetched = 0;
    if (AreWeOutOfSync())
        return VFW_E_ENUM_OUT_OF_SYNC;

    ULONG cFetched = 0;
    while (cFetched < cMediaTypes)
    {
        CMediaType mt;
        if (m_pPin->GetMediaType(m_Position, &mt) != S_OK)
            break;
        ++m_Position;
        AM_MEDIA_TYPE* pCopy = CreateMediaType(&mt);
        if (!pCopy)
            break;
        ppMediaTypes[cFetched++] = pCopy;
    }
    if (pcFetched)
        *pcFetched = cFetched;
    return cFetched == cMediaTypes ? S_OK : S_FALSE;
}

HRESULT CEnumMediaTypes::Skip(ULONG cMediaTypes)
{
    if (AreWeOutOfSync())
        return VFW_E_ENUM_OUT_OF_SYNC;
    for (; cMediaTypes > 0; --cMediaTypes)
    {
        CMediaType mt;
        if (m_pPin->GetMediaType(m_Position, &mt) != S_OK)
            return S_FALSE;
        ++m_Position;
    }
    return S_OK;
}

HRESULT CEnumMediaTypes::Reset()
{
    m_Version = m_pPin->GetMediaTypeVersion();
    m_Position = 0;
    return S_OK;
}

HRESULT CEnumMediaTypes::Clone(IEnumMediaTypes** ppEnum)
{
    if (!ppEnum)
        return E_POINTER;
    if (AreWeOutOfSync())
    {
        *ppEnum = nullptr;
        return VFW_E_ENUM_OUT_OF_SYNC;
    }
    CEnumMediaTypes* pClone = new (std::nothrow) CEnumMediaTypes(m_pPin, this);
    *ppEnum = pClone;
    if (!pClone)
        return E_OUTOFMEMORY;
    pClone->AddRef();
    return S_OK;
}
