// kstest devices
//
// Lists the video input devices by friendly name, marking the one the utility
// picks (the first named "Orvastation" or "Quillbox" in enumeration order).

#include "Commands.h"
#include "ComScope.h"
#include "GraphContext.h"

#include <dshow/dshow.h>

#include <cstdio>
#include <iostream>

int RunDevicesCommand(const std::vector<std::string>& args)
{
    if (!args.empty())
        return UsageError("devices takes no arguments");
    ComScope com;
    ComPtr<ICreateDevEnum> pDevices;
    ComPtr<IEnumMoniker> pMonikers;
    if (FAILED(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&pDevices))) ||
        pDevices->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, &pMonikers, 0) != S_OK)
    {
        std::cerr << "kstest: Sorry, you have no video capture hardware\n";
        return kExitFailure;
    }
    bool bPicked = false;
    ComPtr<IMoniker> pMoniker;
    while (pMonikers->Next(1, &pMoniker, nullptr) == S_OK)
    {
        const std::string name = FriendlyNameOf(pMoniker.Get());
        const bool bTested = !bPicked && (name == "Orvastation" || name == "Quillbox");
        bPicked = bPicked || bTested;
        std::printf("%s %s\n", bTested ? "*" : " ", name.c_str());
    }
    if (!bPicked)
    {
        std::cerr << "kstest: Marvek/Tellin Device not Found\n";
        return kExitFailure;
    }
    std::printf("(* the device the utility uses)\n");
    return kExitSuccess;
}
