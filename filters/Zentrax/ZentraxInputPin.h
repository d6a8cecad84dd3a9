#pragma once

#include "streams.h"

class ZentraxFilter;
class ZentraxOutputPin;

// What "Audio In" and "Video In" share: streaming needs the matching output connected, and a
// flush drops what the path holds and passes on downstream.
class ZentraxInputPin : public CBaseInputPin
{
public:
    // pReceiveLock: the lock the pin's path works under.
    ZentraxInputPin(ZentraxFilter* pFilter, CCritSec* pLock, CCritSec* pReceiveLock, HRESULT* phr,
                    LPCWSTR pName);

    // VFW_E_NOT_CONNECTED while the matching output is unconnected, else the framework's.
    HRESULT CheckStreaming() override;
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

    // Buffer size of the allocator this pin was given; 0 without one.
    LONG AllocatorBufferSize();

protected:
    // Takes the sample through the framework's checks and the filter's stream result; S_OK
    // when the path may cut it (receive lock held).
    HRESULT AcceptSample(IMediaSample* pSample);

    virtual ZentraxOutputPin* MatchingOutput() const = 0;
    // Drops the path's open and finished units.
    virtual void FlushPath() = 0;
    // The path's own part at the start and the end of a flush.
    virtual void OnBeginFlush() {}
    virtual void OnEndFlush() {}

    ZentraxFilter* const m_pZentrax;
    CCritSec* const m_pReceiveLock;

private:
    bool IsPathConnected() const;
};
