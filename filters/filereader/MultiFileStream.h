#pragma once

#include "SegmentTable.h"

#include "streams.h"

// The stream the framework's asynchronous reader pulls from: the reader filter's segment
// table seen as one file. The stream lock may be entered twice by one thread: the
// framework holds it around a positioning and a read, and Read enters it again. The
// table itself is used only under the filter's read lock.
class CMultiFileStream : public CAsyncStream
{
public:
    CMultiFileStream(CSegmentTable& segments, CCritSec& readLock)
        : m_Segments(segments), m_ReadLock(readLock)
    {
    }

    HRESULT SetPointer(LONGLONG llPos) override
    {
        if (llPos < 0)
            return S_FALSE;
        CAutoLock lock(&m_ReadLock);
        m_Segments.Seek(llPos);
        return S_OK;
    }

    // What the caller acts on is the byte count: a short count ends the stream there.
    HRESULT Read(BYTE* pbBuffer, DWORD dwBytesToRead, BOOL, DWORD* pdwBytesRead) override
    {
        CAutoLock streamLock(&m_csLock);
        CAutoLock readLock(&m_ReadLock);
        std::size_t cbRead = 0;
        m_Segments.Read(std::span(pbBuffer, dwBytesToRead), cbRead);
        *pdwBytesRead = static_cast<DWORD>(cbRead);
        return S_OK;
    }

    LONGLONG Size(LONGLONG* pSizeAvailable) override
    {
        CAutoLock lock(&m_ReadLock);
        if (pSizeAvailable)
            *pSizeAvailable = m_Segments.Available();
        return m_Segments.Total();
    }

    DWORD Alignment() override { return 1; }
    void Lock() override { m_csLock.Lock(); }
    void Unlock() override { m_csLock.Unlock(); }

private:
    CSegmentTable& m_Segments;
    CCritSec& m_ReadLock;
    CCritSec m_csLock;
};
