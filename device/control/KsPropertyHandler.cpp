#include "KsPropertyHandler.h"

#include "DeviceControlProperties.h"
#include "FaultLayout.h"
#include "PropertyLayouts.h"

#include <dshow/Errors.h>

#include <array>

// What a Get reads from: the device's state and the counters of the run under way.
struct PropertySource
{
    DeviceState& state;
    const std::function<DeviceCounters()>& counters;
};

struct KsPropertyHandler::Property
{
    const GUID* pSet;
    FaultPropertySet faultSet;
    DWORD id;
    DWORD cbLayout; // 0: the property carries no data
    // Fills the buffer; null for a property that cannot be read.
    void (*get)(std::uint8_t* pBuffer, DWORD id, const PropertySource& source);
    // Applies the buffer to the settings; null for a property that is not a setting.
    bool (*apply)(DeviceSettings& settings, const DeviceCaps& caps, DWORD id,
                  const std::uint8_t* pBuffer);
    // Takes the buffer into the device's configuration; null for the others.
    HRESULT (*configure)(DeviceState& state, const std::uint8_t* pBuffer);
};

namespace
{
using namespace DeviceLayout;
using namespace PropertyLayouts;
using namespace SettingsRules;
using Source = PropertySource;
using Caps = DeviceCaps;
constexpr auto kControl = FaultPropertySet::DeviceControl;

template <DWORD Id> constexpr KsPropertyHandler::Property ProcAmpProperty()
{
    return {&PROPSETID_VIDCAP_VIDEOPROCAMP,
            FaultPropertySet::ProcAmp,
            Id,
            ProcAmp::kSize,
            [](std::uint8_t* p, DWORD id, const Source& source)
            { WriteProcAmp(p, source.state.Settings().procAmp[id]); },
            [](DeviceSettings& s, const Caps& caps, DWORD id, const std::uint8_t* p)
            { return ApplyProcAmp(s, caps, static_cast<LONG>(id), ReadProcAmpValue(p)); },
            nullptr};
}

HRESULT ConfigureFaults(DeviceState& state, const std::uint8_t* pBuffer)
{
    const std::optional<FaultPlan> plan = ReadFaultLayout(pBuffer);
    if (!plan)
        return E_INVALIDARG;
    return state.SetFaults(*plan) ? S_OK : HRESULT_FROM_WIN32(ERROR_CANTWRITE);
}

constexpr std::array<KsPropertyHandler::Property, 14> kProperties = {{
    {&PROPSETID_DeviceControl, kControl, DEVICEPROP_ENCODER_SETTINGS, EncoderSettings::kSize,
     [](std::uint8_t* p, DWORD, const Source& source)
     { WriteEncoderSettings(p, source.state.Settings()); },
     [](DeviceSettings& s, const Caps& caps, DWORD, const std::uint8_t* p)
     { return ApplyEncoder(s, caps, ReadEncoderSettings(p)); },
     nullptr},
    {&PROPSETID_DeviceControl, kControl, DEVICEPROP_AUDIO_VOLUME, AudioValue::kSize,
     [](std::uint8_t* p, DWORD, const Source& source)
     { WriteAudioValue(p, source.state.Settings().volume); },
     [](DeviceSettings& s, const Caps& caps, DWORD, const std::uint8_t* p)
     { return ApplyVolume(s, caps, ReadAudioValue(p)); },
     nullptr},
    {&PROPSETID_DeviceControl, kControl, DEVICEPROP_AUDIO_SETTINGS, AudioSettings::kSize,
     [](std::uint8_t* p, DWORD, const Source& source)
     { WriteAudioSettings(p, source.state.Settings()); },
     [](DeviceSettings& s, const Caps& caps, DWORD, const std::uint8_t* p)
     { return ApplyAudio(s, caps, ReadAudioSettings(p)); },
     nullptr},
    {&PROPSETID_DeviceControl, kControl, DEVICEPROP_ENCODER_CAPS, EncoderCaps::kSize,
     [](std::uint8_t* p, DWORD, const Source& source)
     { WriteEncoderCaps(p, source.state.Caps(), source.state.Settings().standard); },
     nullptr, nullptr},
    {&PROPSETID_DeviceControl, kControl, DEVICEPROP_AUDIO_CAPS, AudioCaps::kSize,
     [](std::uint8_t* p, DWORD, const Source& source) { WriteAudioCaps(p, source.state.Caps()); },
     nullptr, nullptr},
    {&PROPSETID_DeviceControl, kControl, DEVICEPROP_AUDIO_MUTE, AudioValue::kSize,
     [](std::uint8_t* p, DWORD, const Source& source)
     { WriteAudioValue(p, source.state.Settings().mute ? 1 : 0); },
     [](DeviceSettings& s, const Caps&, DWORD, const std::uint8_t* p)
     { return ApplyMute(s, ReadAudioValue(p)); },
     nullptr},
    {&PROPSETID_DeviceControl, kControl, DEVICEPROP_ENABLE_PASSTHROUGH, 0, nullptr,
     [](DeviceSettings& s, const Caps&, DWORD, const std::uint8_t*)
     {
         EnablePassthrough(s);
         return true;
     },
     nullptr},
    {&PROPSETID_DeviceControl, kControl, DEVICEPROP_STATUS, Status::kSize,
     [](std::uint8_t* p, DWORD, const Source& source)
     {
         DeviceCounters totals = source.state.StoredCounters();
         totals += source.counters();
         WriteStatus(p, totals);
     },
     nullptr, nullptr},
    {&PROPSETID_DeviceControl, kControl, DEVICEPROP_FAULTS, Faults::kSize,
     [](std::uint8_t* p, DWORD, const Source& source)
     { WriteFaultLayout(p, source.state.Faults()); },
     nullptr, ConfigureFaults},
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

std::optional<PropertyFault> KsPropertyHandler::InjectedFault(const Property& property,
                                                              FaultOperation operation)
{
    if (property.configure)
        return std::nullopt; // the fault plan itself stays reachable
    const FaultPlan plan = m_state.Faults();
    const PropertyFault* pFault = plan.Find(property.faultSet, property.id, operation);
    if (!pFault)
        return std::nullopt;
    m_state.Count(&DeviceCounters::propertyFaults);
    return *pFault;
}

HRESULT KsPropertyHandler::Get(REFGUID set, DWORD id, void* pData, DWORD cbData, DWORD* pcbReturned)
{
    HRESULT hr = S_OK;
    const Property* pProperty = Find(set, id, &hr);
    if (!pProperty)
        return hr;
    if (!pProperty->get)
        return E_PROP_ID_UNSUPPORTED;
    if (const std::optional<PropertyFault> fault = InjectedFault(*pProperty, FaultOperation::Get))
    {
        if (fault->kind == FaultKind::Fail)
            return fault->result;
        if (pcbReturned)
            *pcbReturned = 0;
        return S_OK;
    }
    if (pcbReturned)
        *pcbReturned = pProperty->cbLayout;
    if (!pData || cbData < pProperty->cbLayout)
        return ShortBuffer();
    pProperty->get(static_cast<std::uint8_t*>(pData), id, PropertySource{m_state, m_liveCounts});
    return S_OK;
}

HRESULT KsPropertyHandler::Set(REFGUID set, DWORD id, const void* pData, DWORD cbData)
{
    HRESULT hr = S_OK;
    const Property* pProperty = Find(set, id, &hr);
    if (!pProperty)
        return hr;
    if (!pProperty->apply && !pProperty->configure)
        return E_PROP_ID_UNSUPPORTED;
    if (const std::optional<PropertyFault> fault = InjectedFault(*pProperty, FaultOperation::Set))
        return fault->kind == FaultKind::Fail ? fault->result : S_OK;
    if (pProperty->cbLayout != 0 && (!pData || cbData < pProperty->cbLayout))
        return ShortBuffer();
    const auto* pBuffer = static_cast<const std::uint8_t*>(pData);
    if (pProperty->configure)
        return pProperty->configure(m_state, pBuffer);
    return HResultOf(m_state.Change([&](DeviceSettings& settings, const DeviceCaps& caps)
                                    { return pProperty->apply(settings, caps, id, pBuffer); }));
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
                    (pProperty->apply || pProperty->configure ? KSPROPERTY_SUPPORT_SET : 0);
    return S_OK;
}
