#pragma once
// Task memory: the allocator shared by every module and the runtime for memory
// that crosses an interface (strings returned by QueryId, media types from
// enumerators, format blocks).

#include "com/Types.h"

void* CoTaskMemAlloc(SIZE_T cb);
void* CoTaskMemRealloc(void* pv, SIZE_T cb);
/// Null is allowed.
void CoTaskMemFree(void* pv);
