// A module for the regsvr tests: registering writes HKEY_CLASSES_ROOT\RegsvrTest,
// unregistering deletes it; REGSVR_TEST_FAIL makes both fail with E_ACCESSDENIED.
// DllInstall sets the key's value "Installed" to its command line ("(null)" for
// none), and uninstalling deletes that value; without the key it fails.

#include "com/HResult.h"
#include "com/Registry.h"

#include <cstdlib>
#include <string>

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

EXPORT HRESULT DllInstall(BOOL bInstall, LPCWSTR pszCmdLine)
{
    HKEY key = nullptr;
    if (RegOpenKeyW(HKEY_CLASSES_ROOT, L"RegsvrTest", &key) != ERROR_SUCCESS)
        return E_UNEXPECTED;
    LONG error = ERROR_SUCCESS;
    if (bInstall)
    {
        const std::wstring value = pszCmdLine ? pszCmdLine : L"(null)";
        error = RegSetValueExW(key, L"Installed", 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(value.c_str()),
                               DWORD((value.size() + 1) * sizeof(wchar_t)));
    }
    else
    {
        error = RegDeleteValueW(key, L"Installed");
    }
    RegCloseKey(key);
    return HRESULT_FROM_WIN32(error);
}
