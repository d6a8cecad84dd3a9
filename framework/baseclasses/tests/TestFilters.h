#pragma once

// Small filters for the base-class tests: a push source with an optional
// output queue and a streaming thread, a copying transform, and a rendering
// sink that records what it receives and can block in Receive.

#include "streams.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

// A media type of the tests: MEDIATYPE_Stream with the given subtype.
CMediaType TestType(const GUID& subtype);
extern const GUID kSubtypeA;
extern const GUID kSubtypeB;
extern const GUID kSubtypeC;

enum class QueueMode
{
    None,   // Deliver calls the input pin directly
    Auto,   // COutputQueue, thread if the input pin's Receive can block
    Thread, // COutputQueue with its own thread
};

class CTestSource : public CBaseFilter
{
public:
    class CPin : public CBaseOutputPin
    {
    public:
        CPin(CTestSource* pFilter, HRESULT* phr);
        ~CPin() override;
        HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
        HRESULT CheckMediaType(const CMediaType* pmt) override;
        HRESULT GetMediaType(int iPosition, CMediaType* pmt) override;
        HRESULT DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pRequest) override;
        HRESULT Active() override;
        HRESULT Inactive() override;
        HRESULT Deliver(IMediaSample* pSample) override;
        HRESULT DeliverEndOfStream() override;
        HRESULT DeliverBeginFlush() override;
        HRESULT DeliverEndFlush() override;
        IMemAllocator* Allocator() const { return m_pAllocator; }

        std::vector<CMediaType> m_Offered;
        std::vector<GUID> m_Accepted;
        ALLOCATOR_PROPERTIES m_Want{2, 64, 1, 0};
        QueueMode m_QueueMode = QueueMode::None;
        COutputQueue* m_pQueue = nullptr;
        IMediaSeeking* m_pSeeking = nullptr; // answers IMediaSeeking when set
    };

    explicit CTestSource(HRESULT* phr);
    ~CTestSource() override;

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int n) override { return n == 0 ? &m_Pin : nullptr; }
    HRESULT Stop() override;

    // Delivers one sample whose first bytes hold nSequence.
    HRESULT PushSample(int nSequence);
    // Starts a streaming thread that pushes cSamples samples (or until a
    // delivery fails), then end of stream.
    void StartStreaming(int cSamples);
    void StopStreaming();
    int Pushed() const { return m_cPushed; }

    CPin m_Pin;

private:
    CCritSec m_csFilter;
    std::thread m_thread;
    std::atomic<bool> m_bStopStreaming{false};
    std::atomic<int> m_cPushed{0};
};

class CTestTransform : public CBaseFilter
{
public:
    class CInput : public CBaseInputPin
    {
    public:
        CInput(CTestTransform* pFilter, HRESULT* phr);
        HRESULT CheckMediaType(const CMediaType* pmt) override;
        HRESULT Receive(IMediaSample* pSample) override;
        HRESULT EndOfStream() override;
        HRESULT BeginFlush() override;
        HRESULT EndFlush() override;
        CTestTransform* const m_pTransform;
    };
    class COutput : public CBaseOutputPin
    {
    public:
        COutput(CTestTransform* pFilter, HRESULT* phr);
        HRESULT CheckMediaType(const CMediaType* pmt) override;
        HRESULT GetMediaType(int iPosition, CMediaType* pmt) override;
        HRESULT DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pRequest) override;
        CTestTransform* const m_pTransform;
    };

    explicit CTestTransform(HRESULT* phr);
    int GetPinCount() override { return 2; }
    CBasePin* GetPin(int n) override;

    CInput m_Input;
    COutput m_Output;

private:
    CCritSec m_csFilter;
};

class CTestSink : public CBaseFilter
{
public:
    class CPin : public CRenderedInputPin
    {
    public:
        CPin(CTestSink* pFilter, HRESULT* phr);
        HRESULT CheckMediaType(const CMediaType* pmt) override;
        HRESULT GetMediaType(int iPosition, CMediaType* pmt) override;
        HRESULT GetAllocatorRequirements(ALLOCATOR_PROPERTIES* pProps) override;
        HRESULT ReceiveCanBlock() override { return m_hrCanBlock; }
        HRESULT Receive(IMediaSample* pSample) override;
        HRESULT BeginFlush() override;
        HRESULT EndFlush() override;
        HRESULT Inactive() override;
        HRESULT Active() override;

        std::vector<CMediaType> m_Offered;
        std::vector<GUID> m_Accepted;
        ALLOCATOR_PROPERTIES m_Requirements{};
        bool m_bHasRequirements = false;
        HRESULT m_hrCanBlock = S_FALSE;
        // While set, Receive blocks until flushing or inactive.
        std::atomic<bool> m_bBlock{false};
        CAMEvent m_evRelease{TRUE};
        std::atomic<bool> m_bInactive{false};
        CTestSink* const m_pSink;
    };

    explicit CTestSink(HRESULT* phr);
    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int n) override { return n == 0 ? &m_Pin : nullptr; }

    std::vector<int> Received();
    // Waits (bounded) until at least count samples arrived or one is blocked.
    bool WaitForSamples(int count);
    bool WaitUntilBlocked();

    CPin m_Pin;

private:
    friend class CPin;
    void Record(int nSequence);

    CCritSec m_csFilter;
    std::mutex m_mutex;
    std::condition_variable m_evReceived;
    std::vector<int> m_Received;
    bool m_bBlocked = false;
};

// Connects two pins (output first) and checks the result in the caller.
HRESULT ConnectPins(IPin* pOutput, IPin* pInput, const AM_MEDIA_TYPE* pmt = nullptr);
