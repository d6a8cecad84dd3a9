// Pull streaming through the asynchronous reader over a memory stream.

#include "streams.h"

#include <com/ComPtr.h>
#include <gtest/gtest.h>

#include <cstring>
#include <mutex>
#include <vector>

namespace
{
class CMemStream : public CAsyncStream
{
public:
    explicit CMemStream(LONGLONG cb) : m_Data(static_cast<size_t>(cb))
    {
        for (size_t i = 0; i < m_Data.size(); ++i)
            m_Data[i] = static_cast<BYTE>(i * 7);
    }

    HRESULT SetPointer(LONGLONG llPos) override
    {
        if (llPos < 0 || llPos > static_cast<LONGLONG>(m_Data.size()))
            return S_FALSE;
        m_llPosition = llPos;
        return S_OK;
    }
    HRESULT Read(BYTE* pbBuffer, DWORD dwBytesToRead, BOOL, DWORD* pdwBytesRead) override
    {
        std::lock_guard<std::recursive_mutex> lock(m_mutex);
        const LONGLONG llLeft = static_cast<LONGLONG>(m_Data.size()) - m_llPosition;
        const DWORD cb = static_cast<DWORD>(std::min<LONGLONG>(dwBytesToRead, llLeft));
        std::memcpy(pbBuffer, m_Data.data() + m_llPosition, cb);
        m_llPosition += cb;
        *pdwBytesRead = cb;
        return S_OK;
    }
    LONGLONG Size(LONGLONG* pSizeAvailable) override
    {
        if (pSizeAvailable)
            *pSizeAvailable = static_cast<LONGLONG>(m_Data.size());
        return static_cast<LONGLONG>(m_Data.size());
    }
    DWORD Alignment() override { return 1; }
    void Lock() override { m_mutex.lock(); }
    void Unlock() override { m_mutex.unlock(); }

    BYTE At(LONGLONG llPos) const { return m_Data[static_cast<size_t>(llPos)]; }

private:
    std::vector<BYTE> m_Data;
    LONGLONG m_llPosition = 0;
    std::recursive_mutex m_mutex;
};

class CMemReader : public CAsyncReader
{
public:
    CMemReader(CMemStream* pStream, HRESULT* phr)
        : CAsyncReader(NAME("Memory reader"), nullptr, pStream, phr)
    {
        m_mt.SetType(&MEDIATYPE_Stream);
        m_mt.SetSubtype(&MEDIASUBTYPE_MPEG2_PROGRAM);
    }
};

// The input pin of a puller: it asks for IAsyncReader while connecting, unless
// told not to.
class CPullSink : public CBaseFilter
{
public:
    class CPin : public CBasePin
    {
    public:
        explicit CPin(CPullSink* pFilter)
            : CBasePin(NAME("Pull pin"), pFilter, &pFilter->m_csFilter, nullptr, L"In",
                       PINDIR_INPUT)
        {
        }
        HRESULT CheckMediaType(const CMediaType*) override { return S_OK; }
        HRESULT BeginFlush() override { return S_OK; }
        HRESULT EndFlush() override { return S_OK; }
        HRESULT CompleteConnect(IPin* pPeer) override
        {
            if (!m_bAskForReader)
                return S_OK;
            return pPeer->QueryInterface(IID_IAsyncReader, reinterpret_cast<void**>(&m_pReader));
        }
        HRESULT BreakConnect() override
        {
            m_pReader.Reset();
            return S_OK;
        }
        bool m_bAskForReader = true;
        ComPtr<IAsyncReader> m_pReader;
    };

    CPullSink() : CBaseFilter(NAME("Pull sink"), nullptr, &m_csFilter, GUID_NULL), m_Pin(this) {}
    int GetPinCount() override { return 1; }
    CBasePin* GetPin(int n) override { return n == 0 ? &m_Pin : nullptr; }

    CCritSec m_csFilter;
    CPin m_Pin;
};

class AsyncReaderTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        reader->Stop();
        sink->m_Pin.Disconnect();
        reader->GetPin(0)->Disconnect();
    }

    void Connect()
    {
        ASSERT_EQ(S_OK, reader->GetPin(0)->Connect(&sink->m_Pin, nullptr));
        ALLOCATOR_PROPERTIES props{4, 100, 1, 0};
        ASSERT_EQ(S_OK, Reader()->RequestAllocator(nullptr, &props, &allocator));
        ASSERT_EQ(S_OK, allocator->Commit());
    }

    IAsyncReader* Reader() { return sink->m_Pin.m_pReader.Get(); }

    // A sample asking for cb bytes at llPos.
    IMediaSample* Ask(LONGLONG llPos, LONG cb)
    {
        IMediaSample* pSample = nullptr;
        REFERENCE_TIME tStart = llPos * UNITS;
        REFERENCE_TIME tStop = (llPos + cb) * UNITS;
        EXPECT_EQ(S_OK, allocator->GetBuffer(&pSample, &tStart, &tStop, 0));
        return pSample;
    }

    void ExpectBytes(IMediaSample* pSample, LONGLONG llPos, LONG cb)
    {
        ASSERT_EQ(cb, pSample->GetActualDataLength());
        BYTE* pData = nullptr;
        pSample->GetPointer(&pData);
        for (LONG i = 0; i < cb; ++i)
            ASSERT_EQ(stream.At(llPos + i), pData[i]);
    }

    CMemStream stream{250};
    HRESULT hr = S_OK;
    ComPtr<CMemReader> reader{new CMemReader(&stream, &hr)};
    ComPtr<CPullSink> sink{new CPullSink};
    ComPtr<IMemAllocator> allocator;
};
} // namespace

