#pragma once

#include "streams.h"

// The "Lumaro Multi File Reader" source filter: an asynchronous reader whose
// output pin "Output" exists once a file is loaded. Loading is not wired in
// yet: Load answers E_NOTIMPL, so the filter has no pin.
class CMultiFileReader : public CAsyncReader, public IFileSourceFilter
{
public:
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
    // An empty stream until loading is wired in.
    class CEmptyStream : public CAsyncStream
    {
    public:
        HRESULT SetPointer(LONGLONG) override { return S_OK; }
        HRESULT Read(BYTE*, DWORD, BOOL, DWORD* pdwBytesRead) override;
        LONGLONG Size(LONGLONG* pSizeAvailable) override;
        DWORD Alignment() override { return 1; }
        void Lock() override {}
        void Unlock() override {}
    };

    static CEmptyStream s_EmptyStream;
    BOOL m_bLoaded = FALSE;
};
