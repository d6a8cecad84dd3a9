// The playback pin in a graph (push source -> Infinite Pin Tee -> device): a C3
// stream made by the project's own conversion plays without a violation, every
// packet counted and recorded byte for byte; damage is counted and the playback
// still completes; packets play at their times and Stop cuts a wait short.

#include "C3StreamBuilder.h"
#include "C3StreamFile.h"
#include "DeviceFilter.h"
#include "DeviceTestSupport.h"
#include "MediaFiles.h"
#include "ProbedSource.h"
#include "TemporaryRegistry.h"
#include "TestClips.h"
#include "TestFilters.h"
#include "VirtualCaptureDevice.h"
#include "tee/InfTeeFilter.h"
#include "JoinedText.h"

#include <com/ComRuntime.h>
#include <com/Registry.h>
#include <com/StringConvert.h>
#include <gtest/gtest.h>

#include <chrono>
#include <sstream>
#include <thread>

namespace
{
using namespace std::chrono_literals;
using Bytes = std::vector<std::uint8_t>;
constexpr std::size_t kPiece = 65536; // pushed samples cut packets anywhere

// A C3 stream converted from an ffmpeg-made MPEG-2 clip by kstest, through the
// modules of this build registered into the registry in force.
Bytes ConvertedStream()
{
    if (media::Run(REGISTER_SCRIPT " >/dev/null") != 0)
        return {};
    const std::string target = media::ScratchPath("device-playback.c3s");
    if (media::Run(JoinedText({KSTEST_PATH, " convert ", media::Quote(clips::Mpeg2Ntsc()), " ",
                               media::Quote(target), " >/dev/null 2>&1"})) != 0)
        return {};
    return media::ReadFile(target);
}

// Offsets of the packets of a sound stream.
std::vector<std::size_t> PacketOffsets(const Bytes& bytes)
{
    const auto word = [&](std::size_t at)
    {
        return std::uint32_t(bytes[at]) << 24 | bytes[at + 1] << 16 | bytes[at + 2] << 8 |
               bytes[at + 3];
    };
    std::vector<std::size_t> offsets;
    for (std::size_t at = 0; at + 28 <= bytes.size(); at += 28 + word(at + 8) + word(at + 12))
        offsets.push_back(at);
    return offsets;
}

class PlaybackGraph : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(S_OK, CoInitialize(nullptr));
        ::unsetenv(kPacingEnvironmentVariable);
        HRESULT hr = S_OK;
        m_device = static_cast<IBaseFilter*>(
            new CDeviceFilter(nullptr, &hr, ProbedFactory(std::make_shared<SourceProbe>())));
        CMediaType type;
        type.SetType(&MEDIATYPE_Stream);
        type.SetSubtype(&MEDIASUBTYPE_NULL);
        m_pSource = new CTestPushSource(type, LONG(kPiece), &hr);
        m_source = static_cast<IBaseFilter*>(m_pSource);
        ComPtr<IBaseFilter> tee = static_cast<IBaseFilter*>(new CInfTeeFilter(nullptr, &hr));
        ASSERT_EQ(S_OK, hr);

        ComPtr<IPersistPropertyBag> persist;
        ASSERT_EQ(S_OK, m_device.As(&persist));
        ASSERT_EQ(S_OK, persist->Load(RegisterDeviceBag(kFirstDeviceName).Get(), nullptr));

        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_PPV_ARGS(&m_graph)));
        ASSERT_EQ(S_OK, m_graph->AddFilter(m_source.Get(), L"Source"));
        ASSERT_EQ(S_OK, m_graph->AddFilter(tee.Get(), L"Infinite Tee"));
        ASSERT_EQ(S_OK, m_graph->AddFilter(m_device.Get(), nullptr));
        ASSERT_EQ(S_OK, m_graph->ConnectDirect(m_pSource->Pin(), FindPin(tee.Get(), PINDIR_INPUT),
                                               nullptr));
        ASSERT_EQ(S_OK, m_graph->ConnectDirect(FindPin(tee.Get(), PINDIR_OUTPUT),
                                               FindPin(m_device.Get(), PINDIR_INPUT), nullptr));
        ASSERT_EQ(S_OK, m_graph.As(&m_control));
        ASSERT_EQ(S_OK, m_graph.As(&m_events));
    }

    void TearDown() override
    {
        m_control->Stop();
        m_events.Reset();
        m_control.Reset();
        m_graph.Reset();
        m_device.Reset();
        m_source.Reset();
        CoUninitialize();
    }

    void SetDeviceValue(const wchar_t* name, const std::wstring& value)
    {
        ASSERT_EQ(ERROR_SUCCESS,
                  RegWriteString(HKEY_CLASSES_ROOT, DeviceInstanceKey(kFirstDeviceName).c_str(),
                                 name, value));
    }

    // Pushes the bytes in pieces, then the end of the stream.
    void Push(const Bytes& bytes)
    {
        for (std::size_t at = 0; at < bytes.size(); at += kPiece)
            if (m_pSource->Push(bytes.data() + at, std::min(kPiece, bytes.size() - at)) != S_OK)
                return;
        m_pSource->PushEndOfStream();
    }

    // Runs the graph, plays the bytes and waits for the graph to complete.
    bool Play(const Bytes& bytes)
    {
        EXPECT_EQ(S_OK, m_control->Run());
        Push(bytes);
        const bool bCompleted = WaitForEvent(m_events.Get(), EC_COMPLETE, 30000);
        EXPECT_EQ(S_OK, m_control->Stop());
        return bCompleted;
    }

    TemporaryRegistry m_registry;
    CTestPushSource* m_pSource = nullptr;
    ComPtr<IBaseFilter> m_source;
    ComPtr<IBaseFilter> m_device;
    ComPtr<IGraphBuilder> m_graph;
    ComPtr<IMediaControl> m_control;
    ComPtr<IMediaEventEx> m_events;
};

} // namespace

