#pragma once
// COM library functions: initialisation, object creation through the registry,
// module loading and unloading, in-process class registration.
//
// Initialisation is counted per thread. A thread that never called CoInitialize(Ex)
// may still create objects while any other thread of the process holds COM
// initialised (the implicit multithreaded apartment); when no thread does,
// CoCreateInstance and CoGetClassObject return CO_E_NOTINITIALIZED.
//
// CoCreateInstance looks in this order: classes registered in-process with
// CoRegisterClassObject (the runtime's own classes are registered this way when it
// loads), then HKEY_CLASSES_ROOT\CLSID\{clsid}\InprocServer32, whose default
// value is the module path. The module is loaded with dlopen(RTLD_NOW | RTLD_LOCAL)
// and stays loaded until CoFreeUnusedLibraries finds its DllCanUnloadNow answering
// S_OK. Failures: REGDB_E_CLASSNOTREG (no registration),
// HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND) (dlopen failed), CO_E_ERRORINDLL (no
// DllGetClassObject), or what the module returns.

#include "com/Unknown.h"

// COINIT values.
inline constexpr DWORD COINIT_MULTITHREADED = 0x0;
inline constexpr DWORD COINIT_APARTMENTTHREADED = 0x2;

// CLSCTX values.
inline constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;
inline constexpr DWORD CLSCTX_INPROC_HANDLER = 0x2;
inline constexpr DWORD CLSCTX_LOCAL_SERVER = 0x4;
inline constexpr DWORD CLSCTX_INPROC = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER;
inline constexpr DWORD CLSCTX_ALL = 0x17;

// REGCLS values.
inline constexpr DWORD REGCLS_SINGLEUSE = 0;
inline constexpr DWORD REGCLS_MULTIPLEUSE = 1;

/// S_OK the first time on a thread, S_FALSE when already initialised (each success
/// needs a CoUninitialize), RPC_E_CHANGED_MODE when the thread chose the other
/// concurrency model before.
HRESULT CoInitialize(void* pvReserved);
HRESULT CoInitializeEx(void* pvReserved, DWORD dwCoInit);
/// Balances one successful CoInitialize(Ex) of this thread. When the last thread
/// of the process uninitialises, modules that can unload are unloaded.
void CoUninitialize();

HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid,
                         void** ppv);
HRESULT CoGetClassObject(REFCLSID rclsid, DWORD dwClsContext, void* pvReserved, REFIID riid,
                         void** ppv);
/// Unloads every loaded module whose DllCanUnloadNow answers S_OK.
void CoFreeUnusedLibraries();

/// Registers a class factory for this process (it takes a reference); the cookie
/// serves CoRevokeClassObject. Such classes are found before the registry.
HRESULT CoRegisterClassObject(REFCLSID rclsid, IUnknown* pUnk, DWORD dwClsContext, DWORD flags,
                              DWORD* lpdwRegister);
HRESULT CoRevokeClassObject(DWORD dwRegister);

/// Number of modules the runtime holds loaded (for diagnostics and tests).
std::size_t CoLoadedModuleCount();
