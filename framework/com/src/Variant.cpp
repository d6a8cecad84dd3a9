#include "com/Variant.h"

#include "com/TaskMem.h"

#include <cstring>
#include <cwchar>
#include <limits>

namespace
{

using LengthPrefix = std::uint32_t;

LengthPrefix* PrefixOf(BSTR bstr)
{
    return reinterpret_cast<LengthPrefix*>(bstr) - 1;
}

} // namespace

BSTR SysAllocStringLen(const OLECHAR* pch, UINT cch)
{
    constexpr UINT kMaxChars =
        (std::numeric_limits<LengthPrefix>::max() - sizeof(OLECHAR)) / sizeof(OLECHAR);
    if (cch > kMaxChars)
        return nullptr;
    // The prefix is as wide as a character, so the text stays aligned.
    static_assert(sizeof(LengthPrefix) == sizeof(OLECHAR));
    auto* block = static_cast<LengthPrefix*>(
        CoTaskMemAlloc(sizeof(LengthPrefix) + (std::size_t(cch) + 1) * sizeof(OLECHAR)));
    if (!block)
        return nullptr;
    *block = LengthPrefix(cch * sizeof(OLECHAR));
    auto text = reinterpret_cast<BSTR>(block + 1);
    if (pch)
        std::wmemcpy(text, pch, cch);
    else
        std::wmemset(text, L'\0', cch);
    text[cch] = L'\0';
    return text;
}

BSTR SysAllocString(const OLECHAR* psz)
{
    if (!psz)
        return nullptr;
    return SysAllocStringLen(psz, UINT(std::wcslen(psz)));
}

void SysFreeString(BSTR bstr)
{
    if (bstr)
        CoTaskMemFree(PrefixOf(bstr));
}

UINT SysStringByteLen(BSTR bstr)
{
    return bstr ? *PrefixOf(bstr) : 0;
}

UINT SysStringLen(BSTR bstr)
{
    return SysStringByteLen(bstr) / sizeof(OLECHAR);
}

void VariantInit(VARIANT* pvarg)
{
    if (!pvarg)
        return;
    std::memset(pvarg, 0, sizeof *pvarg);
    pvarg->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANT* pvarg)
{
    if (!pvarg)
        return E_INVALIDARG;
    if (pvarg->vt == VT_BSTR)
        SysFreeString(pvarg->bstrVal);
    VariantInit(pvarg);
    return S_OK;
}

HRESULT VariantCopy(VARIANT* pvargDest, const VARIANT* pvargSrc)
{
    if (!pvargDest || !pvargSrc)
        return E_INVALIDARG;
    if (pvargDest == pvargSrc)
        return S_OK;
    VariantClear(pvargDest);
    if (pvargSrc->vt != VT_BSTR)
    {
        *pvargDest = *pvargSrc;
        return S_OK;
    }
    BSTR copy = nullptr;
    if (pvargSrc->bstrVal)
    {
        copy = SysAllocStringLen(pvargSrc->bstrVal, SysStringLen(pvargSrc->bstrVal));
        if (!copy)
            return E_OUTOFMEMORY;
    }
    pvargDest->vt = VT_BSTR;
    pvargDest->bstrVal = copy;
    return S_OK;
}
