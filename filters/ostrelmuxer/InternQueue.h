#pragma once

#include "CritSec.h"
#include "GenericList.h"
#include "dshow/Samples.h"

// A locked first-in-first-out queue of media samples. The queue owns the references it
// holds: Put takes over the caller's reference, Get hands it back, Flush and the
// destructor release what is left. Its list keeps a cache of nodes, so a queue that stays
// within the length it has had before never allocates.
class InternQueue
{
public:
    InternQueue();
    virtual ~InternQueue();
    InternQueue(const InternQueue&) = delete;
    InternQueue& operator=(const InternQueue&) = delete;

    // Appends the sample at the tail. When no list node can be had the sample is released
    // and E_OUTOFMEMORY returned, so a reference is never lost.
    HRESULT Put(IMediaSample* pSample);
    // Removes the oldest sample and hands over its reference; null when empty.
    IMediaSample* Get();
    // Releases every queued sample.
    void Flush();

private:
    CCritSec m_lock;
    CGenericList<IMediaSample> m_list;
};
