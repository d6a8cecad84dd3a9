#include "MonikerNames.h"

#include "com/TaskMem.h"

#include <cwchar>
#include <cwctype>

namespace com
{

HRESULT CopyToTaskMemString(std::wstring_view text, LPOLESTR* out)
{
    if (!out)
        return E_POINTER;
    *out = static_cast<LPOLESTR>(CoTaskMemAlloc((text.size() + 1) * sizeof(OLECHAR)));
    if (!*out)
        return E_OUTOFMEMORY;
    std::wmemcpy(*out, text.data(), text.size());
    (*out)[text.size()] = L'\0';
    return S_OK;
}

HRESULT CompareDisplayName(IMoniker* other, const std::wstring& displayName)
{
    if (!other)
        return E_INVALIDARG;
    LPOLESTR otherName = nullptr;
    if (FAILED(other->GetDisplayName(nullptr, nullptr, &otherName)) || !otherName)
        return S_FALSE;
    bool equal = ::wcscasecmp(otherName, displayName.c_str()) == 0;
    CoTaskMemFree(otherName);
    return equal ? S_OK : S_FALSE;
}

DWORD HashDisplayName(const std::wstring& displayName)
{
    std::wstring folded = displayName;
    for (wchar_t& c : folded)
        c = wchar_t(std::towlower(wint_t(c)));
    return DWORD(std::hash<std::wstring>{}(folded));
}

} // namespace com
