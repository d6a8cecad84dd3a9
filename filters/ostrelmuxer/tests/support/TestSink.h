#pragma once

#include "streams.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

// A sink for tests and benchmarks: one input pin that takes the C3 stream type and keeps
// what arrives (or only counts the bytes), with end-of-stream and flush counts.
class TestSink : public CBaseFilter
{
public:
    struct Options
    {
        bool bReceiveCanBlock = false; // S_OK makes the muxer's output queue use a thread
        bool bKeepBytes = true;
        // Past this many samples every one is refused with hrFailure, as a writer on a full
        // disk refuses them; the first refusal is reported to the graph (EC_ERRORABORT).
        std::size_t nSamplesBeforeFailure = SIZE_MAX;
        HRESULT hrFailure = E_FAIL;
    };

    struct Received
    {
        std::vector<BYTE> bytes; // all samples, in order
        std::vector<LONG> sampleLengths;
        std::vector<int> formatBytes; // format byte of each sample's type, -1 if none
        int64_t cbTotal = 0;
        // For each end of stream, the number of samples kept before it arrived.
        std::vector<std::size_t> samplesBeforeEndOfStream;
        int nRefused = 0; // samples refused with Options::hrFailure
        int nBeginFlush = 0;
        int nEndFlush = 0;
    };

    TestSink(Options options, HRESULT* phr);
    ~TestSink() override;

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int n) override;
    IPin* InputPin();

    Received Snapshot() const;
    // Waits until at least n end-of-stream calls arrived; false if none came in time.
    bool WaitForEndOfStream(std::size_t n) const;

private:
    class Pin;
    // The sample's refusal, or S_OK when it is kept.
    HRESULT Refusal();
    void Record(IMediaSample* pSample);
    void CountEndOfStream();
    void CountFlush(bool bBegin);

    CCritSec m_csFilter;
    Options m_options;
    Pin* m_pPin = nullptr;
    mutable std::mutex m_lock;
    mutable std::condition_variable m_changed;
    Received m_received;
    std::size_t m_nAccepted = 0;
};
