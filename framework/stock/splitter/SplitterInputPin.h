#pragma once

// The splitter's input: a pull pin. It connects only to an output pin that
// offers IAsyncReader and a byte stream (MEDIATYPE_Stream: an MPEG program
// stream, an MPEG-1 system stream, or a stream of unknown subtype). Completing
// the connection opens the source and creates the splitter's outputs;
// breaking it closes the source again. The pin receives no pushed samples.

#include "streams.h"

class CMpegSplitterFilter;

class CSplitterInputPin : public CBasePin
{
public:
    CSplitterInputPin(CMpegSplitterFilter* pSplitter, CCritSec* pLock, HRESULT* phr);
    ~CSplitterInputPin() override;

    HRESULT CheckMediaType(const CMediaType* pmt) override;
    HRESULT CheckConnect(IPin* pPin) override;
    HRESULT CompleteConnect(IPin* pReceivePin) override;
    HRESULT BreakConnect() override;

    // A pull pin takes no stream calls from upstream.
    HRESULT EndOfStream() override { return S_OK; }
    HRESULT BeginFlush() override { return S_OK; }
    HRESULT EndFlush() override { return S_OK; }

private:
    CMpegSplitterFilter* const m_pSplitter;
    IAsyncReader* m_pReader = nullptr; // holds a reference while connected
};
