// Registers the runtime's own classes with the COM stand-in when the runtime
// library loads, so that they are created without any registry entry.

#include "CaptureGraphBuilder.h"
#include "DeviceEnumerator.h"
#include "FilterGraph.h"
#include "FilterMapper.h"
#include "SystemClock.h"
#include "com/ComRuntime.h"
#include "dshow/Uuids.h"

namespace graph
{

namespace
{

/// Class factory for a runtime class; lives for the whole process.
template <class T> class BuiltinFactory final : public IClassFactory
{
public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = (riid == IID_IUnknown || riid == IID_IClassFactory)
                   ? static_cast<IClassFactory*>(this)
                   : nullptr;
        return *ppv ? S_OK : E_NOINTERFACE;
    }
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }

    HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) override
    {
        if (!ppvObject)
            return E_POINTER;
        *ppvObject = nullptr;
        if (pUnkOuter)
            return CLASS_E_NOAGGREGATION;
        ComPtr<T> object = MakeComObject<T>();
        return object->QueryInterface(riid, ppvObject);
    }
    HRESULT LockServer(BOOL) override { return S_OK; }
};

template <class T> void RegisterBuiltin(REFCLSID clsid)
{
    static BuiltinFactory<T> factory;
    DWORD cookie = 0;
    CoRegisterClassObject(clsid, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie);
}

[[maybe_unused]] const bool g_registered = []
{
    RegisterBuiltin<FilterGraph>(CLSID_FilterGraph);
    RegisterBuiltin<FilterGraph>(CLSID_FilterGraphNoThread);
    RegisterBuiltin<CaptureGraphBuilder>(CLSID_CaptureGraphBuilder2);
    RegisterBuiltin<DeviceEnumerator>(CLSID_SystemDeviceEnum);
    RegisterBuiltin<FilterMapper>(CLSID_FilterMapper2);
    RegisterBuiltin<SystemClock>(CLSID_SystemClock);
    return true;
}();

} // namespace

} // namespace graph
