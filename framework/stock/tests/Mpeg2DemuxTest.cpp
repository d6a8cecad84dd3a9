// The MPEG-2 demultiplexer fed a program stream in pieces by a push source, its
// mapped outputs feeding sinks; what they receive is compared with ffmpeg's own
// extraction of the same clip.

#include "MediaFiles.h"
#include "PreviewPins.h"
#include "TestClips.h"
#include "TestFilters.h"
#include "demux/Mpeg2DemuxFilter.h"
#include "demux/MpegTimeline.h"

#include <com/ComPtr.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{
// push source -> demultiplexer -> one sink per output the test attaches.
struct DemuxGraph
{
    HRESULT hr = S_OK;
    CTestPushSource* pSource = new CTestPushSource(ProgramStreamType(), 65536, &hr);
    CMpeg2DemuxFilter* pDemux = new CMpeg2DemuxFilter(nullptr, &hr);
    std::vector<ComPtr<IBaseFilter>> holders{ComPtr<IBaseFilter>(pSource),
                                             ComPtr<IBaseFilter>(pDemux)};

    DemuxGraph() { EXPECT_EQ(S_OK, ConnectPins(pSource->Pin(), pDemux->InputPin())); }
    ~DemuxGraph()
    {
        Stop();
        for (auto& holder : holders)
            DisconnectAll(holder.Get());
    }
    CTestSink* Attach(IPin* pOutput)
    {
        auto* pSink = new CTestSink(&hr);
        holders.emplace_back(pSink);
        EXPECT_EQ(S_OK, ConnectPins(pOutput, pSink->Pin()));
        return pSink;
    }
    // Downstream first, as the graph does.
    void Pause()
    {
        for (auto it = holders.rbegin(); it != holders.rend(); ++it)
            ASSERT_EQ(S_OK, (*it)->Pause());
    }
    void Stop()
    {
        for (auto it = holders.rbegin(); it != holders.rend(); ++it)
            (*it)->Stop();
    }
    // Pushes the bytes in pieces of changing sizes, so that packets and their
    // headers are split everywhere, then ends the stream.
    void Push(const std::vector<uint8_t>& bytes)
    {
        static const size_t kPieces[] = {1, 2, 3, 188, 2047, 7001};
        size_t offset = 0;
        for (size_t i = 0; offset < bytes.size(); ++i)
        {
            const size_t cb = std::min(kPieces[i % std::size(kPieces)], bytes.size() - offset);
            ASSERT_EQ(S_OK, pSource->Push(bytes.data() + offset, cb));
            offset += cb;
        }
        ASSERT_EQ(S_OK, pSource->PushEndOfStream());
    }
};

std::vector<uint8_t> Ffmpeg(const std::string& clip, const std::string& options)
{
    return media::CaptureOutput("ffmpeg -nostdin -loglevel quiet -i " + media::Quote(clip) + " " +
                                options + " -");
}

std::vector<uint8_t> VideoElementaryStream(const std::string& clip)
{
    return Ffmpeg(clip, "-map 0:v -c copy -f mpeg2video");
}

// The LPCM samples as big-endian 16-bit words. (A stream copy would keep the
// three LPCM header bytes that ffmpeg leaves at the start of each packet.)
std::vector<uint8_t> LpcmSamples(const std::string& clip)
{
    return Ffmpeg(clip, "-map 0:a:0 -f s16be");
}

bool TimesRiseFrom(const std::vector<ReceivedSample>& samples, REFERENCE_TIME tFloor)
{
    REFERENCE_TIME tLast = tFloor;
    for (const ReceivedSample& sample : samples)
    {
        if (!sample.bHasTime)
            continue;
        if (sample.tStart < tLast)
            return false;
        tLast = sample.tStart;
    }
    return true;
}
} // namespace

TEST(Mpeg2Demux, VideoOutAndAudioOutDeliverTheVideoStreamAndTheLpcmSamples)
{
    const std::string clip = clips::Mpeg2Lpcm();
    DemuxGraph g;
    CTestSink* pVideo = g.Attach(CreateVideoOut(g.pDemux, 352, 240));
    CTestSink* pAudio = g.Attach(CreateAudioOut(g.pDemux));
    EXPECT_TRUE(pVideo->ConnectionType().subtype == MEDIASUBTYPE_MPEG2_VIDEO);
    EXPECT_TRUE(pAudio->ConnectionType().subtype == MEDIASUBTYPE_DVD_LPCM_AUDIO);
    g.Pause();
    g.Push(media::ReadFile(clip));
    ASSERT_TRUE(pVideo->WaitForEndOfStream());
    ASSERT_TRUE(pAudio->WaitForEndOfStream());

    EXPECT_EQ(VideoElementaryStream(clip), pVideo->Bytes());
    EXPECT_EQ(LpcmSamples(clip), pAudio->Bytes());

    // Times start near stream time 0 (the first pack's clock) and rise; the
    // first sample of each output starts a new stream.
    const auto video = pVideo->Samples();
    const auto audio = pAudio->Samples();
    ASSERT_TRUE(video.front().bHasTime && audio.front().bHasTime);
    EXPECT_TRUE(video.front().bDiscontinuity && audio.front().bDiscontinuity);
    EXPECT_LT(video.front().tStart, UNITS);
    EXPECT_LT(audio.front().tStart, UNITS);
    EXPECT_TRUE(TimesRiseFrom(audio, 0));
}

