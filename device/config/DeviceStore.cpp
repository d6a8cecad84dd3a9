#include "DeviceStore.h"

#include <com/Variant.h>

std::wstring DeviceStore::Read(const wchar_t* name) const
{
    if (!m_pBag)
    {
        const auto found = m_memory.find(name);
        return found == m_memory.end() ? std::wstring() : found->second;
    }
    VARIANT value;
    VariantInit(&value);
    value.vt = VT_BSTR;
    std::wstring text;
    if (SUCCEEDED(m_pBag->Read(name, &value, nullptr)) && value.vt == VT_BSTR && value.bstrVal)
        text.assign(value.bstrVal, SysStringLen(value.bstrVal));
    VariantClear(&value);
    return text;
}

bool DeviceStore::Write(const wchar_t* name, const std::wstring& value)
{
    if (!m_pBag)
    {
        m_memory[name] = value;
        return true;
    }
    VARIANT variant;
    VariantInit(&variant);
    variant.vt = VT_BSTR;
    variant.bstrVal = SysAllocStringLen(value.c_str(), static_cast<UINT>(value.size()));
    if (!variant.bstrVal)
        return false;
    const HRESULT hr = m_pBag->Write(name, &variant);
    VariantClear(&variant);
    return SUCCEEDED(hr);
}
