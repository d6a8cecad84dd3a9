#pragma once

// What a module's four exported functions do. module/ModuleExports.cpp and
// module/DllEntry.cpp are compiled into each module (add_filter_module), not
// into the library, as they work on the module's own g_Templates.
//
// AMovieDllRegisterServer2(TRUE), for each template in order (stopping at the
// first failure): writes HKEY_CLASSES_ROOT\CLSID\{clsid} with the friendly
// name as default value and its InprocServer32 subkey with the module's full
// path and ThreadingModel "Both"; then, through the filter mapper, removes any
// earlier registration of the filter from the default category
// (CLSID_LegacyAmFilterCategory) and registers it there with its merit, pins
// and media types. A file-not-found result of the mapper counts as success.
// AMovieDllRegisterServer2(FALSE) removes the mapper registration, then the
// CLSID key with all its subkeys. Registry errors come back as
// HRESULT_FROM_WIN32 of the error.

#include <com/Unknown.h>

HRESULT AMovieDllRegisterServer2(BOOL bRegister);
// The factory of the template whose class identifier matches;
// CLASS_E_CLASSNOTAVAILABLE when none does.
HRESULT AMovieDllGetClassObject(REFCLSID rClsID, REFIID riid, void** ppv);
// S_OK when no object of the module is alive and no factory is locked.
HRESULT AMovieDllCanUnloadNow();
