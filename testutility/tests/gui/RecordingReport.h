#pragma once

// The windows' report in the tests: the messages a dialog shows, kept in order.

#include "UserReport.h"

#include <string>
#include <vector>

class RecordingReport : public UserReport
{
public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void Diagnostic(const std::string&) override {}
    std::vector<std::string> messages;
};
