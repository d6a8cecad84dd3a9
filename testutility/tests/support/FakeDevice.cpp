#include "FakeDevice.h"

#include <algorithm>

namespace Layout = DeviceLayout;

CFakeDevice::CFakeDevice() : CBaseFilter(NAME("Fake device"), nullptr, &m_csFilter, GUID_NULL) {}

HRESULT CFakeDevice::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IKsPropertySet)
        return GetInterface(static_cast<IKsPropertySet*>(this), ppv);
    if (riid == IID_IAMVideoProcAmp)
        return GetInterface(static_cast<IAMVideoProcAmp*>(this), ppv);
    if (riid == IID_IAMAnalogVideoDecoder)
        return GetInterface(static_cast<IAMAnalogVideoDecoder*>(this), ppv);
    if (riid == IID_IAMCrossbar)
        return GetInterface(static_cast<IAMCrossbar*>(this), ppv);
    return CBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

void CFakeDevice::SetPayload(const GUID& set, DWORD id, const Bytes& payload)
{
    m_Payloads[{set, id}] = payload;
}

void CFakeDevice::SetEncoder(std::int32_t bitRate, std::int32_t peak, std::uint32_t vbr,
                             std::uint32_t width, std::uint32_t height, std::uint32_t mpeg1)
{
    Bytes payload(Layout::EncoderSettings::kSize - Layout::kHeader);
    const auto put = [&](std::size_t offset, std::uint32_t value)
    { WriteDeviceField<std::uint32_t>(payload.data(), offset - Layout::kHeader, value); };
    put(Layout::EncoderSettings::kBitRate, std::uint32_t(bitRate));
    put(Layout::EncoderSettings::kPeakBitRate, std::uint32_t(peak));
    put(Layout::EncoderSettings::kVbr, vbr);
    put(Layout::EncoderSettings::kWidth, width);
    put(Layout::EncoderSettings::kHeight, height);
    put(Layout::EncoderSettings::kMpeg1, mpeg1);
    SetPayload(PROPSETID_DeviceControl, DEVICEPROP_ENCODER_SETTINGS, payload);
}

// The caps buffer holds 10 sizes; a device that reports more says so in its count.
void CFakeDevice::SetSizes(const std::vector<std::pair<std::uint32_t, std::uint32_t>>& sizes)
{
    namespace Caps = Layout::EncoderCaps;
    Bytes payload(Caps::kSize - Layout::kHeader);
    WriteDeviceField<std::int32_t>(payload.data(), Caps::kBitRateMin - Layout::kHeader, 2000000);
    WriteDeviceField<std::int32_t>(payload.data(), Caps::kBitRateMax - Layout::kHeader, 10000000);
    WriteDeviceField<std::uint32_t>(payload.data(), Caps::kSizeCount - Layout::kHeader,
                                    std::uint32_t(sizes.size()));
    for (std::size_t i = 0; i < std::min(sizes.size(), Caps::kMaxSizes); ++i)
    {
        const std::size_t offset = Caps::kSizes - Layout::kHeader + 8 * i;
        WriteDeviceField<std::uint32_t>(payload.data(), offset, sizes[i].first);
        WriteDeviceField<std::uint32_t>(payload.data(), offset + 4, sizes[i].second);
    }
    SetPayload(PROPSETID_DeviceControl, DEVICEPROP_ENCODER_CAPS, payload);
}

void CFakeDevice::SetRates(const std::vector<std::uint32_t>& rates, std::int32_t volumeMin,
                           std::int32_t volumeMax)
{
    namespace Caps = Layout::AudioCaps;
    Bytes payload(Caps::kSize - Layout::kHeader);
    WriteDeviceField<std::uint32_t>(payload.data(), Caps::kRateCount - Layout::kHeader,
                                    std::uint32_t(rates.size()));
    for (std::size_t i = 0; i < std::min(rates.size(), Caps::kMaxRates); ++i)
        WriteDeviceField<std::uint32_t>(payload.data(), Caps::kRates - Layout::kHeader + 4 * i,
                                        rates[i]);
    WriteDeviceField<std::int32_t>(payload.data(), Caps::kVolumeMin - Layout::kHeader, volumeMin);
    WriteDeviceField<std::int32_t>(payload.data(), Caps::kVolumeMax - Layout::kHeader, volumeMax);
    SetPayload(PROPSETID_DeviceControl, DEVICEPROP_AUDIO_CAPS, payload);
}

