#pragma once

// CAsyncReader: a pull-model source filter over a CAsyncStream, with one output
// pin "Output" that offers one media type (m_mt, set by the derived filter).
// The filter's class identifier is CLSID_AsyncReader.

#include "AsyncIo.h"
#include "AsyncOutputPin.h"
#include "BaseFilter.h"

class CAsyncReader : public CBaseFilter
{
public:
    CAsyncReader(LPCTSTR pName, LPUNKNOWN pUnk, CAsyncStream* pStream, HRESULT* phr);
    ~CAsyncReader() override;

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int n) override { return n == 0 ? &m_OutputPin : nullptr; }

    // The media type the output pin offers.
    const CMediaType* LoadType() const { return &m_mt; }

protected:
    CCritSec m_csFilter;
    CAsyncIo m_Io;
    CAsyncOutputPin m_OutputPin;
    CMediaType m_mt;
};
