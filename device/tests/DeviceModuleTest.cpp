// The registered module, as the utility meets it: regsvr registers "Orvastation"
// and, with -i, "Quillbox"; the system device enumerator lists them; every bind is
// a fresh filter; the device's state and counters outlive binds and processes
// (device_probe is the other process).

#include "DeviceControlProperties.h"
#include "MediaFiles.h"
#include "TemporaryRegistry.h"
#include "TestFilters.h"
#include "VirtualCaptureDevice.h"
#include "tee/InfTeeFilter.h"
#include "JoinedText.h"

#include <com/ComRuntime.h>
#include <com/Registry.h>
#include <com/Variant.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace
{
using namespace std::chrono_literals;

struct Device
{
    std::wstring friendlyName;
    ComPtr<IMoniker> moniker;
};

// The video input devices in the order the system device enumerator lists them.
std::vector<Device> VideoInputDevices()
{
    std::vector<Device> devices;
    ComPtr<ICreateDevEnum> enumerator;
    ComPtr<IEnumMoniker> monikers;
    if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&enumerator))) ||
        enumerator->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, &monikers, 0) != S_OK)
        return devices;
    Device device;
    while (monikers->Next(1, &device.moniker, nullptr) == S_OK)
    {
        ComPtr<IPropertyBag> bag;
        VARIANT name;
        VariantInit(&name);
        name.vt = VT_BSTR;
        if (SUCCEEDED(device.moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag,
                                                    reinterpret_cast<void**>(&bag))) &&
            SUCCEEDED(bag->Read(L"FriendlyName", &name, nullptr)))
            device.friendlyName = name.bstrVal;
        VariantClear(&name);
        devices.push_back(std::move(device));
    }
    return devices;
}

std::vector<std::wstring> FriendlyNames()
{
    std::vector<std::wstring> names;
    for (const Device& device : VideoInputDevices())
        names.push_back(device.friendlyName);
    return names;
}

ComPtr<IBaseFilter> Bind(const std::wstring& friendlyName)
{
    for (const Device& device : VideoInputDevices())
    {
        ComPtr<IBaseFilter> filter;
        if (device.friendlyName == friendlyName &&
            SUCCEEDED(device.moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter,
                                                   reinterpret_cast<void**>(&filter))))
            return filter;
    }
    return nullptr;
}

int Regsvr(const std::string& arguments)
{
    return media::Run(
        JoinedText({REGSVR_PATH, " -s ", arguments, " " DEVICE_MODULE_PATH, " >/dev/null 2>&1"}));
}

std::string Probe(const std::string& arguments)
{
    const std::vector<std::uint8_t> output =
        media::CaptureOutput(JoinedText({DEVICE_PROBE_PATH, " ", arguments}));
    return std::string(output.begin(), output.end());
}

LONG Volume(IBaseFilter* pDevice)
{
    ComPtr<IKsPropertySet> properties;
    std::vector<std::uint8_t> buffer(DeviceLayout::AudioValue::kSize);
    DWORD cbReturned = 0;
    if (FAILED(pDevice->QueryInterface(IID_PPV_ARGS(&properties))) ||
        FAILED(properties->Get(PROPSETID_DeviceControl, DEVICEPROP_AUDIO_VOLUME, buffer.data(),
                               DWORD(buffer.size()), buffer.data(), DWORD(buffer.size()),
                               &cbReturned)))
        return -1000;
    return ReadDeviceField<std::int32_t>(buffer.data(), DeviceLayout::AudioValue::kValue);
}

HRESULT SetVolume(IBaseFilter* pDevice, std::int32_t volume)
{
    ComPtr<IKsPropertySet> properties;
    std::vector<std::uint8_t> buffer(DeviceLayout::AudioValue::kSize);
    WriteDeviceField(buffer.data(), DeviceLayout::AudioValue::kValue, volume);
    HRESULT hr = pDevice->QueryInterface(IID_PPV_ARGS(&properties));
    if (SUCCEEDED(hr))
        hr = properties->Set(PROPSETID_DeviceControl, DEVICEPROP_AUDIO_VOLUME, buffer.data(),
                             DWORD(buffer.size()), buffer.data(), DWORD(buffer.size()));
    return hr;
}

class DeviceModule : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(S_OK, CoInitialize(nullptr));
        ASSERT_EQ(0, Regsvr(""));
    }
    void TearDown() override { CoUninitialize(); }

    TemporaryRegistry m_registry;
};
} // namespace

