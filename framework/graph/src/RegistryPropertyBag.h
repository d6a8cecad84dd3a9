#pragma once
// IPropertyBag over the values of one registry key: REG_SZ values read as
// VT_BSTR, REG_DWORD values as VT_I4 or VT_UI4.

#include "com/ComObject.h"
#include "com/Moniker.h"

#include <string>

namespace graph
{

class RegistryPropertyBag final : public ComObject<IPropertyBag>
{
public:
    /// keyPath is below HKEY_CLASSES_ROOT.
    explicit RegistryPropertyBag(std::wstring keyPath);

    /// Unknown name: E_INVALIDARG; a value of another type than asked for:
    /// DISP_E_TYPEMISMATCH.
    HRESULT Read(LPCOLESTR pszPropName, VARIANT* pVar, IErrorLog* pErrorLog) override;
    HRESULT Write(LPCOLESTR pszPropName, VARIANT* pVar) override;

private:
    std::wstring m_keyPath;
};

} // namespace graph
