#include "KsPropertyHandler.h"

#include "DeviceControlProperties.h"
#include "PropertyLayouts.h"

#include <dshow/Errors.h>

#include <array>

struct KsPropertyHandler::Property
{
    const GUID* pSet;
    DWORD id;
    DWORD cbLayout; // 0: the property carries no data
    // Fills the buffer; null for a property that cannot be read.
    void (*get)(std::uint8_t* pBuffer, DWORD id, const DeviceSettings& settings,
                const std::function<DeviceCounters()>& counters);
    // Applies the buffer to the settings; null for a read-only property.
    bool (*apply)(DeviceSettings& settings, DWORD id, const std::uint8_t* pBuffer);
};

namespace
{
using namespace DeviceLayout;
using namespace PropertyLayouts;
using namespace SettingsRules;
using Counters = std::function<DeviceCounters()>;

constexpr DWORD kStatusId = DEVICEPROP_STATUS;

template <DWORD Id> constexpr KsPropertyHandler::Property ProcAmpProperty()
{
    return {&PROPSETID_VIDCAP_VIDEOPROCAMP, Id, ProcAmp::kSize,
            [](std::uint8_t* p, DWORD id, const DeviceSettings& s, const Counters&)
            { WriteProcAmp(p, s.procAmp[id]); },
            [](DeviceSettings& s, DWORD id, const std::uint8_t* p)
            { return ApplyProcAmp(s, static_cast<LONG>(id), ReadProcAmpValue(p)); }};
}

constexpr std::array<KsPropertyHandler::Property, 13> kProperties = {{
    {&PROPSETID_DeviceControl, DEVICEPROP_ENCODER_SETTINGS, EncoderSettings::kSize,
     [](std::uint8_t* p, DWORD, const DeviceSettings& s, const Counters&)
     { WriteEncoderSettings(p, s); },
     [](DeviceSettings& s, DWORD, const std::uint8_t* p)
     { return ApplyEncoder(s, ReadEncoderSettings(p)); }},
    {&PROPSETID_DeviceControl, DEVICEPROP_AUDIO_VOLUME, AudioValue::kSize,
     [](std::uint8_t* p, DWORD, const DeviceSettings& s, const Counters&)
     { WriteAudioValue(p, s.volume); },
     [](DeviceSettings& s, DWORD, const std::uint8_t* p)
     { return ApplyVolume(s, ReadAudioValue(p)); }},
    {&PROPSETID_DeviceControl, DEVICEPROP_AUDIO_SETTINGS, AudioSettings::kSize,
     [](std::uint8_t* p, DWORD, const DeviceSettings& s, const Counters&)
     { WriteAudioSettings(p, s); },
     [](DeviceSettings& s, DWORD, const std::uint8_t* p)
     { return ApplyAudio(s, ReadAudioSettings(p)); }},
    {&PROPSETID_DeviceControl, DEVICEPROP_ENCODER_CAPS, EncoderCaps::kSize,
     [](std::uint8_t* p, DWORD, const DeviceSettings& s, const Counters&)
     { WriteEncoderCaps(p, s.standard); },
     nullptr},
    {&PROPSETID_DeviceControl, DEVICEPROP_AUDIO_CAPS, AudioCaps::kSize,
     [](std::uint8_t* p, DWORD, const DeviceSettings&, const Counters&) { WriteAudioCaps(p); },
     nullptr},
    {&PROPSETID_DeviceControl, DEVICEPROP_AUDIO_MUTE, AudioValue::kSize,
     [](std::uint8_t* p, DWORD, const DeviceSettings& s, const Counters&)
     { WriteAudioValue(p, s.mute ? 1 : 0); },
     [](DeviceSettings& s, DWORD, const std::uint8_t* p)
     { return ApplyMute(s, ReadAudioValue(p)); }},
    {&PROPSETID_DeviceControl, DEVICEPROP_ENABLE_PASSTHROUGH, 0, nullptr,
     [](DeviceSettings& s, DWORD, const std::uint8_t*)
     {
         EnablePassthrough(s);
         return true;
     }},
    {&PROPSETID_DeviceControl, kStatusId, Status::kSize,
     [](std::uint8_t* p, DWORD, const DeviceSettings&, const Counters& counters)
     { WriteStatus(p, counters()); },
     nullptr},
    ProcAmpProperty<VideoProcAmp_Brightness>(),
    ProcAmpProperty<VideoProcAmp_Contrast>(),
    ProcAmpProperty<VideoProcAmp_Hue>(),
    ProcAmpProperty<VideoProcAmp_Saturation>(),
    ProcAmpProperty<VideoProcAmp_Sharpness>(),
}};

HRESULT ShortBuffer()
{
    return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
}
} // namespace

