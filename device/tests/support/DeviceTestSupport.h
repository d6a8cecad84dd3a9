#pragma once
// What the device's graph tests share: a device registered in the temporary
// registry (its property bag, as a device moniker hands it over), the device's
// status block and fault plan, and waiting for graph events.

#include "DeviceCounters.h"

#include <com/ComPtr.h>
#include <com/Moniker.h>
#include <dshow/dshow.h>

#include <string>

// Registers a device of that name under the video input device category and
// returns its property bag.
ComPtr<IPropertyBag> RegisterDeviceBag(const std::wstring& name);

// The status block of a device filter, through IKsPropertySet.
DeviceCounters ReadStatus(IUnknown* pDevice);
// Replaces a device filter's fault plan through DEVICEPROP_FAULTS; the plan as text
// (FaultText.h).
HRESULT SetFaults(IUnknown* pDevice, const std::string& faults);

// Waits up to msTimeout for an event with that code; false if none came.
bool WaitForEvent(IMediaEventEx* pEvents, LONG eventCode, LONG msTimeout,
                  LONG_PTR* pParam1 = nullptr);
