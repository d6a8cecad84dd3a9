// The main window on the offscreen platform against the registered virtual device:
// its menus, a capture with the preview inside the window ended by Stop and by the
// time limit, and a playback that ends with its stream.

#include "MainWindow.h"
#include "MediaFiles.h"
#include "QtTestApplication.h"
#include "TestClips.h"
#include "VideoSurface.h"

#include <com/ComRuntime.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QElapsedTimer>
#include <QLabel>
#include <QMenuBar>

#include <filesystem>

namespace
{
using namespace MenuCommand;

class MainWindowTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        const std::string registry = media::ScratchPath("gui-registry.txt");
        std::filesystem::remove(registry);
        setenv("MARVEK_REGISTRY", registry.c_str(), 1);
        setenv("MARVEK_SYSTEM_REGISTRY", "", 1);
        setenv("MARVEK_DEVICE_PACING", "fast", 1);
        ASSERT_EQ(0, media::Run(std::string(REGISTER_SCRIPT) + " >/dev/null"));
    }

    void SetUp() override
    {
        TestApplication();
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        m_Settings.captureFile = media::ScratchPath("gui-capture.mpg");
    }
    void TearDown() override
    {
        m_pWindow.reset();
        CoUninitialize();
    }

    MainWindow& Open(bool bDeveloper)
    {
        m_Settings.developer = bDeveloper ? 1 : 0;
        m_pWindow = std::make_unique<MainWindow>(m_Settings);
        EXPECT_TRUE(m_pWindow->Initialize());
        m_pWindow->show();
        return *m_pWindow;
    }

    // Processes events until the condition holds or half a minute passes.
    static bool PumpUntil(const std::function<bool()>& condition)
    {
        QElapsedTimer timer;
        timer.start();
        while (!condition() && timer.elapsed() < 30000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return condition();
    }

    AppSettings m_Settings;
    std::unique_ptr<MainWindow> m_pWindow;
};

QStringList MenuTitles(MainWindow& window)
{
    QStringList titles;
    for (QAction* pAction : window.menuBar()->actions())
        titles << pAction->text();
    return titles;
}
} // namespace

TEST_F(MainWindowTest, MenusFollowTheModelAndDeveloperModeAddsTheC3StreamMenu)
{
    MainWindow& window = Open(false);
    EXPECT_EQ(window.windowTitle(), "Marvek/Tellin Test Utility");
    EXPECT_FALSE(window.windowIcon().isNull());
    EXPECT_EQ(MenuTitles(window), (QStringList{"&File", "&Capture", "&Playback", "&Help"}));
    EXPECT_TRUE(window.Action(kCaptureWithoutPreview)->isEnabled());
    EXPECT_FALSE(window.Action(kCaptureStop)->isEnabled());
    EXPECT_EQ(window.Action(kConvert), nullptr);

    MainWindow& developer = Open(true);
    EXPECT_EQ(MenuTitles(developer),
              (QStringList{"&File", "&Capture", "&Playback", "&C3 Stream", "&Help"}));
    EXPECT_TRUE(developer.Action(kConvert)->isEnabled());
    EXPECT_FALSE(developer.Action(kPlaybackC3S)->isEnabled());
}

TEST_F(MainWindowTest, CaptureShowsItsPreviewInTheWindowAndStopsByMenuAndByTimeLimit)
{
    m_Settings.timeLimitMinutes = 1;
    MainWindow& window = Open(false);
    window.Action(kCaptureAudioVideoPreview)->trigger();
    ASSERT_EQ(window.Model().Mode(), OperationMode::Capture);
    EXPECT_FALSE(window.Action(kCaptureWithoutPreview)->isEnabled());
    EXPECT_TRUE(window.Action(kCaptureStop)->isEnabled());
    EXPECT_TRUE(window.IsTimerActive(kCaptureTimer));
    ASSERT_TRUE(PumpUntil([&] { return window.Video()->PicturesShown() > 5; }));
    EXPECT_TRUE(window.Video()->isVisible());
    EXPECT_GT(window.Video()->width(), window.Banner()->width()); // the capture sizing
    window.Action(kCaptureStop)->trigger();
    EXPECT_EQ(window.Model().Mode(), OperationMode::Idle);
    EXPECT_FALSE(window.IsTimerActive(kCaptureTimer));
    EXPECT_TRUE(window.Action(kCaptureWithoutPreview)->isEnabled());
    EXPECT_GT(std::filesystem::file_size(m_Settings.captureFile), 0u);

    // The time limit's timer runs the stop routine of the capture.
    window.Action(kCaptureWithoutPreview)->trigger();
    ASSERT_TRUE(window.IsTimerActive(kCaptureTimer));
    window.Model().OnTimer(kCaptureTimer);
    EXPECT_EQ(window.Model().Mode(), OperationMode::Idle);
    EXPECT_FALSE(window.Action(kCaptureStop)->isEnabled());
}

TEST_F(MainWindowTest, PlaybackEndsWithItsStreamThroughTheQueuedGraphEvent)
{
    m_Settings.playbackFile = clips::Mpeg2Ntsc();
    MainWindow& window = Open(false);
    window.Action(kPlaybackVideoPreview)->trigger();
    ASSERT_EQ(window.Model().Mode(), OperationMode::Playback);
    EXPECT_TRUE(window.Action(kPlaybackStop)->isEnabled());
    EXPECT_TRUE(PumpUntil([&] { return window.Model().Mode() == OperationMode::Idle; }));
    EXPECT_GT(window.Video()->PicturesShown(), 0);
    EXPECT_FALSE(window.Action(kPlaybackStop)->isEnabled());
    EXPECT_TRUE(window.Action(kPlaybackWithoutPreview)->isEnabled());
}
