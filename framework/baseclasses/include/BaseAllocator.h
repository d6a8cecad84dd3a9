#pragma once

// CBaseAllocator: the free list, commit state and blocking GetBuffer of an
// allocator (IMemAllocator); derived allocators provide the memory (Alloc).
//
// Threads: SetProperties, Commit and Decommit come from pins on the application
// thread; GetBuffer from a streaming thread; a sample returns (ReleaseBuffer)
// on whatever thread drops its last reference. The allocator's own lock guards
// its state and is never held while calling out.
//
// GetBuffer waits until a sample is free or the allocator is decommitted
// (VFW_E_NOT_COMMITTED). Decommit wakes every waiting thread. A sample handed out
// holds a reference on the allocator, so the allocator outlives its samples.
// SetProperties fails while committed or while samples are out.

#include "Unknown.h"

#include <dshow/dshow.h>

#include <condition_variable>
#include <mutex>

class CMediaSample;

class CBaseAllocator : public CUnknown, public IMemAllocator
{
public:
    CBaseAllocator(LPCTSTR pName, LPUNKNOWN pUnk, HRESULT* phr);
    ~CBaseAllocator() override;

    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT SetProperties(ALLOCATOR_PROPERTIES* pRequest, ALLOCATOR_PROPERTIES* pActual) override;
    HRESULT GetProperties(ALLOCATOR_PROPERTIES* pProps) override;
    HRESULT Commit() override;
    HRESULT Decommit() override;
    HRESULT GetBuffer(IMediaSample** ppBuffer, REFERENCE_TIME* pStartTime, REFERENCE_TIME* pEndTime,
                      DWORD dwFlags) override;
    HRESULT ReleaseBuffer(IMediaSample* pBuffer) override;

protected:
    // Makes m_lCount samples of m_lSize bytes (called by Commit, lock held).
    virtual HRESULT Alloc() = 0;
    // Called, lock held, once a decommit is complete (all samples are back).
    virtual void Free() {}

    // Free list helpers for derived allocators (lock held).
    void AddFree(CMediaSample* pSample);
    CMediaSample* RemoveFree();
    bool AllSamplesFree() const { return m_lFree == m_lAllocated; }

    std::mutex m_csAllocator;
    LONG m_lCount = 0;       // buffers asked for
    LONG m_lSize = 0;        // bytes per buffer
    LONG m_lAlignment = 1;   // alignment of each buffer start
    LONG m_lPrefix = 0;      // bytes before each buffer
    LONG m_lAllocated = 0;   // samples that exist
    LONG m_lFree = 0;        // samples on the free list
    BOOL m_bChanged = FALSE; // properties changed since the last Alloc
    BOOL m_bCommitted = FALSE;
    BOOL m_bDecommitInProgress = FALSE;

private:
    std::condition_variable m_evFree; // a sample came back, or decommit
    CMediaSample* m_pFreeList = nullptr;
};
