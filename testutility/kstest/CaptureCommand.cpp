// kstest capture [--seconds N] [--size-limit MB] [--preview none|video|both] OUT.mpg
//
// Captures the device's program stream into OUT (cut into segments listed in the
// .kvx list of the same name when it outgrows the size limit) until the time
// limit, Ctrl-C, or a graph event ends it; every way out goes through the stop
// routine, so the files are closed and listed.

#include "Arguments.h"
#include "CaptureGraph.h"
#include "Commands.h"
#include "DeviceSession.h"
#include "HResultText.h"
#include "Interrupt.h"
#include "OperationMonitor.h"
#include "PreviewOption.h"
#include "RunStatus.h"
#include "StatusLine.h"

#include <cstdio>
#include <iostream>

namespace
{
struct CaptureOptions
{
    std::optional<std::chrono::milliseconds> limit;
    std::optional<int> sizeLimitMB;
    PreviewChoice preview;
    std::string target;
};

std::optional<CaptureOptions> ParseOptions(const std::vector<std::string>& args, int* pExit)
{
    Arguments arguments(args);
    CaptureOptions options;
    bool bMissing = false;
    const auto fail = [&](const std::string& problem)
    {
        *pExit = UsageError(problem);
        return std::nullopt;
    };
    if (auto seconds = arguments.TakeOption("--seconds", &bMissing))
    {
        const std::optional<long long> count = ParseCount(*seconds);
        if (!count || *count == 0)
            return fail("--seconds takes a positive whole number");
        options.limit = std::chrono::seconds(*count);
    }
    if (bMissing)
        return fail("--seconds needs a value");
    if (auto size = arguments.TakeOption("--size-limit", &bMissing))
    {
        const std::optional<long long> count = ParseCount(*size);
        if (!count || *count < 1 || *count > 2032)
            return fail("--size-limit takes a size in MB from 1 to 2032");
        options.sizeLimitMB = int(*count);
    }
    if (bMissing)
        return fail("--size-limit needs a value");
    if (auto preview = arguments.TakeOption("--preview", &bMissing))
    {
        const std::optional<PreviewChoice> choice = ParsePreview(*preview);
        if (!choice || (choice->bAudio && !choice->bVideo))
            return fail("--preview takes none, video or both (audio comes with video)");
        options.preview = *choice;
    }
    if (bMissing)
        return fail("--preview needs a value");
    std::string unknown;
    const auto operands = arguments.Operands(&unknown);
    if (!operands)
        return fail("unknown option " + unknown);
    if (operands->size() != 1)
        return fail("capture takes one target file");
    options.target = operands->front();
    return options;
}

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
    const std::optional<CaptureOptions> options = ParseOptions(args, &exitStatus);
    if (!options)
        return exitStatus;
    CatchInterrupts();
    DeviceSession session;
    if (!session.Open())
        return kExitFailure;
    AppSettings& settings = session.Settings();
    settings.captureFile = options->target;
    if (options->sizeLimitMB)
        settings.fileSizeLimitMB = *options->sizeLimitMB;

    const RunStatus run(session.Context());
    CaptureGraph graph(session.Context(), settings, session.Host());
    const StartResult started = graph.Start(options->preview.bVideo, options->preview.bAudio);
    if (!started.Succeeded())
    {
        session.Report().PrintFailure(started.failedStep + ": " + DescribeResult(started.hr));
        return kExitFailure;
    }

    StatusLine line(stderr);
    const OperationOutcome outcome =
        WaitForOperationEnd(session.Context().MediaEvent(), options->limit,
                            [&](std::chrono::duration<double> elapsed)
                            { line.Show(StatusText(elapsed, run.Counted())); });
    line.Finish();
    graph.Stop();

    const DeviceStatus status = run.Counted();
    std::printf("captured %llu frames (%llu dropped), %.1f MB in %.1f s to %s\n",
                (unsigned long long)status.framesCaptured, (unsigned long long)status.framesDropped,
                double(status.bytesCaptured) / 1e6, outcome.elapsed.count(),
                options->target.c_str());
    run.PrintFaults();
    if (outcome.end == OperationEnd::GraphEvent)
    {
        session.Report().ShowMessage(DescribeGraphEvent(outcome.event.code, outcome.event.param1));
        session.Report().PrintFailure(
            "the capture ended early; what was written before is kept and listed");
        return kExitFailure;
    }
    return kExitSuccess;
}
