// kstest: the command-line front end of the device test utility. It drives the
// same UI-free core as the windowed MarvekKSTest, through the registered filter
// modules (the registry named by MARVEK_REGISTRY, else the user's).

#include "Commands.h"
#include "ConvertCommand.h"

#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

namespace
{
constexpr const char* kUsage =
    R"(usage: kstest COMMAND [ARGUMENTS]

  convert IN OUT          convert an MPEG file (or a .kvx segment list) into a
                          C3 stream file
  devices                 list the video input devices and mark the one used
  settings [--developer] [NAME=VALUE ...]
                          print the device's settings, after changing the ones
                          given; names: bitrate peakbitrate vbr size(WxH) mpeg1
                          standard(ntsc|pal) input(svideo|composite) samplerate
                          volume mute pesheader byteswap brightness contrast hue
                          saturation sharpness; the settings dialog's range
                          checks apply unless --developer
  capture [--seconds N] [--size-limit MB] [--preview none|video|both] OUT.mpg
                          capture from the device until N seconds, Ctrl-C or an
                          error; segments of at most MB megabytes are listed in
                          OUT.kvx
  play [--seconds N] [--preview none|video|audio|both] FILE
                          play an MPEG file, a .kvx list or a .c3s C3 stream
                          file into the device and print what it counted
  device-config [NAME=VALUE ...]
                          print the virtual device's configuration after
                          changing the values given: SourceFile RecordFile
                          Pacing(fast|normal) NtscSizes PalSizes SampleRates
                          BitRateRange VolumeRange BrightnessRange
                          ContrastRange HueRange SaturationRange
                          SharpnessRange; NAME= restores the default
  device-fault [clear] [NAME[=VALUE] ...]
                          print the faults the virtual device injects after
                          changing them: get-fail:PROPERTY[=HRESULT]
                          set-fail:PROPERTY[=HRESULT] get-empty:PROPERTY
                          set-ignore:PROPERTY bind-fail[=HRESULT]
                          join-fail[=HRESULT] drop-frames=N stall=MS
                          flip-bits=N cut-pes=N
                          capture-stop=SECONDS[:EVENT[:HRESULT]]
                          playback-refuse=PACKETS[:HRESULT]
                          playback-event=PACKETS[:EVENT[:HRESULT]]; VALUE off
                          takes one back, clear takes all back
  --help                  this text

Exit status: 0 done, 1 failed (the reason is on standard error), 2 usage error.
)";
} // namespace

int UsageError(const std::string& problem)
{
    std::cerr << "kstest: " << problem << "\n(kstest --help lists the commands)\n";
    return kExitUsage;
}

int main(int argc, char** argv)
{
    // A file-size limit then fails the write that would pass it, which the writer reports,
    // instead of killing the program.
    std::signal(SIGXFSZ, SIG_IGN);
    const std::vector<std::string> all(argv + 1, argv + argc);
    if (all.empty())
        return UsageError("no command given");
    const std::string& command = all.front();
    const std::vector<std::string> args(all.begin() + 1, all.end());
    if (command == "--help" || command == "-h" || command == "help")
    {
        std::fputs(kUsage, stdout);
        return kExitSuccess;
    }
    if (command == "convert")
        return args.size() == 2 ? RunConvertCommand(args[0], args[1])
                                : UsageError("convert takes a source and a target file");
    if (command == "devices")
        return RunDevicesCommand(args);
    if (command == "settings")
        return RunSettingsCommand(args);
    if (command == "capture")
        return RunCaptureCommand(args);
    if (command == "play")
        return RunPlayCommand(args);
    if (command == "device-config")
        return RunDeviceConfigCommand(args);
    if (command == "device-fault")
        return RunDeviceFaultCommand(args);
    return UsageError("unknown command " + command);
}
