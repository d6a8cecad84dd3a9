#include "DeviceValues.h"

#include "GraphContext.h"
#include "HResultText.h"

#include <com/StringConvert.h>

bool DeviceValues::Open()
{
    if (FAILED(m_Com.Result()))
    {
        m_Report.PrintFailure("cannot initialise COM: " + DescribeResult(m_Com.Result()));
        return false;
    }
    const ComPtr<IMoniker> pMoniker = FindTestedDevice(m_Report);
    ComPtr<IPropertyBag> pBag;
    if (!pMoniker || FAILED(pMoniker->BindToStorage(nullptr, nullptr, IID_PPV_ARGS(&pBag))))
    {
        m_Report.PrintFailure("no capture device to configure (kstest devices lists them)");
        return false;
    }
    m_Store = DeviceStore(pBag.Get());
    m_DeviceName = FriendlyNameOf(pMoniker.Get());
    return true;
}

std::string DeviceValues::Read(const std::string& name) const
{
    return WideToUtf8(m_Store.Read(Utf8ToWide(name).c_str()));
}

bool DeviceValues::Write(const std::string& name, const std::string& text)
{
    return m_Store.Write(Utf8ToWide(name).c_str(), Utf8ToWide(text));
}
