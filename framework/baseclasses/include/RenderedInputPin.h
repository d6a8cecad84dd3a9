#pragma once

// CRenderedInputPin: the input pin of a renderer. It reports EC_COMPLETE to the
// graph once per stream and run: at end of stream while the filter runs, or
// when Run comes after end of stream. Flushing and activation start a new stream.
//
// End of stream (streaming thread) and Run (application thread) decide under a
// small lock of the pin's own whether to report, so a Run that races with the
// end of the stream reports exactly once. The report itself is made outside it.

#include "BaseInputPin.h"

#include <mutex>

class CRenderedInputPin : public CBaseInputPin
{
public:
    CRenderedInputPin(LPCTSTR pObjectName, CBaseFilter* pFilter, CCritSec* pLock, HRESULT* phr,
                      LPCWSTR pName);

    HRESULT EndOfStream() override;
    HRESULT EndFlush() override;
    HRESULT Active() override;
    HRESULT Run(REFERENCE_TIME tStart) override;

protected:
    // Reports EC_COMPLETE if the stream has ended, the filter runs and this run
    // has not reported yet.
    void DoCompleteHandling();
    // Forgets the end of stream (a new stream starts).
    void ResetEndOfStream();

    BOOL IsAtEndOfStream();

private:
    static constexpr LONG kNotNotified = -1;

    std::mutex m_csComplete;
    BOOL m_bAtEndOfStream = FALSE;      // guarded by m_csComplete
    LONG m_lNotifiedRun = kNotNotified; // run count of the last report; guarded
};
