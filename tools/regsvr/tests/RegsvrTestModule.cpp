// A module for the regsvr tests: registering writes HKEY_CLASSES_ROOT\RegsvrTest,
// unregistering deletes it; REGSVR_TEST_FAIL makes both fail with E_ACCESSDENIED.

#include "com/HResult.h"
#include "com/Registry.h"

#include <cstdlib>

#define EXPORT extern "C" __attribute__((visibility("default")))

EXPORT HRESULT DllRegisterServer()
{
    if (std::getenv("REGSVR_TEST_FAIL"))
        return E_ACCESSDENIED;
    return HRESULT_FROM_WIN32(
        RegWriteString(HKEY_CLASSES_ROOT, L"RegsvrTest", nullptr, L"registered"));
}

EXPORT HRESULT DllUnregisterServer()
{
    if (std::getenv("REGSVR_TEST_FAIL"))
        return E_ACCESSDENIED;
    return HRESULT_FROM_WIN32(RegDeleteTreeW(HKEY_CLASSES_ROOT, L"RegsvrTest"));
}
