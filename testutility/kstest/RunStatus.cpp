#include "RunStatus.h"

#include <cstdio>

void RunStatus::PrintFaults() const
{
    if (const std::string faults = DescribeFaultCounts(Counted()); !faults.empty())
        std::printf("injected faults: %s\n", faults.c_str());
}

DeviceStatus RunStatus::Read() const
{
    return ReadDeviceStatus(m_Context.DeviceFilter()).value_or(DeviceStatus{});
}