TEST_F(DeviceModule, RegsvrRegistersOrvastationAndItsInstallOptionAddsQuillbox)
{
    EXPECT_EQ(std::vector<std::wstring>{L"Orvastation"}, FriendlyNames());
    ASSERT_EQ(0, Regsvr("-n -i:Quillbox"));
    EXPECT_EQ((std::vector<std::wstring>{L"Orvastation", L"Quillbox"}), FriendlyNames());
    EXPECT_EQ(5, Regsvr("-n -i")) << "DllInstall needs a device name";
    EXPECT_EQ(1, Regsvr("-n")) << "-n needs -i";

    ASSERT_EQ(0, Regsvr("-u -n -i:Quillbox"));
    EXPECT_EQ(std::vector<std::wstring>{L"Orvastation"}, FriendlyNames());
    ASSERT_EQ(0, Regsvr("-i:Quillbox")); // registers the module, then installs Quillbox
    EXPECT_EQ(2u, FriendlyNames().size());
    ASSERT_EQ(0, Regsvr("-u"));
    EXPECT_TRUE(FriendlyNames().empty());
    std::wstring server;
    EXPECT_NE(ERROR_SUCCESS,
              RegReadString(HKEY_CLASSES_ROOT,
                            (L"CLSID\\" + GuidToString(CLSID_VirtualCaptureDevice)).c_str(),
                            nullptr, server));
}

TEST_F(DeviceModule, EveryBindIsAFreshFilterOnTheSameDeviceState)
{
    ASSERT_EQ(0, Regsvr("-n -i:Quillbox"));
    ComPtr<IBaseFilter> first = Bind(L"Orvastation");
    ComPtr<IBaseFilter> second = Bind(L"Orvastation");
    ComPtr<IBaseFilter> quillbox = Bind(L"Quillbox");
    ASSERT_TRUE(first && second && quillbox);
    EXPECT_NE(first.Get(), second.Get());

    ASSERT_EQ(S_OK, SetVolume(first.Get(), -17));
    EXPECT_EQ(-17, Volume(second.Get())); // like hardware: one device, one state
    EXPECT_EQ(0, Volume(quillbox.Get())); // another device keeps its own

    // Registering the module again keeps what the device holds.
    ASSERT_EQ(0, Regsvr(""));
    EXPECT_EQ(-17, Volume(Bind(L"Orvastation").Get()));
}

TEST_F(DeviceModule, StateAndCountersOutliveTheProcess)
{
    ComPtr<IBaseFilter> device = Bind(L"Orvastation");
    ASSERT_TRUE(device);
    ASSERT_EQ(S_OK, SetVolume(device.Get(), 33));
    EXPECT_EQ("bitrate=4200000 width=720 height=480 volume=33 framescaptured=0 settingsrefused=0\n",
              Probe("Orvastation get"));
    ASSERT_EQ("", Probe("Orvastation volume -8"));
    EXPECT_EQ(-8, Volume(device.Get())); // the filter bound here sees the other process's Set

    // A fast capture into a sink, stopped; its counts are the device's for everyone.
    ASSERT_EQ(ERROR_SUCCESS,
              RegWriteString(HKEY_CLASSES_ROOT, DeviceInstanceKey(kFirstDeviceName).c_str(),
                             kDeviceValuePacing, kFastPacing));
    HRESULT hr = S_OK;
    ComPtr<IBaseFilter> tee = static_cast<IBaseFilter*>(new CInfTeeFilter(nullptr, &hr));
    CTestSink* pSink = new CTestSink(&hr);
    ComPtr<IBaseFilter> sink = static_cast<IBaseFilter*>(pSink);
    ComPtr<IGraphBuilder> graph;
    ComPtr<IMediaControl> control;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                     IID_PPV_ARGS(&graph)));
    ASSERT_EQ(S_OK, graph->AddFilter(device.Get(), nullptr));
    ASSERT_EQ(S_OK, graph->AddFilter(tee.Get(), L"Infinite Tee"));
    ASSERT_EQ(S_OK, graph->AddFilter(sink.Get(), L"Sink"));
    ASSERT_EQ(S_OK, graph->ConnectDirect(FindPin(device.Get(), PINDIR_OUTPUT),
                                         FindPin(tee.Get(), PINDIR_INPUT), nullptr));
    ASSERT_EQ(S_OK, graph->ConnectDirect(FindPin(tee.Get(), PINDIR_OUTPUT), pSink->Pin(), nullptr));
    ASSERT_EQ(S_OK, graph.As(&control));
    ComPtr<IAMDroppedFrames> frames;
    ASSERT_EQ(S_OK, FindPin(device.Get(), PINDIR_OUTPUT)->QueryInterface(IID_PPV_ARGS(&frames)));
    ASSERT_EQ(S_OK, control->Run());
    LONG captured = 0;
    for (int i = 0; i < 500 && captured < 20; ++i, std::this_thread::sleep_for(10ms))
        frames->GetNumNotDropped(&captured);
    ASSERT_EQ(S_OK, control->Stop());
    frames->GetNumNotDropped(&captured);
    ASSERT_GE(captured, 20);
    EXPECT_EQ("bitrate=4200000 width=720 height=480 volume=-8 framescaptured=" +
                  std::to_string(captured) + " settingsrefused=0\n",
              Probe("Orvastation get"));
    graph->RemoveFilter(device.Get());
}