TEST(Mpeg2Demux, DeliversOnlyWhatItsMapsSelect)
{
    const std::string clip = clips::Mpeg2LpcmAndLayer2();
    DemuxGraph g;
    CTestSink* pLpcm = g.Attach(CreateAudioOut(g.pDemux));
    // Another substream of private stream 1, which the clip does not have.
    CTestSink* pOtherSubstream =
        g.Attach(CreateMappedPin(g.pDemux, DemuxAudioType(48000), L"Audio 2", 0xBD, 0xA1, 7));
    CTestSink* pLayer2 =
        g.Attach(CreateMappedPin(g.pDemux, DemuxAudioType(48000), L"Layer II", 0xC0, 0, 0));
    // Mapped, then unmapped again: the video goes nowhere.
    IPin* pUnmapped = CreateVideoOut(g.pDemux, 352, 240);
    CTestSink* pVideo = g.Attach(pUnmapped);
    ComPtr<IMPEG2StreamIdMap> pMap;
    ASSERT_EQ(S_OK,
              pUnmapped->QueryInterface(IID_IMPEG2StreamIdMap, reinterpret_cast<void**>(&pMap)));
    ULONG videoId = 0xE0;
    ASSERT_EQ(S_OK, pMap->UnmapStreamId(1, &videoId));

    g.Pause();
    g.Push(media::ReadFile(clip));
    for (CTestSink* pSink : {pLpcm, pOtherSubstream, pLayer2, pVideo})
        ASSERT_TRUE(pSink->WaitForEndOfStream());

    EXPECT_EQ(LpcmSamples(clip), pLpcm->Bytes());
    EXPECT_EQ(Ffmpeg(clip, "-map 0:a:1 -c copy -f mp2"), pLayer2->Bytes());
    EXPECT_TRUE(pOtherSubstream->Bytes().empty());
    EXPECT_TRUE(pVideo->Bytes().empty());
}

TEST(Mpeg2Demux, DamagedStreamsEndCleanly)
{
    const std::vector<uint8_t> clean = media::ReadFile(clips::Mpeg2Lpcm());
    ASSERT_FALSE(clean.empty());
    std::vector<std::vector<uint8_t>> damaged;
    // Bytes flipped throughout.
    damaged.push_back(clean);
    uint32_t state = 7;
    for (size_t i = 0; i < damaged.back().size();
         i += 97 + (state = state * 1103515245 + 12345) % 400)
        damaged.back()[i] ^= uint8_t(state >> 16);
    // Cut in the middle of a packet.
    damaged.emplace_back(clean.begin(), clean.begin() + ptrdiff_t(clean.size() / 3 + 11));
    // Packets that claim the longest length and the longest header, back to back.
    damaged.emplace_back();
    for (int i = 0; i < 3000; ++i)
        damaged.back().insert(damaged.back().end(),
                              {0x00, 0x00, 0x01, 0xE0, 0xFF, 0xFF, 0x80, 0x80, 0xFF, 0x21});
    // MPEG-1 style headers that are all stuffing, and packs cut short.
    damaged.emplace_back();
    for (int i = 0; i < 3000; ++i)
        damaged.back().insert(damaged.back().end(), {0x00, 0x00, 0x01, 0xBD, 0x00, 0x20, 0xFF, 0xFF,
                                                     0xFF, 0x00, 0x00, 0x01, 0xBA, 0x44});
    // Noise.
    damaged.emplace_back(200000);
    for (auto& byte : damaged.back())
        byte = uint8_t((state = state * 1103515245 + 12345) >> 16);

    for (const auto& bytes : damaged)
    {
        DemuxGraph g;
        CTestSink* pVideo = g.Attach(CreateVideoOut(g.pDemux, 352, 240));
        CTestSink* pAudio = g.Attach(CreateAudioOut(g.pDemux));
        g.Pause();
        g.Push(bytes);
        EXPECT_TRUE(pVideo->WaitForEndOfStream());
        EXPECT_TRUE(pAudio->WaitForEndOfStream());
    }
}

