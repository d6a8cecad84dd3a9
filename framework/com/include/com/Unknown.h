#pragma once
// IUnknown, IClassFactory and the interface-identifier trait.
//
// Interfaces are abstract classes with pure virtual methods. Each interface is
// tied to its IID with DECLARE_INTERFACE_IID so that generic code (ComPtr,
// IID_PPV_ARGS) can find the identifier from the type.

#include "com/Guid.h"
#include "com/HResult.h"
#include "com/Types.h"

#include <type_traits>

/// Maps an interface type to its IID; specialised by DECLARE_INTERFACE_IID.
template <class Interface> struct InterfaceId;

#define DECLARE_INTERFACE_IID(Interface, iid)                                                      \
    template <> struct InterfaceId<Interface>                                                      \
    {                                                                                              \
        static constexpr const GUID& value = iid;                                                  \
    }

/// The IID of an interface type.
template <class Interface> constexpr const GUID& IidOf()
{
    return InterfaceId<Interface>::value;
}

/// Expands to "IID of *pp, (void**)pp" for QueryInterface-style calls.
#define IID_PPV_ARGS(pp)                                                                           \
    IidOf<std::remove_cv_t<std::remove_pointer_t<std::remove_reference_t<decltype(*(pp))>>>>(),    \
        reinterpret_cast<void**>(pp)

DEFINE_GUID(IID_IUnknown, 0x00000000, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
            0x46);
DEFINE_GUID(IID_IClassFactory, 0x00000001, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
            0x46);
DEFINE_GUID(IID_IPersist, 0x0000010C, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
            0x46);

struct IUnknown
{
    virtual HRESULT QueryInterface(REFIID riid, void** ppvObject) = 0;
    virtual ULONG AddRef() = 0;
    virtual ULONG Release() = 0;

protected:
    ~IUnknown() = default;
};
DECLARE_INTERFACE_IID(IUnknown, IID_IUnknown);

using LPUNKNOWN = IUnknown*;

struct IClassFactory : IUnknown
{
    virtual HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) = 0;
    virtual HRESULT LockServer(BOOL fLock) = 0;

protected:
    ~IClassFactory() = default;
};
DECLARE_INTERFACE_IID(IClassFactory, IID_IClassFactory);

struct IPersist : IUnknown
{
    virtual HRESULT GetClassID(CLSID* pClassID) = 0;

protected:
    ~IPersist() = default;
};
DECLARE_INTERFACE_IID(IPersist, IID_IPersist);

// Signatures of the four functions every module exports (extern "C").
using DllGetClassObjectFn = HRESULT (*)(REFCLSID rclsid, REFIID riid, void** ppv);
using DllCanUnloadNowFn = HRESULT (*)();
using DllRegisterServerFn = HRESULT (*)();
using DllUnregisterServerFn = HRESULT (*)();
// What a module may export besides: installation steps chosen by a command line
// (regsvr -i).
using DllInstallFn = HRESULT (*)(BOOL bInstall, LPCWSTR pszCmdLine);
