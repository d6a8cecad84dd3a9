#pragma once

// CBaseOutputPin: an output pin of the push model.
//
// At connection it finds the downstream IMemInputPin (CheckConnect) and
// settles an allocator (DecideAllocator): the downstream pin's own if it has
// one, else a memory allocator of its own, sized by DecideBufferSize from the
// downstream requirements. Active commits the allocator, Inactive decommits it.
// GetDeliveryBuffer blocks until a buffer is free or the allocator is
// decommitted. Deliver and the Deliver* calls run on the caller's (streaming)
// thread and take no lock.

#include "BasePin.h"

class CBaseOutputPin : public CBasePin
{
public:
    CBaseOutputPin(LPCTSTR pObjectName, CBaseFilter* pFilter, CCritSec* pLock, HRESULT* phr,
                   LPCWSTR pName);
    ~CBaseOutputPin() override;

    HRESULT CheckConnect(IPin* pPin) override;
    HRESULT CompleteConnect(IPin* pReceivePin) override;
    HRESULT BreakConnect() override;

    // Chooses and sizes the allocator shared with pPin.
    virtual HRESULT DecideAllocator(IMemInputPin* pPin, IMemAllocator** ppAlloc);
    // Sets the allocator's properties starting from the downstream request.
    virtual HRESULT DecideBufferSize(IMemAllocator* pAlloc,
                                     ALLOCATOR_PROPERTIES* ppropInputRequest) = 0;
    // Makes the pin's own allocator when the downstream pin offers none.
    virtual HRESULT InitAllocator(IMemAllocator** ppAlloc);

    // An empty sample from the allocator; blocks while none is free.
    virtual HRESULT GetDeliveryBuffer(IMediaSample** ppSample, REFERENCE_TIME* pStartTime,
                                      REFERENCE_TIME* pEndTime, DWORD dwFlags);
    // Hands a sample to the downstream pin's Receive.
    virtual HRESULT Deliver(IMediaSample* pSample);

    virtual HRESULT DeliverEndOfStream();
    virtual HRESULT DeliverBeginFlush();
    virtual HRESULT DeliverEndFlush();
    virtual HRESULT DeliverNewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate);

    HRESULT Active() override;
    HRESULT Inactive() override;

    // Output pins receive no stream calls.
    HRESULT EndOfStream() override { return E_UNEXPECTED; }
    HRESULT BeginFlush() override { return E_UNEXPECTED; }
    HRESULT EndFlush() override { return E_UNEXPECTED; }

protected:
    IMemAllocator* m_pAllocator = nullptr; // holds a reference
    IMemInputPin* m_pInputPin = nullptr;   // holds a reference
};
