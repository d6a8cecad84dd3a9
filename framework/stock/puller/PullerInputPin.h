#pragma once

// The puller's input: connects only to an output pin that offers IAsyncReader and
// a byte stream (MEDIATYPE_Stream, any subtype). It receives no pushed samples.

#include "streams.h"

class CAsyncPullerFilter;

class CPullerInputPin : public CBasePin
{
public:
    CPullerInputPin(CAsyncPullerFilter* pFilter, CCritSec* pLock, HRESULT* phr);
    ~CPullerInputPin() override;

    HRESULT CheckMediaType(const CMediaType* pmt) override;
    HRESULT CheckConnect(IPin* pPin) override;
    HRESULT BreakConnect() override;

    // A pull pin takes no stream calls from upstream.
    HRESULT EndOfStream() override { return S_OK; }
    HRESULT BeginFlush() override { return S_OK; }
    HRESULT EndFlush() override { return S_OK; }

    IAsyncReader* Reader() const { return m_pReader; }

private:
    IAsyncReader* m_pReader = nullptr; // holds a reference while connected
};
