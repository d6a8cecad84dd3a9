#pragma once

// Small filters around the stock filters in the tests: a pull source over bytes
// in memory, a push source that delivers what the test hands it, and a sink
// that records what it receives and can hold samples back.

#include "streams.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

// The byte stream of CTestAsyncSource: a buffer in memory.
class CBufferStream : public CAsyncStream
{
public:
    explicit CBufferStream(std::vector<uint8_t> bytes) : m_Bytes(std::move(bytes)) {}
    HRESULT SetPointer(LONGLONG llPos) override;
    HRESULT Read(BYTE* pbBuffer, DWORD dwBytesToRead, BOOL bAlign, DWORD* pdwBytesRead) override;
    LONGLONG Size(LONGLONG* pSizeAvailable) override;
    DWORD Alignment() override { return 1; }
    void Lock() override { m_csLock.Lock(); }
    void Unlock() override { m_csLock.Unlock(); }

private:
    const std::vector<uint8_t> m_Bytes;
    LONGLONG m_llPosition = 0;
    CCritSec m_csLock;
};

// Gives CTestAsyncSource its stream before the reader base, which uses it.
struct CBufferStreamHolder
{
    explicit CBufferStreamHolder(std::vector<uint8_t> bytes) : m_Stream(std::move(bytes)) {}
    CBufferStream m_Stream;
};

// An asynchronous (pull) source over a byte buffer, like "File Reader" with a
// loaded file: MEDIATYPE_Stream / MEDIASUBTYPE_MPEG2_PROGRAM.
class CTestAsyncSource : private CBufferStreamHolder, public CAsyncReader
{
public:
    CTestAsyncSource(std::vector<uint8_t> bytes, HRESULT* phr);
};

// A push source offering one media type; the test pushes samples on its own thread.
class CTestPushSource : public CBaseFilter
{
public:
    CTestPushSource(const CMediaType& mt, LONG cbBuffer, HRESULT* phr);

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int n) override { return n == 0 ? &m_Pin : nullptr; }

    // Delivers bytes in one sample, with a start time when pStart is given.
    HRESULT Push(const uint8_t* pData, size_t cbData, const REFERENCE_TIME* pStart = nullptr);
    HRESULT PushEndOfStream() { return m_Pin.DeliverEndOfStream(); }
    IPin* Pin() { return &m_Pin; }
    IMemAllocator* Allocator() const { return m_Pin.Allocator(); }

private:
    class CPin : public CBaseOutputPin
    {
    public:
        CPin(CTestPushSource* pFilter, const CMediaType& mt, LONG cbBuffer, HRESULT* phr);
        HRESULT CheckMediaType(const CMediaType* pmt) override;
        HRESULT GetMediaType(int iPosition, CMediaType* pmt) override;
        HRESULT DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pRequest) override;
        IMemAllocator* Allocator() const { return m_pAllocator; }

    private:
        const CMediaType m_mt;
        const LONG m_cbBuffer;
    };

    CCritSec m_csFilter;
    CPin m_Pin;
};

// What the sink saw of one sample.
struct ReceivedSample
{
    IMediaSample* pSample = nullptr; // identity only: not held
    BYTE* pBuffer = nullptr;
    LONG cbData = 0;
    bool bHasTime = false;
    REFERENCE_TIME tStart = 0;
    REFERENCE_TIME tStop = 0;
    bool bSyncPoint = false;
    bool bDiscontinuity = false;
};

// A rendering sink. It accepts the types its predicate accepts (any by default)
// and keeps the bytes and the properties of every sample. A gate, when set, is
// called before a sample is recorded and may block. It can also fail the way a
// writer on a full disk does (FailAfter).
class CTestSink : public CBaseFilter
{
public:
    using TypeFilter = std::function<bool(const CMediaType&)>;
    using Gate = std::function<void(const ReceivedSample&)>;

    explicit CTestSink(HRESULT* phr, TypeFilter accept = {});

    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int n) override { return n == 0 ? &m_Pin : nullptr; }

    IPin* Pin() { return &m_Pin; }
    const CMediaType& ConnectionType() const { return m_Pin.CurrentMediaType(); }
    BOOL IsReadOnly() const { return m_Pin.IsReadOnly(); }
    void SetGate(Gate gate) { m_Gate = std::move(gate); }
    // Called on the streaming thread when end of stream arrives.
    void SetEndOfStreamHook(std::function<void()> hook) { m_EndOfStreamHook = std::move(hook); }
    // Once nAccepted samples are recorded, every later one is refused with hr: the first
    // refusal is reported to the graph (EC_ERRORABORT), and the end of the stream no
    // longer completes. Set before streaming.
    void FailAfter(size_t nAccepted, HRESULT hr);
    // Samples offered after the first refusal.
    int OfferedAfterFailure();

    // Waits (up to a minute, so a broken graph fails instead of hanging the
    // suite) for end of stream; false if it did not come.
    bool WaitForEndOfStream();
    bool HasEnded();

    std::vector<uint8_t> Bytes();
    std::vector<ReceivedSample> Samples();

private:
    class CPin : public CRenderedInputPin
    {
    public:
        CPin(CTestSink* pSink, HRESULT* phr);
        HRESULT CheckMediaType(const CMediaType* pmt) override;
        HRESULT Receive(IMediaSample* pSample) override;
        HRESULT EndOfStream() override;

    private:
        CTestSink* const m_pSink;
    };

    void Record(const ReceivedSample& sample);
    // The failure to answer with instead of recording, if any (counts the refusal).
    HRESULT Refusal();
    bool HasRefused();

    CCritSec m_csFilter;
    CPin m_Pin;
    TypeFilter m_Accept;
    Gate m_Gate;
    std::function<void()> m_EndOfStreamHook;
    std::mutex m_mutex;
    std::condition_variable m_cvEnded;
    std::vector<uint8_t> m_Bytes;
    std::vector<ReceivedSample> m_Samples;
    bool m_bEnded = false;
    size_t m_nAccepted = SIZE_MAX;
    HRESULT m_hrFailure = S_OK;
    int m_nRefused = 0;
};

// Connects two pins directly, as the graph does, without a graph.
HRESULT ConnectPins(IPin* pOut, IPin* pIn, const AM_MEDIA_TYPE* pmt = nullptr);
// The n-th pin of a filter with the given direction (0-based), or null.
IPin* FindPin(IBaseFilter* pFilter, PIN_DIRECTION direction, int n = 0);
// Breaks every connection of a filter's pins (both sides), as the graph does
// when a filter leaves it; connected filters otherwise keep each other alive.
void DisconnectAll(IBaseFilter* pFilter);
