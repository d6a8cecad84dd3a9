// The device's controls on a filter of its own: the property buffers byte by byte,
// the results of bad input, the standard interfaces of the capture path and injected
// property faults.

#include "DeviceControlProperties.h"
#include "DeviceFilter.h"
#include "DeviceTestSupport.h"
#include "ProbedSource.h"

#include <com/ComRuntime.h>
#include <gtest/gtest.h>

#include <vector>

namespace
{
using Bytes = std::vector<std::uint8_t>;
constexpr std::uint8_t kFill = 0xAA;
constexpr std::size_t kSlack = 8; // bytes past the layout, which must stay untouched

void AppendLittleEndian(Bytes& bytes, std::uint64_t value, int cb)
{
    for (int i = 0; i < cb; ++i)
        bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// A buffer as a Get must leave it: the header untouched, the payload, the slack untouched.
struct Layout
{
    Bytes bytes = Bytes(DeviceLayout::kHeader, kFill);
    Layout& U32(std::uint32_t value) { return AppendLittleEndian(bytes, value, 4), *this; }
    Layout& I32(std::int32_t value) { return U32(static_cast<std::uint32_t>(value)); }
    Layout& U64(std::uint64_t value) { return AppendLittleEndian(bytes, value, 8), *this; }
    Layout& U8(std::uint8_t value) { return bytes.push_back(value), *this; }
    Layout& Zeros(std::size_t cb) { return bytes.insert(bytes.end(), cb, 0), *this; }
    Bytes Framed() const
    {
        Bytes framed = bytes;
        framed.insert(framed.end(), kSlack, kFill);
        return framed;
    }
};

class DeviceControl : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(S_OK, CoInitialize(nullptr));
        HRESULT hr = S_OK;
        m_filter = new CDeviceFilter(nullptr, &hr, ProbedFactory(std::make_shared<SourceProbe>()));
        ASSERT_EQ(S_OK, hr);
        ASSERT_EQ(S_OK, m_filter->QueryInterface(IID_PPV_ARGS(&m_ks)));
    }
    void TearDown() override
    {
        m_ks.Reset();
        m_filter.Reset();
        CoUninitialize();
    }

    // A Get into a buffer of the layout's size plus slack, all kFill.
    Bytes Get(REFGUID set, DWORD id, std::size_t cbLayout, HRESULT expected = S_OK)
    {
        Bytes buffer(cbLayout + kSlack, kFill);
        DWORD cbReturned = 0;
        EXPECT_EQ(expected, m_ks->Get(set, id, buffer.data(), DWORD(buffer.size()), buffer.data(),
                                      DWORD(buffer.size()), &cbReturned));
        EXPECT_EQ(cbLayout, cbReturned);
        return buffer;
    }
    Bytes Get(DWORD id, std::size_t cbLayout) { return Get(PROPSETID_DeviceControl, id, cbLayout); }

    HRESULT Set(REFGUID set, DWORD id, Bytes buffer)
    {
        return m_ks->Set(set, id, buffer.data(), DWORD(buffer.size()), buffer.data(),
                         DWORD(buffer.size()));
    }
    HRESULT Set(DWORD id, const Layout& layout)
    {
        return Set(PROPSETID_DeviceControl, id, layout.bytes);
    }

    std::uint64_t SettingsRefused()
    {
        const Bytes status = Get(DEVICEPROP_STATUS, DeviceLayout::Status::kSize);
        return ReadDeviceField<std::uint64_t>(status.data(),
                                              DeviceLayout::Status::kSettingsRefused);
    }

    ComPtr<IBaseFilter> m_filter;
    ComPtr<IKsPropertySet> m_ks;
};
} // namespace

