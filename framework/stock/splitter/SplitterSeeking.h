#pragma once

// The splitter's IMediaSeeking, answered by the filter and by its outputs: the
// duration and the current position, for progress. Two time formats: media
// time (100-ns units; the position is where the slowest output has delivered to)
// and bytes (the position is how far the source has been read). Positions cannot
// be set; the rate is 1.

#include "streams.h"

#include <atomic>

class CMpegSplitterFilter;

class CSplitterSeeking : public IMediaSeeking
{
public:
    explicit CSplitterSeeking(CMpegSplitterFilter* pSplitter) : m_pSplitter(pSplitter) {}
    virtual ~CSplitterSeeking() = default;
    CSplitterSeeking(const CSplitterSeeking&) = delete;
    CSplitterSeeking& operator=(const CSplitterSeeking&) = delete;

    // IUnknown: the filter's identity.
    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT GetCapabilities(DWORD* pCapabilities) override;
    HRESULT CheckCapabilities(DWORD* pCapabilities) override;
    HRESULT IsFormatSupported(const GUID* pFormat) override;
    HRESULT QueryPreferredFormat(GUID* pFormat) override;
    HRESULT GetTimeFormat(GUID* pFormat) override;
    HRESULT IsUsingTimeFormat(const GUID* pFormat) override;
    HRESULT SetTimeFormat(const GUID* pFormat) override;
    HRESULT GetDuration(LONGLONG* pDuration) override;
    HRESULT GetStopPosition(LONGLONG* pStop) override;
    HRESULT GetCurrentPosition(LONGLONG* pCurrent) override;
    HRESULT ConvertTimeFormat(LONGLONG* pTarget, const GUID* pTargetFormat, LONGLONG Source,
                              const GUID* pSourceFormat) override;
    HRESULT SetPositions(LONGLONG* pCurrent, DWORD dwCurrentFlags, LONGLONG* pStop,
                         DWORD dwStopFlags) override;
    HRESULT GetPositions(LONGLONG* pCurrent, LONGLONG* pStop) override;
    HRESULT GetAvailable(LONGLONG* pEarliest, LONGLONG* pLatest) override;
    HRESULT SetRate(double dRate) override;
    HRESULT GetRate(double* pdRate) override;
    HRESULT GetPreroll(LONGLONG* pllPreroll) override;

private:
    static constexpr DWORD kCapabilities =
        AM_SEEKING_CanGetCurrentPos | AM_SEEKING_CanGetStopPos | AM_SEEKING_CanGetDuration;

    bool IsBytes() const { return m_bBytes; }

    CMpegSplitterFilter* const m_pSplitter;
    std::atomic<bool> m_bBytes{false}; // else media time
};
