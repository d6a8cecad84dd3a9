// The memory allocator and its samples.

#include "streams.h"

#include <com/ComPtr.h>
#include <gtest/gtest.h>

#include <thread>

namespace
{
class AllocatorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(S_OK, CreateMemoryAllocator(&allocator));
        ALLOCATOR_PROPERTIES request{2, 128, 1, 0};
        ALLOCATOR_PROPERTIES actual{};
        ASSERT_EQ(S_OK, allocator->SetProperties(&request, &actual));
    }

    ComPtr<IMemAllocator> allocator;
};
} // namespace

TEST_F(AllocatorTest, BuffersExistOnlyWhileCommittedAndAreReused)
{
    IMediaSample* pSample = nullptr;
    EXPECT_EQ(VFW_E_NOT_COMMITTED, allocator->GetBuffer(&pSample, nullptr, nullptr, 0));
    ASSERT_EQ(S_OK, allocator->Commit());

    IMediaSample* pFirst = nullptr;
    IMediaSample* pSecond = nullptr;
    ASSERT_EQ(S_OK, allocator->GetBuffer(&pFirst, nullptr, nullptr, 0));
    ASSERT_EQ(S_OK, allocator->GetBuffer(&pSecond, nullptr, nullptr, 0));
    EXPECT_EQ(VFW_E_TIMEOUT, allocator->GetBuffer(&pSample, nullptr, nullptr, AM_GBF_NOWAIT));

    ALLOCATOR_PROPERTIES props{4, 128, 1, 0};
    EXPECT_EQ(VFW_E_ALREADY_COMMITTED, allocator->SetProperties(&props, &props));
    ASSERT_EQ(S_OK, allocator->Decommit());
    EXPECT_EQ(VFW_E_BUFFERS_OUTSTANDING, allocator->SetProperties(&props, &props));

    // After a recommit the same buffers come back: nothing is allocated per sample.
    pFirst->Release();
    pSecond->Release();
    ASSERT_EQ(S_OK, allocator->Commit());
    ASSERT_EQ(S_OK, allocator->GetBuffer(&pSample, nullptr, nullptr, 0));
    EXPECT_TRUE(pSample == pFirst || pSample == pSecond);
    pSample->Release();
    allocator->Decommit();
}

TEST_F(AllocatorTest, DecommitReleasesAThreadWaitingForABuffer)
{
    ASSERT_EQ(S_OK, allocator->Commit());
    IMediaSample* pHeld[2] = {};
    ASSERT_EQ(S_OK, allocator->GetBuffer(&pHeld[0], nullptr, nullptr, 0));
    ASSERT_EQ(S_OK, allocator->GetBuffer(&pHeld[1], nullptr, nullptr, 0));

    HRESULT hrWaiter = S_OK;
    std::thread waiter(
        [&]
        {
            IMediaSample* pSample = nullptr;
            hrWaiter = allocator->GetBuffer(&pSample, nullptr, nullptr, 0);
        });
    allocator->Decommit();
    waiter.join();
    EXPECT_EQ(VFW_E_NOT_COMMITTED, hrWaiter);
    pHeld[0]->Release();
    pHeld[1]->Release();
}

TEST_F(AllocatorTest, AReturnedSampleWakesAWaiter)
{
    ASSERT_EQ(S_OK, allocator->Commit());
    IMediaSample* pHeld[2] = {};
    ASSERT_EQ(S_OK, allocator->GetBuffer(&pHeld[0], nullptr, nullptr, 0));
    ASSERT_EQ(S_OK, allocator->GetBuffer(&pHeld[1], nullptr, nullptr, 0));
    IMediaSample* pGot = nullptr;
    std::thread waiter([&] { allocator->GetBuffer(&pGot, nullptr, nullptr, 0); });
    pHeld[1]->Release();
    waiter.join();
    EXPECT_EQ(pHeld[1], pGot);
    pGot->Release();
    pHeld[0]->Release();
    allocator->Decommit();
}

