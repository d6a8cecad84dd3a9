#include "DllEntry.h"

#include "ClassFactory.h"
#include "FactoryTemplate.h"

#include <com/ComPtr.h>

#include <dlfcn.h>

#include <climits>
#include <cstdlib>
#include <new>
#include <string>

namespace
{
const HRESULT kMapperNothingRegistered = HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);

// Full path of the module this code is linked into.
HRESULT GetModulePath(std::wstring& path)
{
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&GetModulePath), &info) || !info.dli_fname)
        return HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
    char resolved[PATH_MAX];
    const char* pPath = realpath(info.dli_fname, resolved) ? resolved : info.dli_fname;
    path = Utf8ToWide(pPath);
    return S_OK;
}

std::wstring ClassKeyName(REFCLSID clsid)
{
    return L"CLSID\\" + GuidToString(clsid);
}

HRESULT SetStringValue(HKEY hKey, LPCWSTR pName, const std::wstring& value)
{
    const DWORD cb = static_cast<DWORD>((value.size() + 1) * sizeof(WCHAR));
    return HRESULT_FROM_WIN32(
        RegSetValueExW(hKey, pName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), cb));
}

HRESULT RegisterServer(const CFactoryTemplate& entry, const std::wstring& modulePath)
{
    HKEY hClass = nullptr;
    HRESULT hr = HRESULT_FROM_WIN32(
        RegCreateKeyW(HKEY_CLASSES_ROOT, ClassKeyName(*entry.m_ClsID).c_str(), &hClass));
    if (FAILED(hr))
        return hr;
    hr = SetStringValue(hClass, nullptr, entry.m_Name);
    HKEY hServer = nullptr;
    if (SUCCEEDED(hr))
        hr = HRESULT_FROM_WIN32(RegCreateKeyW(hClass, L"InprocServer32", &hServer));
    if (SUCCEEDED(hr))
        hr = SetStringValue(hServer, nullptr, modulePath);
    if (SUCCEEDED(hr))
        hr = SetStringValue(hServer, L"ThreadingModel", L"Both");
    if (hServer)
        RegCloseKey(hServer);
    RegCloseKey(hClass);
    return hr;
}

HRESULT UnregisterServer(const CFactoryTemplate& entry)
{
    const LONG error = RegDeleteTreeW(HKEY_CLASSES_ROOT, ClassKeyName(*entry.m_ClsID).c_str());
    return error == ERROR_FILE_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(error);
}

HRESULT MapperResult(HRESULT hr)
{
    return hr == kMapperNothingRegistered ? S_OK : hr;
}

HRESULT RegisterFilter(IFilterMapper2* pMapper, const CFactoryTemplate& entry)
{
    const AMOVIESETUP_FILTER* pSetup = entry.m_pAMovieSetup_Filter;
    // Whatever an earlier registration left is replaced.
    pMapper->UnregisterFilter(&CLSID_LegacyAmFilterCategory, nullptr, *pSetup->clsID);

    REGFILTER2 rf2{};
    rf2.dwVersion = 1;
    rf2.dwMerit = pSetup->dwMerit;
    rf2.cPins = pSetup->nPins;
    rf2.rgPins = pSetup->lpPin;
    return MapperResult(pMapper->RegisterFilter(*pSetup->clsID, pSetup->strName, nullptr,
                                                &CLSID_LegacyAmFilterCategory, nullptr, &rf2));
}

HRESULT UnregisterFilter(IFilterMapper2* pMapper, const CFactoryTemplate& entry)
{
    return MapperResult(pMapper->UnregisterFilter(&CLSID_LegacyAmFilterCategory, nullptr,
                                                  *entry.m_pAMovieSetup_Filter->clsID));
}

HRESULT RegisterTemplate(IFilterMapper2* pMapper, const CFactoryTemplate& entry,
                         const std::wstring& modulePath)
{
    HRESULT hr = RegisterServer(entry, modulePath);
    if (SUCCEEDED(hr) && entry.m_pAMovieSetup_Filter)
        hr = RegisterFilter(pMapper, entry);
    return hr;
}

HRESULT UnregisterTemplate(IFilterMapper2* pMapper, const CFactoryTemplate& entry)
{
    if (entry.m_pAMovieSetup_Filter)
    {
        const HRESULT hr = UnregisterFilter(pMapper, entry);
        if (FAILED(hr))
            return hr;
    }
    return UnregisterServer(entry);
}
} // namespace

HRESULT AMovieDllRegisterServer2(BOOL bRegister)
{
    std::wstring modulePath;
    HRESULT hr = GetModulePath(modulePath);
    if (FAILED(hr))
        return hr;

    // The mapper needs COM on this thread; a thread that already has it keeps it.
    const HRESULT hrInit = CoInitialize(nullptr);
    ComPtr<IFilterMapper2> pMapper;
    hr = CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                          reinterpret_cast<void**>(pMapper.ReleaseAndGetAddressOf()));
    for (int i = 0; SUCCEEDED(hr) && i < g_cTemplates; ++i)
    {
        hr = bRegister ? RegisterTemplate(pMapper.Get(), g_Templates[i], modulePath)
                       : UnregisterTemplate(pMapper.Get(), g_Templates[i]);
    }
    pMapper.Reset();
    if (SUCCEEDED(hrInit))
        CoUninitialize();
    return hr;
}

HRESULT AMovieDllGetClassObject(REFCLSID rClsID, REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (riid != IID_IUnknown && riid != IID_IClassFactory)
        return E_NOINTERFACE;
    for (int i = 0; i < g_cTemplates; ++i)
    {
        if (!g_Templates[i].IsClassID(rClsID))
            continue;
        CClassFactory* pFactory = new (std::nothrow) CClassFactory(&g_Templates[i]);
        if (!pFactory)
            return E_OUTOFMEMORY;
        pFactory->AddRef();
        *ppv = static_cast<IClassFactory*>(pFactory);
        return S_OK;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT AMovieDllCanUnloadNow()
{
    return CBaseObject::ObjectsActive() == 0 && !CClassFactory::IsLocked() ? S_OK : S_FALSE;
}
