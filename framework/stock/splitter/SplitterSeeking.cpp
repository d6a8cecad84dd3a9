#include "SplitterSeeking.h"

#include "MpegSplitterFilter.h"

HRESULT CSplitterSeeking::QueryInterface(REFIID riid, void** ppv)
{
    return m_pSplitter->GetOwner()->QueryInterface(riid, ppv);
}

ULONG CSplitterSeeking::AddRef()
{
    return m_pSplitter->GetOwner()->AddRef();
}

ULONG CSplitterSeeking::Release()
{
    return m_pSplitter->GetOwner()->Release();
}

HRESULT CSplitterSeeking::GetCapabilities(DWORD* pCapabilities)
{
    if (!pCapabilities)
        return E_POINTER;
    *pCapabilities = kCapabilities;
    return S_OK;
}

HRESULT CSplitterSeeking::CheckCapabilities(DWORD* pCapabilities)
{
    if (!pCapabilities)
        return E_POINTER;
    const DWORD dwAsked = *pCapabilities;
    *pCapabilities &= kCapabilities;
    if (*pCapabilities == dwAsked)
        return S_OK;
    return *pCapabilities ? S_FALSE : E_FAIL;
}

HRESULT CSplitterSeeking::IsFormatSupported(const GUID* pFormat)
{
    if (!pFormat)
        return E_POINTER;
    return *pFormat == TIME_FORMAT_MEDIA_TIME || *pFormat == TIME_FORMAT_BYTE ? S_OK : S_FALSE;
}

HRESULT CSplitterSeeking::QueryPreferredFormat(GUID* pFormat)
{
    if (!pFormat)
        return E_POINTER;
    *pFormat = TIME_FORMAT_MEDIA_TIME;
    return S_OK;
}

HRESULT CSplitterSeeking::GetTimeFormat(GUID* pFormat)
{
    if (!pFormat)
        return E_POINTER;
    *pFormat = IsBytes() ? TIME_FORMAT_BYTE : TIME_FORMAT_MEDIA_TIME;
    return S_OK;
}

HRESULT CSplitterSeeking::IsUsingTimeFormat(const GUID* pFormat)
{
    if (!pFormat)
        return E_POINTER;
    GUID current;
    GetTimeFormat(&current);
    return *pFormat == current ? S_OK : S_FALSE;
}

HRESULT CSplitterSeeking::SetTimeFormat(const GUID* pFormat)
{
    if (!pFormat)
        return E_POINTER;
    if (IsFormatSupported(pFormat) != S_OK)
        return E_INVALIDARG;
    m_bBytes = *pFormat == TIME_FORMAT_BYTE;
    return S_OK;
}

HRESULT CSplitterSeeking::GetDuration(LONGLONG* pDuration)
{
    if (!pDuration)
        return E_POINTER;
    *pDuration = IsBytes() ? m_pSplitter->ByteLength() : m_pSplitter->Duration();
    return S_OK;
}

HRESULT CSplitterSeeking::GetStopPosition(LONGLONG* pStop)
{
    return GetDuration(pStop);
}

HRESULT CSplitterSeeking::GetCurrentPosition(LONGLONG* pCurrent)
{
    if (!pCurrent)
        return E_POINTER;
    *pCurrent = IsBytes() ? m_pSplitter->BytePosition() : m_pSplitter->CurrentTime();
    return S_OK;
}

HRESULT CSplitterSeeking::ConvertTimeFormat(LONGLONG* pTarget, const GUID* pTargetFormat,
                                            LONGLONG Source, const GUID* pSourceFormat)
{
    if (!pTarget)
        return E_POINTER;
    GUID current;
    GetTimeFormat(&current);
    const GUID target = pTargetFormat ? *pTargetFormat : current;
    const GUID source = pSourceFormat ? *pSourceFormat : current;
    if (target != source)
        return E_NOTIMPL;
    *pTarget = Source;
    return S_OK;
}

HRESULT CSplitterSeeking::SetPositions(LONGLONG* /*pCurrent*/, DWORD /*dwCurrentFlags*/,
                                       LONGLONG* /*pStop*/, DWORD /*dwStopFlags*/)
{
    return E_NOTIMPL;
}

HRESULT CSplitterSeeking::GetPositions(LONGLONG* pCurrent, LONGLONG* pStop)
{
    if (pCurrent)
        GetCurrentPosition(pCurrent);
    if (pStop)
        GetStopPosition(pStop);
    return S_OK;
}

HRESULT CSplitterSeeking::GetAvailable(LONGLONG* pEarliest, LONGLONG* pLatest)
{
    if (pEarliest)
        *pEarliest = 0;
    if (pLatest)
        GetDuration(pLatest);
    return S_OK;
}

HRESULT CSplitterSeeking::SetRate(double dRate)
{
    return dRate == 1.0 ? S_OK : E_NOTIMPL;
}

HRESULT CSplitterSeeking::GetRate(double* pdRate)
{
    if (!pdRate)
        return E_POINTER;
    *pdRate = 1.0;
    return S_OK;
}

HRESULT CSplitterSeeking::GetPreroll(LONGLONG* pllPreroll)
{
    if (!pllPreroll)
        return E_POINTER;
    *pllPreroll = 0;
    return S_OK;
}
