#include "OperationMonitor.h"

#include "Interrupt.h"

namespace
{
using namespace std::chrono_literals;
constexpr auto kTick = 200ms;
} // namespace

OperationOutcome WaitForOperationEnd(IMediaEventEx* pEvents,
                                     std::optional<std::chrono::milliseconds> limit,
                                     const std::function<void(std::chrono::duration<double>)>& tick)
{
    GraphEventWaiter waiter(pEvents);
    const auto start = std::chrono::steady_clock::now();
    OperationOutcome outcome;
    for (;;)
    {
        const auto elapsed = std::chrono::steady_clock::now() - start;
        auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(kTick);
        if (limit)
            wait = std::max(0ms, std::min(wait, *limit - std::chrono::duration_cast<std::chrono::milliseconds>(elapsed)));
        const bool bEnded = waiter.WaitForEnding(wait, &outcome.event);
        outcome.elapsed = std::chrono::steady_clock::now() - start;
        tick(outcome.elapsed);
        if (bEnded)
            return outcome;
        if (WasInterrupted())
        {
            outcome.end = OperationEnd::Interrupted;
            return outcome;
        }
        if (limit && outcome.elapsed >= *limit)
        {
            outcome.end = OperationEnd::TimeLimit;
            return outcome;
        }
    }
}
