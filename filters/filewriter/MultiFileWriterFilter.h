#pragma once

#include "MultiFileWriter.h"

#include "streams.h"

// The writer's IBaseFilter: one input pin, and state changes that open and close the
// segment files before the framework changes the state. It shares the writer's identity.
class CMultiFileWriterFilter : public CBaseFilter
{
public:
    CMultiFileWriterFilter(CMultiFileWriter* pWriter, LPUNKNOWN pUnk, CCritSec* pLock, HRESULT* phr)
        : CBaseFilter(NAME("Multi File Writer Filter"), pUnk, pLock, CLSID_LmrFileWriter, phr),
          m_pWriter(pWriter)
    {
    }

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int n) override { return n == 0 ? m_pWriter->InputPin() : nullptr; }

    HRESULT Stop() override
    {
        CAutoLock lock(m_pLock);
        m_pWriter->OnStop();
        return CBaseFilter::Stop();
    }

    HRESULT Pause() override
    {
        CAutoLock lock(m_pLock);
        m_pWriter->OnPause();
        return CBaseFilter::Pause();
    }

    HRESULT Run(REFERENCE_TIME tStart) override
    {
        CAutoLock lock(m_pLock);
        m_pWriter->OnRun();
        return CBaseFilter::Run(tStart);
    }

private:
    CMultiFileWriter* const m_pWriter;
};