TEST_F(AllocatorTest, SampleKeepsPropertiesUntilItReturns)
{
    ASSERT_EQ(S_OK, allocator->Commit());
    IMediaSample* pSample = nullptr;
    REFERENCE_TIME tStart = 10;
    REFERENCE_TIME tStop = 20;
    ASSERT_EQ(S_OK, allocator->GetBuffer(&pSample, &tStart, &tStop, 0));

    REFERENCE_TIME t0 = 0;
    REFERENCE_TIME t1 = 0;
    EXPECT_EQ(S_OK, pSample->GetTime(&t0, &t1));
    EXPECT_EQ(10, t0);
    EXPECT_EQ(20, t1);
    EXPECT_EQ(VFW_E_BUFFER_OVERFLOW, pSample->SetActualDataLength(129));
    EXPECT_EQ(S_OK, pSample->SetActualDataLength(7));
    pSample->SetSyncPoint(TRUE);
    pSample->SetDiscontinuity(TRUE);
    const CMediaType type(&MEDIATYPE_Audio);
    EXPECT_EQ(S_OK, pSample->SetMediaType(const_cast<CMediaType*>(&type)));

    ComPtr<IMediaSample2> pSample2;
    ASSERT_EQ(S_OK,
              pSample->QueryInterface(IID_IMediaSample2, reinterpret_cast<void**>(&pSample2)));
    AM_SAMPLE2_PROPERTIES props{};
    ASSERT_EQ(S_OK, pSample2->GetProperties(sizeof props, reinterpret_cast<BYTE*>(&props)));
    EXPECT_EQ(7, props.lActual);
    EXPECT_EQ(128, props.cbBuffer);
    EXPECT_EQ(AM_SAMPLE_TIMEVALID | AM_SAMPLE_STOPVALID | AM_SAMPLE_SPLICEPOINT |
                  AM_SAMPLE_DATADISCONTINUITY | AM_SAMPLE_TYPECHANGED,
              props.dwSampleFlags);
    ASSERT_NE(nullptr, props.pMediaType);
    EXPECT_EQ(MEDIATYPE_Audio, props.pMediaType->majortype);

    props.lActual = 3;
    props.dwSampleFlags = AM_SAMPLE_PREROLL;
    ASSERT_EQ(S_OK, pSample2->SetProperties(offsetof(AM_SAMPLE2_PROPERTIES, dwStreamId),
                                            reinterpret_cast<const BYTE*>(&props)));
    EXPECT_EQ(3, pSample->GetActualDataLength());
    EXPECT_EQ(S_OK, pSample->IsPreroll());
    EXPECT_EQ(VFW_E_SAMPLE_TIME_NOT_SET, pSample->GetTime(&t0, &t1));
    props.pbBuffer = nullptr;
    EXPECT_EQ(E_INVALIDARG,
              pSample2->SetProperties(sizeof props, reinterpret_cast<const BYTE*>(&props)));

    pSample2.Reset();
    pSample->Release();
    ASSERT_EQ(S_OK, allocator->GetBuffer(&pSample, nullptr, nullptr, 0));
    EXPECT_EQ(128, pSample->GetActualDataLength());
    EXPECT_EQ(S_FALSE, pSample->IsPreroll());
    AM_MEDIA_TYPE* pType = nullptr;
    EXPECT_EQ(S_FALSE, pSample->GetMediaType(&pType));
    pSample->Release();
    allocator->Decommit();
}

TEST_F(AllocatorTest, BadPropertiesAreRefused)
{
    ALLOCATOR_PROPERTIES props{2, 128, 3, 0};
    EXPECT_EQ(VFW_E_BADALIGN, allocator->SetProperties(&props, &props));
    props = {-1, 128, 1, 0};
    EXPECT_EQ(E_INVALIDARG, allocator->SetProperties(&props, &props));
    props = {0x7FFFFFFF, 0x7FFFFFFF, 1, 0};
    ASSERT_EQ(S_OK, allocator->SetProperties(&props, &props));
    EXPECT_EQ(E_OUTOFMEMORY, allocator->Commit());
}
