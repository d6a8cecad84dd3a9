#pragma once

#include "MultiFileStream.h"
#include "SegmentTable.h"

#include "streams.h"

#include <string>
#include <vector>

// The segment table, its read lock and the stream over them, held in a base class so that
// they are built before the asynchronous reader base, which asks the stream for its
// alignment while it is being built.
struct CMultiFileReaderStreamBase
{
    CMultiFileReaderStreamBase() : m_Stream(m_Segments, m_csRead) {}

    CCritSec m_csRead;
    CSegmentTable m_Segments;
    CMultiFileStream m_Stream;
};

// The multi-file reader ("Lumaro Multi File Reader"): a pull-model source that offers one
// file, or all segments of a segment list (*.kvx), as one MPEG-2 program stream through
// the framework's asynchronous reader. Its output pin exists once a name is loaded.
class CMultiFileReader : private CMultiFileReaderStreamBase,
                         public CAsyncReader,
                         public IFileSourceFilter
{
public:
    // The class factory's create function.
    static CUnknown* CreateInstance(LPUNKNOWN pUnk, HRESULT* phr);

    CMultiFileReader(LPUNKNOWN pUnk, HRESULT* phr);

    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    int GetPinCount() override { return m_bLoaded ? 1 : 0; }
    CBasePin* GetPin(int n) override { return m_bLoaded ? CAsyncReader::GetPin(n) : nullptr; }

    // IFileSourceFilter
    HRESULT Load(LPCOLESTR pszFileName, const AM_MEDIA_TYPE* pmt) override;
    HRESULT GetCurFile(LPOLESTR* ppszFileName, AM_MEDIA_TYPE* pmt) override;

private:
    HRESULT ReadSegmentNames(const std::string& listName, std::vector<std::string>& names);
    void SetLoaded(BOOL bLoaded);

    std::wstring m_pszFileName; // the name last given to Load, in lower case
    BOOL m_bLoaded = FALSE;
};
