#pragma once

// The create function of every stock filter's factory template.

#include "FfmpegLog.h"

#include "streams.h"

#include <new>

template <class TFilter> CUnknown* CreateStockFilter(LPUNKNOWN pUnk, HRESULT* phr)
{
    SilenceFfmpegLog();
    TFilter* pFilter = new (std::nothrow) TFilter(pUnk, phr);
    if (!pFilter)
        *phr = E_OUTOFMEMORY;
    return pFilter;
}
