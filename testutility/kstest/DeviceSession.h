#pragma once

// What every device command starts from, as the utility's main window does:
// COM, the capture device found by its name, the graph around it, and the
// device's state read into the settings record.

#include "AppSettings.h"
#include "ComScope.h"
#include "ConsoleReport.h"
#include "GraphContext.h"
#include "ReportingHost.h"

class DeviceSession
{
public:
    DeviceSession() : m_Host(m_Report), m_Context(m_Report) {}

    // Finds the device and reads its start-up state; false (after saying why on
    // standard error) when there is no device to work with.
    bool Open();

    AppSettings& Settings() { return m_Settings; }
    GraphContext& Context() { return m_Context; }
    ConsoleReport& Report() { return m_Report; }
    ReportingHost& Host() { return m_Host; }
    // The friendly name of the device found.
    const std::string& DeviceName() const { return m_DeviceName; }

private:
    ComScope m_Com;
    ConsoleReport m_Report;
    ReportingHost m_Host;
    AppSettings m_Settings;
    GraphContext m_Context;
    std::string m_DeviceName;
};
