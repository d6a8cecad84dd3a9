// The four functions a filter module exports. Compiled into each module (not
// into the base-class library), so that every module defines them once and
// its version script can export exactly these.

#include "DllEntry.h"

#define MODULE_EXPORT extern "C" __attribute__((visibility("default")))

MODULE_EXPORT HRESULT DllRegisterServer()
{
    return AMovieDllRegisterServer2(TRUE);
}

MODULE_EXPORT HRESULT DllUnregisterServer()
{
    return AMovieDllRegisterServer2(FALSE);
}

MODULE_EXPORT HRESULT DllGetClassObject(REFCLSID rClsID, REFIID riid, void** ppv)
{
    return AMovieDllGetClassObject(rClsID, riid, ppv);
}

MODULE_EXPORT HRESULT DllCanUnloadNow()
{
    return AMovieDllCanUnloadNow();
}
