// The settings dialog's window against a scripted device: its controls, which of
// them developer mode unlocks, and that the immediate handlers reach the device.

#include "FakeDevice.h"
#include "QtTestApplication.h"
#include "RecordingReport.h"
#include "SettingsDialog.h"

#include <com/ComRuntime.h>
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

namespace
{
class SettingsDialogWindowTest : public testing::Test
{
protected:
    void SetUp() override
    {
        TestApplication();
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_PPV_ARGS(&m_pBuilder)));
        m_pDevice = new CFakeDevice;
        m_pDevice->SetEncoder(4200000, 6000000, 1, 720, 480, 0);
        m_pDevice->SetSizes({{720, 480}, {352, 480}, {320, 240}});
        m_pDevice->SetRates({32000, 44100, 48000}, -50, 50);
        for (LONG i = 0; i < 5; ++i)
            m_pDevice->SetProcAmp(i, 10, 2, 3, {0, 127});
        m_Settings.graphContext.pCaptureBuilder = m_pBuilder.Get();
        m_Settings.graphContext.pDeviceFilter = m_pDevice.Get();
    }
    void TearDown() override
    {
        m_pBuilder.Reset();
        m_pDevice.Reset();
        CoUninitialize();
    }

    template <class TWidget> static TWidget* Control(SettingsDialog& dialog, const char* pszId)
    {
        auto* pWidget = dialog.findChild<TWidget*>(pszId);
        EXPECT_NE(pWidget, nullptr) << "no control " << pszId;
        return pWidget;
    }

    ComPtr<ICaptureGraphBuilder2> m_pBuilder;
    ComPtr<CFakeDevice> m_pDevice;
    AppSettings m_Settings;
    RecordingReport m_Report;
};
} // namespace

TEST_F(SettingsDialogWindowTest, ShowsTheDeviceAndLocksDeveloperControls)
{
    SettingsDialog dialog(m_Settings, m_Report, nullptr);
    EXPECT_EQ(dialog.windowTitle(), "DeveloperTest");
    EXPECT_EQ(Control<QListWidget>(dialog, "1017")->count(), 5);
    EXPECT_EQ(Control<QComboBox>(dialog, "1012")->currentText(), "720 X 480");
    // The device's rate could not be read: the first offered rate is selected.
    EXPECT_EQ(Control<QComboBox>(dialog, "1025")->currentText(), "32000");
    EXPECT_EQ(Control<QSlider>(dialog, "1014")->value(), 4200000);
    EXPECT_FALSE(Control<QGroupBox>(dialog, "1022")->isEnabled());
    EXPECT_FALSE(Control<QCheckBox>(dialog, "1035")->isEnabled());
    EXPECT_FALSE(Control<QPushButton>(dialog, "1007")->isEnabled());
    EXPECT_FALSE(Control<QPushButton>(dialog, "1031")->isEnabled());
    EXPECT_EQ(Control<QLineEdit>(dialog, "1024")->text(), "2032");

    m_Settings.developer = 1;
    SettingsDialog developer(m_Settings, m_Report, nullptr);
    EXPECT_TRUE(Control<QGroupBox>(developer, "1022")->isEnabled());
    EXPECT_TRUE(Control<QCheckBox>(developer, "1035")->isEnabled());
}

TEST_F(SettingsDialogWindowTest, ImmediateControlsSendAtOnceAndTypedTextWaitsForOk)
{
    SettingsDialog dialog(m_Settings, m_Report, nullptr);
    Control<QLineEdit>(dialog, "1033")->setText("7000000");
    Control<QCheckBox>(dialog, "1023")->click(); // mute: sent at once
    ASSERT_FALSE(m_pDevice->Sets().empty());
    EXPECT_EQ(m_pDevice->Sets().back().id, DWORD(DEVICEPROP_AUDIO_MUTE));
    EXPECT_EQ(Control<QLineEdit>(dialog, "1033")->text(), "7000000"); // still typed

    Control<QSlider>(dialog, "1014")->setValue(5000000); // dragged: peak follows
    EXPECT_EQ(Control<QSlider>(dialog, "1015")->minimum(), 5000000);
    EXPECT_EQ(Control<QLineEdit>(dialog, "1034")->text(), "5000000");

    Control<QLineEdit>(dialog, "1041")->setText("soon");
    dialog.accept();
    EXPECT_EQ(m_Report.messages, (std::vector<std::string>{"Please enter an integer."}));

    SettingsDialog again(m_Settings, m_Report, nullptr);
    Control<QRadioButton>(again, "1009")->click(); // MPEG-1 locks VBR and the peak rate
    EXPECT_FALSE(Control<QCheckBox>(again, "1013")->isEnabled());
    EXPECT_FALSE(Control<QSlider>(again, "1015")->isEnabled());
    EXPECT_TRUE(Control<QRadioButton>(again, "1009")->isChecked());
}
