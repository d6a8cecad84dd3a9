#include "InternQueue.h"

namespace
{
constexpr int kCachedNodes = 3;
}

InternQueue::InternQueue() : m_list(nullptr, kCachedNodes)
{
}

InternQueue::~InternQueue()
{
    Flush();
}

HRESULT InternQueue::Put(IMediaSample* pSample)
{
    if (!pSample)
        return E_POINTER;
    POSITION added;
    {
        CAutoLock lock(&m_lock);
        added = m_list.AddTail(pSample);
    }
    if (added)
        return S_OK;
    pSample->Release();
    return E_OUTOFMEMORY;
}

IMediaSample* InternQueue::Get()
{
    CAutoLock lock(&m_lock);
    return m_list.RemoveHead();
}

// The samples are released outside the lock: a release may hand the buffer back to an
// allocator, which wakes threads that must not wait on this queue.
void InternQueue::Flush()
{
    while (IMediaSample* pSample = Get())
        pSample->Release();
}
