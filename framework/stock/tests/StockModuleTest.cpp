// The stock module registered into a temporary registry: each filter is created
// through COM under the class identifier the platform documents for it.

#include "MediaFiles.h"

#include <com/ComPtr.h>
#include <com/ComRuntime.h>
#include <dshow/dshow.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <string>
#include <vector>

namespace
{
using EntryPoint = HRESULT (*)();

HRESULT CallModule(const char* pszEntryPoint)
{
    void* pModule = dlopen(STOCK_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!pModule)
        return E_FAIL;
    auto entry = reinterpret_cast<EntryPoint>(dlsym(pModule, pszEntryPoint));
    const HRESULT hr = entry ? entry() : E_FAIL;
    dlclose(pModule);
    return hr;
}

std::vector<std::wstring> PinNames(IBaseFilter* pFilter)
{
    std::vector<std::wstring> names;
    ComPtr<IEnumPins> pEnum;
    pFilter->EnumPins(&pEnum);
    ComPtr<IPin> pPin;
    while (pEnum->Next(1, &pPin, nullptr) == S_OK)
    {
        PIN_INFO info{};
        pPin->QueryPinInfo(&info);
        if (info.pFilter)
            info.pFilter->Release();
        names.push_back(info.achName);
    }
    return names;
}
} // namespace

TEST(StockModule, EachFilterIsCreatedByItsPlatformClass)
{
    const std::string registry = media::ScratchPath("stock-registry.txt");
    setenv("MARVEK_REGISTRY", registry.c_str(), 1);
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    ASSERT_EQ(S_OK, CallModule("DllRegisterServer"));

    const struct
    {
        const GUID& clsid;
        std::vector<std::wstring> pins; // before any connection
    } filters[] = {
        {CLSID_InfTee, {L"Input", L"Output1"}},
        {CLSID_MPEG1Splitter, {L"Input"}},
        {CLSID_CMpegAudioCodec, {L"Input", L"Output"}},
        {CLSID_ACMWrapper, {L"Input", L"Output"}},
        {CLSID_MPEG2Demultiplexer, {L"MPEG-2 Stream"}},
        {CLSID_CMpegVideoCodec, {L"Video Input", L"Video Output"}},
        {CLSID_VideoRenderer, {L"Input"}},
        {CLSID_DSoundRender, {L"Audio Input pin (rendered)"}},
    };
    for (const auto& filter : filters)
    {
        ComPtr<IBaseFilter> pFilter;
        ASSERT_EQ(S_OK, CoCreateInstance(filter.clsid, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IBaseFilter, reinterpret_cast<void**>(&pFilter)));
        EXPECT_EQ(filter.pins, PinNames(pFilter.Get()));
    }

    ASSERT_EQ(S_OK, CallModule("DllUnregisterServer"));
    ComPtr<IBaseFilter> pGone;
    EXPECT_EQ(REGDB_E_CLASSNOTREG,
              CoCreateInstance(CLSID_InfTee, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                               reinterpret_cast<void**>(&pGone)));
    CoUninitialize();
    std::filesystem::remove(registry);
}
