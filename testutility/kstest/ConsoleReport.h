#pragma once

// The command line's UserReport: messages are kept so the failure can be told
// in one place with its reason; diagnostic lines go to standard error at once.

#include "UserReport.h"

#include <string>
#include <vector>

class ConsoleReport : public UserReport
{
public:
    void ShowMessage(const std::string& text) override { m_Messages.push_back(text); }
    void Diagnostic(const std::string& line) override;
    // Debugger output goes to standard error only when KSTEST_DEBUG is set.
    void DebugOutput(const std::string& line) override;

    // Prints the messages, the last one followed by the reason (or the reason alone),
    // on standard error.
    void PrintFailure(const std::string& reason) const;
    bool HasMessages() const { return !m_Messages.empty(); }
    // Prints the messages as they are, on standard error.
    void PrintMessages() const;

private:
    std::vector<std::string> m_Messages;
};