void CFakeDevice::SetProcAmp(LONG property, std::int32_t value, std::uint32_t flags,
                             std::uint32_t caps, Range range)
{
    Bytes payload(Layout::ProcAmp::kSize - Layout::kHeader);
    WriteDeviceField<std::int32_t>(payload.data(), 0, value);
    WriteDeviceField<std::uint32_t>(payload.data(), 4, flags);
    WriteDeviceField<std::uint32_t>(payload.data(), 8, caps);
    SetPayload(PROPSETID_VIDCAP_VIDEOPROCAMP, DWORD(property), payload);
    m_Ranges[property] = range;
}

HRESULT CFakeDevice::Set(REFGUID guidPropSet, DWORD dwPropID, LPVOID, DWORD, LPVOID pPropData,
                         DWORD cbPropData)
{
    const auto* pBytes = static_cast<const std::uint8_t*>(pPropData);
    m_Sets.push_back({guidPropSet, dwPropID, Bytes(pBytes, pBytes + (pBytes ? cbPropData : 0))});
    return S_OK;
}

HRESULT CFakeDevice::Get(REFGUID guidPropSet, DWORD dwPropID, LPVOID, DWORD, LPVOID pPropData,
                         DWORD cbPropData, DWORD* pcbReturned)
{
    *pcbReturned = 0;
    const PropertyKey key{guidPropSet, dwPropID};
    const auto found = m_Payloads.find(key);
    if (m_FailingGets.count(key) || found == m_Payloads.end())
        return E_FAIL;
    const std::size_t cb = std::min<std::size_t>(found->second.size(), cbPropData - Layout::kHeader);
    std::copy_n(found->second.begin(), cb, static_cast<std::uint8_t*>(pPropData) + Layout::kHeader);
    *pcbReturned = DWORD(Layout::kHeader + cb);
    return S_OK;
}

HRESULT CFakeDevice::QuerySupported(REFGUID, DWORD, DWORD* pTypeSupport)
{
    *pTypeSupport = KSPROPERTY_SUPPORT_GET | KSPROPERTY_SUPPORT_SET;
    return S_OK;
}

HRESULT CFakeDevice::GetRange(LONG Property, LONG* pMin, LONG* pMax, LONG* pSteppingDelta,
                              LONG* pDefault, LONG* pCapsFlags)
{
    const auto found = m_Ranges.find(Property);
    if (found == m_Ranges.end())
        return E_INVALIDARG;
    *pMin = found->second.min;
    *pMax = found->second.max;
    *pSteppingDelta = 1;
    *pDefault = found->second.min;
    *pCapsFlags = VideoProcAmp_Flags_Manual;
    return S_OK;
}

HRESULT CFakeDevice::get_AvailableTVFormats(LONG* pFormats)
{
    *pFormats = AnalogVideo_NTSC_M | AnalogVideo_PAL_B;
    return S_OK;
}

HRESULT CFakeDevice::put_TVFormat(LONG lFormat)
{
    m_lTvFormat = lFormat;
    return S_OK;
}

HRESULT CFakeDevice::get_TVFormat(LONG* plFormat)
{
    *plFormat = m_lTvFormat;
    return S_OK;
}

HRESULT CFakeDevice::get_PinCounts(LONG* pOutputs, LONG* pInputs)
{
    *pOutputs = 1;
    *pInputs = 2;
    return S_OK;
}

HRESULT CFakeDevice::Route(LONG lOutput, LONG lInput)
{
    if (lOutput != 0 || lInput < 0 || lInput > 1)
        return E_INVALIDARG;
    m_lRoutedInput = lInput;
    return S_OK;
}

HRESULT CFakeDevice::get_IsRoutedTo(LONG lOutput, LONG* plInput)
{
    if (lOutput != 0)
        return E_INVALIDARG;
    *plInput = m_lRoutedInput;
    return S_OK;
}
