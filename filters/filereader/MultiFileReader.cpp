#include "MultiFileReader.h"

#include "SegmentListReader.h"

#include "com/StringConvert.h"
#include "com/TaskMem.h"

#include <cstring>
#include <cwctype>
#include <new>

CUnknown* CMultiFileReader::CreateInstance(LPUNKNOWN pUnk, HRESULT* phr)
{
    CUnknown* pReader = new (std::nothrow) CMultiFileReader(pUnk, phr);
    if (!pReader && phr)
        *phr = E_OUTOFMEMORY;
    return pReader;
}

CMultiFileReader::CMultiFileReader(LPUNKNOWN pUnk, HRESULT* phr)
    : CAsyncReader(nullptr, pUnk, &m_Stream, phr)
{
    m_mt.SetType(&MEDIATYPE_Stream);
    m_mt.SetSubtype(&GUID_NULL);
    m_mt.SetTemporalCompression(TRUE);
    m_mt.SetSampleSize(1); // fixed-size samples of 1 byte
    m_mt.SetFormatType(&GUID_NULL);
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
    if (!pszFileName)
        return E_POINTER;
    const std::string ansiName = WideToUtf8(pszFileName);
    if (ansiName.size() > CSegmentTable::kMaxPathBytes)
        return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);

    m_pszFileName = pszFileName;
    for (wchar_t& c : m_pszFileName)
        c = static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));

    // A name with ".kvx" anywhere in it is a segment list; any other is a single file.
    const bool bList = m_pszFileName.find(L".kvx") != std::wstring::npos;
    std::vector<std::string> names{ansiName};
    if (bList)
    {
        const HRESULT hr = ReadSegmentNames(ansiName, names);
        if (FAILED(hr))
            return hr;
    }

    {
        CAutoLock lock(&m_csRead);
        m_Segments.SetListDirectory(bList ? ansiName : std::string());
        m_Segments.Open(names);
    }
    m_mt.SetSubtype(&MEDIASUBTYPE_MPEG2_PROGRAM);
    SetLoaded(TRUE);
    return S_OK;
}

HRESULT CMultiFileReader::ReadSegmentNames(const std::string& listName,
                                           std::vector<std::string>& names)
{
    switch (ReadSegmentList(listName, CSegmentTable::kMaxSegments, names))
    {
    case SegmentListStatus::Ok:
        return S_OK;
    case SegmentListStatus::NotASegmentList:
        SetLoaded(FALSE);
        return E_INVALIDARG;
    case SegmentListStatus::CannotOpen:
    case SegmentListStatus::Empty:
        return E_INVALIDARG;
    case SegmentListStatus::ReadError:
        break;
    }
    // A list that cannot be read to its end would play a recording cut short.
    return HRESULT_FROM_WIN32(ERROR_READ_FAULT);
}

void CMultiFileReader::SetLoaded(BOOL bLoaded)
{
    if (m_bLoaded == bLoaded)
        return;
    m_bLoaded = bLoaded;
    IncrementPinVersion();
}

HRESULT CMultiFileReader::GetCurFile(LPOLESTR* ppszFileName, AM_MEDIA_TYPE* pmt)
{
    if (!ppszFileName)
        return E_POINTER;
    *ppszFileName = nullptr;
    if (!m_pszFileName.empty())
    {
        const std::size_t cbCopy = (m_pszFileName.size() + 1) * sizeof(WCHAR);
        *ppszFileName = static_cast<LPOLESTR>(CoTaskMemAlloc(cbCopy));
        if (!*ppszFileName)
            return E_OUTOFMEMORY;
        std::memcpy(*ppszFileName, m_pszFileName.c_str(), cbCopy);
    }
    if (pmt)
        return CopyMediaType(pmt, &m_mt);
    return S_OK;
}
