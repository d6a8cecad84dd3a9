#pragma once

// Pins of a filter whose streaming is not written yet: they stand with their
// names and directions, accept no connection and move no data. Each filter
// replaces them with its own pins.

#include "streams.h"

class CPlaceholderInputPin : public CBaseInputPin
{
public:
    CPlaceholderInputPin(CBaseFilter* pFilter, CCritSec* pLock, HRESULT* phr, LPCWSTR pName)
        : CBaseInputPin(NAME("Placeholder input"), pFilter, pLock, phr, pName)
    {
    }

    HRESULT CheckMediaType(const CMediaType*) override { return S_FALSE; }
};

class CPlaceholderOutputPin : public CBaseOutputPin
{
public:
    CPlaceholderOutputPin(CBaseFilter* pFilter, CCritSec* pLock, HRESULT* phr, LPCWSTR pName)
        : CBaseOutputPin(NAME("Placeholder output"), pFilter, pLock, phr, pName)
    {
    }

    HRESULT CheckMediaType(const CMediaType*) override { return S_FALSE; }
    HRESULT DecideBufferSize(IMemAllocator*, ALLOCATOR_PROPERTIES*) override { return E_NOTIMPL; }
};
