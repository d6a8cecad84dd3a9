#pragma once
// Where a device keeps its values. Bound through its moniker, the device has its
// registration's property bag, whose values live under the device's own registry
// key, so they outlive the filter and the process and every process sees them.
// Created any other way, it keeps them in memory for the filter's lifetime.

#include <com/ComPtr.h>
#include <com/Moniker.h>

#include <map>
#include <string>

class DeviceStore
{
public:
    DeviceStore() = default;
    explicit DeviceStore(IPropertyBag* pBag) : m_pBag(pBag) {}

    bool IsPersistent() const { return m_pBag != nullptr; }
    // Empty when the value does not exist or is not a string.
    std::wstring Read(const wchar_t* name) const;
    // One registry write; false when it failed.
    bool Write(const wchar_t* name, const std::wstring& value);

private:
    ComPtr<IPropertyBag> m_pBag;
    std::map<std::wstring, std::wstring> m_memory;
};
