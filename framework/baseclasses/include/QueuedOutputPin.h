#pragma once

#include "BaseOutputPin.h"
#include "CritSec.h"
#include "OutputQueue.h"

// An output pin that delivers through a COutputQueue and passes seeking requests upstream.
//
// The queue exists while the pin is active and connected; without it samples are dropped
// and stream calls other than end of stream are ignored (all report S_OK). End of stream
// without a queue goes straight to the connected pin, so a downstream filter still hears
// that the stream ended when the filter is paused with no input connected.
//
// IMediaPosition and IMediaSeeking are answered by a CPosPassThru, made on first request,
// over the pin that SeekingUpstreamPin names.
//
// Threading: Active and Inactive run under the pin lock on the application thread; the
// Deliver calls run on the filter's streaming threads.
class CQueuedOutputPin : public CBaseOutputPin
{
public:
    // bForceThread: the queue always delivers on a thread of its own; otherwise it runs
    // one only when the downstream pin says its Receive may block.
    CQueuedOutputPin(LPCTSTR pObjectName, CBaseFilter* pFilter, CCritSec* pLock, HRESULT* phr,
                     LPCWSTR pName, BOOL bForceThread);
    ~CQueuedOutputPin() override;

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    HRESULT Active() override;
    HRESULT Inactive() override;

    // The queue takes over one reference; the caller keeps its own.
    HRESULT Deliver(IMediaSample* pSample) override;
    HRESULT DeliverEndOfStream() override;
    HRESULT DeliverBeginFlush() override;
    HRESULT DeliverEndFlush() override;
    HRESULT DeliverNewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) override;

    // Quality messages are ignored.
    HRESULT Notify(IBaseFilter* pSender, Quality q) override;

protected:
    // The pin whose upstream filter answers seeking requests.
    virtual IPin* SeekingUpstreamPin() const = 0;

private:
    HRESULT CreatePositionPassThru();

    const BOOL m_bForceThread;
    COutputQueue* m_pOutputQueue = nullptr;
    IUnknown* m_pPosition = nullptr;
};
