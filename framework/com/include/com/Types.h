#pragma once
// Fixed-width stand-ins for the Windows base types. Widths follow the Windows
// LLP64 model (LONG and DWORD are 32 bits) so that structures keep their
// documented layout; wide characters are wchar_t so L"..." literals work.

#include <cstddef>
#include <cstdint>

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = std::uint32_t;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using LONGLONG = std::int64_t;
using ULONGLONG = std::uint64_t;
using DWORDLONG = std::uint64_t;
using LONG_PTR = std::intptr_t;
using ULONG_PTR = std::uintptr_t;
using DWORD_PTR = std::uintptr_t;
using SIZE_T = std::size_t;
using LPVOID = void*;

using BOOL = int;
inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

using CHAR = char;
using WCHAR = wchar_t;
using OLECHAR = wchar_t;
using LPSTR = char*;
using LPCSTR = const char*;
using LPWSTR = wchar_t*;
using LPCWSTR = const wchar_t*;
using LPOLESTR = wchar_t*;
using LPCOLESTR = const wchar_t*;

/// Media time in 100-nanosecond units.
using REFERENCE_TIME = LONGLONG;

/// Timeout value meaning "wait forever".
inline constexpr DWORD INFINITE = 0xFFFFFFFF;

/// Path length limit the system keeps to.
inline constexpr int MAX_PATH = 260;

struct RECT
{
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};
