// The main window's rules without a window, against the virtual device registered in
// a fresh registry: the menu state in every mode, in and out of developer mode, the
// graph-event drain, the time-limit timers, and a start that fails half way.

#include "MainWindowModel.h"
#include "MediaFiles.h"
#include "TestClips.h"

#include <com/ComRuntime.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>

namespace
{
using namespace MenuCommand;

class RecordingView : public MainWindowView
{
public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void Diagnostic(const std::string& line) override { diagnostics.push_back(line); }
    void ShowBanner(const std::string& text) override { banner = text; }
    int PumpMessages() override { return kPumpIdle; }
    void SetTimer(int id, unsigned) override { timers.insert(id); }
    void KillTimer(int id) override { timers.erase(id); }
    void MenuStateChanged() override {}
    void RunSettingsDialog() override { ++settingsRuns; }
    bool RunConvertDialog() override { return bConvertOk; }
    void RunAboutBox() override {}
    void CloseWindow() override { bClosed = true; }
    OAHWND VideoOwner() const override { return 0; }
    ClientRect BannerRect() const override { return {0, 0, 525, 380}; }

    std::vector<std::string> messages;
    std::vector<std::string> diagnostics;
    std::string banner;
    std::set<int> timers;
    int settingsRuns = 0;
    bool bConvertOk = false;
    bool bClosed = false;
};

std::size_t ThreadCount()
{
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/task"))
        ++count;
    return count;
}

constexpr int kStartItems[] = {kCaptureWithoutPreview,  kCaptureVideoPreview,
                               kCaptureAudioVideoPreview, kPlaybackWithoutPreview,
                               kPlaybackVideoPreview,   kPlaybackAudioPreview,
                               kPlaybackAudioVideoPreview};

class MainWindowModelTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_registry = media::ScratchPath("main-window-registry.txt");
        std::filesystem::remove(s_registry);
        setenv("MARVEK_REGISTRY", s_registry.c_str(), 1);
        setenv("MARVEK_SYSTEM_REGISTRY", "", 1);
        setenv("MARVEK_DEVICE_PACING", "fast", 1);
        ASSERT_EQ(0, media::Run(REGISTER_SCRIPT " >/dev/null"));
    }

    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        m_Settings.captureFile = media::ScratchPath("main-window-capture.mpg");
    }
    void TearDown() override
    {
        m_pModel.reset();
        CoUninitialize();
    }

    MainWindowModel& Open(bool bDeveloper)
    {
        m_Settings.developer = bDeveloper ? 1 : 0;
        m_pModel = std::make_unique<MainWindowModel>(m_Settings, m_View);
        EXPECT_TRUE(m_pModel->Initialize());
        return *m_pModel;
    }

    // Queues an event as a filter would and lets the model drain it.
    void Notify(LONG code, LONG_PTR param1 = 0)
    {
        ComPtr<IMediaEventSink> pSink;
        ASSERT_EQ(S_OK, m_pModel->Context().Graph()->QueryInterface(IID_PPV_ARGS(&pSink)));
        pSink->Notify(code, param1, 0);
        m_pModel->OnGraphNotify();
    }

    bool AnyStartEnabled() const
    {
        for (int item : kStartItems)
            if (m_pModel->IsEnabled(item))
                return true;
        return m_pModel->IsEnabled(kConvert) || m_pModel->IsEnabled(kPlaybackC3S);
    }

    static std::string s_registry;
    AppSettings m_Settings;
    RecordingView m_View;
    std::unique_ptr<MainWindowModel> m_pModel;
};

std::string MainWindowModelTest::s_registry;
} // namespace

TEST(DeveloperSwitch, MatchesTheFirstArgumentInAnyCase)
{
    const char* developer[] = {"MarvekKSTest", "/dEVELOPER"};
    const char* other[] = {"MarvekKSTest", "-Developer"};
    const char* second[] = {"MarvekKSTest", "x", "/Developer"};
    EXPECT_TRUE(IsDeveloperSwitch(2, developer));
    EXPECT_FALSE(IsDeveloperSwitch(2, other));
    EXPECT_FALSE(IsDeveloperSwitch(3, second));
    EXPECT_FALSE(IsDeveloperSwitch(1, developer));
}

