#pragma once

// The values the capture device keeps under its registry key, reached through its
// moniker's property bag without binding the device (a device told to refuse its
// binding is still configured this way). A filter bound to the device, in any
// process, reads them again.

#include "ComScope.h"
#include "ConsoleReport.h"
#include "DeviceStore.h"

#include <string>

class DeviceValues
{
public:
    // Finds the tested device; false (after saying why on standard error) when there
    // is none.
    bool Open();
    const std::string& DeviceName() const { return m_DeviceName; }

    // UTF-8; empty when the value is not set.
    std::string Read(const std::string& name) const;
    // An empty text leaves the device's default. False when the registry refused.
    bool Write(const std::string& name, const std::string& text);

private:
    ComScope m_Com;
    ConsoleReport m_Report;
    DeviceStore m_Store;
    std::string m_DeviceName;
};
