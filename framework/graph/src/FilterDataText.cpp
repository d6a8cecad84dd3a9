#include "FilterDataText.h"

#include <cstdio>

namespace graph
{

namespace
{

std::wstring Hex32(DWORD value)
{
    wchar_t text[16];
    std::swprintf(text, 16, L"0x%08X", unsigned(value));
    return text;
}

std::wstring Quoted(const wchar_t* name)
{
    std::wstring text = L"\"";
    for (const wchar_t* c = name ? name : L""; *c; ++c)
    {
        if (*c == L'"' || *c == L'\\')
            text += L'\\';
        text += *c;
    }
    return text + L"\"";
}

std::wstring GuidOrNull(const GUID* guid)
{
    return GuidToString(guid ? *guid : GUID_NULL);
}

std::wstring MediaTypes(UINT count, const REGPINTYPES* types)
{
    std::wstring text = L" types=";
    for (UINT i = 0; i < count; ++i)
        text += (i ? L"," : L"") + GuidOrNull(types[i].clsMajorType) + L"/" +
                GuidOrNull(types[i].clsMinorType);
    return count ? text : L"";
}

HRESULT FormatPin(const REGFILTERPINS& pin, std::wstring& text)
{
    if (pin.nMediaTypes && !pin.lpMediaType)
        return E_POINTER;
    text += L"; pin " + Quoted(pin.strName) + (pin.bOutput ? L" output" : L" input");
    if (pin.bRendered)
        text += L" rendered";
    if (pin.bZero)
        text += L" zero";
    if (pin.bMany)
        text += L" many";
    if (pin.strConnectsToPin && *pin.strConnectsToPin)
        text += L" connects-to=" + Quoted(pin.strConnectsToPin);
    text += MediaTypes(pin.nMediaTypes, pin.lpMediaType);
    return S_OK;
}

HRESULT FormatPin2(const REGFILTERPINS2& pin, ULONG number, std::wstring& text)
{
    if (pin.nMediaTypes && !pin.lpMediaType)
        return E_POINTER;
    text += L"; pin #" + std::to_wstring(number) +
            (pin.dwFlags & REG_PINFLAG_B_OUTPUT ? L" output" : L" input");
    if (pin.dwFlags & REG_PINFLAG_B_RENDERER)
        text += L" rendered";
    if (pin.dwFlags & REG_PINFLAG_B_ZERO)
        text += L" zero";
    if (pin.dwFlags & REG_PINFLAG_B_MANY)
        text += L" many";
    if (pin.cInstances)
        text += L" instances=" + std::to_wstring(pin.cInstances);
    if (pin.clsPinCategory)
        text += L" category=" + GuidToString(*pin.clsPinCategory);
    text += MediaTypes(pin.nMediaTypes, pin.lpMediaType);
    return S_OK;
}

} // namespace

HRESULT FormatFilterData(const REGFILTER2& data, std::wstring& text)
{
    if (data.dwVersion != 1 && data.dwVersion != 2)
        return E_INVALIDARG;
    text = L"merit=" + Hex32(data.dwMerit);
    HRESULT hr = S_OK;
    if (data.dwVersion == 1)
    {
        if (data.cPins && !data.rgPins)
            return E_POINTER;
        for (ULONG i = 0; i < data.cPins && SUCCEEDED(hr); ++i)
            hr = FormatPin(data.rgPins[i], text);
    }
    else
    {
        if (data.cPins2 && !data.rgPins2)
            return E_POINTER;
        for (ULONG i = 0; i < data.cPins2 && SUCCEEDED(hr); ++i)
            hr = FormatPin2(data.rgPins2[i], i + 1, text);
    }
    return hr;
}

} // namespace graph
