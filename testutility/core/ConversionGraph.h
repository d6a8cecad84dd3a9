#pragma once

// "Convert Mpeg to C3S" for callers without a window (the command line): the
// playback graph started with convertMode set, so that the muxer's C3 stream goes
// into the file settings.convertTarget names, and its teardown (StopC3Stream). The
// operation's banner, menu and timer calls have nowhere to go and are dropped;
// messages and diagnostic lines reach the caller's report.

#include "AppSettings.h"
#include "GraphContext.h"
#include "PlaybackGraph.h"
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
    // A host that only reports.
    class ReportingHost : public OperationHost
    {
    public:
        explicit ReportingHost(UserReport& report) : m_Report(report) {}
        void ShowMessage(const std::string& text) override { m_Report.ShowMessage(text); }
        void ShowError(const std::string& text) override { m_Report.ShowError(text); }
        void Diagnostic(const std::string& line) override { m_Report.Diagnostic(line); }
    void DebugOutput(const std::string& line) override { m_Report.DebugOutput(line); }
        void ShowBanner(const std::string&) override {}
        int PumpMessages() override { return kPumpIdle; }
        void SetTimer(int, unsigned) override {}
        void KillTimer(int) override {}
        void BeginOperation(int) override {}
        void EndOperation(int) override {}
        OAHWND VideoOwner() const override { return 0; }
        ClientRect BannerRect() const override { return {}; }

    private:
        UserReport& m_Report;
    };

    ReportingHost m_Host;
    AppSettings& m_Settings;
    PlaybackGraph m_Playback;
};
