#include "FilterMapper.h"

#include "CategoryKeys.h"
#include "DeviceMoniker.h"
#include "FilterDataText.h"
#include "com/Registry.h"

namespace graph
{

namespace
{

const CLSID& CategoryOrDefault(const CLSID* category)
{
    return category ? *category : CLSID_LegacyAmFilterCategory;
}

std::wstring InstanceOrClsid(LPCOLESTR instance, REFCLSID clsid)
{
    return instance && *instance ? std::wstring(instance) : GuidToString(clsid);
}

LONG WriteEntry(const std::wstring& key, REFCLSID clsid, LPCWSTR name,
                const std::wstring* filterData)
{
    LONG error = RegWriteString(HKEY_CLASSES_ROOT, key.c_str(), L"FriendlyName", name);
    if (error == ERROR_SUCCESS)
        error = RegWriteString(HKEY_CLASSES_ROOT, key.c_str(), L"CLSID", GuidToString(clsid));
    if (error == ERROR_SUCCESS && filterData)
        error = RegWriteString(HKEY_CLASSES_ROOT, key.c_str(), L"FilterData", *filterData);
    return error;
}

} // namespace

HRESULT FilterMapper::CreateCategory(REFCLSID clsidCategory, DWORD dwCategoryMerit,
                                     LPCWSTR Description)
{
    if (!Description)
        return E_POINTER;
    std::wstring key = CategoryEntryKey(CLSID_ActiveMovieCategories, GuidToString(clsidCategory));
    LONG error = WriteEntry(key, clsidCategory, Description, nullptr);
    HKEY handle = nullptr;
    if (error == ERROR_SUCCESS &&
        (error = RegOpenKeyW(HKEY_CLASSES_ROOT, key.c_str(), &handle)) == ERROR_SUCCESS)
    {
        error =
            RegSetValueExW(handle, L"Merit", 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&dwCategoryMerit), sizeof dwCategoryMerit);
        RegCloseKey(handle);
    }
    return HRESULT_FROM_WIN32(error);
}

HRESULT FilterMapper::RegisterFilter(REFCLSID clsidFilter, LPCWSTR Name, IMoniker** ppMoniker,
                                     const CLSID* pclsidCategory, LPCOLESTR szInstance,
                                     const REGFILTER2* prf2)
{
    if (ppMoniker)
        *ppMoniker = nullptr;
    if (!Name)
        return E_POINTER;
    std::wstring filterData;
    if (prf2)
        if (HRESULT hr = FormatFilterData(*prf2, filterData); FAILED(hr))
            return hr;

    const CLSID& category = CategoryOrDefault(pclsidCategory);
    std::wstring instance = InstanceOrClsid(szInstance, clsidFilter);
    std::wstring key = CategoryEntryKey(category, instance);
    // Replace, never merge with, an earlier registration of the same instance.
    if (LONG error = RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
        error != ERROR_SUCCESS && error != ERROR_FILE_NOT_FOUND)
        return HRESULT_FROM_WIN32(error);
    if (LONG error = WriteEntry(key, clsidFilter, Name, prf2 ? &filterData : nullptr);
        error != ERROR_SUCCESS)
        return HRESULT_FROM_WIN32(error);
    if (ppMoniker)
        *ppMoniker = new DeviceMoniker(category, instance);
    return S_OK;
}

HRESULT FilterMapper::UnregisterFilter(const CLSID* pclsidCategory, LPCOLESTR szInstance,
                                       REFCLSID Filter)
{
    std::wstring key =
        CategoryEntryKey(CategoryOrDefault(pclsidCategory), InstanceOrClsid(szInstance, Filter));
    return HRESULT_FROM_WIN32(RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str()));
}

HRESULT FilterMapper::EnumMatchingFilters(IEnumMoniker** ppEnum, DWORD, BOOL, DWORD, BOOL, DWORD,
                                          const GUID*, const REGPINMEDIUM*, const CLSID*, BOOL,
                                          BOOL, DWORD, const GUID*, const REGPINMEDIUM*,
                                          const CLSID*)
{
    if (ppEnum)
        *ppEnum = nullptr;
    return E_NOTIMPL;
}

} // namespace graph
