#pragma once

#include "streams.h"

// The "Lumaro File Writer" sink filter. Its input pin "Input" stands; writing
// segment files is not wired in yet, so every sample is dropped.
class CMultiFileWriter : public CBaseFilter
{
public:
    static CUnknown* CreateInstance(LPUNKNOWN pUnk, HRESULT* phr);

    CMultiFileWriter(LPUNKNOWN pUnk, HRESULT* phr);
    ~CMultiFileWriter() override;

    int GetPinCount() override { return m_pPin ? 1 : 0; }
    CBasePin* GetPin(int n) override;

private:
    CCritSec m_Lock;
    CRenderedInputPin* m_pPin = nullptr;
};
