#include "AllocatorSizing.h"

#include <algorithm>

HRESULT SetAllocatorAtLeast(IMemAllocator* pAlloc, const ALLOCATOR_PROPERTIES& request,
                            LONG cBuffers, LONG cbBuffer)
{
    ALLOCATOR_PROPERTIES want = request;
    want.cBuffers = std::max(want.cBuffers, cBuffers);
    want.cbBuffer = std::max(want.cbBuffer, cbBuffer);
    want.cbAlign = std::max(want.cbAlign, LONG(1));
    ALLOCATOR_PROPERTIES actual{};
    const HRESULT hr = pAlloc->SetProperties(&want, &actual);
    if (FAILED(hr))
        return hr;
    return actual.cBuffers < want.cBuffers || actual.cbBuffer < want.cbBuffer ? E_FAIL : S_OK;
}
