#include "ItemMoniker.h"

#include "MonikerNames.h"

namespace com
{

namespace
{

ComPtr<IRunningObjectTable> TableOf(IBindCtx* pbc)
{
    ComPtr<IRunningObjectTable> table;
    if (pbc)
        pbc->GetRunningObjectTable(&table);
    else
        ::GetRunningObjectTable(0, &table);
    return table;
}

} // namespace

ItemMoniker::ItemMoniker(std::wstring delimiter, std::wstring item)
    : m_displayName(delimiter + item)
{
}

HRESULT ItemMoniker::BindToObject(IBindCtx* pbc, IMoniker*, REFIID riidResult, void** ppvResult)
{
    if (!ppvResult)
        return E_POINTER;
    *ppvResult = nullptr;
    ComPtr<IRunningObjectTable> table = TableOf(pbc);
    ComPtr<IUnknown> object;
    if (!table || FAILED(table->GetObject(this, &object)))
        return MK_E_NOOBJECT;
    return object->QueryInterface(riidResult, ppvResult);
}

HRESULT ItemMoniker::BindToStorage(IBindCtx*, IMoniker*, REFIID, void** ppvObj)
{
    if (ppvObj)
        *ppvObj = nullptr;
    return MK_E_NOSTORAGE;
}

HRESULT ItemMoniker::GetDisplayName(IBindCtx*, IMoniker*, LPOLESTR* ppszDisplayName)
{
    return CopyToTaskMemString(m_displayName, ppszDisplayName);
}

HRESULT ItemMoniker::IsEqual(IMoniker* pmkOtherMoniker)
{
    return CompareDisplayName(pmkOtherMoniker, m_displayName);
}

HRESULT ItemMoniker::Hash(DWORD* pdwHash)
{
    if (!pdwHash)
        return E_POINTER;
    *pdwHash = HashDisplayName(m_displayName);
    return S_OK;
}

HRESULT ItemMoniker::IsRunning(IBindCtx* pbc, IMoniker*, IMoniker* pmkNewlyRunning)
{
    if (pmkNewlyRunning && IsEqual(pmkNewlyRunning) == S_OK)
        return S_OK;
    ComPtr<IRunningObjectTable> table = TableOf(pbc);
    return table ? table->IsRunning(this) : S_FALSE;
}

} // namespace com

HRESULT CreateItemMoniker(LPCOLESTR lpszDelim, LPCOLESTR lpszItem, IMoniker** ppmk)
{
    if (!ppmk)
        return E_POINTER;
    *ppmk = nullptr;
    if (!lpszItem)
        return E_INVALIDARG;
    *ppmk = new com::ItemMoniker(lpszDelim ? lpszDelim : L"", lpszItem);
    return S_OK;
}
