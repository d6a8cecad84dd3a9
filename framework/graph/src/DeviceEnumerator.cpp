#include "DeviceEnumerator.h"

#include "CategoryKeys.h"
#include "DeviceMoniker.h"
#include "MonikerEnumerator.h"
#include "com/Registry.h"

#include <vector>

namespace graph
{

namespace
{

std::vector<std::wstring> InstanceNames(REFCLSID category)
{
    std::vector<std::wstring> names;
    HKEY instances = nullptr;
    if (RegOpenKeyW(HKEY_CLASSES_ROOT, CategoryInstancesKey(category).c_str(), &instances) !=
        ERROR_SUCCESS)
        return names;
    wchar_t name[MAX_PATH];
    for (DWORD i = 0;; ++i)
    {
        LONG result = RegEnumKeyW(instances, i, name, MAX_PATH);
        if (result == ERROR_SUCCESS)
            names.emplace_back(name);
        else if (result != ERROR_MORE_DATA) // an over-long name is skipped
            break;
    }
    RegCloseKey(instances);
    return names;
}

} // namespace

HRESULT DeviceEnumerator::CreateClassEnumerator(REFCLSID clsidDeviceClass,
                                                IEnumMoniker** ppEnumMoniker, DWORD)
{
    if (!ppEnumMoniker)
        return E_POINTER;
    *ppEnumMoniker = nullptr;
    std::vector<ComPtr<IMoniker>> monikers;
    for (std::wstring& instance : InstanceNames(clsidDeviceClass))
        monikers.push_back(MakeComObject<DeviceMoniker>(clsidDeviceClass, std::move(instance)));
    if (monikers.empty())
        return S_FALSE;
    *ppEnumMoniker = new com::MonikerEnumerator(std::move(monikers));
    return S_OK;
}

} // namespace graph
