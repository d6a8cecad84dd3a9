#pragma once

#include "streams.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

// A sink for the transformation filter's outputs: one input pin that takes the types a
// predicate accepts and keeps every sample it receives with its times, and counts stream
// calls. Its Receive may block (the filter's output queue then runs a thread).
class RecordingSink : public CBaseFilter
{
public:
    struct Sample
    {
        std::vector<BYTE> bytes;
        std::optional<REFERENCE_TIME> start;
        std::optional<REFERENCE_TIME> stop;
    };

    struct Received
    {
        std::vector<Sample> samples;
        int nEndOfStream = 0;
        int nBeginFlush = 0;
        int nEndFlush = 0;
        std::vector<REFERENCE_TIME> newSegmentStarts;
    };

    using TypeCheck = bool (*)(const CMediaType& mt);

    RecordingSink(TypeCheck accepts, HRESULT* phr);
    ~RecordingSink() override;

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int n) override;
    IPin* InputPin();
    // The type the pin was connected with.
    CMediaType ConnectionType() const;

    Received Snapshot() const;
    // Each waits until that many have come; false if they did not in time.
    bool WaitForEndOfStream(int n) const;
    bool WaitForSamples(std::size_t n) const;
    bool WaitForNewSegments(std::size_t n) const;

private:
    class Pin;
    // Waits until what was received satisfies the condition for n; false if not in time.
    bool WaitUntil(bool (*condition)(const Received&, std::size_t), std::size_t n) const;
    void Record(IMediaSample* pSample);
    template <class Change> void Update(Change change);

    CCritSec m_csFilter;
    TypeCheck m_accepts;
    Pin* m_pPin = nullptr;
    mutable std::mutex m_lock;
    mutable std::condition_variable m_changed;
    Received m_received;
};
