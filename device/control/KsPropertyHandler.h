#pragma once
// The device's kernel-streaming properties behind IKsPropertySet: the driver's
// private set PROPSETID_DeviceControl (ids 1-5, 7, 8, the status block and the fault
// plan) and the video processing amplifier's PROPSETID_VIDCAP_VIDEOPROCAMP (ids 0-4).
//
// Results:
// - an unknown set: E_PROP_SET_UNSUPPORTED; an unknown id, a Get of the set-only
//   passthrough or a Set of a read-only property: E_PROP_ID_UNSUPPORTED;
// - a Get or Set the fault plan makes fail: its HRESULT, with nothing read or written;
//   one it makes do nothing: S_OK, with nothing read or written (a Get reports 0
//   bytes). Either counts a property fault. The fault plan's own property is never
//   faulted, so a plan can always be taken back;
// - a buffer shorter than the property's layout (or none):
//   HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER), with the size needed in
//   *pcbReturned on a Get; nothing is read or written;
// - a Set the device refuses (SettingsRules.h), or a fault plan it cannot follow:
//   E_INVALIDARG, the state unchanged; a Set the device could not store:
//   HRESULT_FROM_WIN32(ERROR_CANTWRITE).
// A Get fills the layout's payload and reports the layout's size; the buffer's
// header and any bytes past the layout are left as they were.

#include "DeviceState.h"

#include <dshow/DeviceControl.h>

#include <cstdint>
#include <functional>
#include <optional>

// The result of a settings change: S_OK, E_INVALIDARG when refused,
// HRESULT_FROM_WIN32(ERROR_CANTWRITE) when it could not be stored.
HRESULT HResultOf(DeviceState::ChangeResult result);

class KsPropertyHandler
{
public:
    // liveCounts gives what the filter's pins counted in the run under way, which
    // the status block adds to the stored totals.
    KsPropertyHandler(DeviceState& state, std::function<DeviceCounters()> liveCounts);

    HRESULT Get(REFGUID set, DWORD id, void* pData, DWORD cbData, DWORD* pcbReturned);
    HRESULT Set(REFGUID set, DWORD id, const void* pData, DWORD cbData);
    HRESULT QuerySupported(REFGUID set, DWORD id, DWORD* pTypeSupport);

    struct Property;

private:
    // The property, or the HRESULT that says why there is none.
    static const Property* Find(REFGUID set, DWORD id, HRESULT* phr);
    // The fault the plan injects into this call, counted; null when there is none.
    std::optional<PropertyFault> InjectedFault(const Property& property, FaultOperation operation);

    DeviceState& m_state;
    std::function<DeviceCounters()> m_liveCounts;
};
