#pragma once

#include "UnitStore.h"
#include "ostrelmuxer/InternQueue.h"

#include "streams.h"

class AudioGate;

// The unit store of one path over its output pin: fresh units are samples from the pin's
// allocator, carrying the input sample's flags and the unit's times; the open unit waits in
// the path's open queue, finished ones in its ready queue. Before it asks for another buffer
// it delivers the finished units, so that a long input never waits for buffers that it holds
// itself. A delivery that fails, or a buffer that cannot be had, ends the filter's stream
// (failure); once it has ended, finished units are dropped.
class OutputSampleStore : public IUnitStore
{
public:
    // pInput: the sample being received and its properties. cbMinBuffer: the least a fresh
    // buffer must hold. pVideoReady: the gate that a finished video unit opens, or null.
    OutputSampleStore(CBaseOutputPin& output, InternQueue& openQueue, InternQueue& readyQueue,
                      CStreamFailure& failure, IMediaSample* pInput,
                      const AM_SAMPLE2_PROPERTIES& inputProps, std::size_t cbMinBuffer,
                      AudioGate* pVideoReady = nullptr);
    ~OutputSampleStore() override;
    OutputSampleStore(const OutputSampleStore&) = delete;
    OutputSampleStore& operator=(const OutputSampleStore&) = delete;

    // Why the last TakeFresh failed; S_OK otherwise.
    HRESULT Result() const { return m_hr; }
    // Delivers the finished units on the output pin, oldest first; S_OK while the stream goes
    // on, else the result that ended it.
    HRESULT DeliverReady();

    bool TakeOpen(UnitBuffer& unit) override;
    bool TakeFresh(UnitBuffer& unit, const UnitTimes& times) override;
    void KeepOpen(const UnitBuffer& unit) override;
    void SetTimes(const UnitTimes* pTimes) override;
    void Complete(const UnitBuffer& unit) override;
    void Discard() override;

private:
    HRESULT GetBuffer(IMediaSample** ppSample);
    // Gives a fresh sample the input's flags and the unit's times.
    void CopyProperties(IMediaSample* pSample, const UnitTimes& times) const;
    void CopyPropertiesWithoutSample2(IMediaSample* pSample, const UnitTimes& times) const;
    bool MakeCurrent(IMediaSample* pSample, UnitBuffer& unit);
    // Hands the current sample, with cbActual bytes, to a queue.
    void PutCurrent(InternQueue& queue, std::size_t cbActual);

    CBaseOutputPin& m_output;
    InternQueue& m_openQueue;
    InternQueue& m_readyQueue;
    CStreamFailure& m_failure;
    IMediaSample* const m_pInput;
    const AM_SAMPLE2_PROPERTIES& m_inputProps;
    const std::size_t m_cbMinBuffer;
    AudioGate* const m_pVideoReady;
    IMediaSample* m_pCurrent = nullptr;
    HRESULT m_hr = S_OK;
};
