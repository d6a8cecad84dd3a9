#include "DevicePropertyAccess.h"

#include <algorithm>

namespace
{
namespace Layout = DeviceLayout;

std::int32_t ReadI32(const auto& buffer, std::size_t offset)
{
    return ReadDeviceField<std::int32_t>(buffer.data(), offset);
}

void WriteI32(auto& buffer, std::size_t offset, std::int32_t value)
{
    WriteDeviceField<std::int32_t>(buffer.data(), offset, value);
}
} // namespace

DevicePropertyAccess::DevicePropertyAccess(AppSettings& settings, Listener* pListener)
    : m_Settings(settings), m_pListener(pListener), m_pDevice(settings.graphContext.pDeviceFilter),
      m_pBuilder(settings.graphContext.pCaptureBuilder)
{
    if (!m_pDevice)
        return;
    m_pDevice->QueryInterface(IID_PPV_ARGS(&m_pDecoder));
    m_pDevice->QueryInterface(IID_PPV_ARGS(&m_pProcAmp));
}

ComPtr<IKsPropertySet> DevicePropertyAccess::PropertySet() const
{
    ComPtr<IKsPropertySet> pSet;
    if (m_pDevice)
        m_pDevice->QueryInterface(IID_PPV_ARGS(&pSet));
    return pSet;
}

// The buffer goes as both instance data and property data, with the same size.
template <std::size_t N>
void DevicePropertyAccess::KsGet(const GUID& set, DWORD id, Buffer<N>& buffer)
{
    buffer.fill(0);
    if (ComPtr<IKsPropertySet> pSet = PropertySet())
    {
        DWORD cbReturned = 0;
        pSet->Get(set, id, buffer.data(), N, buffer.data(), N, &cbReturned);
    }
}

template <std::size_t N>
void DevicePropertyAccess::KsSet(const GUID& set, DWORD id, Buffer<N>& buffer)
{
    if (ComPtr<IKsPropertySet> pSet = PropertySet())
        pSet->Set(set, id, buffer.data(), N, buffer.data(), N);
}

ComPtr<IAMCrossbar> DevicePropertyAccess::FindCrossbar() const
{
    ComPtr<IAMCrossbar> pCrossbar;
    if (m_pBuilder && m_pDevice)
        m_pBuilder->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Stream, m_pDevice.Get(),
                                  IID_PPV_ARGS(&pCrossbar));
    return pCrossbar;
}

void DevicePropertyAccess::GetEncoderCaps()
{
    if (!m_pDevice)
        return;
    KsGet(PROPSETID_DeviceControl, DEVICEPROP_ENCODER_CAPS, m_EncoderCaps);
    m_Settings.bitRateMin = ReadI32(m_EncoderCaps, Layout::EncoderCaps::kBitRateMin);
    m_Settings.bitRateMax = ReadI32(m_EncoderCaps, Layout::EncoderCaps::kBitRateMax);
    m_Settings.peakBitRateMin = m_Settings.bitRate;
    m_Settings.peakBitRateMax = m_Settings.bitRateMax;
    if (m_pListener)
        m_pListener->OnEncoderCapsRead();
}

void DevicePropertyAccess::GetProcAmpRange()
{
    if (!m_pProcAmp)
        return;
    LONG nMin = m_nProcAmpMin;
    LONG nMax = m_nProcAmpMax;
    LONG nStep = 0;
    LONG nDefault = 0;
    LONG nFlags = 0;
    m_pProcAmp->GetRange(m_Settings.selectedProcAmp, &nMin, &nMax, &nStep, &nDefault, &nFlags);
    m_nProcAmpMin = nMin;
    m_nProcAmpMax = nMax;
}

void DevicePropertyAccess::GetEncoderSettings()
{
    if (!m_pDevice)
        return;
    namespace Fields = Layout::EncoderSettings;
    KsGet(PROPSETID_DeviceControl, DEVICEPROP_ENCODER_SETTINGS, m_EncoderSettings);
    m_Settings.mpeg1 = ReadI32(m_EncoderSettings, Fields::kMpeg1);
    m_Settings.width = ReadI32(m_EncoderSettings, Fields::kWidth);
    m_Settings.height = ReadI32(m_EncoderSettings, Fields::kHeight);
    m_Settings.bitRate = ReadI32(m_EncoderSettings, Fields::kBitRate);
    m_Settings.peakBitRate = ReadI32(m_EncoderSettings, Fields::kPeakBitRate);
    m_Settings.vbr = ReadI32(m_EncoderSettings, Fields::kVbr);
}

