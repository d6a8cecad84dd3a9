#pragma once
// Where filter registrations live in the registry:
// HKEY_CLASSES_ROOT\CLSID\{category}\Instance\{instance}, with the values
// "FriendlyName", "CLSID" and "FilterData".

#include "com/Guid.h"

#include <string>

namespace graph
{

inline std::wstring CategoryInstancesKey(REFCLSID category)
{
    return L"CLSID\\" + GuidToString(category) + L"\\Instance";
}

inline std::wstring CategoryEntryKey(REFCLSID category, const std::wstring& instance)
{
    return CategoryInstancesKey(category) + L"\\" + instance;
}

} // namespace graph
