#include "DeviceSession.h"

#include "DevicePropertyAccess.h"
#include "HResultText.h"


bool DeviceSession::Open()
{
    if (FAILED(m_Com.Result()))
    {
        m_Report.PrintFailure("cannot initialise COM: " + DescribeResult(m_Com.Result()));
        return false;
    }
    if (!m_Context.FindCaptureDevice())
    {
        m_Report.PrintFailure("no capture device to work with (kstest devices lists them)");
        return false;
    }
    m_DeviceName = FriendlyNameOf(m_Context.DeviceMoniker());
    if (!m_Context.DeviceFilter())
    {
        m_Report.ShowMessage("Video Device Not Found");
        m_Report.PrintFailure("the device " + m_DeviceName + " could not be bound");
        return false;
    }
    m_Context.PublishTo(m_Settings);
    DevicePropertyAccess(m_Settings).ReadAtStartup();
    return true;
}
