// kstest capture [--seconds N] [--size-limit MB] [--preview none|video|both] OUT.mpg
//
// Captures the device's program stream into OUT (cut into segments listed in the
// .kvx list of the same name when it outgrows the size limit) until the time
// limit, Ctrl-C, or a graph event ends it; every way out goes through the stop
// routine, so the files are closed and listed.

#include "CaptureGraph.h"
#include "Commands.h"
#include "DeviceSession.h"
#include "DeviceStatus.h"
#include "HResultText.h"
#include "Interrupt.h"
#include "OperationRun.h"
#include "RunStatus.h"

#include <cstdio>

namespace
{
std::string StatusText(std::chrono::duration<double> elapsed, const DeviceStatus& status)
{
    char text[160];
    std::snprintf(text, sizeof(text), "capturing  %6.1f s  %8.1f MB  frames %llu  dropped %llu",
                  elapsed.count(), double(status.bytesCaptured) / 1e6,
                  (unsigned long long)status.framesCaptured,
                  (unsigned long long)status.framesDropped);
    return text;
}
} // namespace

int RunCaptureCommand(const std::vector<std::string>& args)
{
    int exitStatus = kExitSuccess;
    const std::optional<OperationOptions> options =
        ParseOperationOptions(OperationCommand::Capture, args, &exitStatus);
    if (!options)
        return exitStatus;
    CatchInterrupts();
    DeviceSession session;
    if (!session.Open())
        return kExitFailure;
    AppSettings& settings = session.Settings();
    settings.captureFile = options->file;
    if (options->sizeLimitMB)
        settings.fileSizeLimitMB = *options->sizeLimitMB;

    const RunStatus counts(session.Context());
    OperationRun run(session, *options, "kstest capture preview");
    CaptureGraph graph(session.Context(), settings, session.Host());
    const StartResult started = graph.Start(options->preview.bVideo, options->preview.bAudio);
    if (!started.Succeeded())
    {
        session.Report().PrintFailure(started.failedStep + ": " + DescribeResult(started.hr));
        return kExitFailure;
    }
    const OperationOutcome outcome = run.Wait(
        [&](std::chrono::duration<double> elapsed)
        { return StatusText(elapsed, counts.Counted()); });
    graph.Stop();

    const DeviceStatus status = counts.Counted();
    std::printf("captured %llu frames (%llu dropped), %.1f MB in %.1f s to %s\n",
                (unsigned long long)status.framesCaptured,
                (unsigned long long)status.framesDropped, double(status.bytesCaptured) / 1e6,
                outcome.elapsed.count(), options->file.c_str());
    if (!run.PreviewCounts().empty())
        std::printf("%s\n", run.PreviewCounts().c_str());
    counts.PrintFaults();
    if (outcome.end == OperationEnd::GraphEvent)
    {
        session.Report().ShowMessage(DescribeGraphEvent(outcome.event.code, outcome.event.param1));
        session.Report().PrintFailure("the capture ended early; what was written before is kept and listed");
        return kExitFailure;
    }
    return kExitSuccess;
}
