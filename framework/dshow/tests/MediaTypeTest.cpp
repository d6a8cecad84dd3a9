#include "dshow/MediaType.h"
#include "com/ComPtr.h"
#include "dshow/Uuids.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>

namespace
{

class CountedUnknown final : public IUnknown
{
public:
    HRESULT QueryInterface(REFIID, void**) override { return E_NOINTERFACE; }
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override { return --m_refs; }
    std::atomic<ULONG> m_refs{1};
};

AM_MEDIA_TYPE WaveType(WAVEFORMATEX& wfx)
{
    AM_MEDIA_TYPE mt{};
    mt.majortype = MEDIATYPE_Audio;
    mt.subtype = MEDIASUBTYPE_PCM;
    mt.formattype = FORMAT_WaveFormatEx;
    mt.cbFormat = sizeof wfx;
    mt.pbFormat = reinterpret_cast<BYTE*>(&wfx);
    return mt;
}

} // namespace

TEST(MediaType, CopyOwnsItsFormatBlockAndReference)
{
    WAVEFORMATEX wfx{WAVE_FORMAT_PCM, 2, 48000, 192000, 4, 16, 0};
    CountedUnknown unk;
    AM_MEDIA_TYPE source = WaveType(wfx);
    source.pUnk = &unk;

    AM_MEDIA_TYPE* copy = CreateMediaType(&source);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy->pbFormat, source.pbFormat);
    EXPECT_EQ(std::memcmp(copy->pbFormat, &wfx, sizeof wfx), 0);
    EXPECT_EQ(unk.m_refs, 2u);

    DeleteMediaType(copy);
    EXPECT_EQ(unk.m_refs, 1u);
}

TEST(MediaType, InconsistentFormatFieldsCopyAsNoFormat)
{
    AM_MEDIA_TYPE source{};
    source.cbFormat = 64; // size without a block
    AM_MEDIA_TYPE target;
    ASSERT_EQ(CopyMediaType(&target, &source), S_OK);
    EXPECT_EQ(target.cbFormat, 0u);
    EXPECT_EQ(target.pbFormat, nullptr);
    FreeMediaType(target);
    DeleteMediaType(nullptr);
}