TEST_F(MainWindowModelTest, IdleMenusFollowThePlaybackFileAndDeveloperMode)
{
    MainWindowModel& model = Open(false);
    EXPECT_FALSE(model.HasC3StreamMenu());
    EXPECT_EQ(m_Settings.tvStandard, 1); // the device's state was read at start-up
    for (int item : kStartItems)
        EXPECT_TRUE(model.IsEnabled(item)) << item;
    for (int stop : {kCaptureStop, kPlaybackStop, kC3StreamStop})
        EXPECT_FALSE(model.IsEnabled(stop)) << stop;
    EXPECT_FALSE(model.IsEnabled(kPlaybackC3S)); // no C3 Stream menu outside developer mode

    m_Settings.playbackFile = "take.C3S";
    MainWindowModel& developer = Open(true);
    EXPECT_TRUE(developer.HasC3StreamMenu());
    EXPECT_EQ(m_Settings.playbackKind, PlaybackKind::C3S);
    EXPECT_FALSE(developer.IsEnabled(kPlaybackWithoutPreview));
    EXPECT_TRUE(developer.IsEnabled(kPlaybackC3S));
    EXPECT_TRUE(developer.IsEnabled(kConvert));

    m_Settings.playbackFile = "take";
    MainWindowModel& plain = Open(true);
    EXPECT_EQ(m_Settings.playbackKind, PlaybackKind::Mpeg);
    EXPECT_TRUE(plain.IsEnabled(kPlaybackWithoutPreview));
    EXPECT_FALSE(plain.IsEnabled(kPlaybackC3S));
}

TEST_F(MainWindowModelTest, ACaptureGreysTheStartsAndItsEventsEndIt)
{
    MainWindowModel& model = Open(false);
    model.OnCommand(kCaptureWithoutPreview);
    ASSERT_EQ(model.Mode(), OperationMode::Capture) << m_View.messages.size();
    EXPECT_FALSE(AnyStartEnabled());
    EXPECT_TRUE(model.IsEnabled(kCaptureStop));
    EXPECT_FALSE(model.IsEnabled(kSettings)); // outside developer mode
    EXPECT_EQ(m_View.banner, "");             // no video preview: cleared after Run

    // An event that does not end the capture leaves it running; one that does shows its
    // message and ends it, and the menus are idle again.
    Notify(EC_PAUSED);
    EXPECT_EQ(model.Mode(), OperationMode::Capture);
    Notify(EC_STARVATION);
    EXPECT_EQ(model.Mode(), OperationMode::Idle);
    EXPECT_EQ(m_View.messages, (std::vector<std::string>{"A filter is not receiving enough data"}));
    EXPECT_TRUE(model.IsEnabled(kCaptureWithoutPreview));
    EXPECT_TRUE(model.IsEnabled(kSettings));
    EXPECT_FALSE(model.IsEnabled(kCaptureStop));

    // EC_COMPLETE while idle changes nothing.
    Notify(EC_COMPLETE);
    EXPECT_EQ(model.Mode(), OperationMode::Idle);
    EXPECT_EQ(m_View.messages.size(), 1u);
}

TEST_F(MainWindowModelTest, SettingsStayUsableInDeveloperModeWithoutStartingASecondOperation)
{
    MainWindowModel& model = Open(true);
    model.OnCommand(kCaptureVideoPreview);
    ASSERT_EQ(model.Mode(), OperationMode::Capture);
    EXPECT_TRUE(model.IsEnabled(kSettings));
    m_Settings.playbackFile = "other.mpg";
    model.OnCommand(kSettings);
    EXPECT_EQ(m_View.settingsRuns, 1);
    EXPECT_FALSE(AnyStartEnabled()); // the playback items stay grey while capturing
    model.OnCommand(kCaptureStop);
    EXPECT_TRUE(model.IsEnabled(kPlaybackWithoutPreview));
}

