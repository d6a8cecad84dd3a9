#include "DeviceTestSupport.h"

#include "DeviceControlProperties.h"
#include "VirtualCaptureDevice.h"

#include <com/ComRuntime.h>

#include <chrono>
#include <vector>

ComPtr<IPropertyBag> RegisterDeviceBag(const std::wstring& name)
{
    ComPtr<IFilterMapper2> mapper;
    ComPtr<IMoniker> moniker;
    ComPtr<IPropertyBag> bag;
    if (FAILED(CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&mapper))) ||
        FAILED(mapper->RegisterFilter(CLSID_VirtualCaptureDevice, name.c_str(), &moniker,
                                      &CLSID_VideoInputDeviceCategory, name.c_str(), nullptr)) ||
        FAILED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag,
                                      reinterpret_cast<void**>(&bag))))
        return nullptr;
    return bag;
}

DeviceCounters ReadStatus(IUnknown* pDevice)
{
    using namespace DeviceLayout;
    ComPtr<IKsPropertySet> properties;
    std::vector<std::uint8_t> buffer(Status::kSize);
    DWORD cbReturned = 0;
    DeviceCounters counters;
    if (FAILED(pDevice->QueryInterface(IID_PPV_ARGS(&properties))) ||
        FAILED(properties->Get(PROPSETID_DeviceControl, DEVICEPROP_STATUS, buffer.data(),
                               Status::kSize, buffer.data(), Status::kSize, &cbReturned)))
        return counters;
    const auto field = [&](std::size_t offset)
    { return ReadDeviceField<std::uint64_t>(buffer.data(), offset); };
    counters.framesCaptured = field(Status::kFramesCaptured);
    counters.framesDropped = field(Status::kFramesDropped);
    counters.bytesCaptured = field(Status::kBytesCaptured);
    counters.packetsPlayed = field(Status::kPacketsPlayed);
    counters.picturesPlayed = field(Status::kPicturesPlayed);
    counters.audioFramesPlayed = field(Status::kAudioFramesPlayed);
    counters.violations = field(Status::kViolations);
    counters.bytesPlayed = field(Status::kBytesPlayed);
    counters.settingsRefused = field(Status::kSettingsRefused);
    return counters;
}

bool WaitForEvent(IMediaEventEx* pEvents, LONG eventCode, LONG msTimeout, LONG_PTR* pParam1)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(msTimeout);
    for (;;)
    {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        LONG code = 0;
        LONG_PTR param1 = 0;
        LONG_PTR param2 = 0;
        if (pEvents->GetEvent(&code, &param1, &param2, LONG(left.count())) != S_OK)
            return false;
        pEvents->FreeEventParams(code, param1, param2);
        if (code == eventCode)
        {
            if (pParam1)
                *pParam1 = param1;
            return true;
        }
    }
}