TEST_F(DeviceControl, EveryPropertyReadsBackByteByByteAtTheDocumentedOffsets)
{
    using namespace DeviceLayout;
    EXPECT_EQ(Layout().I32(4200000).I32(6000000).U32(1).U32(720).U32(480).U32(0).Framed(),
              Get(DEVICEPROP_ENCODER_SETTINGS, EncoderSettings::kSize));
    EXPECT_EQ(Layout().I32(0).Zeros(4).Framed(), Get(DEVICEPROP_AUDIO_VOLUME, AudioValue::kSize));
    EXPECT_EQ(Layout().U32(48000).U8(0).U8(1).Zeros(2).Framed(),
              Get(DEVICEPROP_AUDIO_SETTINGS, AudioSettings::kSize));
    EXPECT_EQ(Layout()
                  .I32(2000000)
                  .I32(10000000)
                  .Zeros(12)
                  .U32(5)
                  .U32(720)
                  .U32(480)
                  .U32(704)
                  .U32(480)
                  .U32(352)
                  .U32(480)
                  .U32(352)
                  .U32(240)
                  .U32(320)
                  .U32(240)
                  .Zeros(40)
                  .Framed(),
              Get(DEVICEPROP_ENCODER_CAPS, EncoderCaps::kSize));
    EXPECT_EQ(Layout()
                  .Zeros(4)
                  .U32(3)
                  .U32(32000)
                  .U32(44100)
                  .U32(48000)
                  .I32(-50)
                  .I32(50)
                  .Zeros(12)
                  .Framed(),
              Get(DEVICEPROP_AUDIO_CAPS, AudioCaps::kSize));
    EXPECT_EQ(Layout().I32(0).Zeros(4).Framed(), Get(DEVICEPROP_AUDIO_MUTE, AudioValue::kSize));
    EXPECT_EQ(Layout().Zeros(144).Framed(), Get(DEVICEPROP_STATUS, Status::kSize));
    EXPECT_EQ(Layout().Zeros(316).Framed(), Get(DEVICEPROP_FAULTS, Faults::kSize));
    const LONG defaults[] = {40, 20, 0, 44, 1};
    for (LONG property = 0; property < 5; ++property)
        EXPECT_EQ(Layout().I32(defaults[property]).U32(2).U32(2).Zeros(4).Framed(),
                  Get(PROPSETID_VIDCAP_VIDEOPROCAMP, DWORD(property), ProcAmp::kSize))
            << "amplifier property " << property;
}

TEST_F(DeviceControl, EverySettablePropertyTakesItsFieldsFromTheDocumentedOffsets)
{
    using namespace DeviceLayout;
    ASSERT_EQ(S_OK, Set(DEVICEPROP_ENCODER_SETTINGS,
                        Layout().I32(3000000).I32(5000000).U32(1).U32(352).U32(240).U32(1)));
    EXPECT_EQ(Layout().I32(3000000).I32(5000000).U32(1).U32(352).U32(240).U32(1).Framed(),
              Get(DEVICEPROP_ENCODER_SETTINGS, EncoderSettings::kSize));
    ASSERT_EQ(S_OK, Set(DEVICEPROP_AUDIO_VOLUME, Layout().I32(-12).Zeros(4)));
    EXPECT_EQ(Layout().I32(-12).Zeros(4).Framed(), Get(DEVICEPROP_AUDIO_VOLUME, AudioValue::kSize));
    ASSERT_EQ(S_OK, Set(DEVICEPROP_AUDIO_SETTINGS, Layout().U32(44100).U8(1).U8(0).Zeros(2)));
    EXPECT_EQ(Layout().U32(44100).U8(1).U8(0).Zeros(2).Framed(),
              Get(DEVICEPROP_AUDIO_SETTINGS, AudioSettings::kSize));
    ASSERT_EQ(S_OK, Set(DEVICEPROP_AUDIO_MUTE, Layout().I32(1).Zeros(4)));
    EXPECT_EQ(Layout().I32(1).Zeros(4).Framed(), Get(DEVICEPROP_AUDIO_MUTE, AudioValue::kSize));
    // The amplifier's Flags and Capabilities come back as the device has them.
    ASSERT_EQ(S_OK, Set(PROPSETID_VIDCAP_VIDEOPROCAMP, VideoProcAmp_Contrast,
                        Layout().I32(100).U32(0).U32(0).Zeros(4).bytes));
    EXPECT_EQ(Layout().I32(100).U32(2).U32(2).Zeros(4).Framed(),
              Get(PROPSETID_VIDCAP_VIDEOPROCAMP, VideoProcAmp_Contrast, ProcAmp::kSize));
    // Passthrough carries no data.
    EXPECT_EQ(S_OK, m_ks->Set(PROPSETID_DeviceControl, DEVICEPROP_ENABLE_PASSTHROUGH, nullptr, 0,
                              nullptr, 0));

    DWORD support = 0;
    ASSERT_EQ(S_OK,
              m_ks->QuerySupported(PROPSETID_DeviceControl, DEVICEPROP_ENCODER_CAPS, &support));
    EXPECT_EQ(KSPROPERTY_SUPPORT_GET, support);
    ASSERT_EQ(S_OK, m_ks->QuerySupported(PROPSETID_DeviceControl, DEVICEPROP_ENABLE_PASSTHROUGH,
                                         &support));
    EXPECT_EQ(KSPROPERTY_SUPPORT_SET, support);
    ASSERT_EQ(S_OK, m_ks->QuerySupported(PROPSETID_VIDCAP_VIDEOPROCAMP, 4, &support));
    EXPECT_EQ(KSPROPERTY_SUPPORT_GET | KSPROPERTY_SUPPORT_SET, support);
}

