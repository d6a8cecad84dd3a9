#include "MediaSample.h"

#include "BaseAllocator.h"

#include <cstddef>
#include <cstring>

CMediaSample::CMediaSample(LPCTSTR /*pName*/, CBaseAllocator* pAllocator, HRESULT* phr,
                           BYTE* pBuffer, LONG length)
    : m_pBuffer(pBuffer), m_lActual(length), m_cbBuffer(length), m_pAllocator(pAllocator)
{
    if (length < 0 && phr)
        *phr = VFW_E_BUFFER_OVERFLOW;
}

CMediaSample::~CMediaSample()
{
    if (m_pMediaType)
        DeleteMediaType(m_pMediaType);
}

HRESULT CMediaSample::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IMediaSample || riid == IID_IMediaSample2 || riid == IID_IUnknown)
    {
        *ppv = static_cast<IMediaSample2*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG CMediaSample::AddRef()
{
    return static_cast<ULONG>(++m_cRef);
}

ULONG CMediaSample::Release()
{
    const LONG lRef = --m_cRef;
    if (lRef == 0)
    {
        ResetProperties();
        m_pAllocator->ReleaseBuffer(this);
    }
    return static_cast<ULONG>(lRef);
}

void CMediaSample::ResetProperties()
{
    m_dwFlags = 0;
    m_dwTypeSpecificFlags = 0;
    m_dwStreamId = AM_STREAM_MEDIA;
    m_bMediaTimeValid = false;
    m_lActual = m_cbBuffer;
    if (m_pMediaType)
    {
        DeleteMediaType(m_pMediaType);
        m_pMediaType = nullptr;
    }
}

void CMediaSample::SetFlag(DWORD dwFlag, BOOL bSet)
{
    if (bSet)
        m_dwFlags |= dwFlag;
    else
        m_dwFlags &= ~dwFlag;
}

HRESULT CMediaSample::SetPointer(BYTE* pBuffer, LONG cBytes)
{
    if (cBytes < 0)
        return VFW_E_BUFFER_OVERFLOW;
    m_pBuffer = pBuffer;
    m_cbBuffer = cBytes;
    m_lActual = cBytes;
    return S_OK;
}

HRESULT CMediaSample::GetPointer(BYTE** ppBuffer)
{
    if (!ppBuffer)
        return E_POINTER;
    *ppBuffer = m_pBuffer;
    return S_OK;
}

LONG CMediaSample::GetSize()
{
    return m_cbBuffer;
}

HRESULT CMediaSample::GetTime(REFERENCE_TIME* pTimeStart, REFERENCE_TIME* pTimeEnd)
{
    if (!pTimeStart || !pTimeEnd)
        return E_POINTER;
    if (!HasFlag(AM_SAMPLE_TIMEVALID))
        return VFW_E_SAMPLE_TIME_NOT_SET;
    *pTimeStart = m_Start;
    if (!HasFlag(AM_SAMPLE_STOPVALID))
    {
        *pTimeEnd = m_Start + 1;
        return VFW_S_NO_STOP_TIME;
    }
    *pTimeEnd = m_End;
    return S_OK;
}

HRESULT CMediaSample::SetTime(REFERENCE_TIME* pTimeStart, REFERENCE_TIME* pTimeEnd)
{
    if (!pTimeStart)
    {
        SetFlag(AM_SAMPLE_TIMEVALID | AM_SAMPLE_STOPVALID, FALSE);
        return S_OK;
    }
    m_Start = *pTimeStart;
    SetFlag(AM_SAMPLE_TIMEVALID, TRUE);
    SetFlag(AM_SAMPLE_STOPVALID, pTimeEnd != nullptr);
    if (pTimeEnd)
        m_End = *pTimeEnd;
    return S_OK;
}

HRESULT CMediaSample::IsSyncPoint()
{
    return HasFlag(AM_SAMPLE_SPLICEPOINT) ? S_OK : S_FALSE;
}

HRESULT CMediaSample::SetSyncPoint(BOOL bIsSyncPoint)
{
    SetFlag(AM_SAMPLE_SPLICEPOINT, bIsSyncPoint);
    return S_OK;
}

HRESULT CMediaSample::IsPreroll()
{
    return HasFlag(AM_SAMPLE_PREROLL) ? S_OK : S_FALSE;
}

HRESULT CMediaSample::SetPreroll(BOOL bIsPreroll)
{
    SetFlag(AM_SAMPLE_PREROLL, bIsPreroll);
    return S_OK;
}

LONG CMediaSample::GetActualDataLength()
{
    return m_lActual;
}

HRESULT CMediaSample::SetActualDataLength(LONG length)
{
    if (length < 0 || length > m_cbBuffer)
        return VFW_E_BUFFER_OVERFLOW;
    m_lActual = length;
    return S_OK;
}

HRESULT CMediaSample::GetMediaType(AM_MEDIA_TYPE** ppMediaType)
{
    if (!ppMediaType)
        return E_POINTER;
    *ppMediaType = nullptr;
    if (!HasFlag(AM_SAMPLE_TYPECHANGED) || !m_pMediaType)
        return S_FALSE;
    *ppMediaType = CreateMediaType(m_pMediaType);
    return *ppMediaType ? S_OK : E_OUTOFMEMORY;
}

HRESULT CMediaSample::SetMediaTypeCopy(const AM_MEDIA_TYPE* pMediaType)
{
    if (m_pMediaType)
    {
        DeleteMediaType(m_pMediaType);
        m_pMediaType = nullptr;
    }
    SetFlag(AM_SAMPLE_TYPECHANGED, FALSE);
    if (!pMediaType)
        return S_OK;
    m_pMediaType = CreateMediaType(pMediaType);
    if (!m_pMediaType)
        return E_OUTOFMEMORY;
    SetFlag(AM_SAMPLE_TYPECHANGED, TRUE);
    return S_OK;
}

HRESULT CMediaSample::SetMediaType(AM_MEDIA_TYPE* pMediaType)
{
    return SetMediaTypeCopy(pMediaType);
}

HRESULT CMediaSample::IsDiscontinuity()
{
    return HasFlag(AM_SAMPLE_DATADISCONTINUITY) ? S_OK : S_FALSE;
}

HRESULT CMediaSample::SetDiscontinuity(BOOL bDiscontinuity)
{
    SetFlag(AM_SAMPLE_DATADISCONTINUITY, bDiscontinuity);
    return S_OK;
}

HRESULT CMediaSample::GetMediaTime(LONGLONG* pTimeStart, LONGLONG* pTimeEnd)
{
    if (!pTimeStart || !pTimeEnd)
        return E_POINTER;
    if (!m_bMediaTimeValid)
        return VFW_E_MEDIA_TIME_NOT_SET;
    *pTimeStart = m_MediaStart;
    *pTimeEnd = m_MediaEnd;
    return S_OK;
}

HRESULT CMediaSample::SetMediaTime(LONGLONG* pTimeStart, LONGLONG* pTimeEnd)
{
    if (!pTimeStart)
    {
        m_bMediaTimeValid = false;
        return S_OK;
    }
    if (!pTimeEnd)
        return E_POINTER;
    m_MediaStart = *pTimeStart;
    m_MediaEnd = *pTimeEnd;
    m_bMediaTimeValid = true;
    return S_OK;
}

HRESULT CMediaSample::GetProperties(DWORD cbProperties, BYTE* pbProperties)
{
    if (cbProperties == 0)
        return S_OK;
    if (!pbProperties)
        return E_POINTER;
    if (cbProperties > sizeof(AM_SAMPLE2_PROPERTIES))
        return E_INVALIDARG;
    AM_SAMPLE2_PROPERTIES props{};
    props.cbData = cbProperties;
    props.dwTypeSpecificFlags = m_dwTypeSpecificFlags;
    props.dwSampleFlags = m_dwFlags;
    props.lActual = m_lActual;
    props.tStart = m_Start;
    props.tStop = m_End;
    props.dwStreamId = m_dwStreamId;
    props.pMediaType = HasFlag(AM_SAMPLE_TYPECHANGED) ? m_pMediaType : nullptr;
    props.pbBuffer = m_pBuffer;
    props.cbBuffer = m_cbBuffer;
    std::memcpy(pbProperties, &props, cbProperties);
    return S_OK;
}

HRESULT CMediaSample::SetProperties(DWORD cbProperties, const BYTE* pbProperties)
{
    if (cbProperties == 0)
        return S_OK;
    if (!pbProperties)
        return E_POINTER;
    if (cbProperties > sizeof(AM_SAMPLE2_PROPERTIES))
        return E_INVALIDARG;

    // Start from the current values; the caller's prefix overrides them.
    AM_SAMPLE2_PROPERTIES props{};
    GetProperties(sizeof(props), reinterpret_cast<BYTE*>(&props));
    std::memcpy(&props, pbProperties, cbProperties);

    if (cbProperties > offsetof(AM_SAMPLE2_PROPERTIES, pbBuffer) && props.pbBuffer != m_pBuffer)
        return E_INVALIDARG;
    if (cbProperties > offsetof(AM_SAMPLE2_PROPERTIES, cbBuffer) && props.cbBuffer != m_cbBuffer)
        return E_INVALIDARG;
    if (props.lActual < 0 || props.lActual > m_cbBuffer)
        return VFW_E_BUFFER_OVERFLOW;

    if (cbProperties > offsetof(AM_SAMPLE2_PROPERTIES, pMediaType) &&
        props.pMediaType != m_pMediaType)
    {
        const bool bChanged = (props.dwSampleFlags & AM_SAMPLE_TYPECHANGED) != 0;
        const HRESULT hr = SetMediaTypeCopy(bChanged ? props.pMediaType : nullptr);
        if (FAILED(hr))
            return hr;
    }
    const DWORD dwTypeFlag = m_dwFlags & AM_SAMPLE_TYPECHANGED;
    m_dwTypeSpecificFlags = props.dwTypeSpecificFlags;
    m_dwFlags = (props.dwSampleFlags & ~AM_SAMPLE_TYPECHANGED) | dwTypeFlag;
    m_lActual = props.lActual;
    m_Start = props.tStart;
    m_End = props.tStop;
    m_dwStreamId = props.dwStreamId;
    return S_OK;
}
