#pragma once
// BSTR and the VARIANT subset the property bag uses.
//
// A BSTR points at wide characters preceded by a 32-bit byte length and followed
// by a terminator; a null BSTR is the empty string.

#include "com/HResult.h"
#include "com/Types.h"

using BSTR = OLECHAR*;

BSTR SysAllocString(const OLECHAR* psz);
BSTR SysAllocStringLen(const OLECHAR* pch, UINT cch);
/// Null is allowed.
void SysFreeString(BSTR bstr);
/// Characters, without the terminator.
UINT SysStringLen(BSTR bstr);
UINT SysStringByteLen(BSTR bstr);

using VARTYPE = unsigned short;

enum VARENUM : VARTYPE
{
    VT_EMPTY = 0,
    VT_I4 = 3,
    VT_BSTR = 8,
    VT_UI4 = 19,
};

struct VARIANT
{
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union
    {
        LONG lVal;
        ULONG ulVal;
        BSTR bstrVal;
        LONGLONG llVal;
    };
};

void VariantInit(VARIANT* pvarg);
/// Frees what the variant owns and leaves it VT_EMPTY.
HRESULT VariantClear(VARIANT* pvarg);
/// Deep copy (the string is duplicated); clears pvargDest first.
HRESULT VariantCopy(VARIANT* pvargDest, const VARIANT* pvargSrc);
