// kstest device-fault [clear] [NAME[=VALUE] ...]
//
// Prints the faults the capture device is told to inject, after changing them: "clear"
// takes them all back, NAME[=VALUE] sets one (the device's FaultText.h lists them;
// VALUE "off" takes one back). The device keeps them under its registry key, so a
// program already working with it meets them at its next property call, bind or start,
// and a running capture or playback within half a second. Nothing is changed when an
// argument is not a fault.

#include "Commands.h"
#include "DeviceValues.h"
#include "FaultText.h"

#include <com/StringConvert.h>

#include <VirtualCaptureDevice.h>

#include <cstdio>
#include <iostream>

namespace
{
const std::string kFaultsValue = WideToUtf8(kDeviceValueFaults);

// Applies the arguments in order; false, after the usage error, at the first that
// is not a fault.
bool ApplyArguments(FaultPlan& plan, const std::vector<std::string>& args, int* pExit)
{
    for (const std::string& arg : args)
    {
        if (arg == "clear")
        {
            plan = FaultPlan();
            continue;
        }
        const std::size_t equals = arg.find('=');
        const std::optional<std::string_view> value =
            equals == std::string::npos ? std::nullopt
                                        : std::optional(std::string_view(arg).substr(equals + 1));
        std::string problem;
        if (!ApplyFault(plan, std::string_view(arg).substr(0, equals), value, &problem))
        {
            *pExit = UsageError(problem);
            return false;
        }
    }
    return true;
}

void PrintFaults(const std::string& device, const FaultPlan& plan)
{
    std::printf("device       %s\n", device.c_str());
    const std::vector<std::string> faults = FaultAssignments(plan);
    if (faults.empty())
        std::printf("faults       none\n");
    for (std::size_t i = 0; i < faults.size(); ++i)
        std::printf("%-12s %s\n", i == 0 ? "faults" : "", faults[i].c_str());
}
} // namespace

int RunDeviceFaultCommand(const std::vector<std::string>& args)
{
    DeviceValues device;
    if (!device.Open())
        return kExitFailure;
    FaultPlan plan = DecodeFaults(device.Read(kFaultsValue));
    int exitStatus = kExitSuccess;
    if (!ApplyArguments(plan, args, &exitStatus))
        return exitStatus;
    if (!args.empty() && !device.Write(kFaultsValue, EncodeFaults(plan)))
    {
        std::cerr << "kstest: the device's faults could not be written to the registry\n";
        return kExitFailure;
    }
    PrintFaults(device.DeviceName(), plan);
    return kExitSuccess;
}
