#include "com/TaskMem.h"

#include <cstdlib>

void* CoTaskMemAlloc(SIZE_T cb)
{
    // A zero-byte request still yields a distinct pointer, as on Windows.
    return std::malloc(cb == 0 ? 1 : cb);
}

void* CoTaskMemRealloc(void* pv, SIZE_T cb)
{
    return std::realloc(pv, cb == 0 ? 1 : cb);
}

void CoTaskMemFree(void* pv)
{
    std::free(pv);
}
