#include "MultiFileReader.h"

#include <new>

CMultiFileReader::CEmptyStream CMultiFileReader::s_EmptyStream;

HRESULT CMultiFileReader::CEmptyStream::Read(BYTE*, DWORD, BOOL, DWORD* pdwBytesRead)
{
    *pdwBytesRead = 0;
    return S_OK;
}

LONGLONG CMultiFileReader::CEmptyStream::Size(LONGLONG* pSizeAvailable)
{
    if (pSizeAvailable)
        *pSizeAvailable = 0;
    return 0;
}

CUnknown* CMultiFileReader::CreateInstance(LPUNKNOWN pUnk, HRESULT* phr)
{
    CUnknown* pReader = new (std::nothrow) CMultiFileReader(pUnk, phr);
    if (!pReader && phr)
        *phr = E_OUTOFMEMORY;
    return pReader;
}

CMultiFileReader::CMultiFileReader(LPUNKNOWN pUnk, HRESULT* phr)
    : CAsyncReader(NAME("Lumaro Multi File Reader"), pUnk, &s_EmptyStream, phr)
{
    m_mt.SetType(&MEDIATYPE_Stream);
    m_mt.SetTemporalCompression(TRUE);
}

HRESULT CMultiFileReader::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IFileSourceFilter)
        return GetInterface(static_cast<IFileSourceFilter*>(this), ppv);
    return CAsyncReader::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CMultiFileReader::Load(LPCOLESTR pszFileName, const AM_MEDIA_TYPE*)
{
    return pszFileName ? E_NOTIMPL : E_POINTER;
}

HRESULT CMultiFileReader::GetCurFile(LPOLESTR* ppszFileName, AM_MEDIA_TYPE*)
{
    if (!ppszFileName)
        return E_POINTER;
    *ppszFileName = nullptr;
    return S_OK;
}
