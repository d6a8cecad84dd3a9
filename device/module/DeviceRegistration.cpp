#include "DeviceRegistration.h"

#include "VirtualCaptureDevice.h"

#include <com/ComPtr.h>
#include <com/ComRuntime.h>
#include <com/Registry.h>
#include <dshow/dshow.h>

#include <vector>

namespace
{
constexpr std::size_t kMaxNameLength = 64;

WCHAR szCapture[] = L"Capture";
WCHAR szPlayback[] = L"Playback";
const REGPINTYPES kCaptureTypes[] = {{&MEDIATYPE_Stream, &MEDIASUBTYPE_MPEG2_PROGRAM}};
const REGPINTYPES kPlaybackTypes[] = {{&MEDIATYPE_Stream, &MEDIASUBTYPE_NULL}};
const REGFILTERPINS kPins[] = {
    {szCapture, FALSE, TRUE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, kCaptureTypes},
    {szPlayback, TRUE, FALSE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, kPlaybackTypes},
};

// The values the mapper writes itself; everything else under the key is the device's.
bool IsRegistrationValue(const std::wstring& name)
{
    return name == L"FriendlyName" || name == L"CLSID" || name == L"FilterData";
}

struct StoredValue
{
    std::wstring name;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

std::vector<StoredValue> DeviceValues(const std::wstring& key)
{
    std::vector<StoredValue> values;
    HKEY hKey = nullptr;
    if (RegOpenKeyW(HKEY_CLASSES_ROOT, key.c_str(), &hKey) != ERROR_SUCCESS)
        return values;
    for (DWORD i = 0;; ++i)
    {
        WCHAR name[MAX_PATH];
        DWORD cchName = MAX_PATH;
        DWORD cbData = 0;
        StoredValue value;
        if (RegEnumValueW(hKey, i, name, &cchName, nullptr, &value.type, nullptr, &cbData) !=
            ERROR_SUCCESS)
            break;
        value.name.assign(name, cchName);
        value.data.resize(cbData);
        cchName = MAX_PATH;
        if (!IsRegistrationValue(value.name) &&
            RegEnumValueW(hKey, i, name, &cchName, nullptr, &value.type, value.data.data(),
                          &cbData) == ERROR_SUCCESS)
            values.push_back(std::move(value));
    }
    RegCloseKey(hKey);
    return values;
}

HRESULT RestoreValues(const std::wstring& key, const std::vector<StoredValue>& values)
{
    if (values.empty())
        return S_OK;
    HKEY hKey = nullptr;
    LONG error = RegOpenKeyW(HKEY_CLASSES_ROOT, key.c_str(), &hKey);
    for (const StoredValue& value : values)
    {
        if (error != ERROR_SUCCESS)
            break;
        error = RegSetValueExW(hKey, value.name.c_str(), 0, value.type, value.data.data(),
                               static_cast<DWORD>(value.data.size()));
    }
    if (hKey)
        RegCloseKey(hKey);
    return HRESULT_FROM_WIN32(error);
}

bool IsOwnDevice(const std::wstring& name)
{
    std::wstring clsid;
    return RegReadString(HKEY_CLASSES_ROOT, DeviceInstanceKey(name).c_str(), L"CLSID", clsid) ==
               ERROR_SUCCESS &&
           GuidFromString(clsid) == CLSID_VirtualCaptureDevice;
}

std::vector<std::wstring> OwnDevices()
{
    std::vector<std::wstring> names;
    HKEY hKey = nullptr;
    if (RegOpenKeyW(HKEY_CLASSES_ROOT, DeviceInstancesKey().c_str(), &hKey) != ERROR_SUCCESS)
        return names;
    WCHAR name[MAX_PATH];
    for (DWORD i = 0; RegEnumKeyW(hKey, i, name, MAX_PATH) == ERROR_SUCCESS; ++i)
    {
        if (IsOwnDevice(name))
            names.emplace_back(name);
    }
    RegCloseKey(hKey);
    return names;
}

// Runs an action with the filter mapper, COM initialised on this thread meanwhile.
template <class Action> HRESULT WithMapper(Action action)
{
    const HRESULT hrInit = CoInitialize(nullptr);
    ComPtr<IFilterMapper2> pMapper;
    HRESULT hr = CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IFilterMapper2, reinterpret_cast<void**>(&pMapper));
    if (SUCCEEDED(hr))
        hr = action(pMapper.Get());
    pMapper.Reset();
    if (SUCCEEDED(hrInit))
        CoUninitialize();
    return hr;
}
} // namespace

namespace DeviceRegistration
{

bool IsValidName(const std::wstring& name)
{
    return !name.empty() && name.size() <= kMaxNameLength && name.find(L'\\') == std::wstring::npos;
}

HRESULT Register(const std::wstring& name)
{
    if (!IsValidName(name))
        return E_INVALIDARG;
    const std::wstring key = DeviceInstanceKey(name);
    const std::vector<StoredValue> kept = DeviceValues(key);
    REGFILTER2 filter{};
    filter.dwVersion = 1;
    filter.dwMerit = MERIT_DO_NOT_USE;
    filter.cPins = static_cast<ULONG>(std::size(kPins));
    filter.rgPins = kPins;
    const HRESULT hr = WithMapper(
        [&](IFilterMapper2* pMapper)
        {
            return pMapper->RegisterFilter(CLSID_VirtualCaptureDevice, name.c_str(), nullptr,
                                           &CLSID_VideoInputDeviceCategory, name.c_str(), &filter);
        });
    return FAILED(hr) ? hr : RestoreValues(key, kept);
}

HRESULT Unregister(const std::wstring& name)
{
    if (!IsValidName(name) || !IsOwnDevice(name))
        return E_INVALIDARG;
    return WithMapper(
        [&](IFilterMapper2* pMapper)
        {
            return pMapper->UnregisterFilter(&CLSID_VideoInputDeviceCategory, name.c_str(),
                                             CLSID_VirtualCaptureDevice);
        });
}

HRESULT UnregisterAll()
{
    for (const std::wstring& name : OwnDevices())
    {
        if (const HRESULT hr = Unregister(name); FAILED(hr))
            return hr;
    }
    return S_OK;
}

} // namespace DeviceRegistration
