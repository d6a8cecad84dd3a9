#pragma once

// CMemAllocator: an allocator of main-memory buffers.
//
// The first Commit (and the first after the properties changed) allocates all
// buffers in one block and makes one sample per buffer; later Commits reuse
// them, so streaming never allocates. Each buffer start is aligned to cbAlign
// and preceded by cbPrefix bytes of its own. The memory is freed when the
// allocator is destroyed or re-sized. Commit refuses (E_OUTOFMEMORY) more than
// 1 GiB in all.

#include "BaseAllocator.h"

#include <cstddef>

class CMemAllocator : public CBaseAllocator
{
public:
    CMemAllocator(LPCTSTR pName, LPUNKNOWN pUnk, HRESULT* phr);
    ~CMemAllocator() override;

    static CUnknown* CreateInstance(LPUNKNOWN pUnk, HRESULT* phr);

protected:
    HRESULT Alloc() override;

private:
    // Deletes the samples and the block (all samples must be free).
    void ReallyFree();

    BYTE* m_pBuffer = nullptr; // the block
    CMediaSample** m_ppSamples = nullptr;
};

// Creates a memory allocator with one reference.
HRESULT CreateMemoryAllocator(IMemAllocator** ppAllocator);
