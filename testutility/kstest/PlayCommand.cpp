// kstest play [--seconds N] [--preview none|video|audio|both] FILE
//
// Plays an MPEG file, a segment list (.kvx) or a C3 stream file (.c3s) into the
// device until the end of the stream, the time limit, Ctrl-C or a graph event,
// then prints what the device counted.

#include "Arguments.h"
#include "Commands.h"
#include "DeviceSession.h"
#include "HResultText.h"
#include "Interrupt.h"
#include "OperationMonitor.h"
#include "PlaybackGraph.h"
#include "PreviewOption.h"
#include "RunStatus.h"
#include "StatusLine.h"

#include <cstdio>

namespace
{
struct PlayOptions
{
    std::optional<std::chrono::milliseconds> limit;
    PreviewChoice preview;
    std::string source;
};

std::optional<PlayOptions> ParseOptions(const std::vector<std::string>& args, int* pExit)
{
    Arguments arguments(args);
    PlayOptions options;
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
    if (auto preview = arguments.TakeOption("--preview", &bMissing))
    {
        const std::optional<PreviewChoice> choice = ParsePreview(*preview);
        if (!choice)
            return fail("--preview takes none, video, audio or both");
        options.preview = *choice;
    }
    if (bMissing)
        return fail("--preview needs a value");
    std::string unknown;
    const auto operands = arguments.Operands(&unknown);
    if (!operands)
        return fail("unknown option " + unknown);
    if (operands->size() != 1)
        return fail("play takes one file");
    options.source = operands->front();
    return options;
}

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
    const std::optional<PlayOptions> options = ParseOptions(args, &exitStatus);
    if (!options)
        return exitStatus;
    CatchInterrupts();
    DeviceSession session;
    if (!session.Open())
        return kExitFailure;
    AppSettings& settings = session.Settings();
    settings.playbackFile = options->source;
    settings.playbackKind = PlaybackKindOf(options->source);
    const bool bC3Stream = settings.playbackKind == PlaybackKind::C3S;

    const RunStatus run(session.Context());
    PlaybackGraph graph(session.Context(), settings, session.Host());
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
    if (bC3Stream)
        graph.StopC3Stream();
    else
        graph.StopPlayback();

    const DeviceStatus status = run.Counted();
    std::printf("played %llu packets (%llu pictures, %llu audio frames, %.1f MB) in %.1f s, "
                "%llu violations\n",
                (unsigned long long)status.packetsPlayed, (unsigned long long)status.picturesPlayed,
                (unsigned long long)status.audioFramesPlayed, double(status.bytesPlayed) / 1e6,
                outcome.elapsed.count(), (unsigned long long)status.violations);
    run.PrintFaults();
    if (outcome.end == OperationEnd::GraphEvent && outcome.event.code != EC_COMPLETE)
    {
        session.Report().ShowMessage(DescribeGraphEvent(outcome.event.code, outcome.event.param1));
        session.Report().PrintFailure("the playback ended early");
        return kExitFailure;
    }
    return kExitSuccess;
}
