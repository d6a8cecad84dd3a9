// Module unit of the virtual capture device: its class factory table. The device
// filter is not registered in the filter category; DllRegisterServer
// (DeviceExports.cpp) registers the devices it serves under the video input
// device category instead.

#include "DeviceFilter.h"
#include "VirtualCaptureDevice.h"

#include <new>

namespace
{
// The device filter, its capture sources made by CaptureSource::Create.
CUnknown* CreateDeviceFilter(LPUNKNOWN pUnk, HRESULT* phr)
{
    auto* pFilter = new (std::nothrow) CDeviceFilter(pUnk, phr, &CaptureSource::Create);
    if (!pFilter)
        *phr = E_OUTOFMEMORY;
    return pFilter;
}
} // namespace

CFactoryTemplate g_Templates[] = {
    {L"Virtual Capture Device", &CLSID_VirtualCaptureDevice, CreateDeviceFilter, nullptr, nullptr},
};
int g_cTemplates = NUMELMS(g_Templates);
