// The filter's pins without streaming: names and order, the media types each pin takes and
// offers, connection order, and the buffers the outputs ask for.
#include "ZentraxTestGraph.h"

#include "OstrelMediaTypesUUIDS.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

namespace
{
std::wstring PinId(IPin* pPin)
{
    LPWSTR pId = nullptr;
    if (FAILED(pPin->QueryId(&pId)))
        return L"";
    std::wstring id(pId);
    CoTaskMemFree(pId);
    return id;
}

CMediaType TypeAt(IPin* pPin, int iPosition, HRESULT* phr)
{
    CMediaType type;
    *phr = static_cast<CBasePin*>(pPin)->GetMediaType(iPosition, &type);
    return type;
}

HRESULT Check(IPin* pPin, const CMediaType& type)
{
    return static_cast<CBasePin*>(pPin)->CheckMediaType(&type);
}

CMediaType VideoType(const GUID& subtype, const GUID& format)
{
    CMediaType type;
    type.SetType(&MEDIATYPE_Video);
    type.SetSubtype(&subtype);
    type.SetFormatType(&format);
    return type;
}

ALLOCATOR_PROPERTIES DownstreamAllocator(IPin* pSinkPin)
{
    ALLOCATOR_PROPERTIES props{};
    ComPtr<IMemInputPin> pInput;
    ComPtr<IMemAllocator> pAllocator;
    if (SUCCEEDED(pSinkPin->QueryInterface(
            IID_IMemInputPin, reinterpret_cast<void**>(pInput.ReleaseAndGetAddressOf()))) &&
        SUCCEEDED(pInput->GetAllocator(pAllocator.ReleaseAndGetAddressOf())))
        pAllocator->GetProperties(&props);
    return props;
}
} // namespace

TEST(ZentraxPins, FourPinsInTheirOrderWithTheirNames)
{
    HRESULT hr = S_OK;
    ComPtr<ZentraxFilter> pFilter = new ZentraxFilter(nullptr, &hr);
    ASSERT_EQ(hr, S_OK);
    EXPECT_EQ(pFilter->GetPinCount(), 4);
    const wchar_t* names[] = {L"Audio In", L"DeadCafe Out", L"Video In", L"Xform Out"};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(PinId(pFilter->GetPin(i)), names[i]);
    EXPECT_EQ(pFilter->GetPin(4), nullptr);
    EXPECT_EQ(pFilter->GetPin(-1), nullptr);
}

TEST(ZentraxPins, InputsTakeOnlyTheirTypes)
{
    HRESULT hr = S_OK;
    ComPtr<ZentraxFilter> pFilter = new ZentraxFilter(nullptr, &hr);
    IPin* pAudioIn = pFilter->GetPin(kAudioIn);
    EXPECT_EQ(Check(pAudioIn, PcmType(48000, 2)), S_OK);
    EXPECT_EQ(Check(pAudioIn, PcmType(48000, 1)), S_OK);
    EXPECT_EQ(Check(pAudioIn, PcmType(44100, 2)), S_FALSE);
    CMediaType noFormat = PcmType();
    noFormat.ResetFormatBuffer();
    EXPECT_EQ(Check(pAudioIn, noFormat), S_FALSE);

    IPin* pVideoIn = pFilter->GetPin(kVideoIn);
    EXPECT_EQ(Check(pVideoIn, Mpeg2VideoType()), S_OK);
    EXPECT_EQ(Check(pVideoIn, VideoType(MEDIASUBTYPE_MPEG1Payload, FORMAT_MPEGVideo)), S_OK);
    EXPECT_EQ(Check(pVideoIn, VideoType(MEDIASUBTYPE_MPEG2_VIDEO, FORMAT_MPEGVideo)), S_FALSE);
    EXPECT_EQ(Check(pVideoIn, VideoType(MEDIASUBTYPE_MPEG1Payload, FORMAT_MPEG2Video)), S_FALSE);
    EXPECT_EQ(Check(pVideoIn, PcmType()), S_FALSE);
}