TEST_F(DeviceControl, BadInputGetsItsResultAndLeavesTheStateAsItWas)
{
    using namespace DeviceLayout;
    const Bytes encoder = Get(DEVICEPROP_ENCODER_SETTINGS, EncoderSettings::kSize);

    // A buffer short by one byte: nothing read or written, the size needed reported.
    Bytes shortBuffer(EncoderSettings::kSize - 1, kFill);
    DWORD cbReturned = 0;
    EXPECT_EQ(HRESULT(0x8007007A),
              m_ks->Get(PROPSETID_DeviceControl, DEVICEPROP_ENCODER_SETTINGS, shortBuffer.data(),
                        DWORD(shortBuffer.size()), shortBuffer.data(), DWORD(shortBuffer.size()),
                        &cbReturned));
    EXPECT_EQ(EncoderSettings::kSize, cbReturned);
    EXPECT_EQ(Bytes(EncoderSettings::kSize - 1, kFill), shortBuffer);
    EXPECT_EQ(HRESULT(0x8007007A),
              Set(PROPSETID_DeviceControl, DEVICEPROP_AUDIO_SETTINGS, Bytes(31, 0)));
    EXPECT_EQ(HRESULT(0x8007007A),
              m_ks->Set(PROPSETID_DeviceControl, DEVICEPROP_AUDIO_VOLUME, nullptr, 0, nullptr, 0));

    const GUID unknownSet = {0x1, 0x2, 0x3, {4, 5, 6, 7, 8, 9, 10, 11}};
    EXPECT_EQ(HRESULT(0x80070492), Set(unknownSet, 1, Bytes(48, 0)));
    EXPECT_EQ(HRESULT(0x80070490), Set(PROPSETID_DeviceControl, 6, Bytes(48, 0)));
    EXPECT_EQ(HRESULT(0x80070490),
              Set(PROPSETID_VIDCAP_VIDEOPROCAMP, VideoProcAmp_Gamma, Bytes(40, 0)));
    EXPECT_EQ(E_PROP_ID_UNSUPPORTED,
              Set(PROPSETID_DeviceControl, DEVICEPROP_ENCODER_CAPS, Bytes(128, 0)));
    EXPECT_EQ(E_PROP_ID_UNSUPPORTED,
              Set(PROPSETID_DeviceControl, DEVICEPROP_STATUS, Bytes(128, 0)));
    Bytes none(8);
    EXPECT_EQ(E_PROP_ID_UNSUPPORTED,
              m_ks->Get(PROPSETID_DeviceControl, DEVICEPROP_ENABLE_PASSTHROUGH, none.data(), 8,
                        none.data(), 8, &cbReturned));
    EXPECT_EQ(0u, SettingsRefused()); // none of these was a value the device refused

    // Values out of place are refused and counted.
    EXPECT_EQ(E_INVALIDARG,
              Set(DEVICEPROP_ENCODER_SETTINGS,
                  Layout().I32(4000000).I32(6000000).U32(1).U32(640).U32(480).U32(0)));
    EXPECT_EQ(E_INVALIDARG,
              Set(DEVICEPROP_AUDIO_SETTINGS, Layout().U32(22050).U8(0).U8(1).Zeros(2)));
    EXPECT_EQ(E_INVALIDARG, Set(DEVICEPROP_AUDIO_MUTE, Layout().I32(5).Zeros(4)));
    EXPECT_EQ(3u, SettingsRefused());
    EXPECT_EQ(encoder, Get(DEVICEPROP_ENCODER_SETTINGS, EncoderSettings::kSize));
    EXPECT_EQ(Layout().U32(48000).U8(0).U8(1).Zeros(2).Framed(),
              Get(DEVICEPROP_AUDIO_SETTINGS, AudioSettings::kSize));
}

