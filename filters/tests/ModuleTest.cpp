// The module frames: exports, class objects, filters with their pins,
// unloading, and registration into a temporary registry.

#include "LmrFileReaderUUIDS.h"
#include "LmrFileWriterUUIDS.h"
#include "OstrelMuxerUUIDS.h"
#include "ZentraxUUIDS.h"

#include <dshow/dshow.h>
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace
{
// The tests use a registry of their own, set before its first use and removed
// at exit.
struct TemporaryRegistry
{
    TemporaryRegistry() { setenv("MARVEK_REGISTRY", path.c_str(), 1); }
    ~TemporaryRegistry() { std::filesystem::remove(path); }

    const std::filesystem::path path =
        std::filesystem::temp_directory_path() /
        ("module-test-registry-" + std::to_string(getpid()) + ".txt");
} g_Registry;

struct ModuleInfo
{
    const char* path;
    const CLSID* clsid;
    const wchar_t* friendlyName;
    std::vector<std::wstring> pins;
};

std::vector<ModuleInfo> Modules()
{
    std::vector<ModuleInfo> modules;
#ifdef MODULE_OstrelMuxer
    modules.push_back({MODULE_OstrelMuxer,
                       &CLSID_OstrelMuxer,
                       L"Ostrel Muxer",
                       {L"Video In", L"Audio In", L"8888CAFE Output"}});
#endif
#ifdef MODULE_Zentrax
    modules.push_back({MODULE_Zentrax,
                       &CLSID_Zentrax,
                       L"Ostrel ZENTRAX",
                       {L"Audio In", L"DeadCafe Out", L"Video In", L"Xform Out"}});
#endif
#ifdef MODULE_LmrFileWriter
    modules.push_back(
        {MODULE_LmrFileWriter, &CLSID_LmrFileWriter, L"Lumaro File Writer", {L"Input"}});
#endif
#ifdef MODULE_LmrFileReader
    // The reader has its pin only after a successful Load.
    modules.push_back(
        {MODULE_LmrFileReader, &CLSID_LmrFileReader, L"Lumaro Multi File Reader", {}});
#endif
    return modules;
}

std::string NameOf(const ::testing::TestParamInfo<ModuleInfo>& info)
{
    return std::filesystem::path(info.param.path).stem().string();
}

std::set<std::string> ExportedSymbols(const char* path)
{
    std::set<std::string> symbols;
    const std::string command = std::string("nm -D --defined-only '") + path + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return symbols;
    char line[512];
    while (fgets(line, sizeof line, pipe))
    {
        std::string text(line);
        const auto space = text.find_last_of(' ');
        symbols.insert(text.substr(space + 1, text.find_last_not_of("\r\n") - space));
    }
    pclose(pipe);
    return symbols;
}

std::vector<std::wstring> PinNames(IBaseFilter* pFilter)
{
    std::vector<std::wstring> names;
    ComPtr<IEnumPins> pins;
    if (FAILED(pFilter->EnumPins(&pins)))
        return names;
    IPin* pPin = nullptr;
    while (pins->Next(1, &pPin, nullptr) == S_OK)
    {
        PIN_INFO info{};
        pPin->QueryPinInfo(&info);
        names.emplace_back(info.achName);
        info.pFilter->Release();
        pPin->Release();
    }
    return names;
}

std::wstring DefaultValue(const std::wstring& key)
{
    WCHAR value[512] = {};
    DWORD cb = sizeof value;
    if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &cb) !=
        ERROR_SUCCESS)
        return L"<missing>";
    return value;
}

class ModuleTest : public ::testing::TestWithParam<ModuleInfo>
{
protected:
    void SetUp() override
    {
        m_hModule = dlopen(GetParam().path, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(nullptr, m_hModule) << dlerror();
        m_GetClassObject =
            reinterpret_cast<DllGetClassObjectFn>(dlsym(m_hModule, "DllGetClassObject"));
        m_CanUnloadNow = reinterpret_cast<DllCanUnloadNowFn>(dlsym(m_hModule, "DllCanUnloadNow"));
        m_Register = reinterpret_cast<DllRegisterServerFn>(dlsym(m_hModule, "DllRegisterServer"));
        m_Unregister =
            reinterpret_cast<DllUnregisterServerFn>(dlsym(m_hModule, "DllUnregisterServer"));
        ASSERT_TRUE(m_GetClassObject && m_CanUnloadNow && m_Register && m_Unregister);
    }

    void TearDown() override
    {
        if (m_hModule)
            dlclose(m_hModule);
    }

    ComPtr<IBaseFilter> CreateThroughFactory()
    {
        ComPtr<IClassFactory> factory;
        EXPECT_EQ(S_OK, m_GetClassObject(*GetParam().clsid, IID_IClassFactory,
                                         reinterpret_cast<void**>(&factory)));
        ComPtr<IBaseFilter> filter;
        if (factory)
        {
            EXPECT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IBaseFilter,
                                                    reinterpret_cast<void**>(&filter)));
        }
        return filter;
    }

    void* m_hModule = nullptr;
    DllGetClassObjectFn m_GetClassObject = nullptr;
    DllCanUnloadNowFn m_CanUnloadNow = nullptr;
    DllRegisterServerFn m_Register = nullptr;
    DllUnregisterServerFn m_Unregister = nullptr;
};
} // namespace

