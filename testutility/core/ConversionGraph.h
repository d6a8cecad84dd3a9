#pragma once

// "Convert Mpeg to C3S" for callers without a window (the command line): the
// playback graph started with convertMode set, so that the muxer's C3 stream goes
// into the file settings.convertTarget names, and its teardown (StopC3Stream). The
// operation's banner, menu and timer calls have nowhere to go and are dropped;
// messages and diagnostic lines reach the caller's report.

#include "AppSettings.h"
#include "GraphContext.h"
#include "PlaybackGraph.h"
#include "ReportingHost.h"
#include "UserReport.h"

class ConversionGraph
{
public:
    ConversionGraph(GraphContext& context, AppSettings& settings, UserReport& report)
        : m_Host(report), m_Settings(settings), m_Playback(context, settings, m_Host)
    {
    }

    // Builds and runs the graph for settings.convertSource and convertTarget.
    StartResult Start();
    void Stop() { m_Playback.StopC3Stream(); }

    HRESULT OutputFileResult() const { return m_Playback.OutputFileResult(); }

private:
    ReportingHost m_Host;
    AppSettings& m_Settings;
    PlaybackGraph m_Playback;
};
