#pragma once

// What capture and play do while their operation runs: the preview's own window
// where a display is, the status line, and the wait for the end (a graph event,
// Ctrl-C or the time limit); then the preview renderer's counts.

#include "DeviceSession.h"
#include "OperationMonitor.h"
#include "OperationOptions.h"
#include "PreviewOwner.h"

#include <functional>
#include <memory>
#include <string>

class OperationRun
{
public:
    // Opens the preview window, when asked for and possible, as the host's video owner.
    OperationRun(DeviceSession& session, const OperationOptions& options, const std::string& title);

    // Waits for the end, redrawing the status that describe gives for the elapsed time.
    OperationOutcome Wait(const std::function<std::string(std::chrono::duration<double>)>& describe);
    // What the video renderer counted (read before the stop takes it out), or empty.
    const std::string& PreviewCounts() const { return m_PreviewCounts; }

private:
    DeviceSession& m_Session;
    const OperationOptions& m_Options;
    std::unique_ptr<PreviewOwner> m_pPreview;
    std::string m_PreviewCounts;
};