// The utility copies fields out of a buffer the driver may not have filled, so a
// failed Get leaves zeros that a later Set sends back.
TEST_F(DeviceControl, ZerosFromAnUnfilledBufferNeverReachTheDevice)
{
    using namespace DeviceLayout;
    const Bytes encoder = Get(DEVICEPROP_ENCODER_SETTINGS, EncoderSettings::kSize);
    const Bytes audio = Get(DEVICEPROP_AUDIO_SETTINGS, AudioSettings::kSize);
    EXPECT_EQ(E_INVALIDARG, Set(PROPSETID_DeviceControl, DEVICEPROP_ENCODER_SETTINGS,
                                Bytes(EncoderSettings::kSize, 0)));
    EXPECT_EQ(E_INVALIDARG, Set(PROPSETID_DeviceControl, DEVICEPROP_AUDIO_SETTINGS,
                                Bytes(AudioSettings::kSize, 0)));
    // Only the bit rates written into a zeroed buffer: the size is still 0x0.
    EXPECT_EQ(E_INVALIDARG,
              Set(DEVICEPROP_ENCODER_SETTINGS, Layout().I32(4200000).I32(4200000).Zeros(16)));
    EXPECT_EQ(encoder, Get(DEVICEPROP_ENCODER_SETTINGS, EncoderSettings::kSize));
    EXPECT_EQ(audio, Get(DEVICEPROP_AUDIO_SETTINGS, AudioSettings::kSize));
    EXPECT_EQ(3u, SettingsRefused());
}

TEST_F(DeviceControl, AmplifierDecoderAndCrossbarInterfaces)
{
    ComPtr<IAMVideoProcAmp> procAmp;
    ASSERT_EQ(S_OK, m_filter.As(&procAmp));
    LONG min = 0, max = 0, step = 0, def = 0, caps = 0;
    ASSERT_EQ(S_OK, procAmp->GetRange(VideoProcAmp_Sharpness, &min, &max, &step, &def, &caps));
    EXPECT_EQ((std::vector<LONG>{1, 15, 1, 1, VideoProcAmp_Flags_Manual}),
              (std::vector<LONG>{min, max, step, def, caps}));
    ASSERT_EQ(S_OK, procAmp->GetRange(VideoProcAmp_Brightness, &min, &max, &step, &def, &caps));
    EXPECT_EQ((std::vector<LONG>{0, 255, 40}), (std::vector<LONG>{min, max, def}));
    EXPECT_EQ(E_PROP_ID_UNSUPPORTED,
              procAmp->GetRange(VideoProcAmp_Gain, &min, &max, &step, &def, &caps));
    ASSERT_EQ(S_OK, procAmp->Set(VideoProcAmp_Saturation, 500, VideoProcAmp_Flags_Manual));
    LONG value = 0, flags = 0;
    ASSERT_EQ(S_OK, procAmp->Get(VideoProcAmp_Saturation, &value, &flags));
    EXPECT_EQ(127, value); // clamped

    ComPtr<IAMAnalogVideoDecoder> decoder;
    ASSERT_EQ(S_OK, m_filter.As(&decoder));
    LONG standards = 0;
    ASSERT_EQ(S_OK, decoder->get_AvailableTVFormats(&standards));
    EXPECT_EQ(AnalogVideo_NTSC_M | AnalogVideo_PAL_B | AnalogVideo_PAL_D | AnalogVideo_PAL_G,
              standards);
    EXPECT_EQ(E_INVALIDARG, decoder->put_TVFormat(AnalogVideo_SECAM_B));
    ASSERT_EQ(S_OK, decoder->put_TVFormat(AnalogVideo_PAL_B));
    LONG standard = 0, lines = 0;
    decoder->get_TVFormat(&standard);
    decoder->get_NumberOfLines(&lines);
    EXPECT_EQ(AnalogVideo_PAL_B, standard);
    EXPECT_EQ(625, lines);
    const Bytes encoder = Get(DEVICEPROP_ENCODER_SETTINGS, DeviceLayout::EncoderSettings::kSize);
    EXPECT_EQ(576u, ReadDeviceField<std::uint32_t>(encoder.data(),
                                                   DeviceLayout::EncoderSettings::kHeight));

    // The crossbar is found the way the utility looks for it.
    ComPtr<ICaptureGraphBuilder2> builder;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_PPV_ARGS(&builder)));
    ComPtr<IAMCrossbar> crossbar;
    ASSERT_EQ(S_OK, builder->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Stream, m_filter.Get(),
                                           IID_IAMCrossbar, reinterpret_cast<void**>(&crossbar)));
    LONG outputs = 0, inputs = 0, routed = -1, related = 0, type = 0;
    crossbar->get_PinCounts(&outputs, &inputs);
    EXPECT_EQ(1, outputs);
    EXPECT_EQ(2, inputs);
    crossbar->get_CrossbarPinInfo(TRUE, 0, &related, &type);
    EXPECT_EQ(PhysConn_Video_Composite, type);
    crossbar->get_CrossbarPinInfo(TRUE, 1, &related, &type);
    EXPECT_EQ(PhysConn_Video_SVideo, type);
    crossbar->get_CrossbarPinInfo(FALSE, 0, &related, &type);
    EXPECT_EQ(PhysConn_Video_VideoDecoder, type);
    ASSERT_EQ(S_OK, crossbar->get_IsRoutedTo(0, &routed));
    EXPECT_EQ(0, routed);
    ASSERT_EQ(S_OK, crossbar->Route(0, 1));
    crossbar->get_IsRoutedTo(0, &routed);
    EXPECT_EQ(1, routed);
    EXPECT_EQ(E_INVALIDARG, crossbar->Route(0, 2));
    EXPECT_EQ(E_INVALIDARG, crossbar->Route(1, 0));

    // The capture pin says what it is.
    ComPtr<IPin> pin;
    ASSERT_EQ(S_OK, m_filter->FindPin(L"Capture", &pin));
    ComPtr<IKsPropertySet> pinProperties;
    ASSERT_EQ(S_OK, pin.As(&pinProperties));
    GUID category{};
    DWORD cbReturned = 0;
    ASSERT_EQ(S_OK, pinProperties->Get(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, nullptr, 0,
                                       &category, sizeof category, &cbReturned));
    EXPECT_EQ(PIN_CATEGORY_CAPTURE, category);
}

