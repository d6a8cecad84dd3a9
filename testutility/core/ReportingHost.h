#pragma once

// An OperationHost for callers without a window (the command line): messages,
// diagnostic lines and debugger output go to a report; there is no banner and no
// menu, timers are left to the caller's own loop, and the video owner is whatever
// the caller sets (0: the renderer draws to nothing).

#include "OperationHost.h"

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
    OAHWND VideoOwner() const override { return m_hVideoOwner; }
    ClientRect BannerRect() const override { return {0, 0, 525, 380}; }

    void SetVideoOwner(OAHWND hOwner) { m_hVideoOwner = hOwner; }

private:
    UserReport& m_Report;
    OAHWND m_hVideoOwner = 0;
};