TEST_F(AsyncReaderTest, ConnectsOnlyToAPinThatPulls)
{
    sink->m_Pin.m_bAskForReader = false;
    EXPECT_EQ(VFW_E_NO_TRANSPORT, reader->GetPin(0)->Connect(&sink->m_Pin, nullptr));
    sink->m_Pin.m_bAskForReader = true;
    EXPECT_EQ(S_OK, reader->GetPin(0)->Connect(&sink->m_Pin, nullptr));
}

TEST_F(AsyncReaderTest, SynchronousReadsReportShortReads)
{
    Connect();
    BYTE buffer[100];
    EXPECT_EQ(S_OK, Reader()->SyncRead(10, 100, buffer));
    EXPECT_EQ(stream.At(10), buffer[0]);
    EXPECT_EQ(stream.At(109), buffer[99]);
    EXPECT_EQ(S_FALSE, Reader()->SyncRead(200, 100, buffer));

    IMediaSample* pSample = Ask(230, 40);
    EXPECT_EQ(S_FALSE, Reader()->SyncReadAligned(pSample));
    ExpectBytes(pSample, 230, 20);
    pSample->Release();

    LONGLONG llTotal = 0;
    LONGLONG llAvailable = 0;
    EXPECT_EQ(S_OK, Reader()->Length(&llTotal, &llAvailable));
    EXPECT_EQ(250, llTotal);
}

TEST_F(AsyncReaderTest, QueuedRequestsCompleteInOrderOnTheWorker)
{
    Connect();
    ASSERT_EQ(S_OK, reader->Pause());
    IMediaSample* pSamples[3] = {Ask(0, 100), Ask(100, 100), Ask(200, 100)};
    for (DWORD_PTR i = 0; i < 3; ++i)
        ASSERT_EQ(S_OK, Reader()->Request(pSamples[i], i));

    for (DWORD_PTR i = 0; i < 3; ++i)
    {
        IMediaSample* pDone = nullptr;
        DWORD_PTR dwUser = 99;
        const HRESULT hrDone = Reader()->WaitForNext(INFINITE, &pDone, &dwUser);
        ASSERT_EQ(pSamples[i], pDone);
        EXPECT_EQ(i, dwUser);
        EXPECT_EQ(i == 2 ? S_FALSE : S_OK, hrDone);
        ExpectBytes(pDone, LONGLONG(i) * 100, i == 2 ? 50 : 100);
        pDone->Release();
    }

    IMediaSample* pPastEnd = Ask(250, 10);
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_HANDLE_EOF), Reader()->Request(pPastEnd, 0));
    pPastEnd->Release();
}

TEST_F(AsyncReaderTest, FlushHandsBackQueuedRequests)
{
    Connect(); // not paused: no worker, so the requests stay queued
    IMediaSample* pSamples[2] = {Ask(0, 10), Ask(10, 10)};
    ASSERT_EQ(S_OK, Reader()->Request(pSamples[0], 0));
    ASSERT_EQ(S_OK, Reader()->Request(pSamples[1], 1));
    ASSERT_EQ(S_OK, Reader()->BeginFlush());

    for (IMediaSample* pExpected : pSamples)
    {
        IMediaSample* pDone = nullptr;
        DWORD_PTR dwUser = 0;
        EXPECT_EQ(VFW_E_WRONG_STATE, Reader()->WaitForNext(INFINITE, &pDone, &dwUser));
        EXPECT_EQ(pExpected, pDone);
        pDone->Release();
    }
    IMediaSample* pDone = nullptr;
    DWORD_PTR dwUser = 0;
    EXPECT_EQ(VFW_E_WRONG_STATE, Reader()->WaitForNext(INFINITE, &pDone, &dwUser));
    EXPECT_EQ(nullptr, pDone);
    IMediaSample* pLate = Ask(0, 10);
    EXPECT_EQ(VFW_E_WRONG_STATE, Reader()->Request(pLate, 0));
    ASSERT_EQ(S_OK, Reader()->EndFlush());
    EXPECT_EQ(VFW_E_TIMEOUT, Reader()->WaitForNext(0, &pDone, &dwUser));
    pLate->Release();
}

TEST_F(AsyncReaderTest, RequestsLargerThanTheSampleAreRefused)
{
    Connect();
    IMediaSample* pSample = nullptr;
    REFERENCE_TIME tStart = 0;
    REFERENCE_TIME tStop = 101 * UNITS;
    ASSERT_EQ(S_OK, allocator->GetBuffer(&pSample, &tStart, &tStop, 0));
    EXPECT_EQ(VFW_E_BUFFER_OVERFLOW, Reader()->Request(pSample, 0));
    EXPECT_EQ(VFW_E_BUFFER_OVERFLOW, Reader()->SyncReadAligned(pSample));
    pSample->SetTime(nullptr, nullptr);
    EXPECT_EQ(VFW_E_SAMPLE_TIME_NOT_SET, Reader()->Request(pSample, 0));
    pSample->Release();
}
