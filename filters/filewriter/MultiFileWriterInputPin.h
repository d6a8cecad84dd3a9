#pragma once

#include "MultiFileWriter.h"

#include "streams.h"

// The writer's input pin "Input": takes any media type and hands each sample's bytes to
// the writer under the receive lock. A failed write is returned, which ends the upstream
// filter's delivery, and the stream it cut short never reports completion.
class CMultiFileWriterInputPin : public CRenderedInputPin
{
public:
    CMultiFileWriterInputPin(CMultiFileWriter* pWriter, CBaseFilter* pFilter, CCritSec* pLock,
                             CCritSec* pReceiveLock, HRESULT* phr)
        : CRenderedInputPin(NAME("Multi File Writer Input Pin"), pFilter, pLock, phr, L"Input"),
          m_pWriter(pWriter), m_pReceiveLock(pReceiveLock)
    {
    }

    HRESULT CheckMediaType(const CMediaType*) override { return S_OK; }
    HRESULT ReceiveCanBlock() override { return S_FALSE; }

    HRESULT Receive(IMediaSample* pSample) override
    {
        if (!pSample)
            return E_POINTER;
        CAutoLock lock(m_pReceiveLock);
        BYTE* pbData = nullptr;
        const HRESULT hr = pSample->GetPointer(&pbData);
        if (FAILED(hr))
            return hr;
        return m_pWriter->Write(pbData, pSample->GetActualDataLength());
    }

    HRESULT EndOfStream() override
    {
        CAutoLock lock(m_pReceiveLock);
        const HRESULT hr = m_pWriter->StreamResult();
        return FAILED(hr) ? hr : CRenderedInputPin::EndOfStream();
    }

    HRESULT NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) override { return S_OK; }

private:
    CMultiFileWriter* const m_pWriter;
    CCritSec* const m_pReceiveLock;
};
