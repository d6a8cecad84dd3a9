#pragma once

// The IMediaSeeking and IMediaPosition answer of an output pin whose filter does
// not seek itself: a pass-through object (CPosPassThru) over the filter's input
// pin, made on the first request and kept until the pin goes away.

#include "streams.h"

#include <mutex>

class SeekingPassThrough
{
public:
    // pOwner: the pin's IUnknown that the pass-through delegates to; pInputPin:
    // the input pin whose upstream peer does the seeking.
    SeekingPassThrough(LPUNKNOWN pOwner, IPin* pInputPin) : m_pOwner(pOwner), m_pInputPin(pInputPin)
    {
    }
    ~SeekingPassThrough();
    SeekingPassThrough(const SeekingPassThrough&) = delete;
    SeekingPassThrough& operator=(const SeekingPassThrough&) = delete;

    static bool IsSeekingInterface(REFIID riid)
    {
        return riid == IID_IMediaSeeking || riid == IID_IMediaPosition;
    }

    // Answers IID_IMediaSeeking or IID_IMediaPosition.
    HRESULT QueryInterface(REFIID riid, void** ppv);

private:
    LPUNKNOWN const m_pOwner;
    IPin* const m_pInputPin;
    std::mutex m_mutex;
    IUnknown* m_pPassThru = nullptr; // the pass-through's own IUnknown, one reference
};
