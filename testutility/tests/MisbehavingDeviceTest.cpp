// The utility's rules for a device that misbehaves, against the real virtual device:
// the modules of this build registered into a temporary registry, the device pacing
// fast and told through its fault property how to fail; the main window and the
// settings dialog without their windows.

#include "MainWindowModel.h"
#include "MediaFiles.h"
#include "RegisteredDevice.h"
#include "SettingsDialogModel.h"
#include "TemporaryRegistry.h"
#include "TestClips.h"
#include "VirtualCaptureDevice.h"

#include <com/ComRuntime.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

namespace
{
using namespace std::chrono_literals;
using namespace MenuCommand;
namespace Status = DeviceLayout::Status;

class RecordingView : public MainWindowView
{
public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void Diagnostic(const std::string& line) override { diagnostics.push_back(line); }
    void ShowBanner(const std::string&) override {}
    int PumpMessages() override { return kPumpIdle; }
    void SetTimer(int, unsigned) override {}
    void KillTimer(int) override {}
    void MenuStateChanged() override {}
    void RunSettingsDialog() override {}
    bool RunConvertDialog() override { return false; }
    void RunAboutBox() override {}
    void CloseWindow() override {}
    OAHWND VideoOwner() const override { return 0; }
    ClientRect BannerRect() const override { return {0, 0, 525, 380}; }

