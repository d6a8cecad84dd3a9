#include "MultiFileWriter.h"

#include "FileStatusResult.h"
#include "MultiFileWriterFilter.h"
#include "MultiFileWriterInputPin.h"

#include "com/StringConvert.h"
#include "com/TaskMem.h"

#include <cstring>
#include <cwchar>
#include <new>

CUnknown* CMultiFileWriter::CreateInstance(LPUNKNOWN pUnk, HRESULT* phr)
{
    CMultiFileWriter* pWriter = new (std::nothrow) CMultiFileWriter(pUnk, phr);
    if (!pWriter && phr)
        *phr = E_OUTOFMEMORY;
    return pWriter;
}

CMultiFileWriter::CMultiFileWriter(LPUNKNOWN pUnk, HRESULT* phr)
    : CUnknown(NAME("Multi File Writer"), pUnk)
{
    m_pFilter = new (std::nothrow) CMultiFileWriterFilter(this, GetOwner(), &m_Lock, phr);
    if (m_pFilter)
        m_pPin = new (std::nothrow)
            CMultiFileWriterInputPin(this, m_pFilter, &m_Lock, &m_ReceiveLock, phr);
    if ((!m_pFilter || !m_pPin) && phr)
        *phr = E_OUTOFMEMORY;
}

CMultiFileWriter::~CMultiFileWriter()
{
    m_Segments.Stop();
    delete m_pPosition;
    delete m_pPin;
    delete m_pFilter;
}

CBasePin* CMultiFileWriter::InputPin() const
{
    return m_pPin;
}

HRESULT CMultiFileWriter::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    CAutoLock lock(&m_Lock);
    if (riid == IID_IFileSinkFilter)
        return GetInterface(static_cast<IFileSinkFilter*>(this), ppv);
    if (riid == IID_IMultiFileWriterControl)
        return GetInterface(static_cast<IMultiFileWriterControl*>(this), ppv);
    if (riid == IID_IBaseFilter || riid == IID_IMediaFilter || riid == IID_IPersist)
        return m_pFilter->NonDelegatingQueryInterface(riid, ppv);
    if (riid == IID_IMediaPosition || riid == IID_IMediaSeeking)
    {
        const HRESULT hr = CreatePositionPassThrough();
        return FAILED(hr) ? hr : m_pPosition->NonDelegatingQueryInterface(riid, ppv);
    }
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CMultiFileWriter::CreatePositionPassThrough()
{
    if (m_pPosition)
        return S_OK;
    HRESULT hr = S_OK;
    m_pPosition = new (std::nothrow)
        CPosPassThru(NAME("Multi File Writer Pass Through"), GetOwner(), &hr, m_pPin);
    if (!m_pPosition)
        return E_OUTOFMEMORY;
    if (FAILED(hr))
    {
        delete m_pPosition;
        m_pPosition = nullptr;
    }
    return hr;
}

HRESULT CMultiFileWriter::SetFileName(LPCOLESTR pszFileName, const AM_MEDIA_TYPE*)
{
    if (!pszFileName)
        return E_POINTER;
    if (std::wcslen(pszFileName) > MAX_PATH)
        return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);

    const int cbName =
        WideCharToMultiByte(CP_ACP, 0, pszFileName, -1, nullptr, 0, nullptr, nullptr);
    if (cbName <= 0)
        return HRESULT_FROM_WIN32(ERROR_INVALID_NAME);
    std::string name(static_cast<std::size_t>(cbName), '\0');
    WideCharToMultiByte(CP_ACP, 0, pszFileName, -1, name.data(), cbName, nullptr, nullptr);
    name.pop_back(); // the terminator
    return HResultFromFileStatus(m_Segments.SetFileName(name));
}

HRESULT CMultiFileWriter::GetCurFile(LPOLESTR* ppszFileName, AM_MEDIA_TYPE* pmt)
{
    if (!ppszFileName)
        return E_POINTER;
    *ppszFileName = nullptr;
    const std::string name = m_Segments.CurrentFileName();
    if (!name.empty())
    {
        const std::wstring wideName = Utf8ToWide(name);
        const std::size_t cbCopy = (wideName.size() + 1) * sizeof(WCHAR);
        *ppszFileName = static_cast<LPOLESTR>(CoTaskMemAlloc(cbCopy));
        if (!*ppszFileName)
            return E_OUTOFMEMORY;
        std::memcpy(*ppszFileName, wideName.c_str(), cbCopy);
    }
    if (pmt)
    {
        std::memset(pmt, 0, sizeof(*pmt));
        pmt->majortype = GUID_NULL;
        pmt->subtype = GUID_NULL;
    }
    return S_OK;
}

HRESULT CMultiFileWriter::SetSegmentSizeKB(DWORD dwKilobytes)
{
    m_Segments.SetSegmentSizeKB(dwKilobytes);
    return S_OK;
}

HRESULT CMultiFileWriter::SetTotalSizeLimit(ULONGLONG cbTotal)
{
    m_Segments.SetTotalSizeLimit(cbTotal);
    return S_OK;
}

HRESULT CMultiFileWriter::EnablePackAlignedCut()
{
    m_Segments.SetPackAlignedCut(true);
    return S_OK;
}

HRESULT CMultiFileWriter::DisablePackAlignedCut()
{
    m_Segments.SetPackAlignedCut(false);
    return S_OK;
}

void CMultiFileWriter::OnStop()
{
    m_Segments.Stop();
    CAutoLock lock(&m_ReceiveLock);
    m_bFailureReported = false;
}

HRESULT CMultiFileWriter::Write(const BYTE* pbData, LONG cbData)
{
    if (cbData < 0)
        return E_INVALIDARG;
    return Report(m_Segments.Write(std::span(pbData, static_cast<std::size_t>(cbData))));
}

HRESULT CMultiFileWriter::StreamResult()
{
    return Report(m_Segments.StreamFailure());
}

HRESULT CMultiFileWriter::Report(const FileStatus& status)
{
    const HRESULT hr = HResultFromFileStatus(status);
    if (FAILED(hr) && !m_bFailureReported)
    {
        m_bFailureReported = true;
        m_pFilter->NotifyEvent(EC_ERRORABORT, hr, 0);
    }
    return hr;
}
