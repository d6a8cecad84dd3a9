// The device operations and the settings dialog's rules against a scripted device:
// what is read into the settings record, and what reaches the driver byte by byte.

#include "DevicePropertyAccess.h"
#include "FakeDevice.h"
#include "SettingsDialogModel.h"

#include <com/ComRuntime.h>
#include <gtest/gtest.h>

namespace
{
namespace Layout = DeviceLayout;

class RecordingReport : public UserReport
{
public:
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void Diagnostic(const std::string&) override {}
    std::vector<std::string> messages;
};

std::int32_t Field(const CFakeDevice::Bytes& bytes, std::size_t offset)
{
    return ReadDeviceField<std::int32_t>(bytes.data(), offset);
}

class DeviceSettingsTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        ASSERT_EQ(S_OK, CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_PPV_ARGS(&m_pBuilder)));
        m_pDevice = new CFakeDevice;
        m_pDevice->SetEncoder(4200000, 6000000, 1, 720, 480, 0);
        m_pDevice->SetSizes({{720, 480}, {704, 480}, {352, 480}, {352, 240}, {320, 240}});
        m_pDevice->SetRates({32000, 44100, 48000}, -50, 50);
        const CFakeDevice::Range ranges[] = {{0, 255}, {0, 127}, {0, 127}, {0, 127}, {1, 15}};
        for (LONG i = 0; i < 5; ++i)
            m_pDevice->SetProcAmp(i, 10 + i, 2, 3 + std::uint32_t(i), ranges[i]);
        m_pDevice->SetPayload(PROPSETID_DeviceControl, DEVICEPROP_AUDIO_SETTINGS,
                              {0x80, 0xBB, 0, 0, 0, 1, 0, 0}); // 48000 Hz, LPCM, PES header
        m_pDevice->SetPayload(PROPSETID_DeviceControl, DEVICEPROP_AUDIO_VOLUME, {5, 0, 0, 0});
        m_pDevice->SetPayload(PROPSETID_DeviceControl, DEVICEPROP_AUDIO_MUTE, {0, 0, 0, 0});
        m_Settings.graphContext.pCaptureBuilder = m_pBuilder.Get();
        m_Settings.graphContext.pDeviceFilter = m_pDevice.Get();
    }
    void TearDown() override
    {
        m_pBuilder.Reset();
        m_pDevice.Reset();
        CoUninitialize();
    }

    // The last Set of a property, which must exist.
    CFakeDevice::Bytes LastSet(const GUID& set, DWORD id) const
    {
        const auto& sets = m_pDevice->Sets();
        for (auto it = sets.rbegin(); it != sets.rend(); ++it)
            if (it->set == set && it->id == id)
                return it->data;
        ADD_FAILURE() << "no Set of property " << id;
        return {};
    }
    CFakeDevice::Bytes LastEncoderSet() const
    {
        return LastSet(PROPSETID_DeviceControl, DEVICEPROP_ENCODER_SETTINGS);
    }

    ComPtr<ICaptureGraphBuilder2> m_pBuilder;
    ComPtr<CFakeDevice> m_pDevice;
    AppSettings m_Settings;
    RecordingReport m_Report;
};
} // namespace

TEST_F(DeviceSettingsTest, StartupReadCopiesWhatTheDeviceHoldsAndZerosWhereItFails)
{
    m_pDevice->put_TVFormat(AnalogVideo_PAL_B);
    m_pDevice->Route(0, 1);
    DevicePropertyAccess(m_Settings).ReadAtStartup();
    EXPECT_EQ(m_Settings.tvStandard, 16);
    EXPECT_EQ(m_Settings.bitRate, 4200000);
    EXPECT_EQ(m_Settings.peakBitRate, 6000000);
    EXPECT_EQ(m_Settings.width, 720);
    EXPECT_EQ(m_Settings.sampleRate, 48000);
    EXPECT_EQ(m_Settings.pesHeader, 1);
    EXPECT_EQ(m_Settings.byteSwap, 0);
    EXPECT_EQ(m_Settings.input, 1);

    // A driver that fails the encoder-settings Get leaves the zeros of the buffer.
    m_pDevice->FailGet(PROPSETID_DeviceControl, DEVICEPROP_ENCODER_SETTINGS);
    DevicePropertyAccess(m_Settings).ReadAtStartup();
    EXPECT_EQ(m_Settings.bitRate, 0);
    EXPECT_EQ(m_Settings.peakBitRate, 0);
    EXPECT_EQ(m_Settings.width, 0);
    EXPECT_EQ(m_Settings.height, 0);
    EXPECT_EQ(m_Settings.vbr, 0);
    EXPECT_EQ(m_Settings.mpeg1, 0);
}

