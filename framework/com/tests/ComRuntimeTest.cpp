#include "com/ComRuntime.h"
#include "TemporaryRegistry.h"
#include "TestModule.h"
#include "com/ComObject.h"
#include "com/Registry.h"

#include <gtest/gtest.h>

#include <thread>

namespace
{

void RegisterServer(REFCLSID clsid, const std::string& modulePath)
{
    std::wstring key = L"CLSID\\" + GuidToString(clsid) + L"\\InprocServer32";
    std::wstring path(modulePath.begin(), modulePath.end());
    ASSERT_EQ(RegSetValueW(HKEY_CLASSES_ROOT, key.c_str(), REG_SZ, path.c_str(), 0), ERROR_SUCCESS);
}

DEFINE_GUID(CLSID_Unregistered, 0x11111111, 0x2222, 0x3333, 0x44, 0x44, 0x55, 0x55, 0x55, 0x55,
            0x55, 0x55);
DEFINE_GUID(CLSID_OtherClass, 0x11111111, 0x2222, 0x3333, 0x44, 0x44, 0x55, 0x55, 0x55, 0x55, 0x55,
            0x56);

class ComRuntimeTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_EQ(CoInitialize(nullptr), S_OK); }
    void TearDown() override { CoUninitialize(); }

    TemporaryRegistry m_registry;
};

} // namespace

TEST_F(ComRuntimeTest, CreatesThroughTheRegistryAndUnloadsWhenUnused)
{
    RegisterServer(CLSID_TestModuleObject, TEST_MODULE_PATH);
    std::size_t loadedBefore = CoLoadedModuleCount();

    ComPtr<IPersist> object;
    ASSERT_EQ(CoCreateInstance(CLSID_TestModuleObject, nullptr, CLSCTX_INPROC_SERVER,
                               IID_PPV_ARGS(&object)),
              S_OK);
    CLSID clsid{};
    EXPECT_EQ(object->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_TestModuleObject);
    EXPECT_EQ(CoLoadedModuleCount(), loadedBefore + 1);

    CoFreeUnusedLibraries(); // an object is alive: the module stays
    EXPECT_EQ(CoLoadedModuleCount(), loadedBefore + 1);

    ComPtr<IClassFactory> factory;
    ASSERT_EQ(CoGetClassObject(CLSID_TestModuleObject, CLSCTX_INPROC_SERVER, nullptr,
                               IID_PPV_ARGS(&factory)),
              S_OK);
    object.Reset();
    factory->LockServer(TRUE);
    factory.Reset();
    CoFreeUnusedLibraries(); // a server lock keeps it
    EXPECT_EQ(CoLoadedModuleCount(), loadedBefore + 1);

    ASSERT_EQ(CoGetClassObject(CLSID_TestModuleObject, CLSCTX_INPROC_SERVER, nullptr,
                               IID_PPV_ARGS(&factory)),
              S_OK);
    factory->LockServer(FALSE);
    factory.Reset();
    CoFreeUnusedLibraries();
    EXPECT_EQ(CoLoadedModuleCount(), loadedBefore);

    // Loading again after the unload works.
    EXPECT_EQ(CoCreateInstance(CLSID_TestModuleObject, nullptr, CLSCTX_INPROC_SERVER,
                               IID_PPV_ARGS(&object)),
              S_OK);
}

TEST_F(ComRuntimeTest, FailuresAreTold)
{
    ComPtr<IUnknown> object;
    EXPECT_EQ(
        CoCreateInstance(CLSID_Unregistered, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object)),
        REGDB_E_CLASSNOTREG);

    RegisterServer(CLSID_OtherClass, TEST_MODULE_PATH);
    EXPECT_EQ(
        CoCreateInstance(CLSID_OtherClass, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object)),
        CLASS_E_CLASSNOTAVAILABLE);

    RegisterServer(CLSID_Unregistered, (m_registry.Folder() / "missing.so").string());
    EXPECT_EQ(
        CoCreateInstance(CLSID_Unregistered, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object)),
        HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND));

    RegisterServer(CLSID_TestModuleObject, TEST_MODULE_PATH);
    ComPtr<IClassFactory> wrongInterface;
    EXPECT_EQ(CoCreateInstance(CLSID_TestModuleObject, nullptr, CLSCTX_INPROC_SERVER,
                               IID_PPV_ARGS(&wrongInterface)),
              E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    CoFreeUnusedLibraries();
}

TEST_F(ComRuntimeTest, InProcessRegistrationComesFirstAndCanBeRevoked)
{
    class Factory final : public ComObject<IClassFactory>
    {
    public:
        HRESULT CreateInstance(IUnknown*, REFIID riid, void** ppv) override
        {
            return QueryInterface(riid, ppv); // the factory stands in as the object
        }
        HRESULT LockServer(BOOL) override { return S_OK; }
    };
    ComPtr<Factory> factory = MakeComObject<Factory>();
    DWORD cookie = 0;
    ASSERT_EQ(CoRegisterClassObject(CLSID_Unregistered, factory.Get(), CLSCTX_INPROC_SERVER,
                                    REGCLS_MULTIPLEUSE, &cookie),
              S_OK);
    ComPtr<IClassFactory> created;
    ASSERT_EQ(
        CoCreateInstance(CLSID_Unregistered, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&created)),
        S_OK);
    EXPECT_EQ(created.Get(), static_cast<IClassFactory*>(factory.Get()));

    EXPECT_EQ(CoRevokeClassObject(cookie), S_OK);
    EXPECT_EQ(CoRevokeClassObject(cookie), CO_E_OBJNOTREG);
    EXPECT_EQ(
        CoCreateInstance(CLSID_Unregistered, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&created)),
        REGDB_E_CLASSNOTREG);
}

TEST(ComInitialization, CountedPerThreadWithTheImplicitMultithreadedApartment)
{
    TemporaryRegistry registry;
    ComPtr<IUnknown> object;
    // Nobody has initialised COM.
    EXPECT_EQ(
        CoCreateInstance(CLSID_Unregistered, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object)),
        CO_E_NOTINITIALIZED);

    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE);
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED), RPC_E_CHANGED_MODE);

    // Another thread may create objects while this one holds COM initialised.
    HRESULT fromOtherThread = S_OK;
    std::thread(
        [&]
        {
            fromOtherThread = CoCreateInstance(CLSID_Unregistered, nullptr, CLSCTX_INPROC_SERVER,
                                               IID_PPV_ARGS(&object));
        })
        .join();
    EXPECT_EQ(fromOtherThread, REGDB_E_CLASSNOTREG);

    CoUninitialize();
    CoUninitialize();
    CoUninitialize(); // unbalanced: ignored
    EXPECT_EQ(
        CoCreateInstance(CLSID_Unregistered, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object)),
        CO_E_NOTINITIALIZED);
}
