#pragma once
// Filter registration: merits, registration data, the filter mappers, the system
// device enumerator and self-registration.

#include "com/Moniker.h"
#include "com/Unknown.h"
#include "dshow/Uuids.h"

// Filter merits.
inline constexpr DWORD MERIT_PREFERRED = 0x800000;
inline constexpr DWORD MERIT_NORMAL = 0x600000;
inline constexpr DWORD MERIT_UNLIKELY = 0x400000;
inline constexpr DWORD MERIT_DO_NOT_USE = 0x200000;
inline constexpr DWORD MERIT_SW_COMPRESSOR = 0x100000;
inline constexpr DWORD MERIT_HW_COMPRESSOR = 0x100050;

struct REGPINTYPES
{
    const CLSID* clsMajorType;
    const CLSID* clsMinorType;
};

struct REGFILTERPINS
{
    LPWSTR strName;
    BOOL bRendered;
    BOOL bOutput;
    BOOL bZero;
    BOOL bMany;
    const CLSID* clsConnectsToFilter;
    const WCHAR* strConnectsToPin;
    UINT nMediaTypes;
    const REGPINTYPES* lpMediaType;
};

struct REGPINMEDIUM
{
    CLSID clsMedium;
    DWORD dw1;
    DWORD dw2;
};

// REGFILTERPINS2::dwFlags.
inline constexpr DWORD REG_PINFLAG_B_ZERO = 0x1;
inline constexpr DWORD REG_PINFLAG_B_RENDERER = 0x2;
inline constexpr DWORD REG_PINFLAG_B_MANY = 0x4;
inline constexpr DWORD REG_PINFLAG_B_OUTPUT = 0x8;

struct REGFILTERPINS2
{
    DWORD dwFlags;
    UINT cInstances;
    UINT nMediaTypes;
    const REGPINTYPES* lpMediaType;
    UINT nMediums;
    const REGPINMEDIUM* lpMedium;
    const CLSID* clsPinCategory;
};

/// dwVersion 1 uses cPins/rgPins, version 2 uses cPins2/rgPins2.
struct REGFILTER2
{
    DWORD dwVersion;
    DWORD dwMerit;
    union
    {
        struct
        {
            ULONG cPins;
            const REGFILTERPINS* rgPins;
        };
        struct
        {
            ULONG cPins2;
            const REGFILTERPINS2* rgPins2;
        };
    };
};

// Names the module registration data go by.
using AMOVIESETUP_MEDIATYPE = REGPINTYPES;
using AMOVIESETUP_PIN = REGFILTERPINS;

struct AMOVIESETUP_FILTER
{
    const CLSID* clsID;
    const WCHAR* strName;
    DWORD dwMerit;
    UINT nPins;
    const AMOVIESETUP_PIN* lpPin;
};

/// The second-generation filter mapper. Registrations live under
/// HKEY_CLASSES_ROOT\CLSID\{category}\Instance\{instance}; a null category means
/// CLSID_LegacyAmFilterCategory and a null instance name means the filter's CLSID
/// in text form.
struct IFilterMapper2 : IUnknown
{
    virtual HRESULT CreateCategory(REFCLSID clsidCategory, DWORD dwCategoryMerit,
                                   LPCWSTR Description) = 0;
    /// HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) when nothing was registered.
    virtual HRESULT UnregisterFilter(const CLSID* pclsidCategory, LPCOLESTR szInstance,
                                     REFCLSID Filter) = 0;
    /// Replaces an earlier registration of the same instance. ppMoniker (optional)
    /// receives a moniker for the new entry.
    virtual HRESULT RegisterFilter(REFCLSID clsidFilter, LPCWSTR Name, IMoniker** ppMoniker,
                                   const CLSID* pclsidCategory, LPCOLESTR szInstance,
                                   const REGFILTER2* prf2) = 0;
    virtual HRESULT EnumMatchingFilters(IEnumMoniker** ppEnum, DWORD dwFlags, BOOL bExactMatch,
                                        DWORD dwMerit, BOOL bInputNeeded, DWORD cInputTypes,
                                        const GUID* pInputTypes, const REGPINMEDIUM* pMedIn,
                                        const CLSID* pPinCategoryIn, BOOL bRender,
                                        BOOL bOutputNeeded, DWORD cOutputTypes,
                                        const GUID* pOutputTypes, const REGPINMEDIUM* pMedOut,
                                        const CLSID* pPinCategoryOut) = 0;

protected:
    ~IFilterMapper2() = default;
};
DECLARE_INTERFACE_IID(IFilterMapper2, IID_IFilterMapper2);

/// The first-generation filter mapper (declared for completeness; the runtime
/// provides the second generation only).
struct IFilterMapper : IUnknown
{
    virtual HRESULT RegisterFilter(CLSID clsid, LPCWSTR Name, DWORD dwMerit) = 0;
    virtual HRESULT RegisterFilterInstance(CLSID clsid, LPCWSTR Name, CLSID* MRId) = 0;
    virtual HRESULT RegisterPin(CLSID Filter, LPCWSTR Name, BOOL bRendered, BOOL bOutput,
                                BOOL bZero, BOOL bMany, CLSID ConnectsToFilter,
                                LPCWSTR ConnectsToPin) = 0;
    virtual HRESULT RegisterPinType(CLSID clsFilter, LPCWSTR strName, CLSID clsMajorType,
                                    CLSID clsSubType) = 0;
    virtual HRESULT UnregisterFilter(CLSID Filter) = 0;
    virtual HRESULT UnregisterFilterInstance(CLSID MRId) = 0;
    virtual HRESULT UnregisterPin(CLSID Filter, LPCWSTR Name) = 0;

protected:
    ~IFilterMapper() = default;
};
DECLARE_INTERFACE_IID(IFilterMapper, IID_IFilterMapper);

struct ICreateDevEnum : IUnknown
{
    /// S_FALSE (and a null enumerator) when the category has no entries.
    virtual HRESULT CreateClassEnumerator(REFCLSID clsidDeviceClass, IEnumMoniker** ppEnumMoniker,
                                          DWORD dwFlags) = 0;

protected:
    ~ICreateDevEnum() = default;
};
DECLARE_INTERFACE_IID(ICreateDevEnum, IID_ICreateDevEnum);

struct IAMovieSetup : IUnknown
{
    virtual HRESULT Register() = 0;
    virtual HRESULT Unregister() = 0;

protected:
    ~IAMovieSetup() = default;
};
DECLARE_INTERFACE_IID(IAMovieSetup, IID_IAMovieSetup);
