#include "MediaType.h"

#include <com/TaskMem.h>

#include <cstring>

CMediaType::CMediaType() : AM_MEDIA_TYPE{}
{
    InitMediaType();
}

CMediaType::CMediaType(const GUID* majortypeIn) : CMediaType()
{
    majortype = *majortypeIn;
}

CMediaType::CMediaType(const AM_MEDIA_TYPE& rmt, HRESULT* phr) : CMediaType()
{
    const HRESULT hr = Set(rmt);
    if (phr && FAILED(hr))
        *phr = hr;
}

CMediaType::CMediaType(const CMediaType& rmt, HRESULT* phr)
    : CMediaType(static_cast<const AM_MEDIA_TYPE&>(rmt), phr)
{
}

CMediaType::~CMediaType()
{
    FreeMediaType(*this);
}

CMediaType& CMediaType::operator=(const CMediaType& rmt)
{
    Set(rmt);
    return *this;
}

CMediaType& CMediaType::operator=(const AM_MEDIA_TYPE& rmt)
{
    Set(rmt);
    return *this;
}

BOOL CMediaType::operator==(const CMediaType& rmt) const
{
    return majortype == rmt.majortype && subtype == rmt.subtype && formattype == rmt.formattype &&
           cbFormat == rmt.cbFormat &&
           (cbFormat == 0 || std::memcmp(pbFormat, rmt.pbFormat, cbFormat) == 0);
}

HRESULT CMediaType::Set(const CMediaType& rmt)
{
    return Set(static_cast<const AM_MEDIA_TYPE&>(rmt));
}

HRESULT CMediaType::Set(const AM_MEDIA_TYPE& rmt)
{
    if (&rmt == this)
        return S_OK;
    FreeMediaType(*this);
    const HRESULT hr = CopyMediaType(this, &rmt);
    if (FAILED(hr))
    {
        InitMediaType();
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

void CMediaType::SetSampleSize(ULONG sz)
{
    if (sz == 0)
    {
        SetVariableSize();
        return;
    }
    bFixedSizeSamples = TRUE;
    lSampleSize = sz;
}

void CMediaType::SetVariableSize()
{
    bFixedSizeSamples = FALSE;
}

BOOL CMediaType::SetFormat(const BYTE* pFormat, ULONG length)
{
    if (length && !pFormat)
        return FALSE;
    if (!AllocFormatBuffer(length) && length)
        return FALSE;
    if (length)
        std::memcpy(pbFormat, pFormat, length);
    return TRUE;
}

void CMediaType::ResetFormatBuffer()
{
    if (pbFormat)
        CoTaskMemFree(pbFormat);
    pbFormat = nullptr;
    cbFormat = 0;
}

BYTE* CMediaType::AllocFormatBuffer(ULONG length)
{
    if (length == 0)
    {
        ResetFormatBuffer();
        return nullptr;
    }
    if (cbFormat == length)
        return pbFormat;
    BYTE* pNew = static_cast<BYTE*>(CoTaskMemAlloc(length));
    if (!pNew)
        return nullptr;
    std::memset(pNew, 0, length);
    ResetFormatBuffer();
    pbFormat = pNew;
    cbFormat = length;
    return pbFormat;
}

BYTE* CMediaType::ReallocFormatBuffer(ULONG length)
{
    if (length == 0 || cbFormat == length)
        return AllocFormatBuffer(length);
    BYTE* pNew = static_cast<BYTE*>(CoTaskMemAlloc(length));
    if (!pNew)
        return nullptr;
    std::memset(pNew, 0, length);
    if (pbFormat)
        std::memcpy(pNew, pbFormat, cbFormat < length ? cbFormat : length);
    ResetFormatBuffer();
    pbFormat = pNew;
    cbFormat = length;
    return pbFormat;
}

void CMediaType::InitMediaType()
{
    ResetFormatBuffer();
    if (pUnk)
        pUnk->Release();
    pUnk = nullptr;
    majortype = GUID_NULL;
    subtype = GUID_NULL;
    formattype = GUID_NULL;
    bFixedSizeSamples = TRUE;
    bTemporalCompression = FALSE;
    lSampleSize = 1;
}

BOOL CMediaType::IsPartiallySpecified() const
{
    return majortype == GUID_NULL || formattype == GUID_NULL;
}

BOOL CMediaType::MatchesPartial(const CMediaType* ppartial) const
{
    if (ppartial->majortype != GUID_NULL && ppartial->majortype != majortype)
        return FALSE;
    if (ppartial->subtype != GUID_NULL && ppartial->subtype != subtype)
        return FALSE;
    if (ppartial->formattype == GUID_NULL)
        return TRUE;
    if (ppartial->formattype != formattype || ppartial->cbFormat != cbFormat)
        return FALSE;
    return cbFormat == 0 || std::memcmp(pbFormat, ppartial->pbFormat, cbFormat) == 0;
}
