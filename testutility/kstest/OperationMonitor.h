#pragma once

// Waits for a running capture or playback to end: a graph event that ends it, a
// Ctrl-C, or the command's time limit. Between waits it calls the caller's tick,
// which redraws the status.

#include "GraphEventWaiter.h"

#include <chrono>
#include <functional>
#include <optional>

enum class OperationEnd
{
    GraphEvent,  // see the event
    Interrupted, // Ctrl-C or SIGTERM
    TimeLimit,
};

struct OperationOutcome
{
    OperationEnd end = OperationEnd::GraphEvent;
    GraphEventWaiter::Ending event;
    std::chrono::duration<double> elapsed{};
};

OperationOutcome WaitForOperationEnd(IMediaEventEx* pEvents,
                                     std::optional<std::chrono::milliseconds> limit,
                                     const std::function<void(std::chrono::duration<double>)>& tick);