TEST_F(DeviceSettingsTest, DialogOffersAtMostTenSizesAndThreeRates)
{
    std::vector<std::pair<std::uint32_t, std::uint32_t>> sizes;
    for (std::uint32_t i = 0; i < 12; ++i)
        sizes.push_back({720 - 16 * i, 480});
    m_pDevice->SetSizes(sizes);
    m_pDevice->SetRates({32000, 44100, 48000, 96000}, -50, 50);
    SettingsDialogModel dialog(m_Settings, m_Report);
    dialog.Open();
    EXPECT_EQ(dialog.sizeList.entries.size(), 10u);
    EXPECT_EQ(dialog.sizeList.entries.front(), "720 X 480");
    EXPECT_EQ(dialog.sizeList.selection, 0);
    EXPECT_EQ(dialog.rateList.entries, (std::vector<std::string>{"32000", "44100", "48000"}));
    EXPECT_EQ(dialog.rateList.selection, 2);
    EXPECT_EQ(m_Settings.selectedProcAmp, 4);
    EXPECT_EQ(m_Settings.procAmp[1].value, 11);
    EXPECT_EQ(m_Settings.procAmp[1].max, 127);
    EXPECT_EQ(m_Settings.volume, 5);
    EXPECT_EQ(dialog.EditText(SettingsEdit::Volume), "5");
    EXPECT_TRUE(m_Report.messages.empty());
}

TEST_F(DeviceSettingsTest, AmplifierSetSendsTheLastGetsFlagsWithTheNewValue)
{
    SettingsDialogModel dialog(m_Settings, m_Report);
    dialog.Open(); // the last amplifier Get is sharpness's
    dialog.OnProcAmpSelected(1);
    dialog.SetEditText(SettingsEdit::ProcAmpValue, "99");
    dialog.OnSetProcAmp();
    const CFakeDevice::Bytes sent = LastSet(PROPSETID_VIDCAP_VIDEOPROCAMP, VideoProcAmp_Contrast);
    ASSERT_EQ(sent.size(), Layout::ProcAmp::kSize);
    EXPECT_EQ(CFakeDevice::Bytes(sent.begin(), sent.begin() + 24), CFakeDevice::Bytes(24, 0));
    EXPECT_EQ(Field(sent, Layout::ProcAmp::kValue), 99);
    EXPECT_EQ(Field(sent, Layout::ProcAmp::kFlags), 2);
    EXPECT_EQ(Field(sent, Layout::ProcAmp::kCapabilities), 3 + 4); // sharpness's
    EXPECT_EQ(dialog.procAmpSlider.position, 99);

    // Out of range outside developer mode: the message, and the old value sent again.
    dialog.SetEditText(SettingsEdit::ProcAmpValue, "500");
    dialog.OnSetProcAmp();
    EXPECT_EQ(m_Report.messages.back(), "Enter value between 0 to 127");
    EXPECT_EQ(Field(LastSet(PROPSETID_VIDCAP_VIDEOPROCAMP, 1), Layout::ProcAmp::kValue), 99);
}

TEST_F(DeviceSettingsTest, Mpeg1WithPalSendsItsDefaultsThenTakesTheFirstListedSize)
{
    m_pDevice->put_TVFormat(AnalogVideo_PAL_B);
    SettingsDialogModel dialog(m_Settings, m_Report);
    dialog.Open();
    dialog.OnMpeg1Chosen();
    const CFakeDevice::Bytes sent = LastEncoderSet();
    ASSERT_EQ(sent.size(), Layout::EncoderSettings::kSize);
    EXPECT_EQ(Field(sent, Layout::EncoderSettings::kBitRate), 1150000);
    EXPECT_EQ(Field(sent, Layout::EncoderSettings::kPeakBitRate), 1150000);
    EXPECT_EQ(Field(sent, Layout::EncoderSettings::kVbr), 0);
    EXPECT_EQ(Field(sent, Layout::EncoderSettings::kWidth), 320);
    EXPECT_EQ(Field(sent, Layout::EncoderSettings::kHeight), 288);
    EXPECT_EQ(Field(sent, Layout::EncoderSettings::kMpeg1), 1);
    // The size list is read again and its first entry becomes the setting, unsent.
    EXPECT_EQ(m_Settings.width, 720);
    EXPECT_EQ(m_Settings.height, 480);
    EXPECT_FALSE(dialog.bVbrEnabled);
    EXPECT_FALSE(dialog.bPeakBitRateEnabled);
}

