#include "RegisteredDevice.h"

#include "FaultLayout.h"
#include "FaultText.h"
#include "GraphContext.h"
#include "MediaFiles.h"
#include "VirtualCaptureDevice.h"
#include "JoinedText.h"

#include <com/Registry.h>

#include <array>
#include <fstream>

namespace
{
class QuietReport : public UserReport
{
public:
    void ShowMessage(const std::string&) override {}
    void Diagnostic(const std::string&) override {}
};

ComPtr<IKsPropertySet> DeviceProperties()
{
    ComPtr<IKsPropertySet> pProperties;
    if (ComPtr<IBaseFilter> pDevice = registered::BindDevice())
        pDevice->QueryInterface(IID_PPV_ARGS(&pProperties));
    return pProperties;
}
} // namespace

namespace registered
{

bool RegisterModules()
{
    std::string modules;
    std::ifstream list(MARVEK_MODULES_LIST);
    for (std::string line; std::getline(list, line);)
        if (!line.empty())
        {
            modules += ' ';
            modules += media::Quote(line);
        }
    return !modules.empty() && media::Run(JoinedText({REGSVR_PATH, " -s", modules})) == 0;
}

bool SetDeviceValue(const std::wstring& name, const std::wstring& value)
{
    return RegWriteString(HKEY_CLASSES_ROOT, DeviceInstanceKey(kFirstDeviceName).c_str(),
                          name.c_str(), value) == ERROR_SUCCESS;
}

ComPtr<IBaseFilter> BindDevice()
{
    QuietReport report;
    ComPtr<IBaseFilter> pDevice;
    if (ComPtr<IMoniker> pMoniker = FindTestedDevice(report))
        pMoniker->BindToObject(nullptr, nullptr, IID_PPV_ARGS(&pDevice));
    return pDevice;
}

HRESULT InjectFaults(const std::string& faults)
{
    const ComPtr<IKsPropertySet> pProperties = DeviceProperties();
    if (!pProperties)
        return E_NOINTERFACE;
    std::array<std::uint8_t, DeviceLayout::Faults::kSize> buffer{};
    WriteFaultLayout(buffer.data(), DecodeFaults(faults));
    return pProperties->Set(PROPSETID_DeviceControl, DEVICEPROP_FAULTS, buffer.data(),
                            DWORD(buffer.size()), buffer.data(), DWORD(buffer.size()));
}

std::uint64_t StatusCounter(std::size_t offset)
{
    const ComPtr<IKsPropertySet> pProperties = DeviceProperties();
    std::array<std::uint8_t, DeviceLayout::Status::kSize> buffer{};
    DWORD cbReturned = 0;
    if (!pProperties || FAILED(pProperties->Get(PROPSETID_DeviceControl, DEVICEPROP_STATUS,
                                                buffer.data(), DWORD(buffer.size()), buffer.data(),
                                                DWORD(buffer.size()), &cbReturned)))
        return 0;
    return ReadDeviceField<std::uint64_t>(buffer.data(), offset);
}

} // namespace registered
