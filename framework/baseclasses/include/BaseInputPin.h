#pragma once

// CBaseInputPin: an input pin of the push model (IMemInputPin).
//
// Receive, ReceiveMultiple, EndOfStream and NewSegment come on the upstream
// filter's streaming thread and take no filter lock; BeginFlush and EndFlush
// take the pin lock. Receive checks the streaming state (CheckStreaming) and
// a media type change carried by the sample; derived pins call it first and
// process the sample when it returns S_OK.
//
// Inactive (filter Stop) decommits the allocator the pin was given, which
// releases an upstream thread waiting for a buffer from it.

#include "BasePin.h"

#include <atomic>

class CBaseInputPin : public CBasePin, public IMemInputPin
{
public:
    CBaseInputPin(LPCTSTR pObjectName, CBaseFilter* pFilter, CCritSec* pLock, HRESULT* phr,
                  LPCWSTR pName);
    ~CBaseInputPin() override;

    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // IMemInputPin
    // Gives the pin's allocator, creating a memory allocator the first time.
    HRESULT GetAllocator(IMemAllocator** ppAllocator) override;
    // Takes the allocator the upstream pin chose.
    HRESULT NotifyAllocator(IMemAllocator* pAllocator, BOOL bReadOnly) override;
    HRESULT GetAllocatorRequirements(ALLOCATOR_PROPERTIES* pProps) override;
    HRESULT Receive(IMediaSample* pSample) override;
    HRESULT ReceiveMultiple(IMediaSample** pSamples, LONG nSamples,
                            LONG* nSamplesProcessed) override;
    // S_OK when any downstream pin of the filter may block (or the filter has
    // no output pins), else S_FALSE.
    HRESULT ReceiveCanBlock() override;

    // IPin flushing: while flushing, Receive answers S_FALSE.
    HRESULT BeginFlush() override;
    HRESULT EndFlush() override;

    // S_OK when a sample may be processed; S_FALSE while flushing;
    // VFW_E_WRONG_STATE when stopped; VFW_E_RUNTIME_ERROR after a run-time error.
    virtual HRESULT CheckStreaming();

    HRESULT BreakConnect() override;
    HRESULT Inactive() override;

    BOOL IsReadOnly() const { return m_bReadOnly; }
    BOOL IsFlushing() const { return m_bFlushing; }
    // Properties of the sample being received (valid during Receive).
    AM_SAMPLE2_PROPERTIES* SampleProps() { return &m_SampleProps; }

protected:
    IMemAllocator* m_pAllocator = nullptr; // holds a reference
    BOOL m_bReadOnly = FALSE;
    std::atomic<BOOL> m_bFlushing{FALSE};
    AM_SAMPLE2_PROPERTIES m_SampleProps{};

private:
    CMediaType m_mtReceived; // a changed type read from a sample without IMediaSample2

    // Fills m_SampleProps from the sample.
    HRESULT ReadSampleProperties(IMediaSample* pSample);
};
