#include "com/ComRuntime.h"

#include "ClassObjectTable.h"
#include "ModuleTable.h"
#include "com/ComPtr.h"
#include "com/Registry.h"
#include "com/StringConvert.h"

#include <atomic>

namespace
{

/// This thread's CoInitialize count and the concurrency model it chose.
struct ThreadInitialization
{
    int count = 0;
    DWORD model = COINIT_MULTITHREADED;
};

thread_local ThreadInitialization t_initialization;

/// Threads of the process that hold COM initialised.
std::atomic<int> g_initializedThreads{0};

bool ComAvailableOnThisThread()
{
    return t_initialization.count > 0 || g_initializedThreads.load() > 0;
}

/// The InprocServer32 module path registered for clsid.
HRESULT RegisteredModulePath(REFCLSID clsid, std::string& path)
{
    std::wstring key = L"CLSID\\" + GuidToString(clsid) + L"\\InprocServer32";
    std::wstring module;
    if (RegReadString(HKEY_CLASSES_ROOT, key.c_str(), nullptr, module) != ERROR_SUCCESS ||
        module.empty())
        return REGDB_E_CLASSNOTREG;
    path = WideToUtf8(module);
    return S_OK;
}

} // namespace

HRESULT CoInitializeEx(void*, DWORD dwCoInit)
{
    DWORD model = dwCoInit & COINIT_APARTMENTTHREADED;
    ThreadInitialization& state = t_initialization;
    if (state.count > 0 && state.model != model)
        return RPC_E_CHANGED_MODE;
    state.model = model;
    if (state.count++ > 0)
        return S_FALSE;
    ++g_initializedThreads;
    return S_OK;
}

HRESULT CoInitialize(void* pvReserved)
{
    return CoInitializeEx(pvReserved, COINIT_APARTMENTTHREADED);
}

void CoUninitialize()
{
    ThreadInitialization& state = t_initialization;
    if (state.count == 0)
        return; // unbalanced call: ignored
    if (--state.count > 0)
        return;
    if (--g_initializedThreads == 0)
        CoFreeUnusedLibraries();
}

HRESULT CoGetClassObject(REFCLSID rclsid, DWORD dwClsContext, void*, REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (!ComAvailableOnThisThread())
        return CO_E_NOTINITIALIZED;
    if (!(dwClsContext & CLSCTX_INPROC_SERVER))
        return REGDB_E_CLASSNOTREG;
    if (ComPtr<IUnknown> factory = com::ClassObjectTable::Instance().Find(rclsid))
        return factory->QueryInterface(riid, ppv);
    std::string path;
    if (HRESULT hr = RegisteredModulePath(rclsid, path); FAILED(hr))
        return hr;
    return com::ModuleTable::Instance().GetClassObject(path, rclsid, riid, ppv);
}

HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid,
                         void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    ComPtr<IClassFactory> factory;
    if (HRESULT hr = CoGetClassObject(rclsid, dwClsContext, nullptr, IID_IClassFactory,
                                      reinterpret_cast<void**>(&factory));
        FAILED(hr))
        return hr;
    return factory->CreateInstance(pUnkOuter, riid, ppv);
}

void CoFreeUnusedLibraries()
{
    com::ModuleTable::Instance().FreeUnused();
}

std::size_t CoLoadedModuleCount()
{
    return com::ModuleTable::Instance().LoadedCount();
}

HRESULT CoRegisterClassObject(REFCLSID rclsid, IUnknown* pUnk, DWORD, DWORD, DWORD* lpdwRegister)
{
    if (!pUnk || !lpdwRegister)
        return E_INVALIDARG;
    *lpdwRegister = com::ClassObjectTable::Instance().Register(rclsid, pUnk);
    return S_OK;
}

HRESULT CoRevokeClassObject(DWORD dwRegister)
{
    return com::ClassObjectTable::Instance().Revoke(dwRegister) ? S_OK : CO_E_OBJNOTREG;
}
