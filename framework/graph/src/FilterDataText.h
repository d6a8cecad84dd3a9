#pragma once
// The readable form in which the filter mapper stores a filter's registration
// data (merit and pins) as its "FilterData" value, one line, for example:
//
//   merit=0x00200000; pin "Video In" input types={73646976-...}/{...};
//   pin "Output" output rendered many types={...}/{...},{...}/{...}
//
// Pin names escape '"' and '\' with a backslash. Version 2 pins have no names and
// are written as pin #1, #2, ... with their flags, instance count and category.

#include "dshow/Registration.h"

#include <string>

namespace graph
{

/// E_INVALIDARG for an unknown version, E_POINTER for missing pin tables.
HRESULT FormatFilterData(const REGFILTER2& data, std::wstring& text);

} // namespace graph
