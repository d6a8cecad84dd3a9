#include "com/Guid.h"

#include "com/StringConvert.h"
#include "com/TaskMem.h"

#include <cstdio>
#include <cwchar>

namespace
{

constexpr std::size_t kGuidTextLength = 38; // "{8-4-4-4-12}"

int HexDigitValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    return -1;
}

/// Reads `digits` hex digits at text[pos]; false when any is not a hex digit.
bool ReadHex(std::wstring_view text, std::size_t pos, int digits, std::uint64_t& value)
{
    value = 0;
    for (int i = 0; i < digits; ++i)
    {
        int d = HexDigitValue(text[pos + i]);
        if (d < 0)
            return false;
        value = (value << 4) | std::uint64_t(d);
    }
    return true;
}

} // namespace

std::string GuidToUtf8(REFGUID g)
{
    char text[kGuidTextLength + 1];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  unsigned(g.Data1), unsigned(g.Data2), unsigned(g.Data3), g.Data4[0], g.Data4[1],
                  g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return text;
}

std::wstring GuidToString(REFGUID guid)
{
    std::string narrow = GuidToUtf8(guid);
    return std::wstring(narrow.begin(), narrow.end());
}

std::optional<GUID> GuidFromString(std::wstring_view text)
{
    if (text.size() != kGuidTextLength || text.front() != L'{' || text.back() != L'}' ||
        text[9] != L'-' || text[14] != L'-' || text[19] != L'-' || text[24] != L'-')
        return std::nullopt;

    GUID g{};
    std::uint64_t v = 0;
    if (!ReadHex(text, 1, 8, v))
        return std::nullopt;
    g.Data1 = std::uint32_t(v);
    if (!ReadHex(text, 10, 4, v))
        return std::nullopt;
    g.Data2 = std::uint16_t(v);
    if (!ReadHex(text, 15, 4, v))
        return std::nullopt;
    g.Data3 = std::uint16_t(v);
    constexpr std::size_t kBytePositions[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (int i = 0; i < 8; ++i)
    {
        if (!ReadHex(text, kBytePositions[i], 2, v))
            return std::nullopt;
        g.Data4[i] = std::uint8_t(v);
    }
    return g;
}

int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax)
{
    if (!lpsz || cchMax < int(kGuidTextLength + 1))
        return 0;
    std::wstring text = GuidToString(rguid);
    std::wmemcpy(lpsz, text.c_str(), text.size() + 1);
    return int(text.size() + 1);
}

HRESULT StringFromCLSID(REFCLSID rclsid, LPOLESTR* lplpsz)
{
    if (!lplpsz)
        return E_INVALIDARG;
    auto* text = static_cast<LPOLESTR>(CoTaskMemAlloc((kGuidTextLength + 1) * sizeof(OLECHAR)));
    *lplpsz = text;
    if (!text)
        return E_OUTOFMEMORY;
    StringFromGUID2(rclsid, text, kGuidTextLength + 1);
    return S_OK;
}

HRESULT CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid)
{
    if (!lpsz || !pclsid)
        return E_INVALIDARG;
    std::optional<GUID> parsed = GuidFromString(lpsz);
    if (!parsed)
        return CO_E_CLASSSTRING;
    *pclsid = *parsed;
    return S_OK;
}
