// Pin connection: media type negotiation and allocator negotiation.

#include "TestFilters.h"

#include <com/ComPtr.h>
#include <gtest/gtest.h>

#include <cstdint>

namespace
{
class ConnectionTest : public ::testing::Test
{
protected:
    // Connected pins hold references on each other's filters.
    void TearDown() override
    {
        source->Stop();
        out->Disconnect();
        in->Disconnect();
    }

    HRESULT hr = S_OK;
    ComPtr<CTestSource> source{new CTestSource(&hr)};
    ComPtr<CTestSink> sink{new CTestSink(&hr)};
    IPin* out = &source->m_Pin;
    IPin* in = &sink->m_Pin;
};

GUID ConnectedSubtype(IPin* pPin)
{
    AM_MEDIA_TYPE mt{};
    EXPECT_EQ(S_OK, pPin->ConnectionMediaType(&mt));
    const GUID subtype = mt.subtype;
    FreeMediaType(mt);
    return subtype;
}
} // namespace

TEST_F(ConnectionTest, WithoutTypeTriesOwnTypesUntilOneIsAccepted)
{
    ASSERT_EQ(S_OK, ConnectPins(out, in));
    EXPECT_EQ(kSubtypeB, ConnectedSubtype(out));
    EXPECT_EQ(kSubtypeB, ConnectedSubtype(in));

    ComPtr<IPin> peer;
    ASSERT_EQ(S_OK, out->ConnectedTo(&peer));
    EXPECT_EQ(in, peer.Get());
    EXPECT_EQ(VFW_E_ALREADY_CONNECTED, ConnectPins(out, in));
}

TEST_F(ConnectionTest, ReceiverTypesComeFirst)
{
    sink->m_Pin.m_Offered = {TestType(kSubtypeC)};
    sink->m_Pin.m_Accepted = {kSubtypeB, kSubtypeC};
    ASSERT_EQ(S_OK, ConnectPins(out, in));
    EXPECT_EQ(kSubtypeC, ConnectedSubtype(out));
}

TEST_F(ConnectionTest, PartialTypeNarrowsTheChoice)
{
    sink->m_Pin.m_Accepted = {kSubtypeA, kSubtypeB};
    CMediaType partial(&MEDIATYPE_Stream);
    partial.SetSubtype(&kSubtypeB);
    ASSERT_TRUE(partial.IsPartiallySpecified());
    ASSERT_EQ(S_OK, ConnectPins(out, in, &partial));
    EXPECT_EQ(kSubtypeB, ConnectedSubtype(in));
}

TEST_F(ConnectionTest, RefusedTypesLeaveBothPinsUnconnected)
{
    const CMediaType complete = TestType(kSubtypeA);
    EXPECT_EQ(VFW_E_TYPE_NOT_ACCEPTED, ConnectPins(out, in, &complete));
    sink->m_Pin.m_Accepted = {kSubtypeC};
    EXPECT_EQ(VFW_E_NO_ACCEPTABLE_TYPES, ConnectPins(out, in));

    ComPtr<IPin> peer;
    EXPECT_EQ(VFW_E_NOT_CONNECTED, out->ConnectedTo(&peer));
    EXPECT_EQ(VFW_E_NOT_CONNECTED, in->ConnectedTo(&peer));
}

TEST_F(ConnectionTest, SameDirectionIsRefused)
{
    HRESULT hr2 = S_OK;
    ComPtr<CTestSource> other(new CTestSource(&hr2));
    EXPECT_EQ(VFW_E_INVALID_DIRECTION, ConnectPins(out, &other->m_Pin));
}

TEST_F(ConnectionTest, DisconnectOnlyWhileStopped)
{
    ASSERT_EQ(S_OK, ConnectPins(out, in));
    ASSERT_EQ(S_OK, source->Pause());
    EXPECT_EQ(VFW_E_NOT_STOPPED, out->Disconnect());
    ASSERT_EQ(S_OK, source->Stop());
    EXPECT_EQ(S_OK, out->Disconnect());
    EXPECT_EQ(S_OK, in->Disconnect());
    EXPECT_EQ(S_FALSE, in->Disconnect());
}

TEST_F(ConnectionTest, EnumeratorsAndPinQueries)
{
    ComPtr<IEnumMediaTypes> types;
    ASSERT_EQ(S_OK, out->EnumMediaTypes(&types));
    AM_MEDIA_TYPE* pTypes[3] = {};
    ULONG cFetched = 0;
    EXPECT_EQ(S_FALSE, types->Next(3, pTypes, &cFetched));
    ASSERT_EQ(2u, cFetched);
    EXPECT_EQ(kSubtypeA, pTypes[0]->subtype);
    DeleteMediaType(pTypes[0]);
    DeleteMediaType(pTypes[1]);

    ComPtr<IEnumPins> pins;
    ASSERT_EQ(S_OK, source->EnumPins(&pins));
    IPin* pPin = nullptr;
    ASSERT_EQ(S_OK, pins->Next(1, &pPin, nullptr));
    EXPECT_EQ(out, pPin);
    pPin->Release();
    EXPECT_EQ(S_FALSE, pins->Next(1, &pPin, &cFetched));
    source->IncrementPinVersion();
    EXPECT_EQ(VFW_E_ENUM_OUT_OF_SYNC, pins->Next(1, &pPin, &cFetched));

    ComPtr<IPin> found;
    EXPECT_EQ(S_OK, source->FindPin(L"Out", &found));
    EXPECT_EQ(VFW_E_NOT_FOUND, source->FindPin(L"Nope", &found));
    LPWSTR id = nullptr;
    ASSERT_EQ(S_OK, in->QueryId(&id));
    EXPECT_STREQ(L"In", id);
    CoTaskMemFree(id);
}

TEST_F(ConnectionTest, AllocatorHonoursBothSidesRequirements)
{
    sink->m_Pin.m_bHasRequirements = true;
    sink->m_Pin.m_Requirements = {5, 100, 64, 16};
    source->m_Pin.m_Want = {3, 1000, 1, 0};
    ASSERT_EQ(S_OK, ConnectPins(out, in));

    ALLOCATOR_PROPERTIES props{};
    ASSERT_EQ(S_OK, source->m_Pin.Allocator()->GetProperties(&props));
    EXPECT_EQ(5, props.cBuffers);
    EXPECT_EQ(1000, props.cbBuffer);
    EXPECT_EQ(64, props.cbAlign);
    EXPECT_EQ(16, props.cbPrefix);

    ASSERT_EQ(S_OK, source->Pause());
    for (int i = 0; i < props.cBuffers; ++i)
    {
        IMediaSample* pSample = nullptr;
        ASSERT_EQ(S_OK, source->m_Pin.GetDeliveryBuffer(&pSample, nullptr, nullptr, 0));
        BYTE* pData = nullptr;
        pSample->GetPointer(&pData);
        EXPECT_EQ(0u, reinterpret_cast<std::uintptr_t>(pData) % 64);
        EXPECT_EQ(1000, pSample->GetSize());
        pData[-16] = 0xAB; // the prefix belongs to the buffer
        pData[999] = 0xCD;
        pSample->Release();
    }
    source->Stop();
}