TEST_F(DeviceSettingsTest, SlidersSendWhatTheyShow)
{
    SettingsDialogModel dialog(m_Settings, m_Report);
    dialog.Open();
    dialog.OnBitRateSliderMoved(5000000);
    EXPECT_EQ(m_Settings.peakBitRate, 5000000);
    EXPECT_EQ(dialog.peakBitRateSlider.min, 5000000);
    EXPECT_EQ(dialog.EditText(SettingsEdit::PeakBitRate), "5000000");
    EXPECT_EQ(Field(LastEncoderSet(), Layout::EncoderSettings::kPeakBitRate), 5000000);

    // The volume slider runs 50 above the volume: position 0 is -50.
    dialog.OnVolumeSliderMoved(0);
    EXPECT_EQ(dialog.EditText(SettingsEdit::Volume), "-50");
    EXPECT_EQ(Field(LastSet(PROPSETID_DeviceControl, DEVICEPROP_AUDIO_VOLUME),
                    Layout::AudioValue::kValue),
              -50);
}

TEST_F(DeviceSettingsTest, OkValidatesTypedValuesUnlessInDeveloperMode)
{
    SettingsDialogModel dialog(m_Settings, m_Report);
    dialog.Open();
    dialog.SetEditText(SettingsEdit::BitRate, "12000000");
    dialog.SetEditText(SettingsEdit::FileSizeLimit, "5000");
    dialog.OnOk();
    EXPECT_EQ(m_Report.messages,
              (std::vector<std::string>{"Enter value between 1 to 2032",
                                        "Enter value between 2000000 to 10000000"}));
    EXPECT_EQ(m_Settings.fileSizeLimitMB, 2032);
    EXPECT_EQ(Field(LastEncoderSet(), Layout::EncoderSettings::kBitRate), 4200000);

    m_Settings.developer = 1;
    SettingsDialogModel developer(m_Settings, m_Report);
    developer.Open();
    developer.SetEditText(SettingsEdit::BitRate, "12000000");
    developer.SetEditText(SettingsEdit::PeakBitRate, "12500000");
    developer.OnOk();
    EXPECT_EQ(Field(LastEncoderSet(), Layout::EncoderSettings::kBitRate), 12000000);
    EXPECT_EQ(Field(LastEncoderSet(), Layout::EncoderSettings::kPeakBitRate), 12500000);
}

TEST_F(DeviceSettingsTest, TextInAnIntegerEditKeepsThatMemberAndTheOnesAfterIt)
{
    m_Settings.timeLimitMinutes = 7;
    SettingsDialogModel dialog(m_Settings, m_Report);
    dialog.Open();
    dialog.SetEditText(SettingsEdit::PeakBitRate, "fast");
    dialog.SetEditText(SettingsEdit::TimeLimit, "9");
    dialog.OnOk();
    EXPECT_EQ(m_Report.messages, (std::vector<std::string>{"Please enter an integer."}));
    EXPECT_EQ(m_Settings.timeLimitMinutes, 7);
    EXPECT_EQ(m_Settings.peakBitRate, 6000000);

    // Opened again without changes, the limits stay.
    SettingsDialogModel again(m_Settings, m_Report);
    again.Open();
    again.OnOk();
    EXPECT_EQ(m_Settings.timeLimitMinutes, 7);
    EXPECT_EQ(m_Settings.fileSizeLimitMB, 2032);
}

TEST_F(DeviceSettingsTest, ByteOrderAndPesControlsAreForDevelopersOnly)
{
    SettingsDialogModel dialog(m_Settings, m_Report);
    dialog.Open();
    EXPECT_FALSE(dialog.bByteOrderEnabled);
    m_Settings.developer = 1;
    SettingsDialogModel developer(m_Settings, m_Report);
    developer.Open();
    EXPECT_TRUE(developer.bByteOrderEnabled);
    developer.OnByteOrderChosen(true);
    const CFakeDevice::Bytes sent = LastSet(PROPSETID_DeviceControl, DEVICEPROP_AUDIO_SETTINGS);
    EXPECT_EQ(sent[Layout::AudioSettings::kByteSwap], 1);
    EXPECT_EQ(sent[Layout::AudioSettings::kPesHeader], 1); // as the Get left it
    EXPECT_EQ(ReadDeviceField<std::uint32_t>(sent.data(), Layout::AudioSettings::kSampleRate), 48000u);
}

TEST_F(DeviceSettingsTest, WithoutADeviceNothingIsSentAndTheDialogSaysSo)
{
    m_Settings.graphContext.pDeviceFilter = nullptr;
    SettingsDialogModel dialog(m_Settings, m_Report);
    dialog.Open();
    dialog.OnMuteToggled(true);
    dialog.OnOk();
    EXPECT_EQ(m_Report.messages.front(), "Video Capture Device Not found");
    EXPECT_TRUE(m_pDevice->Sets().empty());
    EXPECT_EQ(m_Settings.bitRate, 4200000); // the record keeps its values
}
