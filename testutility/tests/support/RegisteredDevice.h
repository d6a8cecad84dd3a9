#pragma once

// The utility's tests against the real virtual device: the modules of this build
// registered into the temporary registry in force (TemporaryRegistry.h), the device
// configured through its registry values, and faults injected through its
// DEVICEPROP_FAULTS property, as a test instrument is driven.

#include <DeviceControlProperties.h>

#include <com/ComPtr.h>
#include <dshow/dshow.h>

#include <string>

namespace registered
{
// Registers every module of the build (regsvr -s); false when that failed.
bool RegisterModules();
// Sets one of the device's registry values (SourceFile, Pacing, NtscSizes, ...).
bool SetDeviceValue(const std::wstring& name, const std::wstring& value);
// A fresh filter of the tested device, bound through its moniker; null when the
// device cannot be bound.
ComPtr<IBaseFilter> BindDevice();
// Replaces the device's fault plan through the property of a freshly bound filter;
// the plan in the text form `kstest device-fault` takes.
HRESULT InjectFaults(const std::string& faults);
// A uint64 counter of the device's status block (DeviceLayout::Status), read through
// a freshly bound filter.
std::uint64_t StatusCounter(std::size_t offset);
} // namespace registered
