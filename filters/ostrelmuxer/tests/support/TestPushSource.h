#pragma once

#include "streams.h"

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

// A push source for tests and benchmarks: one output pin offering one media type, and a
// thread that delivers a list of payloads, then end of stream. It stands in for an
// upstream filter's streaming thread.
class TestPushSource : public CBaseFilter
{
public:
    struct Options
    {
        CMediaType type;
        std::vector<std::vector<BYTE>> payloads;
        int nRounds = 1;              // the list is delivered this many times
        unsigned nMaxDelayMicros = 0; // random pause before each delivery, up to this
        unsigned nSeed = 1;
        bool bEndOfStream = true;
        // Fill one buffer per payload once and deliver those same samples every round,
        // instead of filling a buffer for each delivery.
        bool bPrebuilt = false;
        // Stop delivering after the first result that is not S_OK.
        bool bStopOnRefusal = true;
    };

    TestPushSource(Options options, HRESULT* phr);
    ~TestPushSource() override;

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int n) override;
    // Stops the filter, then waits for the pushing thread to end.
    HRESULT Stop() override;

    void StartPushing();
    void Join();
    IPin* OutputPin();

    // Deliveries begun so far (counted as each Deliver call begins).
    int DeliveriesBegun() const { return m_nBegun; }
    std::vector<HRESULT> Results() const;
    const Options& GetOptions() const { return m_options; }

private:
    class Pin;

    void Push();
    HRESULT DeliverOne(IMediaSample* pSample);
    HRESULT FillSample(const std::vector<BYTE>& payload, IMediaSample** ppSample);

    CCritSec m_csFilter;
    Options m_options;
    Pin* m_pPin = nullptr;
    std::thread m_thread;
    std::atomic<int> m_nBegun{0};
    mutable std::mutex m_resultsLock;
    std::vector<HRESULT> m_results;
};
