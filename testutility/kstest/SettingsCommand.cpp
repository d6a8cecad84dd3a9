// kstest settings [--developer] [NAME=VALUE ...]
//
// Prints the device's settings; with NAME=VALUE pairs it first changes them, in the
// order given, through the settings dialog's own handlers, so the dialog's range
// checks apply (lifted by --developer, as developer mode does). Each name maps to a
// control of the dialog:
//
//   bitrate, peakbitrate, volume      the edits, validated and sent as OK does
//   brightness ... sharpness          the amplifier value, sent as Set does
//   vbr, mute, pesheader, byteswap    the check boxes and radio buttons (0 or 1)
//   mpeg1, standard, input            the radio buttons (0/1, ntsc/pal, svideo/composite)
//   size, samplerate                  the lists: WxH or a rate the device offers
//
// The device is read again afterwards; a value it did not take is reported.

#include "Arguments.h"
#include "Commands.h"
#include "DeviceSession.h"
#include "SettingsDialogModel.h"

#include <cctype>
#include <cstdio>
#include <functional>
#include <iostream>
#include <map>

namespace
{
struct Assignment
{
    std::string name;
    std::string value;
};

std::optional<Assignment> SplitAssignment(const std::string& text)
{
    const std::size_t equals = text.find('=');
    if (equals == std::string::npos || equals == 0)
        return std::nullopt;
    return Assignment{text.substr(0, equals), text.substr(equals + 1)};
}

std::optional<bool> ParseSwitch(const std::string& value)
{
    if (value == "1")
        return true;
    if (value == "0")
        return false;
    return std::nullopt;
}

int ProcAmpIndex(const std::string& name)
{
    static const char* const kNames[] = {"brightness", "contrast", "hue", "saturation", "sharpness"};
    for (int i = 0; i < int(std::size(kNames)); ++i)
        if (name == kNames[i])
            return i;
    return -1;
}

int IndexOf(const ListState& list, const std::string& entry)
{
    for (int i = 0; i < int(list.entries.size()); ++i)
        if (list.entries[std::size_t(i)] == entry)
            return i;
    return -1;
}

std::string Joined(const std::vector<std::string>& entries)
{
    std::string text;
    for (const std::string& entry : entries)
        text += (text.empty() ? "" : ", ") + entry;
    return text;
}

// Applies one NAME=VALUE through the dialog's handlers; an empty string when it was
// handed on, else why not. Edits wait for OK (*pbNeedsOk).
std::string Apply(SettingsDialogModel& dialog, const Assignment& a, bool* pbNeedsOk)
{
    const std::optional<bool> on = ParseSwitch(a.value);
    const auto needSwitch = [&] { return a.name + " takes 0 or 1"; };
    if (a.name == "bitrate" || a.name == "peakbitrate" || a.name == "volume")
    {
        const SettingsEdit edit = a.name == "bitrate"       ? SettingsEdit::BitRate
                                  : a.name == "peakbitrate" ? SettingsEdit::PeakBitRate
                                                            : SettingsEdit::Volume;
        dialog.SetEditText(edit, a.value);
        *pbNeedsOk = true;
        return {};
    }
    if (const int index = ProcAmpIndex(a.name); index >= 0)
    {
        dialog.OnProcAmpSelected(index);
        dialog.SetEditText(SettingsEdit::ProcAmpValue, a.value);
        dialog.OnSetProcAmp();
        return {};
    }
    if (a.name == "vbr")
    {
        if (!on)
            return needSwitch();
        if (!dialog.bVbrEnabled)
            return "vbr cannot be changed while MPEG-1 is chosen";
        dialog.OnVbrToggled(*on);
        return {};
    }
    if (a.name == "mute")
        return on ? (dialog.OnMuteToggled(*on), std::string()) : needSwitch();
    if (a.name == "pesheader" || a.name == "byteswap")
    {
        if (!on)
            return needSwitch();
        if (!dialog.bByteOrderEnabled)
            return a.name + " can be changed in developer mode only (--developer)";
        if (a.name == "pesheader")
            dialog.OnPesHeaderToggled(*on);
        else
            dialog.OnByteOrderChosen(*on);
        return {};
    }
    if (a.name == "mpeg1")
    {
        if (!on)
            return needSwitch();
        *on ? dialog.OnMpeg1Chosen() : dialog.OnMpeg2Chosen();
        return {};
    }
    if (a.name == "standard")
    {
        if (a.value != "ntsc" && a.value != "pal")
            return "standard takes ntsc or pal";
        dialog.OnStandardChosen(a.value == "ntsc");
        return {};
    }
    if (a.name == "input")
    {
        if (a.value != "svideo" && a.value != "composite")
            return "input takes svideo or composite";
        dialog.OnInputChosen(a.value == "svideo");
        return {};
    }
    if (a.name == "size")
    {
        const std::size_t x = a.value.find('x');
        const std::string entry =
            x == std::string::npos ? a.value : a.value.substr(0, x) + " X " + a.value.substr(x + 1);
        const int index = IndexOf(dialog.sizeList, entry);
        if (index < 0)
            return "size " + a.value + " is not offered (" + Joined(dialog.sizeList.entries) + ")";
        dialog.OnSizeSelected(index);
        return {};
    }
    if (a.name == "samplerate")
    {
        const int index = IndexOf(dialog.rateList, a.value);
        if (index < 0)
            return "samplerate " + a.value + " is not offered (" + Joined(dialog.rateList.entries) + ")";
        dialog.OnRateSelected(index);
        return {};
    }
    return "unknown setting " + a.name;
}

// The device's settings as kstest prints them, by name.
std::map<std::string, std::string> DescribeSettings(const AppSettings& s)
{
    const auto text = [](auto value) { return std::to_string(value); };
    std::map<std::string, std::string> all = {
        {"standard", s.tvStandard == 1 ? "ntsc" : s.tvStandard == 16 ? "pal" : text(s.tvStandard)},
        {"size", text(s.width) + "x" + text(s.height)},
        {"mpeg1", text(s.mpeg1)},
        {"bitrate", text(s.bitRate)},
        {"peakbitrate", text(s.peakBitRate)},
        {"vbr", text(s.vbr)},
        {"samplerate", text(s.sampleRate)},
        {"volume", text(s.volume)},
        {"mute", text(s.mute)},
        {"pesheader", text(s.pesHeader)},
        {"byteswap", text(s.byteSwap)},
        {"input", s.input == 1 ? "svideo" : "composite"},
    };
    for (std::size_t i = 0; i < kProcAmpCount; ++i)
    {
        std::string name = SettingsDialogModel::kProcAmpNames[i];
        name[0] = char(std::tolower(name[0]));
        all[name] = text(s.procAmp[i].value);
    }
    return all;
}

void PrintSettings(const std::string& device, const AppSettings& s, const SettingsDialogModel& d)
{
    const std::map<std::string, std::string> all = DescribeSettings(s);
    std::printf("device       %s\n", device.c_str());
    const auto row = [&](const char* name, const std::string& extra = {})
    { std::printf("%-12s %s%s\n", name, all.at(name).c_str(), extra.c_str()); };
    row("standard");
    row("size", "  (offered: " + Joined(d.sizeList.entries) + ")");
    row("mpeg1");
    row("bitrate", "  (" + std::to_string(s.bitRateMin) + " to " + std::to_string(s.bitRateMax) + ")");
    row("peakbitrate");
    row("vbr");
    row("samplerate", "  (offered: " + Joined(d.rateList.entries) + ")");
    row("volume", "  (" + std::to_string(s.volumeMin) + " to " + std::to_string(s.volumeMax) + ")");
    row("mute");
    row("pesheader");
    row("byteswap");
    row("input");
    for (std::size_t i = 0; i < kProcAmpCount; ++i)
    {
        std::string name = SettingsDialogModel::kProcAmpNames[i];
        name[0] = char(std::tolower(name[0]));
        std::printf("%-12s %s  (%d to %d)\n", name.c_str(), all.at(name).c_str(), s.procAmp[i].min,
                    s.procAmp[i].max);
    }
}
} // namespace

