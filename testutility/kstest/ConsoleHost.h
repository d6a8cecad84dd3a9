#pragma once

// The command line's OperationHost: messages and diagnostic lines go to the
// console report; there is no banner and no menu, the video owner is the
// preview's own window when one is open, and the command's own loop keeps time
// instead of window timers.

#include "ConsoleReport.h"
#include "OperationHost.h"

class ConsoleHost : public OperationHost
{
public:
    explicit ConsoleHost(ConsoleReport& report) : m_Report(report) {}

    void ShowMessage(const std::string& text) override { m_Report.ShowMessage(text); }
    void Diagnostic(const std::string& line) override { m_Report.Diagnostic(line); }
    void DebugOutput(const std::string& line) override { m_Report.DebugOutput(line); }
    void ShowBanner(const std::string&) override {}
    int PumpMessages() override { return kPumpIdle; }
    void SetTimer(int, unsigned) override {}
    void KillTimer(int) override {}
    void BeginOperation(int) override {}
    void EndOperation(int) override {}
    OAHWND VideoOwner() const override { return m_hVideoOwner; }
    void SetVideoOwner(OAHWND hOwner) { m_hVideoOwner = hOwner; }
    ClientRect BannerRect() const override { return {0, 0, 525, 380}; }

private:
    ConsoleReport& m_Report;
    OAHWND m_hVideoOwner = 0;
};
