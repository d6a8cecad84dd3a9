#include "AMThread.h"

#include <com/HResult.h>

#include <system_error>

CAMThread::~CAMThread()
{
    Close();
}

BOOL CAMThread::Create()
{
    CAutoLock lock(&m_AccessLock);
    if (ThreadExists())
        return FALSE;
    try
    {
        m_thread = std::thread([this] { ThreadProc(); });
    }
    catch (const std::system_error&)
    {
        return FALSE;
    }
    return TRUE;
}

DWORD CAMThread::CallWorker(DWORD dwParam)
{
    CAutoLock lock(&m_AccessLock);
    if (!ThreadExists())
        return static_cast<DWORD>(E_FAIL);
    m_dwParam = dwParam;
    m_EventSend.Set();
    m_EventComplete.Wait();
    return m_dwReturnVal;
}

void CAMThread::Close()
{
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id())
        m_thread.join();
}

DWORD CAMThread::GetRequest()
{
    m_EventSend.Wait();
    return m_dwParam;
}

BOOL CAMThread::CheckRequest(DWORD* pParam)
{
    if (!m_EventSend.Check())
        return FALSE;
    if (pParam)
        *pParam = m_dwParam;
    return TRUE;
}

void CAMThread::Reply(DWORD dwReturn)
{
    m_dwReturnVal = dwReturn;
    m_EventSend.Reset();
    m_EventComplete.Set();
}
