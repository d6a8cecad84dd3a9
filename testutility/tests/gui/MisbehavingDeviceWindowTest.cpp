// The windows' rules for a device that misbehaves, on Qt's offscreen platform, against
// the real virtual device registered into a temporary registry.

#include "MainWindow.h"
#include "QtTestApplication.h"
#include "RecordingReport.h"
#include "RegisteredDevice.h"
#include "SettingsDialog.h"
#include "TemporaryRegistry.h"

#include <com/ComRuntime.h>
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QMessageBox>
#include <QTimer>

namespace
{
// Answers every message box as it opens, keeping its text.
class MessageBoxAnswerer
{
public:
    MessageBoxAnswerer()
    {
        QObject::connect(&m_Timer, &QTimer::timeout,
                         [this]
                         {
                             if (auto* pBox =
                                     qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                             {
                                 texts.push_back(pBox->text().toStdString());
                                 pBox->accept();
                             }
                         });
        m_Timer.start(10);
    }

    std::vector<std::string> texts;

private:
    QTimer m_Timer;
};

class MisbehavingDeviceWindows : public testing::Test
{
protected:
    void SetUp() override
    {
        TestApplication();
        ASSERT_EQ(S_OK, CoInitialize(nullptr));
        ASSERT_TRUE(registered::RegisterModules());
    }
    void TearDown() override { CoUninitialize(); }

    TemporaryRegistry m_Registry;
    AppSettings m_Settings;
};
} // namespace

TEST_F(MisbehavingDeviceWindows, ADeviceThatCannotBeBoundOpensTheWindowWithVideoDeviceNotFound)
{
    ASSERT_EQ(S_OK, registered::InjectFaults("bind-fail"));
    MessageBoxAnswerer answerer;
    MainWindow window(m_Settings);
    ASSERT_TRUE(window.Initialize());
    EXPECT_EQ(std::vector<std::string>{"Video Device Not Found"}, answerer.texts);
    EXPECT_TRUE(window.Action(MenuCommand::kCaptureWithoutPreview)->isEnabled());
    EXPECT_FALSE(window.Action(MenuCommand::kCaptureStop)->isEnabled());
}

TEST_F(MisbehavingDeviceWindows, TheSettingsDialogListsTenOfTwelveSizesAndThreeOfFourRates)
{
    ASSERT_TRUE(registered::SetDeviceValue(L"NtscSizes", L"720x480 704x480 640x480 544x480 480x480 "
                                                         L"352x480 352x240 320x240 240x176 "
                                                         L"176x120 160x120 128x96"));
    ASSERT_TRUE(registered::SetDeviceValue(L"SampleRates", L"48000 44100 32000 22050"));
    MainWindow window(m_Settings);
    ASSERT_TRUE(window.Initialize());
    window.Model().Context().PublishTo(m_Settings);
    RecordingReport report;
    SettingsDialog dialog(m_Settings, report, &window);
    auto* pSizes = dialog.findChild<QComboBox*>("1012");
    auto* pRates = dialog.findChild<QComboBox*>("1025");
    ASSERT_TRUE(pSizes && pRates);
    ASSERT_EQ(10, pSizes->count());
    EXPECT_EQ("720 X 480", pSizes->itemText(0));
    EXPECT_EQ("176 X 120", pSizes->itemText(9));
    ASSERT_EQ(3, pRates->count());
    EXPECT_EQ("32000", pRates->itemText(2));
    EXPECT_TRUE(report.messages.empty());
}