TEST_F(DeviceControl, InjectedPropertyFaultsFailOrDoNothingAndAreCounted)
{
    using namespace DeviceLayout;
    ASSERT_EQ(S_OK, SetFaults(m_filter.Get(), "get-fail:encoder-settings=0x8007001F "
                                              "get-empty:audio-settings set-fail:volume "
                                              "set-ignore:contrast"));
    Bytes buffer(EncoderSettings::kSize, kFill);
    DWORD cbReturned = 99;
    EXPECT_EQ(HRESULT(0x8007001F),
              m_ks->Get(PROPSETID_DeviceControl, DEVICEPROP_ENCODER_SETTINGS, buffer.data(),
                        DWORD(buffer.size()), buffer.data(), DWORD(buffer.size()), &cbReturned));
    EXPECT_EQ(Bytes(EncoderSettings::kSize, kFill), buffer);
    Bytes audio(AudioSettings::kSize, kFill);
    EXPECT_EQ(S_OK, m_ks->Get(PROPSETID_DeviceControl, DEVICEPROP_AUDIO_SETTINGS, audio.data(),
                              DWORD(audio.size()), audio.data(), DWORD(audio.size()), &cbReturned));
    EXPECT_EQ(0u, cbReturned);
    EXPECT_EQ(Bytes(AudioSettings::kSize, kFill), audio); // written nothing
    EXPECT_EQ(E_FAIL, Set(DEVICEPROP_AUDIO_VOLUME, Layout().I32(-12).Zeros(4)));
    EXPECT_EQ(S_OK, Set(PROPSETID_VIDCAP_VIDEOPROCAMP, VideoProcAmp_Contrast,
                        Layout().I32(100).Zeros(12).bytes));
    EXPECT_EQ(Layout().I32(0).Zeros(4).Framed(), Get(DEVICEPROP_AUDIO_VOLUME, AudioValue::kSize));
    EXPECT_EQ(Layout().I32(20).U32(2).U32(2).Zeros(4).Framed(),
              Get(PROPSETID_VIDCAP_VIDEOPROCAMP, VideoProcAmp_Contrast, ProcAmp::kSize));

    // The faults property is never faulted itself, and reads the plan back.
    DWORD support = 0;
    ASSERT_EQ(S_OK, m_ks->QuerySupported(PROPSETID_DeviceControl, DEVICEPROP_FAULTS, &support));
    EXPECT_EQ(KSPROPERTY_SUPPORT_GET | KSPROPERTY_SUPPORT_SET, support);
    const Bytes plan = Get(DEVICEPROP_FAULTS, Faults::kSize);
    EXPECT_EQ(4u, ReadDeviceField<std::uint32_t>(plan.data(), Faults::kPropertyFaultCount));
    Bytes tooMany = plan;
    WriteDeviceField<std::uint32_t>(tooMany.data(), Faults::kPropertyFaultCount, 17);
    EXPECT_EQ(E_INVALIDARG, Set(PROPSETID_DeviceControl, DEVICEPROP_FAULTS, tooMany));
    EXPECT_EQ(plan, Get(DEVICEPROP_FAULTS, Faults::kSize));
    EXPECT_EQ(4u, ReadStatus(m_filter.Get()).propertyFaults);

    ASSERT_EQ(S_OK, SetFaults(m_filter.Get(), ""));
    EXPECT_EQ(S_OK, Set(DEVICEPROP_AUDIO_VOLUME, Layout().I32(-12).Zeros(4)));
    EXPECT_EQ(4u, ReadStatus(m_filter.Get()).propertyFaults);
}
