#pragma once
// The filter mapper: writes filter registrations into the registry by category.
// Registering the same instance again replaces the earlier entry.

#include "com/ComObject.h"
#include "dshow/Registration.h"

namespace graph
{

class FilterMapper final : public ComObject<IFilterMapper2>
{
public:
    HRESULT CreateCategory(REFCLSID clsidCategory, DWORD dwCategoryMerit,
                           LPCWSTR Description) override;
    HRESULT UnregisterFilter(const CLSID* pclsidCategory, LPCOLESTR szInstance,
                             REFCLSID Filter) override;
    HRESULT RegisterFilter(REFCLSID clsidFilter, LPCWSTR Name, IMoniker** ppMoniker,
                           const CLSID* pclsidCategory, LPCOLESTR szInstance,
                           const REGFILTER2* prf2) override;
    /// Not offered: the graph manager never looks filters up by media type.
    HRESULT EnumMatchingFilters(IEnumMoniker** ppEnum, DWORD dwFlags, BOOL bExactMatch,
                                DWORD dwMerit, BOOL bInputNeeded, DWORD cInputTypes,
                                const GUID* pInputTypes, const REGPINMEDIUM* pMedIn,
                                const CLSID* pPinCategoryIn, BOOL bRender, BOOL bOutputNeeded,
                                DWORD cOutputTypes, const GUID* pOutputTypes,
                                const REGPINMEDIUM* pMedOut, const CLSID* pPinCategoryOut) override;
};

} // namespace graph
