#include "DeviceControls.h"

#include "SettingsRules.h"

namespace
{
constexpr LONG kCrossbarInputs = 2;
constexpr LONG kNtscLines = 525;
constexpr LONG kPalLines = 625;

bool IsCrossbarInput(LONG index)
{
    return index >= 0 && index < kCrossbarInputs;
}
} // namespace

CDeviceControls::CDeviceControls(LPUNKNOWN pOwner, DeviceState& state,
                                 std::function<DeviceCounters()> liveCounts)
    : CUnknown(NAME("Device controls"), pOwner), m_state(state),
      m_properties(state, std::move(liveCounts))
{
}

bool CDeviceControls::IsControlInterface(REFIID riid)
{
    return riid == IID_IKsPropertySet || riid == IID_IAMVideoProcAmp ||
           riid == IID_IAMAnalogVideoDecoder || riid == IID_IAMCrossbar;
}

HRESULT CDeviceControls::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (riid == IID_IKsPropertySet)
        return GetInterface(static_cast<IKsPropertySet*>(this), ppv);
    if (riid == IID_IAMVideoProcAmp)
        return GetInterface(static_cast<IAMVideoProcAmp*>(this), ppv);
    if (riid == IID_IAMAnalogVideoDecoder)
        return GetInterface(static_cast<IAMAnalogVideoDecoder*>(this), ppv);
    if (riid == IID_IAMCrossbar)
        return GetInterface(static_cast<IAMCrossbar*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CDeviceControls::Apply(const DeviceState::Rule& rule)
{
    return HResultOf(m_state.Change(rule));
}

// IKsPropertySet: the instance data only repeats the property header, which the
// device does not need.

HRESULT CDeviceControls::Set(REFGUID guidPropSet, DWORD dwPropID, LPVOID, DWORD, LPVOID pPropData,
                             DWORD cbPropData)
{
    return m_properties.Set(guidPropSet, dwPropID, pPropData, cbPropData);
}

HRESULT CDeviceControls::Get(REFGUID guidPropSet, DWORD dwPropID, LPVOID, DWORD, LPVOID pPropData,
                             DWORD cbPropData, DWORD* pcbReturned)
{
    return m_properties.Get(guidPropSet, dwPropID, pPropData, cbPropData, pcbReturned);
}

HRESULT CDeviceControls::QuerySupported(REFGUID guidPropSet, DWORD dwPropID, DWORD* pTypeSupport)
{
    return m_properties.QuerySupported(guidPropSet, dwPropID, pTypeSupport);
}

// IAMVideoProcAmp

HRESULT CDeviceControls::GetRange(LONG Property, LONG* pMin, LONG* pMax, LONG* pSteppingDelta,
                                  LONG* pDefault, LONG* pCapsFlags)
{
    if (!pMin || !pMax || !pSteppingDelta || !pDefault || !pCapsFlags)
        return E_POINTER;
    const std::optional<ProcAmpRange> range = m_state.Caps().ProcAmpRangeOf(Property);
    if (!range)
        return E_PROP_ID_UNSUPPORTED;
    *pMin = range->min;
    *pMax = range->max;
    *pSteppingDelta = range->step;
    *pDefault = range->defaultValue;
    *pCapsFlags = VideoProcAmp_Flags_Manual;
    return S_OK;
}

HRESULT CDeviceControls::Set(LONG Property, LONG lValue, LONG /*Flags: manual only*/)
{
    if (Property < 0 || Property >= DeviceCaps::kProcAmpCount)
        return E_PROP_ID_UNSUPPORTED;
    return Apply([=](DeviceSettings& settings, const DeviceCaps& caps)
                 { return SettingsRules::ApplyProcAmp(settings, caps, Property, lValue); });
}

HRESULT CDeviceControls::Get(LONG Property, LONG* lValue, LONG* Flags)
{
    if (!lValue || !Flags)
        return E_POINTER;
    if (Property < 0 || Property >= DeviceCaps::kProcAmpCount)
        return E_PROP_ID_UNSUPPORTED;
    *lValue = m_state.Settings().procAmp[static_cast<std::size_t>(Property)];
    *Flags = VideoProcAmp_Flags_Manual;
    return S_OK;
}

// IAMAnalogVideoDecoder

HRESULT CDeviceControls::get_AvailableTVFormats(LONG* lAnalogVideoStandard)
{
    if (!lAnalogVideoStandard)
        return E_POINTER;
    *lAnalogVideoStandard = DeviceCaps::kStandards;
    return S_OK;
}

HRESULT CDeviceControls::put_TVFormat(LONG lAnalogVideoStandard)
{
    return Apply([=](DeviceSettings& settings, const DeviceCaps& caps)
                 { return SettingsRules::ApplyStandard(settings, caps, lAnalogVideoStandard); });
}

HRESULT CDeviceControls::get_TVFormat(LONG* plAnalogVideoStandard)
{
    if (!plAnalogVideoStandard)
        return E_POINTER;
    *plAnalogVideoStandard = m_state.Settings().standard;
    return S_OK;
}

HRESULT CDeviceControls::get_HorizontalLocked(LONG* plLocked)
{
    if (!plLocked)
        return E_POINTER;
    *plLocked = 1; // the device's own signal is always locked
    return S_OK;
}

HRESULT CDeviceControls::put_VCRHorizontalLocking(LONG)
{
    return E_NOTIMPL;
}

HRESULT CDeviceControls::get_VCRHorizontalLocking(LONG*)
{
    return E_NOTIMPL;
}

HRESULT CDeviceControls::get_NumberOfLines(LONG* plNumberOfLines)
{
    if (!plNumberOfLines)
        return E_POINTER;
    *plNumberOfLines = DeviceCaps::IsPal(m_state.Settings().standard) ? kPalLines : kNtscLines;
    return S_OK;
}

HRESULT CDeviceControls::put_OutputEnable(LONG)
{
    return E_NOTIMPL;
}

HRESULT CDeviceControls::get_OutputEnable(LONG*)
{
    return E_NOTIMPL;
}

// IAMCrossbar

HRESULT CDeviceControls::get_PinCounts(LONG* OutputPinCount, LONG* InputPinCount)
{
    if (!OutputPinCount || !InputPinCount)
        return E_POINTER;
    *OutputPinCount = 1;
    *InputPinCount = kCrossbarInputs;
    return S_OK;
}

HRESULT CDeviceControls::CanRoute(LONG OutputPinIndex, LONG InputPinIndex)
{
    return OutputPinIndex == 0 && IsCrossbarInput(InputPinIndex) ? S_OK : E_INVALIDARG;
}

HRESULT CDeviceControls::Route(LONG OutputPinIndex, LONG InputPinIndex)
{
    if (OutputPinIndex != 0)
        return E_INVALIDARG;
    return Apply([=](DeviceSettings& settings, const DeviceCaps&)
                 { return SettingsRules::ApplyInput(settings, InputPinIndex); });
}

HRESULT CDeviceControls::get_IsRoutedTo(LONG OutputPinIndex, LONG* InputPinIndex)
{
    if (!InputPinIndex)
        return E_POINTER;
    if (OutputPinIndex != 0)
        return E_INVALIDARG;
    *InputPinIndex = m_state.Settings().input;
    return S_OK;
}

HRESULT CDeviceControls::get_CrossbarPinInfo(BOOL IsInputPin, LONG PinIndex, LONG* PinIndexRelated,
                                             LONG* PhysicalType)
{
    if (!PinIndexRelated || !PhysicalType)
        return E_POINTER;
    if (IsInputPin ? !IsCrossbarInput(PinIndex) : PinIndex != 0)
        return E_INVALIDARG;
    *PinIndexRelated = -1; // no audio pins to pair with
    if (!IsInputPin)
        *PhysicalType = PhysConn_Video_VideoDecoder;
    else
        *PhysicalType = PinIndex == 0 ? PhysConn_Video_Composite : PhysConn_Video_SVideo;
    return S_OK;
}
