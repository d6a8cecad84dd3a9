// device_probe: another process for the module tests. It binds a registered device
// by its friendly name, as the utility does, and reads or sets its values:
//
//   device_probe NAME get          prints "bitrate=... width=... height=... volume=...
//                                  framescaptured=... settingsrefused=..."
//   device_probe NAME volume N     sets the volume
//
// Exit status 0 on success, 1 when the device is not found or a call fails.

#include "DeviceControlProperties.h"

#include <com/ComPtr.h>
#include <com/ComRuntime.h>
#include <com/StringConvert.h>
#include <com/Variant.h>
#include <dshow/dshow.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{
using namespace DeviceLayout;

ComPtr<IBaseFilter> BindDevice(const std::wstring& name)
{
    ComPtr<ICreateDevEnum> devices;
    ComPtr<IEnumMoniker> monikers;
    if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&devices))) ||
        devices->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, &monikers, 0) != S_OK)
        return nullptr;
    ComPtr<IMoniker> moniker;
    while (monikers->Next(1, &moniker, nullptr) == S_OK)
    {
        ComPtr<IPropertyBag> bag;
        VARIANT friendlyName;
        VariantInit(&friendlyName);
        friendlyName.vt = VT_BSTR;
        const bool bMatch = SUCCEEDED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag,
                                                             reinterpret_cast<void**>(&bag))) &&
                            SUCCEEDED(bag->Read(L"FriendlyName", &friendlyName, nullptr)) &&
                            name == friendlyName.bstrVal;
        VariantClear(&friendlyName);
        ComPtr<IBaseFilter> filter;
        if (bMatch && SUCCEEDED(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter,
                                                      reinterpret_cast<void**>(&filter))))
            return filter;
    }
    return nullptr;
}

bool Get(IKsPropertySet* pProperties, DWORD id, std::vector<std::uint8_t>& buffer)
{
    DWORD cbReturned = 0;
    return SUCCEEDED(pProperties->Get(PROPSETID_DeviceControl, id, buffer.data(),
                                      DWORD(buffer.size()), buffer.data(), DWORD(buffer.size()),
                                      &cbReturned));
}

bool PrintState(IKsPropertySet* pProperties)
{
    std::vector<std::uint8_t> encoder(EncoderSettings::kSize);
    std::vector<std::uint8_t> volume(AudioValue::kSize);
    std::vector<std::uint8_t> status(Status::kSize);
    if (!Get(pProperties, DEVICEPROP_ENCODER_SETTINGS, encoder) ||
        !Get(pProperties, DEVICEPROP_AUDIO_VOLUME, volume) ||
        !Get(pProperties, DEVICEPROP_STATUS, status))
        return false;
    std::printf(
        "bitrate=%d width=%u height=%u volume=%d framescaptured=%llu settingsrefused=%llu\n",
        ReadDeviceField<std::int32_t>(encoder.data(), EncoderSettings::kBitRate),
        ReadDeviceField<std::uint32_t>(encoder.data(), EncoderSettings::kWidth),
        ReadDeviceField<std::uint32_t>(encoder.data(), EncoderSettings::kHeight),
        ReadDeviceField<std::int32_t>(volume.data(), AudioValue::kValue),
        static_cast<unsigned long long>(
            ReadDeviceField<std::uint64_t>(status.data(), Status::kFramesCaptured)),
        static_cast<unsigned long long>(
            ReadDeviceField<std::uint64_t>(status.data(), Status::kSettingsRefused)));
    return true;
}

bool SetVolume(IKsPropertySet* pProperties, std::int32_t value)
{
    std::vector<std::uint8_t> buffer(AudioValue::kSize);
    WriteDeviceField(buffer.data(), AudioValue::kValue, value);
    return SUCCEEDED(pProperties->Set(PROPSETID_DeviceControl, DEVICEPROP_AUDIO_VOLUME,
                                      buffer.data(), DWORD(buffer.size()), buffer.data(),
                                      DWORD(buffer.size())));
}

bool Run(int argc, char** argv)
{
    ComPtr<IBaseFilter> device = BindDevice(Utf8ToWide(argv[1]));
    ComPtr<IKsPropertySet> properties;
    if (!device || FAILED(device.As(&properties)))
        return false;
    const std::string command = argv[2];
    if (command == "get")
        return PrintState(properties.Get());
    return command == "volume" && argc > 3 && SetVolume(properties.Get(), std::atoi(argv[3]));
}
} // namespace

int main(int argc, char** argv)
{
    if (argc < 3 || FAILED(CoInitialize(nullptr)))
        return 1;
    const bool bDone = Run(argc, argv);
    CoUninitialize();
    return bDone ? 0 : 1;
}
