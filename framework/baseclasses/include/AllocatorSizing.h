#pragma once

// DecideBufferSize for output pins that need at least a given number and size
// of buffers: the downstream request raised to those, and E_FAIL when the
// allocator grants less.

#include "streams.h"

HRESULT SetAllocatorAtLeast(IMemAllocator* pAlloc, const ALLOCATOR_PROPERTIES& request,
                            LONG cBuffers, LONG cbBuffer);
