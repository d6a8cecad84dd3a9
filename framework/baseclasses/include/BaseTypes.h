#pragma once

// Names the base classes use beyond the platform types: object names for
// diagnostics are wide strings, as in a Unicode build of the platform.

#include <com/Types.h>

using TCHAR = wchar_t;
using LPCTSTR = const TCHAR*;

// An object's diagnostic name (kept for the look of filter code; unused).
#define NAME(text) L##text

// Size of a fixed array.
#define NUMELMS(array) (sizeof(array) / sizeof((array)[0]))

// Reference time units (100 ns) per second and per millisecond.
inline constexpr LONGLONG UNITS = 10000000;
inline constexpr LONGLONG MILLISECONDS = 10000;
