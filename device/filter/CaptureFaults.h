#pragma once
// What the capture pin does about the fault plan, frame by frame (FaultPlan.h): once a
// run has streamed one second it stalls once and then drops its frames; once the stop
// time has come it stops. The plan may change while the run goes on; what the run has
// done so far (the stall, the frames dropped) is kept.

#include "FaultPlan.h"

#include <dshow/dshow.h>

#include <cstdint>

class CaptureFaults
{
public:
    enum class Action
    {
        Encode,
        Drop,
        Stall, // then ask again about the same frame
        Stop,
    };

    // A new run under this plan.
    void Start(const FaultPlan& plan);
    void Update(const FaultPlan& plan) { m_plan = plan; }

    // What to do about the frame starting at frameStart (100-ns units from the run's
    // start). Stall and Drop count as done when they are answered.
    Action Next(REFERENCE_TIME frameStart);

    std::uint32_t StallMilliseconds() const { return m_plan.stallMilliseconds; }
    const FaultEvent& StopEvent() const { return m_plan.captureStop; }

private:
    FaultPlan m_plan;
    bool m_bStalled = false;
    std::uint32_t m_cDropped = 0;
};
