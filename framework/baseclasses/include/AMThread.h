#pragma once

// A worker thread that takes requests one at a time from its owner.
//
// The owner calls Create to start the thread (which runs ThreadProc) and
// CallWorker(request) to hand it a request and wait for its Reply. The worker
// loops on GetRequest (blocking) or CheckRequest (polling), does the work and
// calls Reply. m_AccessLock serialises the owner side: one CallWorker at a time.
// Close waits for ThreadProc to return; the owner must have asked the thread
// to end first (usually with a request of its own meaning "exit").

#include "AMEvent.h"
#include "CritSec.h"

#include <com/Types.h>

#include <thread>

class CAMThread
{
public:
    CAMThread() = default;
    virtual ~CAMThread();
    CAMThread(const CAMThread&) = delete;
    CAMThread& operator=(const CAMThread&) = delete;

    // Starts the thread. FALSE when it already runs or cannot be started.
    BOOL Create();
    BOOL ThreadExists() const { return m_thread.joinable(); }

    // Owner side: sends dwParam and returns the worker's reply. E_FAIL
    // (as a DWORD) when no thread runs.
    DWORD CallWorker(DWORD dwParam);

    // Waits for ThreadProc to return.
    void Close();

    // Worker side.
    DWORD GetRequest();
    BOOL CheckRequest(DWORD* pParam);
    void Reply(DWORD dwReturn);

    CCritSec m_AccessLock; // one caller at a time
    CCritSec m_WorkerLock; // free for the worker's own use

protected:
    virtual DWORD ThreadProc() = 0;

private:
    CAMEvent m_EventSend{TRUE}; // a request is pending (reset by Reply)
    CAMEvent m_EventComplete;   // the reply is ready
    DWORD m_dwParam = 0;        // written before m_EventSend is set
    DWORD m_dwReturnVal = 0;    // written before m_EventComplete is set
    std::thread m_thread;
};
