#pragma once
// Registers a built module into the registry the tests use (see TemporaryRegistry), as the
// registration tool does: loads it and calls its DllRegisterServer.

#include "com/HResult.h"

#include <dlfcn.h>

inline HRESULT RegisterModule(const char* pszPath)
{
    void* pModule = ::dlopen(pszPath, RTLD_NOW | RTLD_LOCAL);
    if (!pModule)
        return E_FAIL;
    using RegisterServer = HRESULT (*)();
    const auto pRegister = reinterpret_cast<RegisterServer>(::dlsym(pModule, "DllRegisterServer"));
    const HRESULT hr = pRegister ? pRegister() : E_FAIL;
    ::dlclose(pModule);
    return hr;
}
