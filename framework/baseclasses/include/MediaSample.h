#pragma once

// CMediaSample: a buffer of an allocator with its properties (IMediaSample2).
//
// The allocator makes its samples once, when it commits, and hands them out
// with one reference. When the last reference goes, the sample forgets its
// per-use properties (times, flags, media type) and returns to its allocator.
// A sample is used by one thread at a time, its holder; only the reference
// count is atomic.

#include "BaseTypes.h"

#include <dshow/dshow.h>

#include <atomic>

class CBaseAllocator;

class CMediaSample : public IMediaSample2
{
public:
    CMediaSample(LPCTSTR pName, CBaseAllocator* pAllocator, HRESULT* phr, BYTE* pBuffer = nullptr,
                 LONG length = 0);
    virtual ~CMediaSample();
    CMediaSample(const CMediaSample&) = delete;
    CMediaSample& operator=(const CMediaSample&) = delete;

    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override;
    // The last Release returns the sample to its allocator.
    ULONG Release() override;

    // Points the sample at a buffer of length bytes (its actual length too).
    HRESULT SetPointer(BYTE* pBuffer, LONG cBytes);

    HRESULT GetPointer(BYTE** ppBuffer) override;
    LONG GetSize() override;
    HRESULT GetTime(REFERENCE_TIME* pTimeStart, REFERENCE_TIME* pTimeEnd) override;
    HRESULT SetTime(REFERENCE_TIME* pTimeStart, REFERENCE_TIME* pTimeEnd) override;
    HRESULT IsSyncPoint() override;
    HRESULT SetSyncPoint(BOOL bIsSyncPoint) override;
    HRESULT IsPreroll() override;
    HRESULT SetPreroll(BOOL bIsPreroll) override;
    LONG GetActualDataLength() override;
    HRESULT SetActualDataLength(LONG length) override;
    HRESULT GetMediaType(AM_MEDIA_TYPE** ppMediaType) override;
    HRESULT SetMediaType(AM_MEDIA_TYPE* pMediaType) override;
    HRESULT IsDiscontinuity() override;
    HRESULT SetDiscontinuity(BOOL bDiscontinuity) override;
    HRESULT GetMediaTime(LONGLONG* pTimeStart, LONGLONG* pTimeEnd) override;
    HRESULT SetMediaTime(LONGLONG* pTimeStart, LONGLONG* pTimeEnd) override;

    // IMediaSample2: the leading cbProperties bytes of AM_SAMPLE2_PROPERTIES.
    // The media type pointer given out stays the sample's.
    HRESULT GetProperties(DWORD cbProperties, BYTE* pbProperties) override;
    // Buffer pointer and size cannot change; the actual length must fit.
    HRESULT SetProperties(DWORD cbProperties, const BYTE* pbProperties) override;

protected:
    friend class CBaseAllocator;

    // Back to a fresh sample, before it returns to the free list.
    void ResetProperties();
    HRESULT SetMediaTypeCopy(const AM_MEDIA_TYPE* pMediaType);
    void SetFlag(DWORD dwFlag, BOOL bSet);
    bool HasFlag(DWORD dwFlag) const { return (m_dwFlags & dwFlag) != 0; }

    DWORD m_dwFlags = 0; // AM_SAMPLE_* flags
    DWORD m_dwTypeSpecificFlags = 0;
    BYTE* m_pBuffer;
    LONG m_lActual;
    LONG m_cbBuffer;
    CBaseAllocator* const m_pAllocator;
    CMediaSample* m_pNext = nullptr; // free list link, guarded by the allocator
    REFERENCE_TIME m_Start = 0;
    REFERENCE_TIME m_End = 0;
    LONGLONG m_MediaStart = 0;
    LONGLONG m_MediaEnd = 0;
    bool m_bMediaTimeValid = false;
    AM_MEDIA_TYPE* m_pMediaType = nullptr; // task memory, owned
    DWORD m_dwStreamId = AM_STREAM_MEDIA;
    std::atomic<LONG> m_cRef{0};
};
