#pragma once

// COutputQueue: delivers an output pin's samples and stream calls to the
// connected input pin, either on a thread of its own or on the caller's thread.
//
// Mode: with bAuto the queue asks the input pin's ReceiveCanBlock at creation
// and uses a thread when it answers S_OK; without bAuto, bQueue decides. On its
// own thread, Receive only appends to a list and returns; the thread delivers
// in order: samples (in batches of up to lBatchSize; with bBatchExact a batch
// waits until full, for SendAnyway or for a stream call), EOS and NewSegment.
// On the caller's thread, samples are batched the same way and delivered as
// soon as a batch is full.
//
// Ownership: Receive takes over the caller's reference to each sample, whatever
// it returns. Once a delivery fails (or the input pin answers S_FALSE), later
// samples are released undelivered and Receive returns that result, until
// EndFlush or Reset.
//
// Flushing: BeginFlush drops everything queued (samples are released, a queued
// EOS is forgotten) and passes BeginFlush downstream at once, on the caller's
// thread, which releases the input pin if it is blocking the queue's thread.
// Receive then answers S_FALSE. EndFlush waits until the queue's thread is idle,
// passes EndFlush downstream, then accepts samples again.
//
// Destruction ends the queue's thread: it finishes the delivery in progress (a
// blocked downstream Receive must return, as it does once the downstream filter
// has stopped), then the samples still queued are released undelivered.
//
// Locks: the queue's lock is innermost and never held while calling the input
// pin. On the caller's thread, deliveries are serialised by a second lock taken
// before it.

#include "BaseTypes.h"
#include "GenericList.h"

#include <dshow/dshow.h>

#include <condition_variable>
#include <mutex>
#include <thread>

inline constexpr DWORD THREAD_PRIORITY_NORMAL = 0;

class COutputQueue
{
public:
    // dwPriority and bFlushingOpt are accepted for compatibility; the thread
    // runs at the default priority.
    COutputQueue(IPin* pInputPin, HRESULT* phr, BOOL bAuto = TRUE, BOOL bQueue = TRUE,
                 LONG lBatchSize = 1, BOOL bBatchExact = FALSE, LONG lListSize = DEFAULTCACHE,
                 DWORD dwPriority = THREAD_PRIORITY_NORMAL, bool bFlushingOpt = false);
    ~COutputQueue();
    COutputQueue(const COutputQueue&) = delete;
    COutputQueue& operator=(const COutputQueue&) = delete;

    void BeginFlush();
    void EndFlush();
    void EOS();
    // Delivers a partial batch now.
    void SendAnyway();
    void NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate);

    HRESULT Receive(IMediaSample* pSample);
    HRESULT ReceiveMultiple(IMediaSample** ppSamples, LONG nSamples, LONG* nSamplesProcessed);

    // Forgets a delivery failure.
    void Reset();
    // TRUE when nothing is queued or being delivered.
    BOOL IsIdle();
    BOOL IsQueued() const { return m_bQueue; }

private:
    // A stream call queued in order with the samples. The sample list holds a
    // null entry in its place; the calls themselves wait in m_Controls.
    struct Control
    {
        enum Kind
        {
            EndOfStream,
            NewSegment,
            SendAnyway,
        } kind;
        REFERENCE_TIME tStart;
        REFERENCE_TIME tStop;
        double dRate;
    };

    void ThreadProc();
    // Waits for work and takes one batch and/or one control (lock held);
    // false when the thread must end.
    bool TakeWork(std::unique_lock<std::mutex>& lock, LONG& nSamples, Control*& pControl);
    HRESULT DeliverBatch(IMediaSample** ppSamples, LONG nSamples);
    void DeliverControl(const Control& control);
    void RecordResult(HRESULT hr);
    // Releases every queued sample and control (lock held).
    void DropQueued();
    // Caller's-thread mode: delivers the gathered samples (m_csDeliver held).
    HRESULT DeliverGathered();
    void QueueControl(const Control& control);
    void CallOnCaller(const Control& control);

    IPin* m_pPin = nullptr;              // holds a reference
    IMemInputPin* m_pInputPin = nullptr; // holds a reference
    BOOL m_bQueue = FALSE;
    const LONG m_lBatchSize;
    const BOOL m_bBatchExact;

    std::mutex m_mutex;
    std::condition_variable m_evWork;  // something queued, or terminate
    std::condition_variable m_evIdle;  // the thread finished a delivery
    CGenericList<IMediaSample> m_List; // samples; null marks a control
    CGenericList<Control> m_Controls;  // queued stream calls, in order
    bool m_bFlushing = false;
    bool m_bTerminate = false;
    bool m_bDelivering = false;
    HRESULT m_hr = S_OK; // result of the first failed delivery

    IMediaSample** m_ppBatch = nullptr;   // samples gathered for one delivery
    LONG m_nBatched = 0;                  // gathered on the caller's thread (m_mutex)
    IMediaSample** m_ppSending = nullptr; // the batch being delivered
    std::mutex m_csDeliver;               // caller's-thread deliveries; outer lock
    std::thread m_thread;
};