TEST_F(PlaybackGraph, AConvertedStreamPlaysCleanlyEveryPacketCountedAndRecordedByteForByte)
{
    const Bytes converted = ConvertedStream();
    ASSERT_FALSE(converted.empty());
    C3StreamFile file;
    ASSERT_TRUE(file.Parse(converted));
    std::uint64_t pictures = 0;
    std::uint64_t audioFrames = 0;
    for (const C3PacketView& packet : file.Packets())
    {
        pictures += packet.videoLength != 0 ? 1 : 0;
        audioFrames += packet.audioUnits;
    }

    const std::string record = media::ScratchPath("device-playback-record.c3s");
    SetDeviceValue(kDeviceValueRecordFile, Utf8ToWide(record));
    SetDeviceValue(kDeviceValuePacing, kFastPacing);
    ASSERT_TRUE(Play(converted));

    const DeviceCounters status = ReadStatus(m_device.Get());
    EXPECT_EQ(0u, status.violations);
    EXPECT_EQ(file.Packets().size(), status.packetsPlayed);
    EXPECT_EQ(pictures, status.picturesPlayed);
    EXPECT_EQ(audioFrames, status.audioFramesPlayed);
    EXPECT_EQ(converted.size(), status.bytesPlayed);
    EXPECT_TRUE(media::ReadFile(record) == converted) << "the recording differs";

    // Damage: a wrong header length, bytes between two packets, a cut end.
    Bytes damaged = converted;
    const std::vector<std::size_t> offsets = PacketOffsets(damaged);
    ASSERT_GT(offsets.size(), 30u);
    damaged[offsets[10] + 7] = 0;
    damaged.insert(damaged.begin() + long(offsets[20]), 13, 0x55);
    damaged.resize(damaged.size() - 100);
    ASSERT_TRUE(Play(damaged));
    const DeviceCounters after = ReadStatus(m_device.Get());
    EXPECT_EQ(3u, after.violations - status.violations);
    EXPECT_EQ(offsets.size() - 1, after.packetsPlayed - status.packetsPlayed);
    EXPECT_TRUE(media::ReadFile(record) == damaged);
}

TEST_F(PlaybackGraph, PacketsPlayAtTheirTimesAndATimeFarOffDoesNotHoldThemUp)
{
    C3StreamBuilder stream;
    stream.Packets(16, 5.0).Packets(1, 40000.0).Packets(15, 5.6); // a wild time in the middle
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(Play(stream.Bytes()));
    const auto elapsed = std::chrono::steady_clock::now() - start;
    // 15 + 14 frame steps of 1001/30000 s between the two anchors' runs.
    EXPECT_GT(elapsed, 900ms);
    EXPECT_LT(elapsed, 3s);
    EXPECT_EQ(0u, ReadStatus(m_device.Get()).violations);
}

TEST_F(PlaybackGraph, StopCutsAPacketsWaitShort)
{
    C3StreamBuilder stream;
    for (int i = 0; i < 5; ++i)
        stream.Packet(1000, 0, 0, 1.5 * i);
    ASSERT_EQ(S_OK, m_control->Run());
    std::thread pusher([&] { Push(stream.Bytes()); });
    std::this_thread::sleep_for(300ms);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(S_OK, m_control->Stop());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
    pusher.join();
    EXPECT_EQ(1u, ReadStatus(m_device.Get()).packetsPlayed);
}

// Once so many packets have played, the pin refuses every sample with the plan's
// result, telling the graph once and completing nothing; or it posts the plan's
// event once and plays on to the end.
TEST_F(PlaybackGraph, InjectedFaultsRefuseTheRestOrPostAnEventAndPlayOn)
{
    SetDeviceValue(kDeviceValuePacing, kFastPacing);
    C3StreamBuilder stream;
    stream.Packets(60);
    ASSERT_EQ(S_OK, SetFaults(m_device.Get(), "playback-refuse=20:0x8007001F"));
    ASSERT_EQ(S_OK, m_control->Run());
    Push(stream.Bytes());
    LONG_PTR result = 0;
    EXPECT_TRUE(WaitForEvent(m_events.Get(), EC_ERRORABORT, 5000, &result));
    EXPECT_EQ(HRESULT(0x8007001F), HRESULT(result));
    EXPECT_FALSE(WaitForEvent(m_events.Get(), EC_COMPLETE, 300));
    ASSERT_EQ(S_OK, m_control->Stop());
    const DeviceCounters refused = ReadStatus(m_device.Get());
    EXPECT_EQ(1u, refused.samplesRefused); // the source stops at the first refusal
    EXPECT_GE(refused.packetsPlayed, 20u);
    EXPECT_LT(refused.packetsPlayed, 60u);

    ASSERT_EQ(S_OK, SetFaults(m_device.Get(), "playback-event=20:audio-out:0x8007001F"));
    ASSERT_EQ(S_OK, m_control->Run());
    Push(stream.Bytes());
    LONG_PTR access = 0;
    EXPECT_TRUE(WaitForEvent(m_events.Get(), EC_SNDDEV_OUT_ERROR, 5000, &access));
    EXPECT_EQ(SNDDEV_ERROR_Write, access);
    EXPECT_TRUE(WaitForEvent(m_events.Get(), EC_COMPLETE, 30000));
    ASSERT_EQ(S_OK, m_control->Stop());
    const DeviceCounters played = ReadStatus(m_device.Get());
    EXPECT_EQ(60u, played.packetsPlayed - refused.packetsPlayed);
    EXPECT_EQ(1u, played.playbackEvents);
}
