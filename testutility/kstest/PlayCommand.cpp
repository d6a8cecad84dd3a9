// kstest play [--seconds N] [--preview none|video|audio|both] FILE
//
// Plays an MPEG file, a segment list (.kvx) or a C3 stream file (.c3s) into the
// device until the end of the stream, the time limit, Ctrl-C or a graph event,
// then prints what the device counted.

#include "Commands.h"
#include "DeviceSession.h"
#include "DeviceStatus.h"
#include "HResultText.h"
#include "Interrupt.h"
#include "OperationRun.h"
#include "RunStatus.h"
#include "PlaybackGraph.h"

#include <cstdio>

namespace
{
std::string StatusText(std::chrono::duration<double> elapsed, const DeviceStatus& status)
{
    char text[160];
    std::snprintf(text, sizeof(text), "playing  %6.1f s  packets %llu  violations %llu",
                  elapsed.count(), (unsigned long long)status.packetsPlayed,
                  (unsigned long long)status.violations);
    return text;
}
} // namespace

int RunPlayCommand(const std::vector<std::string>& args)
{
    int exitStatus = kExitSuccess;
    const std::optional<OperationOptions> options =
        ParseOperationOptions(OperationCommand::Play, args, &exitStatus);
    if (!options)
        return exitStatus;
    CatchInterrupts();
    DeviceSession session;
    if (!session.Open())
        return kExitFailure;
    AppSettings& settings = session.Settings();
    settings.playbackFile = options->file;
    settings.playbackKind = PlaybackKindOf(options->file);

    const RunStatus counts(session.Context());
    OperationRun run(session, *options, "kstest playback preview");
    PlaybackGraph graph(session.Context(), settings, session.Host());
    const StartResult started = graph.Start(options->preview.bVideo, options->preview.bAudio);
    if (!started.Succeeded())
    {
        session.Report().PrintFailure(started.failedStep + ": " + DescribeResult(started.hr));
        return kExitFailure;
    }
    const OperationOutcome outcome = run.Wait(
        [&](std::chrono::duration<double> elapsed)
        { return StatusText(elapsed, counts.Counted()); });
    if (settings.playbackKind == PlaybackKind::C3S)
        graph.StopC3Stream();
    else
        graph.StopPlayback();

    const DeviceStatus status = counts.Counted();
    std::printf("played %llu packets (%llu pictures, %llu audio frames, %.1f MB) in %.1f s, "
                "%llu violations\n",
                (unsigned long long)status.packetsPlayed, (unsigned long long)status.picturesPlayed,
                (unsigned long long)status.audioFramesPlayed, double(status.bytesPlayed) / 1e6,
                outcome.elapsed.count(), (unsigned long long)status.violations);
    if (!run.PreviewCounts().empty())
        std::printf("%s\n", run.PreviewCounts().c_str());
    counts.PrintFaults();
    if (outcome.end == OperationEnd::GraphEvent && outcome.event.code != EC_COMPLETE)
    {
        session.Report().ShowMessage(DescribeGraphEvent(outcome.event.code, outcome.event.param1));
        session.Report().PrintFailure("the playback ended early");
        return kExitFailure;
    }
    return kExitSuccess;
}
