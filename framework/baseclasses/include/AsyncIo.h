#pragma once

// CAsyncIo: serves reads of a CAsyncStream, queued or synchronous.
//
// Queued requests (Request) are served in order by one worker thread and
// collected with WaitForNext. Each read holds the stream's lock around
// SetPointer and Read; a read that returns fewer bytes than asked completes
// with S_FALSE and the actual length. Requests past the end of the stream are
// refused with HRESULT_FROM_WIN32(ERROR_HANDLE_EOF); one reaching past the end
// reads what is there and completes with S_FALSE.
//
// BeginFlush cancels the requests not yet started: WaitForNext hands each back
// with VFW_E_WRONG_STATE (so the caller recovers its buffers), lets a read in
// progress finish, and then answers VFW_E_WRONG_STATE with no context until
// EndFlush. New requests are refused while flushing.
//
// Requests are kept in lists whose entries are reused, so steady streaming
// does not allocate. The lists' lock is innermost; the stream is read
// without it.

#include "AsyncStream.h"
#include "BaseTypes.h"
#include "GenericList.h"

#include <condition_variable>
#include <mutex>
#include <thread>

class CAsyncIo
{
public:
    explicit CAsyncIo(CAsyncStream* pStream);
    ~CAsyncIo();
    CAsyncIo(const CAsyncIo&) = delete;
    CAsyncIo& operator=(const CAsyncIo&) = delete;

    // Starts the worker thread (streaming begins).
    HRESULT AsyncActive();
    // Cancels what is queued and ends the worker thread (streaming ends).
    HRESULT AsyncInactive();

    HRESULT Request(LONGLONG llPos, LONG lLength, BOOL bAligned, BYTE* pBuffer, void* pContext,
                    DWORD_PTR dwUser);
    // The next completed request, in completion order; VFW_E_TIMEOUT when none
    // completes within dwTimeout milliseconds.
    HRESULT WaitForNext(DWORD dwTimeout, void** ppContext, DWORD_PTR* pdwUser, LONG* pcbActual);

    HRESULT SyncReadAligned(LONGLONG llPos, LONG lLength, BYTE* pBuffer, LONG* pcbActual,
                            void* pvContext);
    // Any position and length; S_FALSE when fewer bytes were read.
    HRESULT SyncRead(LONGLONG llPos, LONG lLength, BYTE* pBuffer);

    HRESULT Length(LONGLONG* pllTotal, LONGLONG* pllAvailable);
    // Asked of the stream at each use, never in the constructor: the stream is usually a
    // member of the filter that owns this object and may not be built yet.
    LONG Alignment() const;
    BOOL IsAligned(LONGLONG llValue) const { return (llValue & (Alignment() - 1)) == 0; }

    HRESULT BeginFlush();
    HRESULT EndFlush();

private:
    struct CRequest
    {
        LONGLONG llPos;
        LONG lLength;
        BOOL bAligned;
        BYTE* pBuffer;
        void* pContext;
        DWORD_PTR dwUser;
        HRESULT hr;
        LONG cbActual;
    };

    // Reads one request from the stream (no list lock held).
    void Complete(CRequest& request);
    HRESULT CheckRequest(LONGLONG llPos, LONG lLength, BOOL bAligned, const BYTE* pBuffer);
    void ThreadProc();
    void StopThread();
    CRequest* NewRequest();

    CAsyncStream* const m_pStream;

    std::mutex m_csLists;
    std::condition_variable m_evWork; // work queued, or stop
    std::condition_variable m_evDone; // a request completed, or flush
    CGenericList<CRequest> m_listWork;
    CGenericList<CRequest> m_listDone;
    CGenericList<CRequest> m_listFree;
    LONG m_cItemsOut = 0; // requests being read by the worker
    bool m_bFlushing = false;
    bool m_bStopWorker = false;
    std::thread m_thread;
};