TEST(Mpeg2Demux, OutputPinsAreMadeMappedAndDeletedByName)
{
    HRESULT hr = S_OK;
    ComPtr<IBaseFilter> pFilter(new CMpeg2DemuxFilter(nullptr, &hr));
    ComPtr<IMpeg2Demultiplexer> pDemux;
    ASSERT_EQ(S_OK,
              pFilter->QueryInterface(IID_IMpeg2Demultiplexer, reinterpret_cast<void**>(&pDemux)));
    IPin* pVideo = CreateVideoOut(pDemux.Get(), 720, 480);
    ASSERT_NE(nullptr, pVideo);
    // Names identify pins: a second "Video Out" is refused.
    CMediaType mt = DemuxVideoType(720, 480, 400000);
    wchar_t name[] = L"Video Out";
    IPin* pDuplicate = nullptr;
    EXPECT_EQ(E_INVALIDARG, pDemux->CreateOutputPin(&mt, name, &pDuplicate));

    ComPtr<IPin> pFound;
    ASSERT_EQ(S_OK, pFilter->FindPin(L"Video Out", &pFound));
    EXPECT_EQ(pVideo, pFound.Get());

    ComPtr<IMPEG2StreamIdMap> pMap;
    ASSERT_EQ(S_OK, pVideo->QueryInterface(IID_IMPEG2StreamIdMap, reinterpret_cast<void**>(&pMap)));
    EXPECT_EQ(E_NOTIMPL, pMap->MapStreamId(0xE0, MPEG2_PROGRAM_PACK_HEADER, 0, 0));
    EXPECT_EQ(E_INVALIDARG, pMap->MapStreamId(0xBA, MPEG2_PROGRAM_ELEMENTARY_STREAM, 0, 0));
    ComPtr<IEnumStreamIdMap> pEnum;
    ASSERT_EQ(S_OK, pMap->EnumStreamIdMap(&pEnum));
    STREAM_ID_MAP entries[2] = {};
    ULONG cFetched = 0;
    EXPECT_EQ(S_FALSE, pEnum->Next(2, entries, &cFetched));
    ASSERT_EQ(1u, cFetched);
    EXPECT_EQ(0xE0u, entries[0].stream_id);
    EXPECT_EQ(MPEG2_PROGRAM_ELEMENTARY_STREAM, entries[0].dwMediaSampleContent);

    // A new type is what the pin offers from then on.
    ASSERT_EQ(S_OK, pDemux->SetOutputPinMediaType(name, &mt));
    ComPtr<IEnumMediaTypes> pTypes;
    ASSERT_EQ(S_OK, pVideo->EnumMediaTypes(&pTypes));
    AM_MEDIA_TYPE* pOffered = nullptr;
    ASSERT_EQ(S_OK, pTypes->Next(1, &pOffered, nullptr));
    EXPECT_EQ(400000, reinterpret_cast<MPEG2VIDEOINFO*>(pOffered->pbFormat)->hdr.AvgTimePerFrame);
    DeleteMediaType(pOffered);

    ASSERT_EQ(S_OK, pFilter->Pause());
    EXPECT_EQ(VFW_E_NOT_STOPPED, pDemux->DeleteOutputPin(name));
    ASSERT_EQ(S_OK, pFilter->Stop());
    EXPECT_EQ(S_OK, pDemux->DeleteOutputPin(name));
    EXPECT_EQ(VFW_E_NOT_FOUND, pDemux->DeleteOutputPin(name));
    EXPECT_EQ(VFW_E_NOT_FOUND, pFilter->FindPin(L"Video Out", &pFound));
    // The pin the application still holds stays usable.
    PIN_DIRECTION direction;
    EXPECT_EQ(S_OK, pVideo->QueryDirection(&direction));
}

TEST(MpegTimeline, CountsOnAcrossTheWrapOfThe33BitClock)
{
    constexpr int64_t kWrap = int64_t(1) << 33;
    MpegTimeline timeline;
    timeline.OnSystemClock(kWrap - 90000); // one second before the wrap
    EXPECT_EQ(UNITS / 2, timeline.SampleTime(kWrap - 45000));
    EXPECT_EQ(2 * UNITS, timeline.SampleTime(90000));
    EXPECT_EQ(UNITS, timeline.SampleTime(0)); // a stamp may go back a little
    timeline.Reset();
    EXPECT_EQ(0, timeline.SampleTime(123456)); // without a pack, the first PTS is time 0
}
