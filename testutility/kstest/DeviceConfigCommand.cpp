// kstest device-config [NAME=VALUE ...]
//
// Prints the capture device's configuration, the values beside its settings that it
// keeps under its registry key, after changing the ones given ("NAME=" gives a value
// back to the device's default):
//
//   SourceFile=PATH   a media file the device captures, looped, instead of its pattern
//   RecordFile=PATH   a file the device writes every byte it is played to
//   Pacing=fast       capture and playback as fast as they go (normal: in real time)
//   NtscSizes, PalSizes, SampleRates, BitRateRange, VolumeRange, BrightnessRange,
//   ContrastRange, HueRange, SaturationRange, SharpnessRange
//                     what the device offers (the device's CapsValues.h has the forms)
//
// Names are taken in any letter case. Paths are stored absolute, since the device may
// work in another folder. Capabilities the capture source cannot encode are taken with
// a note: a capture that uses them will not start. Nothing is changed when a value is
// refused.

#include "CapsValues.h"
#include "Commands.h"
#include "DeviceValues.h"

#include <com/StringConvert.h>

#include <VirtualCaptureDevice.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <strings.h>

namespace
{
const std::string kSourceFile = WideToUtf8(kDeviceValueSourceFile);
const std::string kRecordFile = WideToUtf8(kDeviceValueRecordFile);
const std::string kPacing = WideToUtf8(kDeviceValuePacing);
const std::string kFast = WideToUtf8(kFastPacing);

std::vector<std::string> AllNames()
{
    std::vector<std::string> names = {kSourceFile, kRecordFile, kPacing};
    const std::vector<std::string>& caps = CapsValues::Names();
    names.insert(names.end(), caps.begin(), caps.end());
    return names;
}

std::optional<std::string> CanonicalName(const std::string& name)
{
    for (const std::string& known : AllNames())
        if (strcasecmp(known.c_str(), name.c_str()) == 0)
            return known;
    return std::nullopt;
}

// The text to store for the value, or why it is refused (*pProblem) with the exit
// status it takes.
std::optional<std::string> StoredText(const std::string& name, const std::string& value,
                                      std::string* pProblem, int* pExit)
{
    *pExit = kExitUsage;
    if (value.empty())
        return value;
    if (name == kPacing)
    {
        if (value == kFast || value == "normal")
            return value == kFast ? value : std::string();
        *pProblem = "Pacing takes fast or normal";
        return std::nullopt;
    }
    if (name == kSourceFile || name == kRecordFile)
    {
        std::error_code error;
        const std::filesystem::path path = std::filesystem::absolute(value, error);
        const bool bUsable = name == kSourceFile
                                 ? std::filesystem::is_regular_file(path, error)
                                 : std::filesystem::is_directory(path.parent_path(), error);
        if (!bUsable)
        {
            *pExit = kExitFailure;
            *pProblem =
                name + ": " + (name == kSourceFile ? "no such file " : "no folder for ") + value;
            return std::nullopt;
        }
        return path.string();
    }
    DeviceCaps caps;
    if (!CapsValues::Parse(caps, name, value, pProblem))
        return std::nullopt;
    return CapsValues::Format(caps, name);
}

void PrintConfiguration(const DeviceValues& device)
{
    std::printf("%-16s %s\n", "device", device.DeviceName().c_str());
    for (const std::string& name : {kSourceFile, kRecordFile})
    {
        const std::string text = device.Read(name);
        std::printf("%-16s %s\n", name.c_str(), text.empty() ? "(none)" : text.c_str());
    }
    std::printf("%-16s %s\n", kPacing.c_str(), device.Read(kPacing) == kFast ? "fast" : "normal");
    const DeviceCaps caps =
        CapsValues::Read([&](const std::string& name) { return device.Read(name); });
    const DeviceCaps defaults;
    for (const std::string& name : CapsValues::Names())
    {
        const std::string text = CapsValues::Format(caps, name);
        const bool bDefault = text == CapsValues::Format(defaults, name);
        std::printf("%-16s %s%s\n", name.c_str(), text.c_str(), bDefault ? "  (default)" : "");
    }
    for (const std::string& problem : CapsValues::Uncapturable(caps))
        std::cerr << "kstest: note: " << problem << "; a capture that uses it will not start\n";
}
} // namespace

int RunDeviceConfigCommand(const std::vector<std::string>& args)
{
    std::vector<std::pair<std::string, std::string>> changes;
    for (const std::string& arg : args)
    {
        const std::size_t equals = arg.find('=');
        const std::optional<std::string> name =
            equals == std::string::npos ? std::nullopt : CanonicalName(arg.substr(0, equals));
        if (!name)
            return UsageError("device-config takes NAME=VALUE with a name of the list, not " + arg);
        changes.emplace_back(*name, arg.substr(equals + 1));
    }
    DeviceValues device;
    if (!device.Open())
        return kExitFailure;
    std::vector<std::pair<std::string, std::string>> stored;
    for (const auto& [name, value] : changes)
    {
        std::string problem;
        int exitStatus = kExitUsage;
        const std::optional<std::string> text = StoredText(name, value, &problem, &exitStatus);
        if (!text)
        {
            std::cerr << "kstest: " << problem << '\n';
            return exitStatus;
        }
        stored.emplace_back(name, *text);
    }
    for (const auto& [name, text] : stored)
        if (!device.Write(name, text))
        {
            std::cerr << "kstest: " << name << " could not be written to the registry\n";
            return kExitFailure;
        }
    PrintConfiguration(device);
    return kExitSuccess;
}
