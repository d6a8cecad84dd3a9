#pragma once
// The virtual capture device: its filter class, the devices its module registers
// and the registry values each device keeps under its own key,
// HKEY_CLASSES_ROOT\CLSID\{video input device category}\Instance\<device name>.
//
// Values a user may set (REG_SZ):
//   "SourceFile"  a media file the capture pin encodes, looped, instead of the pattern
//   "RecordFile"  a file the playback pin writes what it receives to, byte for byte
//   "Pacing"      "fast": capture delivers as fast as the encoder goes and playback does
//                 not wait for packet times (also MARVEK_DEVICE_PACING=fast)
//   "NtscSizes", "PalSizes", "SampleRates", "BitRateRange", "VolumeRange" and the
//                 amplifier's "BrightnessRange" ... "SharpnessRange": what the device
//                 offers instead of its defaults (the device's CapsValues.h)
//   "Faults"      the faults the device injects (FaultText.h), also set through
//                 DEVICEPROP_FAULTS
// Values the device keeps itself (REG_SZ, "name=value ..." text):
//   "State"       the settings, rewritten by every accepted Set
//   "Counters"    the status counters, brought up to date at every Stop

#include <com/Guid.h>
#include <dshow/Uuids.h>

#include <string>

// {664CF027-DBAF-495E-9668-0C3FB82B4F41}
DEFINE_GUID(CLSID_VirtualCaptureDevice, 0x664CF027, 0xDBAF, 0x495E, 0x96, 0x68, 0x0C, 0x3F, 0xB8,
            0x2B, 0x4F, 0x41);

// The device DllRegisterServer registers, and the second one `regsvr -i:Quillbox` adds.
inline constexpr wchar_t kFirstDeviceName[] = L"Orvastation";
inline constexpr wchar_t kSecondDeviceName[] = L"Quillbox";

inline constexpr wchar_t kDeviceValueSourceFile[] = L"SourceFile";
inline constexpr wchar_t kDeviceValueRecordFile[] = L"RecordFile";
inline constexpr wchar_t kDeviceValuePacing[] = L"Pacing";
inline constexpr wchar_t kDeviceValueState[] = L"State";
inline constexpr wchar_t kDeviceValueCounters[] = L"Counters";
inline constexpr wchar_t kDeviceValueFaults[] = L"Faults";

inline constexpr wchar_t kFastPacing[] = L"fast";
inline constexpr char kPacingEnvironmentVariable[] = "MARVEK_DEVICE_PACING";

// The key of the video input devices, and of one of them, below HKEY_CLASSES_ROOT.
inline std::wstring DeviceInstancesKey()
{
    return L"CLSID\\" + GuidToString(CLSID_VideoInputDeviceCategory) + L"\\Instance";
}

inline std::wstring DeviceInstanceKey(const std::wstring& deviceName)
{
    return DeviceInstancesKey() + L"\\" + deviceName;
}