int RunSettingsCommand(const std::vector<std::string>& args)
{
    Arguments arguments(args);
    const bool bDeveloper = arguments.TakeFlag("--developer");
    std::string unknown;
    const auto operands = arguments.Operands(&unknown);
    if (!operands)
        return UsageError("unknown option " + unknown);
    std::vector<Assignment> assignments;
    for (const std::string& operand : *operands)
    {
        std::optional<Assignment> assignment = SplitAssignment(operand);
        if (!assignment)
            return UsageError("settings takes NAME=VALUE pairs, not " + operand);
        assignments.push_back(*assignment);
    }

    DeviceSession session;
    if (!session.Open())
        return kExitFailure;
    AppSettings& settings = session.Settings();
    settings.developer = bDeveloper ? 1 : 0;
    SettingsDialogModel dialog(settings, session.Report());
    dialog.Open();
    bool bNeedsOk = false;
    int exitStatus = kExitSuccess;
    for (const Assignment& assignment : assignments)
    {
        const std::string problem = Apply(dialog, assignment, &bNeedsOk);
        if (!problem.empty())
        {
            std::cerr << "kstest: " << problem << '\n';
            exitStatus = kExitFailure;
        }
    }
    if (bNeedsOk)
        dialog.OnOk();
    if (session.Report().HasMessages())
    {
        session.Report().PrintMessages();
        exitStatus = kExitFailure;
    }

    // What the device holds now, read as the dialog reads it when it opens.
    AppSettings after;
    after.developer = settings.developer;
    session.Context().PublishTo(after);
    ConsoleReport quiet;
    SettingsDialogModel reread(after, quiet);
    reread.Open();
    const std::map<std::string, std::string> now = DescribeSettings(after);
    for (const Assignment& assignment : assignments)
    {
        const auto found = now.find(assignment.name);
        if (found != now.end() && found->second != assignment.value)
        {
            std::cerr << "kstest: the device has " << assignment.name << "=" << found->second
                      << ", not " << assignment.value << '\n';
            exitStatus = kExitFailure;
        }
    }
    PrintSettings(session.DeviceName(), after, reread);
    return exitStatus;
}
