#pragma once
// The devices the module registers under the video input device category
// (HKEY_CLASSES_ROOT\CLSID\{category}\Instance\<name>), through the filter
// mapper, with FriendlyName <name> and the device filter's class. Registering a
// device again keeps what the device stored under its key (its state, counters
// and configuration), as reinstalling a driver keeps a device's settings.

#include <com/HResult.h>

#include <string>

namespace DeviceRegistration
{
// A name the registry can hold as one key: 1 to 64 characters, no backslash.
bool IsValidName(const std::wstring& name);
HRESULT Register(const std::wstring& name);
// Removes a device of this module; E_INVALIDARG when the name belongs to another
// filter's registration.
HRESULT Unregister(const std::wstring& name);
// Removes every device of this module.
HRESULT UnregisterAll();
} // namespace DeviceRegistration
