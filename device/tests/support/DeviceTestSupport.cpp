#include "DeviceTestSupport.h"

#include "DeviceControlProperties.h"
#include "FaultLayout.h"
#include "FaultText.h"
#include "VirtualCaptureDevice.h"

#include <com/ComRuntime.h>

#include <chrono>
#include <utility>
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
    using Counter = std::uint64_t DeviceCounters::*;
    static constexpr std::pair<Counter, std::size_t> kCounters[] = {
        {&DeviceCounters::framesCaptured, Status::kFramesCaptured},
        {&DeviceCounters::framesDropped, Status::kFramesDropped},
        {&DeviceCounters::bytesCaptured, Status::kBytesCaptured},
        {&DeviceCounters::packetsPlayed, Status::kPacketsPlayed},
        {&DeviceCounters::picturesPlayed, Status::kPicturesPlayed},
        {&DeviceCounters::audioFramesPlayed, Status::kAudioFramesPlayed},
        {&DeviceCounters::violations, Status::kViolations},
        {&DeviceCounters::bytesPlayed, Status::kBytesPlayed},
        {&DeviceCounters::settingsRefused, Status::kSettingsRefused},
        {&DeviceCounters::propertyFaults, Status::kPropertyFaults},
        {&DeviceCounters::bindsRefused, Status::kBindsRefused},
        {&DeviceCounters::joinsRefused, Status::kJoinsRefused},
        {&DeviceCounters::stalls, Status::kStalls},
        {&DeviceCounters::bitsFlipped, Status::kBitsFlipped},
        {&DeviceCounters::pesPacketsCut, Status::kPesPacketsCut},
        {&DeviceCounters::captureStops, Status::kCaptureStops},
        {&DeviceCounters::samplesRefused, Status::kSamplesRefused},
        {&DeviceCounters::playbackEvents, Status::kPlaybackEvents},
    };
    ComPtr<IKsPropertySet> properties;
    std::vector<std::uint8_t> buffer(Status::kSize);
    DWORD cbReturned = 0;
    DeviceCounters counters;
    if (FAILED(pDevice->QueryInterface(IID_PPV_ARGS(&properties))) ||
        FAILED(properties->Get(PROPSETID_DeviceControl, DEVICEPROP_STATUS, buffer.data(),
                               Status::kSize, buffer.data(), Status::kSize, &cbReturned)))
        return counters;
    for (const auto& [counter, offset] : kCounters)
        counters.*counter = ReadDeviceField<std::uint64_t>(buffer.data(), offset);
    return counters;
}

HRESULT SetFaults(IUnknown* pDevice, const std::string& faults)
{
    ComPtr<IKsPropertySet> properties;
    std::vector<std::uint8_t> buffer(DeviceLayout::Faults::kSize);
    WriteFaultLayout(buffer.data(), DecodeFaults(faults));
    HRESULT hr = pDevice->QueryInterface(IID_PPV_ARGS(&properties));
    if (SUCCEEDED(hr))
        hr = properties->Set(PROPSETID_DeviceControl, DEVICEPROP_FAULTS, buffer.data(),
                             DWORD(buffer.size()), buffer.data(), DWORD(buffer.size()));
    return hr;
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