void DevicePropertyAccess::SetEncoderSettings()
{
    KsSet(PROPSETID_DeviceControl, DEVICEPROP_ENCODER_SETTINGS, m_EncoderSettings);
}

void DevicePropertyAccess::GetProcAmpValue()
{
    if (m_pDevice)
        KsGet(PROPSETID_VIDCAP_VIDEOPROCAMP, DWORD(m_Settings.selectedProcAmp), m_ProcAmp);
}

void DevicePropertyAccess::SetProcAmpValue()
{
    KsSet(PROPSETID_VIDCAP_VIDEOPROCAMP, DWORD(m_Settings.selectedProcAmp), m_ProcAmp);
}

void DevicePropertyAccess::GetTvFormat()
{
    if (!m_pDecoder)
        return;
    LONG standard = m_Settings.tvStandard;
    m_pDecoder->get_TVFormat(&standard);
    m_Settings.tvStandard = standard;
}

void DevicePropertyAccess::SetTvFormat()
{
    if (m_pDecoder)
        m_pDecoder->put_TVFormat(m_Settings.tvStandard);
}

// Output pin 0 of the crossbar is the capture video; input 1 is S-Video, 0 Composite.
void DevicePropertyAccess::GetInputRoute()
{
    if (ComPtr<IAMCrossbar> pCrossbar = FindCrossbar())
    {
        LONG input = m_Settings.input;
        pCrossbar->get_IsRoutedTo(0, &input);
        m_Settings.input = input;
    }
}

void DevicePropertyAccess::SetInputRoute()
{
    if (ComPtr<IAMCrossbar> pCrossbar = FindCrossbar())
        pCrossbar->Route(0, m_Settings.input);
}

void DevicePropertyAccess::GetAudioSettings()
{
    if (!m_pDevice)
        return;
    namespace Fields = Layout::AudioSettings;
    KsGet(PROPSETID_DeviceControl, DEVICEPROP_AUDIO_SETTINGS, m_AudioSettings);
    m_Settings.sampleRate =
        std::int32_t(ReadDeviceField<std::uint32_t>(m_AudioSettings.data(), Fields::kSampleRate));
    m_Settings.byteSwap = ReadDeviceField<std::uint8_t>(m_AudioSettings.data(), Fields::kByteSwap);
    m_Settings.pesHeader =
        ReadDeviceField<std::uint8_t>(m_AudioSettings.data(), Fields::kPesHeader);
}

void DevicePropertyAccess::SetAudioSettings()
{
    KsSet(PROPSETID_DeviceControl, DEVICEPROP_AUDIO_SETTINGS, m_AudioSettings);
}

void DevicePropertyAccess::GetAudioCaps()
{
    if (!m_pDevice)
        return;
    KsGet(PROPSETID_DeviceControl, DEVICEPROP_AUDIO_CAPS, m_AudioCaps);
    m_Settings.volumeMin = ReadI32(m_AudioCaps, Layout::AudioCaps::kVolumeMin);
    m_Settings.volumeMax = ReadI32(m_AudioCaps, Layout::AudioCaps::kVolumeMax);
    if (m_pListener)
        m_pListener->OnAudioCapsRead();
}

void DevicePropertyAccess::GetVolume()
{
    if (!m_pDevice)
        return;
    KsGet(PROPSETID_DeviceControl, DEVICEPROP_AUDIO_VOLUME, m_Volume);
    m_Settings.volume = ReadI32(m_Volume, Layout::AudioValue::kValue);
}

void DevicePropertyAccess::SetVolume()
{
    KsSet(PROPSETID_DeviceControl, DEVICEPROP_AUDIO_VOLUME, m_Volume);
}

void DevicePropertyAccess::GetMute()
{
    if (!m_pDevice)
        return;
    KsGet(PROPSETID_DeviceControl, DEVICEPROP_AUDIO_MUTE, m_Mute);
    m_Settings.mute = ReadI32(m_Mute, Layout::AudioValue::kValue);
}

void DevicePropertyAccess::SetMute()
{
    KsSet(PROPSETID_DeviceControl, DEVICEPROP_AUDIO_MUTE, m_Mute);
}

void DevicePropertyAccess::EnablePassthrough()
{
    if (ComPtr<IKsPropertySet> pSet = PropertySet())
        pSet->Set(PROPSETID_DeviceControl, DEVICEPROP_ENABLE_PASSTHROUGH, nullptr, 0, nullptr, 0);
}

