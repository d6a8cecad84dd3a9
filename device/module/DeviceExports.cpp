// The virtual device module's entry points: the four of every module, and
// DllInstall, which adds or removes one more device by name (regsvr -i:NAME).
//
// DllRegisterServer registers the class and the device "Orvastation";
// DllUnregisterServer removes every device of the module, then the class.

#include "DeviceRegistration.h"
#include "DllEntry.h"
#include "VirtualCaptureDevice.h"

#define MODULE_EXPORT extern "C" __attribute__((visibility("default")))

MODULE_EXPORT HRESULT DllRegisterServer()
{
    const HRESULT hr = AMovieDllRegisterServer2(TRUE);
    return FAILED(hr) ? hr : DeviceRegistration::Register(kFirstDeviceName);
}

MODULE_EXPORT HRESULT DllUnregisterServer()
{
    const HRESULT hr = DeviceRegistration::UnregisterAll();
    return FAILED(hr) ? hr : AMovieDllRegisterServer2(FALSE);
}

// pszCmdLine names the device, e.g. L"Quillbox"; E_INVALIDARG without a valid name.
MODULE_EXPORT HRESULT DllInstall(BOOL bInstall, LPCWSTR pszCmdLine)
{
    const std::wstring name = pszCmdLine ? pszCmdLine : L"";
    return bInstall ? DeviceRegistration::Register(name) : DeviceRegistration::Unregister(name);
}

MODULE_EXPORT HRESULT DllGetClassObject(REFCLSID rClsID, REFIID riid, void** ppv)
{
    return AMovieDllGetClassObject(rClsID, riid, ppv);
}

MODULE_EXPORT HRESULT DllCanUnloadNow()
{
    return AMovieDllCanUnloadNow();
}