    std::vector<std::string> messages;
    std::vector<std::string> diagnostics;
};

bool Contains(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

class MisbehavingDevice : public testing::Test
{
protected:
    // A C3 stream file for "Playback C3S", converted by kstest through the modules.
    static void SetUpTestSuite()
    {
        TemporaryRegistry registry;
        ASSERT_TRUE(registered::RegisterModules());
        s_c3Stream = media::ScratchPath("misbehaving.c3s");
        ASSERT_EQ(0, media::Run(std::string(KSTEST_PATH) + " convert " +
                                media::Quote(clips::Mpeg2Ntsc()) + " " + media::Quote(s_c3Stream) +
                                " >/dev/null 2>&1"));
    }

    void SetUp() override
    {
        ASSERT_EQ(S_OK, CoInitialize(nullptr));
        ASSERT_TRUE(registered::RegisterModules());
        ASSERT_TRUE(registered::SetDeviceValue(kDeviceValuePacing, kFastPacing));
    }

    void TearDown() override
    {
        m_pModel.reset();
        CoUninitialize();
    }

    MainWindowModel& OpenMainWindow()
    {
        m_pModel = std::make_unique<MainWindowModel>(m_Settings, m_View);
        EXPECT_TRUE(m_pModel->Initialize());
        return *m_pModel;
    }

    // Drains the graph's events as the window does on its notification, until the
    // operation has ended.
    bool WaitUntilIdle()
    {
        for (auto waited = 0ms; waited < 60s; waited += 10ms)
        {
            m_pModel->OnGraphNotify();
            if (m_pModel->Mode() == OperationMode::Idle)
                return true;
            std::this_thread::sleep_for(10ms);
        }
        return false;
    }

    static std::string s_c3Stream;
    TemporaryRegistry m_Registry;
    AppSettings m_Settings;
    RecordingView m_View;
    std::unique_ptr<MainWindowModel> m_pModel;
};

std::string MisbehavingDevice::s_c3Stream;
} // namespace

TEST_F(MisbehavingDevice, AFailedEncoderSettingsGetLeavesZerosThatNeverReachTheDevice)
{
    for (const char* pszFault :
         {"get-fail:encoder-settings=0x8007001F", "get-empty:encoder-settings"})
    {
        SCOPED_TRACE(pszFault);
        ASSERT_EQ(S_OK, registered::InjectFaults(pszFault));
        m_Settings = AppSettings();
        MainWindowModel& model = OpenMainWindow();
        const auto expectZeros = [&]
        {
            EXPECT_EQ(0, m_Settings.bitRate);
            EXPECT_EQ(0, m_Settings.peakBitRate);
            EXPECT_EQ(0, m_Settings.width);
            EXPECT_EQ(0, m_Settings.height);
            EXPECT_EQ(0, m_Settings.vbr);
            EXPECT_EQ(0, m_Settings.mpeg1);
        };
        expectZeros();
        EXPECT_EQ(48000, m_Settings.sampleRate); // the reads after it went on
        EXPECT_EQ(1, m_Settings.tvStandard);

        model.Context().PublishTo(m_Settings);
        SettingsDialogModel dialog(m_Settings, m_View);
        dialog.Open();
        expectZeros();
        dialog.OnOk(); // sends the zeros back
    }
    ASSERT_EQ(S_OK, registered::InjectFaults(""));
    m_Settings = AppSettings();
    OpenMainWindow();
    EXPECT_EQ(4200000, m_Settings.bitRate);
    EXPECT_EQ(720, m_Settings.width);
    // Two start-up reads and two dialog reads were faulted; the zeros were refused.
    EXPECT_EQ(4u, registered::StatusCounter(Status::kPropertyFaults));
    EXPECT_EQ(2u, registered::StatusCounter(Status::kSettingsRefused));
}

TEST_F(MisbehavingDevice, TwelveFrameSizesAndFourRatesOfferTheFirstTenAndThree)
{
    ASSERT_TRUE(registered::SetDeviceValue(L"NtscSizes", L"720x480 704x480 640x480 544x480 480x480 "
                                                         L"352x480 352x240 320x240 240x176 "
                                                         L"176x120 160x120 128x96"));
    ASSERT_TRUE(registered::SetDeviceValue(L"SampleRates", L"48000 44100 32000 22050"));
    MainWindowModel& model = OpenMainWindow();
    model.Context().PublishTo(m_Settings);
    SettingsDialogModel dialog(m_Settings, m_View);
    dialog.Open();
    EXPECT_EQ(
        (std::vector<std::string>{"720 X 480", "704 X 480", "640 X 480", "544 X 480", "480 X 480",
                                  "352 X 480", "352 X 240", "320 X 240", "240 X 176", "176 X 120"}),
        dialog.sizeList.entries);
    EXPECT_EQ((std::vector<std::string>{"48000", "44100", "32000"}), dialog.rateList.entries);

    // The device reports its full counts; ten and three is the utility's rule.
    ComPtr<IKsPropertySet> pProperties;
    ASSERT_EQ(S_OK, model.Context().DeviceFilter()->QueryInterface(IID_PPV_ARGS(&pProperties)));
    std::array<std::uint8_t, DeviceLayout::EncoderCaps::kSize> encoder{};
    std::array<std::uint8_t, DeviceLayout::AudioCaps::kSize> audio{};
    DWORD cb = 0;
    ASSERT_EQ(S_OK,
              pProperties->Get(PROPSETID_DeviceControl, DEVICEPROP_ENCODER_CAPS, encoder.data(),
                               DWORD(encoder.size()), encoder.data(), DWORD(encoder.size()), &cb));
    ASSERT_EQ(S_OK, pProperties->Get(PROPSETID_DeviceControl, DEVICEPROP_AUDIO_CAPS, audio.data(),
                                     DWORD(audio.size()), audio.data(), DWORD(audio.size()), &cb));
    EXPECT_EQ(
        12u, ReadDeviceField<std::uint32_t>(encoder.data(), DeviceLayout::EncoderCaps::kSizeCount));
    EXPECT_EQ(4u,
              ReadDeviceField<std::uint32_t>(audio.data(), DeviceLayout::AudioCaps::kRateCount));
}

TEST_F(MisbehavingDevice, ADeviceThatCannotBeBoundOrAddedOpensTheWindowAndFailsEachStart)
{
    ASSERT_EQ(S_OK, registered::InjectFaults("bind-fail=0x8007048F"));
    MainWindowModel& model = OpenMainWindow();
    EXPECT_EQ(std::vector<std::string>{"Video Device Not Found"}, m_View.messages);
    EXPECT_TRUE(Contains(m_View.diagnostics, "Error 8007048f: Cannot create video capture filter"));
    EXPECT_FALSE(model.Context().DeviceFilter());

    // A start ends at the bind: its Stop item stays enabled and the starts grey.
    m_View.diagnostics.clear();
    model.OnCommand(kCaptureWithoutPreview);
    EXPECT_EQ(std::vector<std::string>{"Error 8007048f: Cannot create video capture filter"},
              m_View.diagnostics);
    EXPECT_EQ(OperationMode::Capture, model.Mode());
    EXPECT_TRUE(model.IsEnabled(kCaptureStop));
    EXPECT_FALSE(model.IsEnabled(kPlaybackWithoutPreview));
    model.OnCommand(kCaptureStop);
    EXPECT_EQ(OperationMode::Idle, model.Mode());
    EXPECT_TRUE(model.IsEnabled(kPlaybackWithoutPreview));

    // A filter the graph cannot add: bound, so no message, but no start gets further.
    // A device that cannot be bound takes its faults back through the registry only.
    ASSERT_TRUE(registered::SetDeviceValue(kDeviceValueFaults, L"join-fail"));
    m_pModel.reset();
    m_View = RecordingView();
    MainWindowModel& joined = OpenMainWindow();
    EXPECT_TRUE(m_View.messages.empty());
    EXPECT_TRUE(Contains(m_View.diagnostics, "Error 80004005: Cannot add vidcap to filtergraph"));
    m_View.diagnostics.clear();
    joined.OnCommand(kPlaybackWithoutPreview);
    EXPECT_EQ(std::vector<std::string>{"Error 80004005: Cannot add vidcap to filtergraph"},
              m_View.diagnostics);

    ASSERT_EQ(S_OK, registered::InjectFaults(""));
    EXPECT_EQ(2u, registered::StatusCounter(Status::kBindsRefused));
    EXPECT_EQ(2u, registered::StatusCounter(Status::kJoinsRefused));
}

TEST_F(MisbehavingDevice, ACaptureStoppedByAnErrorKeepsEverySegmentWrittenBeforeItIntactAndListed)
{
    const std::filesystem::path capture = media::ScratchPath("stopped.mpg");
    const std::filesystem::path list = std::filesystem::path(capture).replace_extension(".kvx");
    m_Settings.captureFile = capture.string();
    m_Settings.fileSizeLimitMB = 1;
    ASSERT_EQ(S_OK, registered::InjectFaults("capture-stop=4:stream-error:0x8007001F"));
    MainWindowModel& model = OpenMainWindow();
    model.OnCommand(kCaptureWithoutPreview);
    ASSERT_TRUE(WaitUntilIdle());
    EXPECT_EQ(std::vector<std::string>{"A stream has stopped because of an error"},
              m_View.messages);

    // Every listed segment is there whole, and starts at a pack.
    std::ifstream listed(list);
    std::string line;
    ASSERT_TRUE(std::getline(listed, line));
    EXPECT_EQ("LMMP\r", line);
    std::vector<std::uint8_t> joined;
    std::size_t cSegments = 0;
    while (std::getline(listed, line))
    {
        const std::size_t semicolon = line.find(';');
        ASSERT_NE(std::string::npos, semicolon) << line;
        const std::vector<std::uint8_t> segment =
            media::ReadFile((capture.parent_path() / line.substr(0, semicolon)).string());
        EXPECT_EQ(std::stoull(line.substr(semicolon + 1)), segment.size()) << line;
        ASSERT_GE(segment.size(), 4u);
        EXPECT_EQ((std::vector<std::uint8_t>{0x00, 0x00, 0x01, 0xBA}),
                  std::vector<std::uint8_t>(segment.begin(), segment.begin() + 4));
        joined.insert(joined.end(), segment.begin(), segment.end());
        ++cSegments;
    }
    EXPECT_GE(cSegments, 2u);

    // Together they are every byte the device delivered: the four seconds before the
    // stop, whose last picture the stop may cut short.
    EXPECT_EQ(registered::StatusCounter(Status::kBytesCaptured), joined.size());
    const std::string whole = media::ScratchPath("stopped-joined.mpg");
    std::ofstream(whole, std::ios::binary)
        .write(reinterpret_cast<const char*>(joined.data()), std::streamsize(joined.size()));
    EXPECT_NEAR(120, media::VideoFrameCount(whole), 1); // 4 s at 29.97 frames/s
    EXPECT_EQ(1u, registered::StatusCounter(Status::kCaptureStops));
}

namespace
{
struct EndingCase
{
    const char* name;
    OperationMode mode;
    const char* faults;
    const char* message; // null: none
};

void PrintTo(const EndingCase& ending, std::ostream* os)
{
    *os << ending.name;
}

class EndingEvent : public MisbehavingDevice, public testing::WithParamInterface<EndingCase>
{
};

constexpr const char* kAborted = "An operation was aborted because of an error";
constexpr const char* kStreamStopped = "A stream has stopped because of an error";
constexpr const char* kStarved = "A filter is not receiving enough data";
constexpr const char* kAudioIn = "An audio device error has occurred\non an input pin";
constexpr const char* kAudioOut = "An audio device error has occurred\non an output pin";
} // namespace

// The event ends the operation of the mode with the utility's message for it, and the
// menu is back to idle.
TEST_P(EndingEvent, EndsTheOperationWithItsMessageAndTheMenuReturnsToIdle)
{
    const EndingCase& ending = GetParam();
    m_Settings.developer = 1;
    m_Settings.captureFile = media::ScratchPath(std::string(ending.name) + ".mpg");
    m_Settings.playbackFile =
        ending.mode == OperationMode::C3Stream ? s_c3Stream : clips::Mpeg2Ntsc();
    ASSERT_EQ(S_OK, registered::InjectFaults(ending.faults));
    MainWindowModel& model = OpenMainWindow();
    const int start = ending.mode == OperationMode::Capture    ? kCaptureWithoutPreview
                      : ending.mode == OperationMode::Playback ? kPlaybackWithoutPreview
                                                               : kPlaybackC3S;
    model.OnCommand(start);
    ASSERT_EQ(ending.mode, model.Mode()) << "the start failed";
    ASSERT_TRUE(WaitUntilIdle());

    EXPECT_EQ(ending.message ? std::vector<std::string>{ending.message}
                             : std::vector<std::string>{},
              m_View.messages);
    for (int command : {kCaptureWithoutPreview, kCaptureVideoPreview, kSettings, kConvert})
        EXPECT_TRUE(model.IsEnabled(command)) << command;
    const bool bC3Stream = ending.mode == OperationMode::C3Stream;
    EXPECT_EQ(!bC3Stream, model.IsEnabled(kPlaybackWithoutPreview));
    EXPECT_EQ(bC3Stream, model.IsEnabled(kPlaybackC3S));
    for (int command : {kCaptureStop, kPlaybackStop, kC3StreamStop})
        EXPECT_FALSE(model.IsEnabled(command)) << command;
}

INSTANTIATE_TEST_SUITE_P(
    Capture, EndingEvent,
    testing::Values(
        EndingCase{"Abort", OperationMode::Capture, "capture-stop=0.5:abort", kAborted},
        EndingCase{"StreamError", OperationMode::Capture, "capture-stop=0.5:stream-error",
                   kStreamStopped},
        EndingCase{"Starvation", OperationMode::Capture, "stall=200", kStarved},
        EndingCase{"AudioIn", OperationMode::Capture, "capture-stop=0.5:audio-in", kAudioIn},
        EndingCase{"AudioOut", OperationMode::Capture, "capture-stop=0.5:audio-out", kAudioOut},
        EndingCase{"Complete", OperationMode::Capture, "capture-stop=0.5:end", nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

// Playback and "Playback C3S" end alike: on the device's playback pin.
std::vector<EndingCase> PlaybackEndings(OperationMode mode)
{
    return {
        {"Abort", mode, "playback-event=5:abort", kAborted},
        {"Refusal", mode, "playback-refuse=5", kAborted},
        {"StreamError", mode, "playback-event=5:stream-error", kStreamStopped},
        {"Starvation", mode, "playback-event=5:starvation", kStarved},
        {"AudioIn", mode, "playback-event=5:audio-in", kAudioIn},
        {"AudioOut", mode, "playback-event=5", kAudioOut},
        {"Complete", mode, "", nullptr},
    };
}

INSTANTIATE_TEST_SUITE_P(Playback, EndingEvent,
                         testing::ValuesIn(PlaybackEndings(OperationMode::Playback)),
                         [](const auto& info) { return std::string(info.param.name); });
INSTANTIATE_TEST_SUITE_P(C3Stream, EndingEvent,
                         testing::ValuesIn(PlaybackEndings(OperationMode::C3Stream)),
                         [](const auto& info) { return std::string(info.param.name); });
