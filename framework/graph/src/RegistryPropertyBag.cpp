#include "RegistryPropertyBag.h"

#include "com/Registry.h"

namespace graph
{

RegistryPropertyBag::RegistryPropertyBag(std::wstring keyPath) : m_keyPath(std::move(keyPath))
{
}

HRESULT RegistryPropertyBag::Read(LPCOLESTR pszPropName, VARIANT* pVar, IErrorLog*)
{
    if (!pszPropName || !pVar)
        return E_POINTER;
    VARTYPE wanted = pVar->vt;
    DWORD type = 0;
    DWORD size = 0;
    LONG error = RegGetValueW(HKEY_CLASSES_ROOT, m_keyPath.c_str(), pszPropName, RRF_RT_ANY, &type,
                              nullptr, &size);
    if (error != ERROR_SUCCESS)
        return E_INVALIDARG;

    if (type == REG_SZ && (wanted == VT_EMPTY || wanted == VT_BSTR))
    {
        std::wstring text;
        if (RegReadString(HKEY_CLASSES_ROOT, m_keyPath.c_str(), pszPropName, text) != ERROR_SUCCESS)
            return E_INVALIDARG;
        BSTR value = SysAllocStringLen(text.c_str(), UINT(text.size()));
        if (!value)
            return E_OUTOFMEMORY;
        pVar->vt = VT_BSTR;
        pVar->bstrVal = value;
        return S_OK;
    }
    if (type == REG_DWORD && (wanted == VT_EMPTY || wanted == VT_I4 || wanted == VT_UI4))
    {
        DWORD number = 0;
        size = sizeof number;
        if (RegGetValueW(HKEY_CLASSES_ROOT, m_keyPath.c_str(), pszPropName, RRF_RT_REG_DWORD,
                         nullptr, &number, &size) != ERROR_SUCCESS)
            return E_INVALIDARG;
        pVar->vt = wanted == VT_UI4 ? VT_UI4 : VT_I4;
        pVar->ulVal = number;
        return S_OK;
    }
    return DISP_E_TYPEMISMATCH;
}

HRESULT RegistryPropertyBag::Write(LPCOLESTR pszPropName, VARIANT* pVar)
{
    if (!pszPropName || !pVar)
        return E_POINTER;
    LONG error = ERROR_SUCCESS;
    switch (pVar->vt)
    {
    case VT_BSTR:
        error = RegWriteString(
            HKEY_CLASSES_ROOT, m_keyPath.c_str(), pszPropName,
            std::wstring(pVar->bstrVal ? pVar->bstrVal : L"", SysStringLen(pVar->bstrVal)));
        break;
    case VT_I4:
    case VT_UI4:
    {
        HKEY key = nullptr;
        if ((error = RegCreateKeyW(HKEY_CLASSES_ROOT, m_keyPath.c_str(), &key)) != ERROR_SUCCESS)
            break;
        error = RegSetValueExW(key, pszPropName, 0, REG_DWORD,
                               reinterpret_cast<const BYTE*>(&pVar->ulVal), sizeof(DWORD));
        RegCloseKey(key);
        break;
    }
    default:
        return DISP_E_TYPEMISMATCH;
    }
    return HRESULT_FROM_WIN32(error);
}

} // namespace graph
