#include "DeviceMoniker.h"

#include "CategoryKeys.h"
#include "MonikerNames.h"
#include "RegistryPropertyBag.h"
#include "com/ComRuntime.h"
#include "com/Registry.h"

namespace graph
{

DeviceMoniker::DeviceMoniker(const CLSID& category, std::wstring instance)
    : m_keyPath(CategoryEntryKey(category, instance)),
      m_displayName(L"@device:sw:" + GuidToString(category) + L"\\" + instance)
{
}

HRESULT DeviceMoniker::BindToObject(IBindCtx*, IMoniker*, REFIID riidResult, void** ppvResult)
{
    if (!ppvResult)
        return E_POINTER;
    *ppvResult = nullptr;
    std::wstring clsidText;
    if (RegReadString(HKEY_CLASSES_ROOT, m_keyPath.c_str(), L"CLSID", clsidText) != ERROR_SUCCESS)
        return MK_E_NOOBJECT;
    std::optional<GUID> clsid = GuidFromString(clsidText);
    if (!clsid)
        return REGDB_E_CLASSNOTREG;
    ComPtr<IUnknown> pObject;
    HRESULT hr = CoCreateInstance(*clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                  reinterpret_cast<void**>(&pObject));
    if (FAILED(hr))
        return hr;
    // An object that serves several registered devices learns which one it is.
    ComPtr<IPersistPropertyBag> pPersist;
    if (SUCCEEDED(pObject->QueryInterface(IID_IPersistPropertyBag,
                                          reinterpret_cast<void**>(&pPersist))))
    {
        ComPtr<RegistryPropertyBag> bag = MakeComObject<RegistryPropertyBag>(m_keyPath);
        hr = pPersist->Load(bag.Get(), nullptr);
        if (FAILED(hr))
            return hr;
    }
    return pObject->QueryInterface(riidResult, ppvResult);
}

HRESULT DeviceMoniker::BindToStorage(IBindCtx*, IMoniker*, REFIID riid, void** ppvObj)
{
    if (!ppvObj)
        return E_POINTER;
    *ppvObj = nullptr;
    HKEY key = nullptr;
    if (RegOpenKeyW(HKEY_CLASSES_ROOT, m_keyPath.c_str(), &key) != ERROR_SUCCESS)
        return MK_E_NOSTORAGE;
    RegCloseKey(key);
    ComPtr<RegistryPropertyBag> bag = MakeComObject<RegistryPropertyBag>(m_keyPath);
    return bag->QueryInterface(riid, ppvObj);
}

HRESULT DeviceMoniker::GetDisplayName(IBindCtx*, IMoniker*, LPOLESTR* ppszDisplayName)
{
    return com::CopyToTaskMemString(m_displayName, ppszDisplayName);
}

HRESULT DeviceMoniker::IsEqual(IMoniker* pmkOtherMoniker)
{
    return com::CompareDisplayName(pmkOtherMoniker, m_displayName);
}

HRESULT DeviceMoniker::Hash(DWORD* pdwHash)
{
    if (!pdwHash)
        return E_POINTER;
    *pdwHash = com::HashDisplayName(m_displayName);
    return S_OK;
}

HRESULT DeviceMoniker::IsRunning(IBindCtx*, IMoniker*, IMoniker*)
{
    return S_FALSE;
}

} // namespace graph
