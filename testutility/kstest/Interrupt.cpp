#include "Interrupt.h"

#include <atomic>
#include <csignal>

namespace
{
std::atomic<bool> g_bInterrupted{false};

void OnInterrupt(int)
{
    g_bInterrupted = true;
}
} // namespace

void CatchInterrupts()
{
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
}

bool WasInterrupted()
{
    return g_bInterrupted;
}
