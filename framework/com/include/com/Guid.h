#pragma once
// GUID with comparison, hashing and the registry text form
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".

#include "com/HResult.h"
#include "com/Types.h"

#include <compare>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

struct GUID
{
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];

    friend constexpr bool operator==(const GUID& a, const GUID& b)
    {
        if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3)
            return false;
        for (int i = 0; i < 8; ++i)
            if (a.Data4[i] != b.Data4[i])
                return false;
        return true;
    }

    friend constexpr std::strong_ordering operator<=>(const GUID& a, const GUID& b)
    {
        if (auto c = a.Data1 <=> b.Data1; c != 0)
            return c;
        if (auto c = a.Data2 <=> b.Data2; c != 0)
            return c;
        if (auto c = a.Data3 <=> b.Data3; c != 0)
            return c;
        for (int i = 0; i < 8; ++i)
            if (auto c = a.Data4[i] <=> b.Data4[i]; c != 0)
                return c;
        return std::strong_ordering::equal;
    }
};

using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID&;
using REFIID = const IID&;
using REFCLSID = const CLSID&;
using LPCLSID = CLSID*;

/// Defines a named GUID constant the way the SDK headers spell it.
#define DEFINE_GUID(name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8)                               \
    inline constexpr GUID name                                                                     \
    {                                                                                              \
        l, w1, w2,                                                                                 \
        {                                                                                          \
            b1, b2, b3, b4, b5, b6, b7, b8                                                         \
        }                                                                                          \
    }

inline constexpr GUID GUID_NULL{};
inline constexpr GUID CLSID_NULL{};
inline constexpr GUID IID_NULL{};

inline bool IsEqualGUID(REFGUID a, REFGUID b)
{
    return a == b;
}
inline bool IsEqualIID(REFIID a, REFIID b)
{
    return a == b;
}
inline bool IsEqualCLSID(REFCLSID a, REFCLSID b)
{
    return a == b;
}

template <> struct std::hash<GUID>
{
    std::size_t operator()(const GUID& g) const noexcept
    {
        std::uint64_t high =
            (std::uint64_t(g.Data1) << 32) | (std::uint64_t(g.Data2) << 16) | g.Data3;
        std::uint64_t low = 0;
        std::memcpy(&low, g.Data4, sizeof low);
        return std::hash<std::uint64_t>{}(high ^ (low * 0x9E3779B97F4A7C15ull));
    }
};

/// Braced upper-case text form, 38 characters.
std::wstring GuidToString(REFGUID guid);
std::string GuidToUtf8(REFGUID guid);
/// Parses the braced text form (either letter case); nullopt when malformed.
std::optional<GUID> GuidFromString(std::wstring_view text);

// The COM functions of the same names.
/// Writes the braced form into lpsz; returns the characters written including the
/// terminator, or 0 when cchMax is too small.
int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax);
/// Allocates the braced form with CoTaskMemAlloc.
HRESULT StringFromCLSID(REFCLSID rclsid, LPOLESTR* lplpsz);
/// CO_E_CLASSSTRING when the text is not a braced GUID.
HRESULT CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid);
