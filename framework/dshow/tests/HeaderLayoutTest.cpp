// The platform headers must keep the documented layouts that filters exchange
// through property blocks and format blocks, and all compile together.

#include "dshow/dshow.h"

#include <gtest/gtest.h>

#include <cstddef>

static_assert(offsetof(AM_SAMPLE2_PROPERTIES, cbData) == 0);
static_assert(offsetof(AM_SAMPLE2_PROPERTIES, dwSampleFlags) == 8);
static_assert(offsetof(AM_SAMPLE2_PROPERTIES, lActual) == 12);
static_assert(offsetof(AM_SAMPLE2_PROPERTIES, tStart) == 16);
static_assert(offsetof(AM_SAMPLE2_PROPERTIES, tStop) == 24);
static_assert(offsetof(AM_SAMPLE2_PROPERTIES, dwStreamId) == 32);
static_assert(offsetof(AM_SAMPLE2_PROPERTIES, pMediaType) == 40);
static_assert(offsetof(AM_SAMPLE2_PROPERTIES, cbBuffer) == 56);
static_assert(offsetof(AM_MEDIA_TYPE, formattype) == 44);
static_assert(offsetof(AM_MEDIA_TYPE, pbFormat) == 80);
static_assert(offsetof(MPEG2VIDEOINFO, dwSequenceHeader) == 132);
static_assert(offsetof(VIDEOINFOHEADER, bmiHeader) == 48);
static_assert(sizeof(GUID) == 16);
static_assert(HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE) == MakeHResult(0x800700CE));
static_assert(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) == MakeHResult(0x80070002));
static_assert(MEDIATYPE_Video != MEDIATYPE_Audio && MEDIATYPE_NULL == GUID_NULL);

TEST(HeaderLayout, InterfaceIdsAreReachableFromTypes)
{
    EXPECT_EQ(IidOf<IBaseFilter>(), IID_IBaseFilter);
    EXPECT_EQ(IidOf<IMediaEventEx>(), IID_IMediaEventEx);
    IPin* pin = nullptr;
    void** slot = nullptr;
    const GUID* iid = nullptr;
    auto capture = [&](REFIID riid, void** pp)
    {
        iid = &riid;
        slot = pp;
    };
    capture(IID_PPV_ARGS(&pin));
    EXPECT_EQ(*iid, IID_IPin);
    EXPECT_EQ(slot, reinterpret_cast<void**>(&pin));
}
