#pragma once
// Wide <-> "ANSI code page" conversion. The ANSI code page is UTF-8.

#include "com/Types.h"

#include <string>
#include <string_view>

inline constexpr UINT CP_ACP = 0;
inline constexpr UINT CP_UTF8 = 65001;

/// The Win32 functions of the same names (dwFlags and the default-character
/// arguments are ignored). cchWideChar / cbMultiByte of -1 mean "up to and including
/// the terminator". Output size 0 asks for the size needed. Returns 0 on failure
/// (invalid input or too small a buffer).
int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar,
                        LPSTR lpMultiByteStr, int cbMultiByte, LPCSTR lpDefaultChar,
                        BOOL* lpUsedDefaultChar);
int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte,
                        LPWSTR lpWideCharStr, int cchWideChar);

/// A Unicode scalar value: at most U+10FFFF and not a surrogate.
bool IsValidCodePoint(char32_t c);
/// Invalid code points become U+FFFD.
std::string WideToUtf8(std::wstring_view text);
/// Malformed bytes become U+FFFD.
std::wstring Utf8ToWide(std::string_view text);
