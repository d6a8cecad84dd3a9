// Seeking passed upstream through CPosPassThru.

#include "TestFilters.h"

#include <com/ComPtr.h>
#include <gtest/gtest.h>

namespace
{
// The seeking of an upstream source: records what reaches it.
class CSeekRecorder : public IMediaSeeking
{
public:
    HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT GetCapabilities(DWORD* p) override { return *p = AM_SEEKING_CanSeekAbsolute, S_OK; }
    HRESULT CheckCapabilities(DWORD*) override { return E_NOTIMPL; }
    HRESULT IsFormatSupported(const GUID*) override { return E_NOTIMPL; }
    HRESULT QueryPreferredFormat(GUID*) override { return E_NOTIMPL; }
    HRESULT GetTimeFormat(GUID*) override { return E_NOTIMPL; }
    HRESULT IsUsingTimeFormat(const GUID*) override { return E_NOTIMPL; }
    HRESULT SetTimeFormat(const GUID*) override { return E_NOTIMPL; }
    HRESULT GetDuration(LONGLONG* p) override { return *p = 1234, S_OK; }
    HRESULT GetStopPosition(LONGLONG*) override { return E_NOTIMPL; }
    HRESULT GetCurrentPosition(LONGLONG*) override { return E_NOTIMPL; }
    HRESULT ConvertTimeFormat(LONGLONG*, const GUID*, LONGLONG, const GUID*) override
    {
        return E_NOTIMPL;
    }
    HRESULT SetPositions(LONGLONG* pCurrent, DWORD, LONGLONG*, DWORD) override
    {
        m_llCurrent = *pCurrent;
        return S_OK;
    }
    HRESULT GetPositions(LONGLONG*, LONGLONG*) override { return E_NOTIMPL; }
    HRESULT GetAvailable(LONGLONG*, LONGLONG*) override { return E_NOTIMPL; }
    HRESULT SetRate(double) override { return E_NOTIMPL; }
    HRESULT GetRate(double*) override { return E_NOTIMPL; }
    HRESULT GetPreroll(LONGLONG*) override { return E_NOTIMPL; }

    LONGLONG m_llCurrent = -1;
};
} // namespace

TEST(PosPassThruTest, SeekingOnTheDownstreamFilterReachesTheUpstreamPin)
{
    HRESULT hr = S_OK;
    ComPtr<CTestSource> source(new CTestSource(&hr));
    ComPtr<CTestSink> sink(new CTestSink(&hr));
    CSeekRecorder recorder;
    source->m_Pin.m_pSeeking = &recorder;

    ComPtr<IUnknown> passThru;
    ASSERT_EQ(S_OK, CreatePosPassThru(sink.Get(), FALSE, &sink->m_Pin, &passThru));
    ComPtr<IMediaSeeking> seeking;
    ASSERT_EQ(S_OK,
              passThru->QueryInterface(IID_IMediaSeeking, reinterpret_cast<void**>(&seeking)));
    LONGLONG llDuration = 0;
    EXPECT_EQ(E_NOTIMPL, seeking->GetDuration(&llDuration)); // not connected yet

    ASSERT_EQ(S_OK, ConnectPins(&source->m_Pin, &sink->m_Pin));
    EXPECT_EQ(S_OK, seeking->GetDuration(&llDuration));
    EXPECT_EQ(1234, llDuration);
    LONGLONG llCurrent = 5 * UNITS;
    EXPECT_EQ(S_OK, seeking->SetPositions(&llCurrent, AM_SEEKING_AbsolutePositioning, nullptr,
                                          AM_SEEKING_NoPositioning));
    EXPECT_EQ(5 * UNITS, recorder.m_llCurrent);

    // The upstream pin has no IMediaPosition: that part reports E_NOTIMPL.
    ComPtr<IMediaPosition> position;
    ASSERT_EQ(S_OK,
              passThru->QueryInterface(IID_IMediaPosition, reinterpret_cast<void**>(&position)));
    REFTIME length = 0;
    EXPECT_EQ(E_NOTIMPL, position->get_Duration(&length));

    // The aggregate shares the sink's identity.
    ComPtr<IBaseFilter> owner;
    EXPECT_EQ(S_OK, seeking->QueryInterface(IID_IBaseFilter, reinterpret_cast<void**>(&owner)));

    seeking.Reset();
    position.Reset();
    owner.Reset();
    passThru.Reset();
    source->m_Pin.Disconnect();
    sink->m_Pin.Disconnect();
}
