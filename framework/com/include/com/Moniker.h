#pragma once
// Monikers, bind contexts, the running object table and property bags: the
// subset the device enumerator and the graph's table entry use.
//
// The running object table is per process: it holds the objects registered in this
// process and is reachable through GetRunningObjectTable.

#include "com/Unknown.h"
#include "com/Variant.h"

DEFINE_GUID(IID_IBindCtx, 0x0000000E, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
            0x46);
DEFINE_GUID(IID_IMoniker, 0x0000000F, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
            0x46);
DEFINE_GUID(IID_IRunningObjectTable, 0x00000010, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00,
            0x00, 0x46);
DEFINE_GUID(IID_IEnumMoniker, 0x00000102, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
            0x46);
DEFINE_GUID(IID_IPropertyBag, 0x55272A00, 0x42CB, 0x11CE, 0x81, 0x35, 0x00, 0xAA, 0x00, 0x4B, 0xB8,
            0x51);
DEFINE_GUID(IID_IPersistPropertyBag, 0x37D84F60, 0x42CB, 0x11CE, 0x81, 0x35, 0x00, 0xAA, 0x00, 0x4B,
            0xB8, 0x51);

struct IMoniker;
struct IEnumMoniker;
struct IErrorLog; // never defined; always passed as null

// Register flags of IRunningObjectTable.
inline constexpr DWORD ROTFLAGS_REGISTRATIONKEEPSALIVE = 0x1;
inline constexpr DWORD ROTFLAGS_ALLOWANYCLIENT = 0x2;

struct IRunningObjectTable : IUnknown
{
    /// Holds a reference to punkObject until Revoke. A name registered already
    /// gives MK_S_MONIKERALREADYREGISTERED with a new cookie.
    virtual HRESULT Register(DWORD grfFlags, IUnknown* punkObject, IMoniker* pmkObjectName,
                             DWORD* pdwRegister) = 0;
    /// E_INVALIDARG for an unknown cookie.
    virtual HRESULT Revoke(DWORD dwRegister) = 0;
    /// S_OK when registered, else S_FALSE.
    virtual HRESULT IsRunning(IMoniker* pmkObjectName) = 0;
    /// MK_E_UNAVAILABLE when not registered.
    virtual HRESULT GetObject(IMoniker* pmkObjectName, IUnknown** ppunkObject) = 0;
    virtual HRESULT EnumRunning(IEnumMoniker** ppenumMoniker) = 0;

protected:
    ~IRunningObjectTable() = default;
};
DECLARE_INTERFACE_IID(IRunningObjectTable, IID_IRunningObjectTable);

struct IBindCtx : IUnknown
{
    virtual HRESULT GetRunningObjectTable(IRunningObjectTable** pprot) = 0;

protected:
    ~IBindCtx() = default;
};
DECLARE_INTERFACE_IID(IBindCtx, IID_IBindCtx);

struct IMoniker : IUnknown
{
    virtual HRESULT BindToObject(IBindCtx* pbc, IMoniker* pmkToLeft, REFIID riidResult,
                                 void** ppvResult) = 0;
    virtual HRESULT BindToStorage(IBindCtx* pbc, IMoniker* pmkToLeft, REFIID riid,
                                  void** ppvObj) = 0;
    /// The display name, allocated with CoTaskMemAlloc.
    virtual HRESULT GetDisplayName(IBindCtx* pbc, IMoniker* pmkToLeft,
                                   LPOLESTR* ppszDisplayName) = 0;
    /// S_OK when both name the same thing, else S_FALSE.
    virtual HRESULT IsEqual(IMoniker* pmkOtherMoniker) = 0;
    virtual HRESULT Hash(DWORD* pdwHash) = 0;
    virtual HRESULT IsRunning(IBindCtx* pbc, IMoniker* pmkToLeft, IMoniker* pmkNewlyRunning) = 0;

protected:
    ~IMoniker() = default;
};
DECLARE_INTERFACE_IID(IMoniker, IID_IMoniker);

struct IEnumMoniker : IUnknown
{
    /// S_OK when celt monikers were returned, else S_FALSE.
    virtual HRESULT Next(ULONG celt, IMoniker** rgelt, ULONG* pceltFetched) = 0;
    virtual HRESULT Skip(ULONG celt) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumMoniker** ppenum) = 0;

protected:
    ~IEnumMoniker() = default;
};
DECLARE_INTERFACE_IID(IEnumMoniker, IID_IEnumMoniker);

struct IPropertyBag : IUnknown
{
    /// pVar->vt names the wanted type (VT_EMPTY: the stored type). Unknown name:
    /// E_INVALIDARG.
    virtual HRESULT Read(LPCOLESTR pszPropName, VARIANT* pVar, IErrorLog* pErrorLog) = 0;
    virtual HRESULT Write(LPCOLESTR pszPropName, VARIANT* pVar) = 0;

protected:
    ~IPropertyBag() = default;
};
DECLARE_INTERFACE_IID(IPropertyBag, IID_IPropertyBag);

/// An object that initialises itself from a property bag. A device moniker's
/// BindToObject hands the new object the device's own bag through Load, so one
/// class can serve several registered devices.
struct IPersistPropertyBag : IPersist
{
    virtual HRESULT InitNew() = 0;
    virtual HRESULT Load(IPropertyBag* pPropBag, IErrorLog* pErrorLog) = 0;
    virtual HRESULT Save(IPropertyBag* pPropBag, BOOL fClearDirty, BOOL fSaveAllProperties) = 0;

protected:
    ~IPersistPropertyBag() = default;
};
DECLARE_INTERFACE_IID(IPersistPropertyBag, IID_IPersistPropertyBag);

/// An item moniker: display name is lpszDelim followed by lpszItem.
HRESULT CreateItemMoniker(LPCOLESTR lpszDelim, LPCOLESTR lpszItem, IMoniker** ppmk);
HRESULT CreateBindCtx(DWORD reserved, IBindCtx** ppbc);
HRESULT GetRunningObjectTable(DWORD reserved, IRunningObjectTable** pprot);
