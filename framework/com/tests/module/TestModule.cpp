// A minimal in-process server used by the runtime tests: one class whose objects
// answer IPersist, and the four module exports. Objects and server locks are
// counted so that DllCanUnloadNow can be checked.

#include "TestModule.h"

#include "com/ComObject.h"

#include <atomic>

namespace
{

std::atomic<long> g_liveObjects{0};
std::atomic<long> g_serverLocks{0};

class TestObject final : public ComObject<IPersist>
{
public:
    TestObject() { ++g_liveObjects; }
    ~TestObject() override { --g_liveObjects; }

    HRESULT GetClassID(CLSID* pClassID) override
    {
        if (!pClassID)
            return E_POINTER;
        *pClassID = CLSID_TestModuleObject;
        return S_OK;
    }
};

class TestFactory final : public ComObject<IClassFactory>
{
public:
    TestFactory() { ++g_liveObjects; }
    ~TestFactory() override { --g_liveObjects; }

    HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) override
    {
        if (!ppvObject)
            return E_POINTER;
        *ppvObject = nullptr;
        if (pUnkOuter)
            return CLASS_E_NOAGGREGATION;
        ComPtr<TestObject> object = MakeComObject<TestObject>();
        return object->QueryInterface(riid, ppvObject);
    }

    HRESULT LockServer(BOOL fLock) override
    {
        fLock ? ++g_serverLocks : --g_serverLocks;
        return S_OK;
    }
};

} // namespace

extern "C" TEST_MODULE_EXPORT HRESULT DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (rclsid != CLSID_TestModuleObject)
        return CLASS_E_CLASSNOTAVAILABLE;
    ComPtr<TestFactory> factory = MakeComObject<TestFactory>();
    return factory->QueryInterface(riid, ppv);
}

extern "C" TEST_MODULE_EXPORT HRESULT DllCanUnloadNow()
{
    return g_liveObjects == 0 && g_serverLocks == 0 ? S_OK : S_FALSE;
}

extern "C" TEST_MODULE_EXPORT HRESULT DllRegisterServer()
{
    return S_OK;
}

extern "C" TEST_MODULE_EXPORT HRESULT DllUnregisterServer()
{
    return S_OK;
}
