#pragma once

// CPosPassThru: answers IMediaSeeking and IMediaPosition for a filter that does
// not seek itself, by forwarding every call to the pin connected to its own
// input pin (upstream). Without a connected upstream pin that seeks, the calls
// return E_NOTIMPL. It holds no lock while forwarding.

#include "Unknown.h"

#include <dshow/dshow.h>

class CPosPassThru : public CUnknown, public IMediaSeeking, public IMediaPosition
{
public:
    // pPin: the filter's input pin whose upstream peer does the seeking.
    CPosPassThru(LPCTSTR pName, LPUNKNOWN pUnk, HRESULT* phr, IPin* pPin);

    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // IMediaSeeking
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

    // IMediaPosition
    HRESULT get_Duration(REFTIME* plength) override;
    HRESULT put_CurrentPosition(REFTIME llTime) override;
    HRESULT get_CurrentPosition(REFTIME* pllTime) override;
    HRESULT get_StopTime(REFTIME* pllTime) override;
    HRESULT put_StopTime(REFTIME llTime) override;
    HRESULT get_PrerollTime(REFTIME* pllTime) override;
    HRESULT put_PrerollTime(REFTIME llTime) override;
    HRESULT put_Rate(double dRate) override;
    HRESULT get_Rate(double* pdRate) override;
    HRESULT CanSeekForward(LONG* pCanSeekForward) override;
    HRESULT CanSeekBackward(LONG* pCanSeekBackward) override;

protected:
    // The upstream peer's interface with a reference, or E_NOTIMPL.
    HRESULT GetPeerSeeking(IMediaSeeking** ppMS);
    HRESULT GetPeer(IMediaPosition** ppMP);

private:
    template <class Interface, class Call> HRESULT Forward(const IID& iid, Call call);

    IPin* const m_pPin; // the owner's pin; no reference (the owner holds it)
};

// Creates a pass-through aggregated by pAgg over pPin and returns its own
// (non-delegating) IUnknown with one reference. bRenderer is accepted for
// compatibility; renderers get the same pass-through.
HRESULT CreatePosPassThru(LPUNKNOWN pAgg, BOOL bRenderer, IPin* pPin, IUnknown** ppPassThru);