HRESULT HResultOf(DeviceState::ChangeResult result)
{
    switch (result)
    {
    case DeviceState::ChangeResult::Accepted:
        return S_OK;
    case DeviceState::ChangeResult::Refused:
        return E_INVALIDARG;
    case DeviceState::ChangeResult::NotSaved:
        break;
    }
    return HRESULT_FROM_WIN32(ERROR_CANTWRITE);
}

KsPropertyHandler::KsPropertyHandler(DeviceState& state, std::function<DeviceCounters()> liveCounts)
    : m_state(state), m_liveCounts(std::move(liveCounts))
{
}

const KsPropertyHandler::Property* KsPropertyHandler::Find(REFGUID set, DWORD id, HRESULT* phr)
{
    bool bSetKnown = false;
    for (const Property& property : kProperties)
    {
        if (*property.pSet != set)
            continue;
        bSetKnown = true;
        if (property.id == id)
            return &property;
    }
    *phr = bSetKnown ? E_PROP_ID_UNSUPPORTED : E_PROP_SET_UNSUPPORTED;
    return nullptr;
}

HRESULT KsPropertyHandler::Get(REFGUID set, DWORD id, void* pData, DWORD cbData, DWORD* pcbReturned)
{
    HRESULT hr = S_OK;
    const Property* pProperty = Find(set, id, &hr);
    if (!pProperty)
        return hr;
    if (!pProperty->get)
        return E_PROP_ID_UNSUPPORTED;
    if (pcbReturned)
        *pcbReturned = pProperty->cbLayout;
    if (!pData || cbData < pProperty->cbLayout)
        return ShortBuffer();
    const auto counters = [this]
    {
        DeviceCounters totals = m_state.StoredCounters();
        totals += m_liveCounts();
        return totals;
    };
    pProperty->get(static_cast<std::uint8_t*>(pData), id, m_state.Settings(), counters);
    return S_OK;
}

HRESULT KsPropertyHandler::Set(REFGUID set, DWORD id, const void* pData, DWORD cbData)
{
    HRESULT hr = S_OK;
    const Property* pProperty = Find(set, id, &hr);
    if (!pProperty)
        return hr;
    if (!pProperty->apply)
        return E_PROP_ID_UNSUPPORTED;
    if (pProperty->cbLayout != 0 && (!pData || cbData < pProperty->cbLayout))
        return ShortBuffer();
    const auto* pBuffer = static_cast<const std::uint8_t*>(pData);
    return HResultOf(m_state.Change([&](DeviceSettings& settings)
                                    { return pProperty->apply(settings, id, pBuffer); }));
}

HRESULT KsPropertyHandler::QuerySupported(REFGUID set, DWORD id, DWORD* pTypeSupport)
{
    if (!pTypeSupport)
        return E_POINTER;
    HRESULT hr = S_OK;
    const Property* pProperty = Find(set, id, &hr);
    if (!pProperty)
        return hr;
    *pTypeSupport = (pProperty->get ? KSPROPERTY_SUPPORT_GET : 0) |
                    (pProperty->apply ? KSPROPERTY_SUPPORT_SET : 0);
    return S_OK;
}
