#pragma once

// Where the core reports to the user: messages the user must see (message boxes
// in the windowed program), single diagnostic lines about graph set-up, and the
// debugger output about pins and the video window, which users do not normally see.

#include <string>

class UserReport
{
public:
    virtual ~UserReport() = default;
    virtual void ShowMessage(const std::string& text) = 0;
    // A message shown with the error icon.
    virtual void ShowError(const std::string& text) { ShowMessage(text); }
    virtual void Diagnostic(const std::string& line) = 0;
    virtual void DebugOutput(const std::string&) {}
};