void DevicePropertyAccess::ReadAtStartup()
{
    GetTvFormat();
    GetEncoderSettings();
    GetAudioSettings();
    GetInputRoute();
}

void DevicePropertyAccess::ReadForDialog()
{
    if (!m_pDevice)
        return;
    GetTvFormat();
    GetEncoderSettings();
    GetVolume();
    GetAudioSettings();
    GetAudioCaps();
    GetMute();
    for (std::int32_t i = 0; i < std::int32_t(kProcAmpCount); ++i)
    {
        m_Settings.selectedProcAmp = i;
        GetProcAmpRange();
        GetProcAmpValue();
        m_Settings.procAmp[std::size_t(i)] = {ProcAmpBufferValue(), m_nProcAmpMin, m_nProcAmpMax};
    }
    GetEncoderCaps();
    GetInputRoute();
}

void DevicePropertyAccess::WriteEncoderFields(unsigned fields)
{
    namespace Fields = Layout::EncoderSettings;
    const struct
    {
        EncoderField field;
        std::size_t offset;
        std::int32_t value;
    } all[] = {
        {kBitRate, Fields::kBitRate, m_Settings.bitRate},
        {kPeakBitRate, Fields::kPeakBitRate, m_Settings.peakBitRate},
        {kVbr, Fields::kVbr, m_Settings.vbr},
        {kWidth, Fields::kWidth, m_Settings.width},
        {kHeight, Fields::kHeight, m_Settings.height},
        {kMpeg1, Fields::kMpeg1, m_Settings.mpeg1},
    };
    for (const auto& entry : all)
        if (fields & entry.field)
            WriteI32(m_EncoderSettings, entry.offset, entry.value);
}

void DevicePropertyAccess::WriteAudioFields(unsigned fields)
{
    namespace Fields = Layout::AudioSettings;
    if (fields & kSampleRate)
        WriteDeviceField<std::uint32_t>(m_AudioSettings.data(), Fields::kSampleRate,
                                        std::uint32_t(m_Settings.sampleRate));
    if (fields & kByteSwap)
        WriteDeviceField<std::uint8_t>(m_AudioSettings.data(), Fields::kByteSwap,
                                       std::uint8_t(m_Settings.byteSwap));
    if (fields & kPesHeader)
        WriteDeviceField<std::uint8_t>(m_AudioSettings.data(), Fields::kPesHeader,
                                       std::uint8_t(m_Settings.pesHeader));
}

void DevicePropertyAccess::WriteVolumeField()
{
    WriteI32(m_Volume, Layout::AudioValue::kValue, m_Settings.volume);
}

void DevicePropertyAccess::WriteMuteField()
{
    WriteI32(m_Mute, Layout::AudioValue::kValue, m_Settings.mute);
}

void DevicePropertyAccess::WriteProcAmpValue(std::int32_t value)
{
    WriteI32(m_ProcAmp, Layout::ProcAmp::kValue, value);
}

std::int32_t DevicePropertyAccess::ProcAmpBufferValue() const
{
    return ReadI32(m_ProcAmp, Layout::ProcAmp::kValue);
}

std::vector<OfferedSize> DevicePropertyAccess::OfferedSizes() const
{
    namespace Fields = Layout::EncoderCaps;
    const std::size_t nSizes = std::min<std::size_t>(
        ReadDeviceField<std::uint32_t>(m_EncoderCaps.data(), Fields::kSizeCount),
        Fields::kMaxSizes);
    std::vector<OfferedSize> sizes;
    for (std::size_t i = 0; i < nSizes; ++i)
        sizes.push_back({ReadI32(m_EncoderCaps, Fields::kSizes + 8 * i),
                         ReadI32(m_EncoderCaps, Fields::kSizes + 8 * i + 4)});
    return sizes;
}

std::vector<std::int32_t> DevicePropertyAccess::OfferedRates() const
{
    namespace Fields = Layout::AudioCaps;
    const std::size_t nRates = std::min<std::size_t>(
        ReadDeviceField<std::uint32_t>(m_AudioCaps.data(), Fields::kRateCount), Fields::kMaxRates);
    std::vector<std::int32_t> rates;
    for (std::size_t i = 0; i < nRates; ++i)
        rates.push_back(ReadI32(m_AudioCaps, Fields::kRates + 4 * i));
    return rates;
}