TEST_F(MainWindowModelTest, TimeLimitArmsItsTimerAndEachStopKillsIt)
{
    m_Settings.timeLimitMinutes = 5;
    MainWindowModel& model = Open(true);
    model.OnCommand(kCaptureWithoutPreview);
    EXPECT_EQ(m_View.timers, (std::set<int>{kCaptureTimer}));
    model.OnTimer(kCaptureTimer);
    EXPECT_EQ(model.Mode(), OperationMode::Idle);
    EXPECT_TRUE(m_View.timers.empty());

    // A conversion stopped by its Stop item leaves no timer to stop a later capture.
    m_View.bConvertOk = true;
    m_Settings.convertSource = clips::Mpeg2Ntsc();
    m_Settings.convertTarget = media::ScratchPath("main-window-convert.c3s");
    model.OnCommand(kConvert);
    ASSERT_EQ(model.Mode(), OperationMode::C3Stream) << (m_View.messages.empty() ? "" : m_View.messages.back());
    EXPECT_EQ(m_View.timers, (std::set<int>{kPlaybackTimer}));
    model.OnCommand(kC3StreamStop);
    EXPECT_TRUE(m_View.timers.empty());
    model.OnCommand(kCaptureWithoutPreview);
    model.OnTimer(kPlaybackTimer); // a stale timer: no effect on the capture
    EXPECT_EQ(model.Mode(), OperationMode::Capture);
    model.OnCommand(kCaptureStop);
}

TEST_F(MainWindowModelTest, AStartThatFailsHalfWayLeavesTheMenusIdleAndTheGraphEmpty)
{
    MainWindowModel& model = Open(false);
    m_Settings.playbackFile = media::ScratchPath("no-such-file.mpg");
    model.OnCommand(kPlaybackAudioVideoPreview);
    EXPECT_EQ(model.Mode(), OperationMode::Idle);
    EXPECT_EQ(m_View.messages,
              (std::vector<std::string>{"Unable to Open file", "Error occurred during Playback"}));
    EXPECT_TRUE(model.IsEnabled(kPlaybackWithoutPreview));
    ComPtr<IEnumFilters> pFilters;
    ASSERT_EQ(S_OK, model.Context().Graph()->EnumFilters(&pFilters));
    ComPtr<IBaseFilter> pFilter;
    int count = 0;
    while (pFilters->Next(1, &pFilter, nullptr) == S_OK)
        ++count;
    EXPECT_EQ(count, 1); // only the device filter, which stays until the next start
}

// The soak script asks for more cycles through MARVEK_CAPTURE_CYCLES.
TEST_F(MainWindowModelTest, CaptureStartsAndStopsAHundredTimesWithAndWithoutPreview)
{
    const char* pszCycles = std::getenv("MARVEK_CAPTURE_CYCLES");
    const int cycles = pszCycles ? std::atoi(pszCycles) : 100;
    MainWindowModel& model = Open(false);
    model.OnCommand(kCaptureAudioVideoPreview); // libraries start their own threads once
    model.OnCommand(kCaptureStop);
    const std::size_t threadsBefore = ThreadCount();
    for (int cycle = 0; cycle < cycles; ++cycle)
    {
        model.OnCommand(cycle % 2 ? kCaptureAudioVideoPreview : kCaptureWithoutPreview);
        ASSERT_EQ(model.Mode(), OperationMode::Capture) << "cycle " << cycle;
        model.OnCommand(kCaptureStop);
        ASSERT_EQ(model.Mode(), OperationMode::Idle);
    }
    EXPECT_TRUE(m_View.messages.empty());
    EXPECT_GT(std::filesystem::file_size(m_Settings.captureFile), 0u);
    EXPECT_EQ(ThreadCount(), threadsBefore); // every stop joined what its start began
}
