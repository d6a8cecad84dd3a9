#pragma once

// What the device has counted since a command began: its status block, read through
// whichever filter of the device the graph context holds by then (every start binds a
// fresh one), less what it held before.

#include "DeviceStatus.h"
#include "GraphContext.h"

class RunStatus
{
public:
    explicit RunStatus(GraphContext& context) : m_Context(context), m_Before(Read()) {}

    DeviceStatus Counted() const { return CountedSince(Read(), m_Before); }
    // Prints the injected faults counted, when there were any.
    void PrintFaults() const;

private:
    DeviceStatus Read() const;

    GraphContext& m_Context;
    const DeviceStatus m_Before;
};
