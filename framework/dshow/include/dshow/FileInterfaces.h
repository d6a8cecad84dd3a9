#pragma once
// File name interfaces of sink and source filters.

#include "com/Unknown.h"
#include "dshow/MediaType.h"
#include "dshow/Uuids.h"

struct IFileSinkFilter : IUnknown
{
    virtual HRESULT SetFileName(LPCOLESTR pszFileName, const AM_MEDIA_TYPE* pmt) = 0;
    /// Name allocated with CoTaskMemAlloc; pmt (optional) receives a copy of the type.
    virtual HRESULT GetCurFile(LPOLESTR* ppszFileName, AM_MEDIA_TYPE* pmt) = 0;

protected:
    ~IFileSinkFilter() = default;
};
DECLARE_INTERFACE_IID(IFileSinkFilter, IID_IFileSinkFilter);

struct IFileSourceFilter : IUnknown
{
    virtual HRESULT Load(LPCOLESTR pszFileName, const AM_MEDIA_TYPE* pmt) = 0;
    virtual HRESULT GetCurFile(LPOLESTR* ppszFileName, AM_MEDIA_TYPE* pmt) = 0;

protected:
    ~IFileSourceFilter() = default;
};
DECLARE_INTERFACE_IID(IFileSourceFilter, IID_IFileSourceFilter);
