#pragma once

// The common frame of the stock renderers: one input pin whose samples are
// presented at their time on the graph's reference clock.
//
// Receive runs on the upstream thread and holds it: while the filter is paused
// (the first sample waits there, as a renderer's preroll), and while running
// until the sample's start time comes on the clock. Samples without a time, or
// a filter without a clock, are presented at once. End of stream is reported
// (EC_COMPLETE) once the last sample's stop time has come.
//
// Locks: the receive lock is held for a whole Receive, waits included. State
// changes interrupt every wait (RenderPacer); Stop makes the pins inactive,
// interrupts, then takes the receive lock, so it returns as soon as the
// streaming thread has left. Pause from Stopped takes the clock the filter will
// pace by, under the receive lock; Run publishes its start time atomically.
//
// Derived renderers say what they take and present each due sample.

#include "RenderPacer.h"
#include "RendererInputPin.h"

#include "streams.h"

#include <atomic>

class CStockRendererFilter : public CBaseFilter
{
public:
    ~CStockRendererFilter() override;

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int n) override { return n == 0 ? &m_InputPin : nullptr; }

    HRESULT Stop() override;
    HRESULT Pause() override;
    HRESULT Run(REFERENCE_TIME tStart) override;

    // Called by the input pin.
    virtual HRESULT CheckInputType(const CMediaType* pmt) = 0;
    HRESULT ReceiveSample(IMediaSample* pSample, const AM_SAMPLE2_PROPERTIES& props);
    // False when the wait ended because streaming stopped.
    bool WaitForEndOfLastSample();
    // A flush begins or ends: waits end, the stream starts again.
    void OnStreamBreak();

    CRendererInputPin* InputPin() { return &m_InputPin; }

protected:
    CStockRendererFilter(LPCTSTR pName, LPUNKNOWN pUnk, REFCLSID clsid, HRESULT* phr,
                         LPCWSTR pPinName);

    // A sample whose time has come; tLate is how far past its time it is (0
    // when it has none). Called under the receive lock.
    virtual HRESULT Present(IMediaSample* pSample, const AM_SAMPLE2_PROPERTIES& props,
                            REFERENCE_TIME tLate) = 0;
    // Streaming starts (Pause from Stopped) and ends (Stop), under the receive lock.
    virtual HRESULT StartStreaming() { return S_OK; }
    virtual void StopStreaming() {}

    // The reference time of stream time tStream, and the clock's time now.
    REFERENCE_TIME ReferenceTimeOf(REFERENCE_TIME tStream) const { return m_tBase + tStream; }
    bool ClockTime(REFERENCE_TIME* pNow);
    // Holds until stream time tStream while running, or while paused; false
    // when streaming stops or flushes first.
    bool WaitForStreamTime(REFERENCE_TIME tStream);
    bool IsStreamInterrupted() { return IsStopped() || m_InputPin.IsFlushing(); }

    CCritSec m_csFilter;
    CCritSec m_csReceive;
    RenderPacer m_Pacer;

private:
    void ReleaseStreamClock();

    CRendererInputPin m_InputPin;
    IReferenceClock* m_pStreamClock = nullptr; // receive lock; one reference
    std::atomic<REFERENCE_TIME> m_tBase{0};
    bool m_bHasLastStop = false; // receive lock
    REFERENCE_TIME m_tLastStop = 0;
};