TEST(ZentraxPins, AudioOutputOffersItsOwnUnitsThenPcmAndTakesNothingElse)
{
    HRESULT hr = S_OK;
    ComPtr<ZentraxFilter> pFilter = new ZentraxFilter(nullptr, &hr);
    IPin* pAudioOut = pFilter->GetPin(kAudioOut);

    const CMediaType own = TypeAt(pAudioOut, 0, &hr);
    ASSERT_EQ(hr, S_OK);
    EXPECT_EQ(*own.Subtype(), MEDIASUBTYPE_OstrelAudio);
    EXPECT_EQ(*own.FormatType(), FORMAT_None);
    EXPECT_EQ(own.FormatLength(), 0u);
    EXPECT_FALSE(own.IsFixedSize());
    EXPECT_EQ(own.lSampleSize, 0u);

    const CMediaType pcm = TypeAt(pAudioOut, 1, &hr);
    ASSERT_EQ(hr, S_OK);
    EXPECT_EQ(pcm, PcmType(48000, 2));
    ASSERT_EQ(pcm.FormatLength(), 18u);
    EXPECT_EQ(pcm.lSampleSize, 0u);
    TypeAt(pAudioOut, 2, &hr);
    EXPECT_EQ(hr, VFW_S_NO_MORE_ITEMS);

    EXPECT_EQ(Check(pAudioOut, own), S_OK);
    EXPECT_EQ(Check(pAudioOut, pcm), S_OK);
    EXPECT_EQ(Check(pAudioOut, PcmType(48000, 1)), S_FALSE);
}

TEST(ZentraxPins, OutputsConnectOnlyAfterTheirInputsAndVideoOffersTheInputType)
{
    ZentraxTestGraph::Setup setup;
    setup.bConnectVideo = false;
    setup.bConnectAudio = false;
    ZentraxTestGraph graph(setup);
    EXPECT_EQ(graph.Pin(kVideoOut)->Connect(graph.VideoSink()->InputPin(), nullptr), E_UNEXPECTED);
    EXPECT_EQ(graph.Pin(kAudioOut)->Connect(graph.AudioSink()->InputPin(), nullptr), E_UNEXPECTED);
    HRESULT hr = S_OK;
    TypeAt(graph.Pin(kVideoOut), 1, &hr);
    EXPECT_EQ(hr, VFW_S_NO_MORE_ITEMS);

    ASSERT_EQ(graph.Video()->OutputPin()->Connect(graph.Pin(kVideoIn), nullptr), S_OK);
    EXPECT_EQ(TypeAt(graph.Pin(kVideoOut), 1, &hr), Mpeg2VideoType());
    EXPECT_EQ(hr, S_OK);
    EXPECT_EQ(*TypeAt(graph.Pin(kVideoOut), 0, &hr).Subtype(), MEDIASUBTYPE_OstrelVideo);
    EXPECT_EQ(Check(graph.Pin(kVideoOut), Mpeg2VideoType()), S_OK);
    EXPECT_EQ(Check(graph.Pin(kVideoOut), VideoType(MEDIASUBTYPE_OstrelVideo, GUID_NULL)), S_OK);
    EXPECT_EQ(Check(graph.Pin(kVideoOut), VideoType(MEDIASUBTYPE_MPEG1Payload, FORMAT_MPEGVideo)),
              S_FALSE);
    graph.Video()->OutputPin()->Disconnect();
    graph.Pin(kVideoIn)->Disconnect();
}

TEST(ZentraxPins, OutputsAskForBuffersByTheSizeOfTheInputBuffers)
{
    ZentraxTestGraph::Setup setup;
    setup.video = {Bytes(700000)};
    setup.audio = {Bytes(20000)};
    ZentraxTestGraph graph(setup);
    ASSERT_EQ(graph.ConnectResult(), S_OK);

    const ALLOCATOR_PROPERTIES video = DownstreamAllocator(graph.VideoSink()->InputPin());
    EXPECT_GE(video.cbBuffer, 296960);
    EXPECT_EQ(video.cBuffers, 700000 / 296960 + 12);
    const ALLOCATOR_PROPERTIES audio = DownstreamAllocator(graph.AudioSink()->InputPin());
    EXPECT_GE(audio.cbBuffer, 4096);
    EXPECT_EQ(audio.cBuffers, 20000 / 4096 + 2);
}