TEST_P(ModuleTest, ExportsExactlyTheFourEntryPoints)
{
    const std::set<std::string> expected{"DllCanUnloadNow", "DllGetClassObject",
                                         "DllRegisterServer", "DllUnregisterServer"};
    EXPECT_EQ(expected, ExportedSymbols(GetParam().path));
}

TEST_P(ModuleTest, HandsOutAFactoryOnlyForItsOwnClass)
{
    ComPtr<IUnknown> object;
    for (const ModuleInfo& other : Modules())
    {
        const HRESULT expected = other.clsid == GetParam().clsid ? S_OK : CLASS_E_CLASSNOTAVAILABLE;
        EXPECT_EQ(expected, m_GetClassObject(*other.clsid, IID_IClassFactory,
                                             reinterpret_cast<void**>(&object)));
    }
    EXPECT_EQ(E_NOINTERFACE, m_GetClassObject(*GetParam().clsid, IID_IBaseFilter,
                                              reinterpret_cast<void**>(&object)));
}

TEST_P(ModuleTest, CreatesTheFilterWithItsPinsAndUnloadsOnceReleased)
{
    EXPECT_EQ(S_OK, m_CanUnloadNow());
    {
        ComPtr<IBaseFilter> filter = CreateThroughFactory();
        ASSERT_TRUE(filter);
        EXPECT_EQ(GetParam().pins, PinNames(filter.Get()));
        EXPECT_EQ(S_FALSE, m_CanUnloadNow());
    }
    EXPECT_EQ(S_OK, m_CanUnloadNow());

    ComPtr<IClassFactory> factory;
    ASSERT_EQ(S_OK, m_GetClassObject(*GetParam().clsid, IID_IClassFactory,
                                     reinterpret_cast<void**>(&factory)));
    EXPECT_EQ(S_FALSE, m_CanUnloadNow()); // a factory is alive
    ComPtr<IBaseFilter> aggregated;
    EXPECT_EQ(E_NOINTERFACE,
              factory->CreateInstance(reinterpret_cast<IUnknown*>(factory.Get()), IID_IBaseFilter,
                                      reinterpret_cast<void**>(&aggregated)));
    factory->LockServer(TRUE);
    factory.Reset();
    EXPECT_EQ(S_FALSE, m_CanUnloadNow()); // the module is locked
    ASSERT_EQ(S_OK, m_GetClassObject(*GetParam().clsid, IID_IClassFactory,
                                     reinterpret_cast<void**>(&factory)));
    factory->LockServer(FALSE);
    factory.Reset();
    EXPECT_EQ(S_OK, m_CanUnloadNow());
}

TEST_P(ModuleTest, RegistersOnceAndCreatesThroughTheRegistry)
{
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    ComPtr<IFilterMapper2> mapper;
    if (FAILED(CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IFilterMapper2, reinterpret_cast<void**>(&mapper))))
    {
        CoUninitialize();
        GTEST_SKIP() << "the filter mapper is not built yet";
    }
    mapper.Reset();

    const std::wstring classKey = L"CLSID\\" + GuidToString(*GetParam().clsid);
    const std::wstring instanceKey = L"CLSID\\" + GuidToString(CLSID_LegacyAmFilterCategory) +
                                     L"\\Instance\\" + GuidToString(*GetParam().clsid);
    ASSERT_EQ(S_OK, m_Register());
    ASSERT_EQ(S_OK, m_Register());
    EXPECT_EQ(GetParam().friendlyName, DefaultValue(classKey));
    EXPECT_EQ(std::filesystem::canonical(GetParam().path).wstring(),
              DefaultValue(classKey + L"\\InprocServer32"));
    WCHAR model[16] = {};
    DWORD cb = sizeof model;
    EXPECT_EQ(ERROR_SUCCESS,
              RegGetValueW(HKEY_CLASSES_ROOT, (classKey + L"\\InprocServer32").c_str(),
                           L"ThreadingModel", RRF_RT_REG_SZ, nullptr, model, &cb));
    EXPECT_STREQ(L"Both", model);

    HKEY hInstances = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyW(
                  HKEY_CLASSES_ROOT,
                  (L"CLSID\\" + GuidToString(CLSID_LegacyAmFilterCategory) + L"\\Instance").c_str(),
                  &hInstances));
    int cRegistrations = 0;
    WCHAR name[64];
    for (DWORD i = 0; RegEnumKeyW(hInstances, i, name, 64) == ERROR_SUCCESS; ++i)
        cRegistrations += GuidToString(*GetParam().clsid) == name ? 1 : 0;
    RegCloseKey(hInstances);
    EXPECT_EQ(1, cRegistrations);

    {
        ComPtr<IBaseFilter> filter;
        ASSERT_EQ(S_OK, CoCreateInstance(*GetParam().clsid, nullptr, CLSCTX_INPROC_SERVER,
                                         IID_IBaseFilter, reinterpret_cast<void**>(&filter)));
        EXPECT_EQ(GetParam().pins, PinNames(filter.Get()));
    }
    CoFreeUnusedLibraries();

    ASSERT_EQ(S_OK, m_Unregister());
    EXPECT_EQ(L"<missing>", DefaultValue(classKey));
    HKEY hKey = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyW(HKEY_CLASSES_ROOT, instanceKey.c_str(), &hKey));
    EXPECT_EQ(S_OK, m_Unregister()); // nothing left to remove
    CoUninitialize();
}

INSTANTIATE_TEST_SUITE_P(Modules, ModuleTest, ::testing::ValuesIn(Modules()), NameOf);
