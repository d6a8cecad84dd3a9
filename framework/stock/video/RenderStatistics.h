#pragma once

// The video renderer's counts for IQualProp: pictures drawn and dropped, how
// late each drawn picture was (sync offset), and the spacing of the draws.
// Updated on the streaming thread, read on any thread.

#include "streams.h"

#include <mutex>

class RenderStatistics
{
public:
    void Reset();
    // A picture drawn at tNow (reference time), tLate after its due time.
    void OnDrawn(REFERENCE_TIME tNow, REFERENCE_TIME tLate);
    void OnDropped();

    int FramesDrawn();
    int FramesDropped();
    // Frames per second times 100, over the span of the draws.
    int AvgFrameRate();
    // Standard deviation of the time between draws, in milliseconds.
    int Jitter();
    // Mean and standard deviation of the sync offset, in milliseconds.
    int AvgSyncOffset();
    int DevSyncOffset();

private:
    struct Moments
    {
        long long count = 0;
        double sum = 0;
        double sumOfSquares = 0;

        void Add(double value);
        double Mean() const;
        double Deviation() const;
    };

    struct Counts
    {
        int cDrawn = 0;
        int cDropped = 0;
        REFERENCE_TIME tFirstDraw = 0;
        REFERENCE_TIME tLastDraw = 0;
        Moments syncOffset; // milliseconds
        Moments interval;   // milliseconds
    };

    std::mutex m_mutex;
    Counts m_Counts;
};
