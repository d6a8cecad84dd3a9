#pragma once

#include "LmrFileWriterUUIDS.h"
#include "SegmentWriter.h"

#include "streams.h"

class CMultiFileWriterFilter;
class CMultiFileWriterInputPin;

// The multi-file writer ("Lumaro File Writer"): a sink that stores the byte stream of its
// one input pin in numbered segment files and lists them in a segment list file. The
// writer object owns its filter and its pin, which share its identity, and leaves the
// file work to its segment writer.
class CMultiFileWriter : public CUnknown, public IFileSinkFilter, public IMultiFileWriterControl
{
public:
    // The class factory's create function.
    static CUnknown* CreateInstance(LPUNKNOWN pUnk, HRESULT* phr);

    CMultiFileWriter(LPUNKNOWN pUnk, HRESULT* phr);
    ~CMultiFileWriter() override;

    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // IFileSinkFilter
    HRESULT SetFileName(LPCOLESTR pszFileName, const AM_MEDIA_TYPE* pmt) override;
    HRESULT GetCurFile(LPOLESTR* ppszFileName, AM_MEDIA_TYPE* pmt) override;

    // IMultiFileWriterControl
    HRESULT SetSegmentSizeKB(DWORD dwKilobytes) override;
    HRESULT SetTotalSizeLimit(ULONGLONG cbTotal) override;
    HRESULT EnablePackAlignedCut() override;
    HRESULT DisablePackAlignedCut() override;

    CBasePin* InputPin() const;

    // What the filter's state changes do to the files; called holding the filter lock.
    void OnStop();
    // A segment that cannot be opened is reported by the samples that follow.
    void OnPause() { m_Segments.Pause(); }
    void OnRun() { m_Segments.Run(); }

    // Called by the input pin holding the receive lock. Write stores one sample's bytes;
    // StreamResult tells whether the stream is still being written. A failure refuses the
    // rest of the stream until Stop and is reported to the graph once, as EC_ERRORABORT.
    HRESULT Write(const BYTE* pbData, LONG cbData);
    HRESULT StreamResult();

private:
    HRESULT CreatePositionPassThrough();
    HRESULT Report(const FileStatus& status);

    CMultiFileWriterFilter* m_pFilter = nullptr;
    CMultiFileWriterInputPin* m_pPin = nullptr;
    CCritSec m_Lock;
    CCritSec m_ReceiveLock;
    CPosPassThru* m_pPosition = nullptr;
    CSegmentWriter m_Segments;
    bool m_bFailureReported = false; // guarded by the receive lock
};
