#include "RunningObjectTable.h"

#include "MonikerEnumerator.h"

#include <algorithm>

namespace com
{

RunningObjectTable& RunningObjectTable::Instance()
{
    static auto* table = new RunningObjectTable;
    return *table;
}

RunningObjectTable::Entry* RunningObjectTable::FindLocked(IMoniker* name)
{
    for (Entry& entry : m_entries)
        if (entry.name->IsEqual(name) == S_OK)
            return &entry;
    return nullptr;
}

HRESULT RunningObjectTable::Register(DWORD, IUnknown* punkObject, IMoniker* pmkObjectName,
                                     DWORD* pdwRegister)
{
    if (!pdwRegister)
        return E_POINTER;
    *pdwRegister = 0;
    if (!punkObject || !pmkObjectName)
        return E_INVALIDARG;
    std::lock_guard lock(m_mutex);
    bool alreadyRegistered = FindLocked(pmkObjectName) != nullptr;
    DWORD cookie = m_nextCookie++;
    m_entries.push_back({cookie, ComPtr<IUnknown>(punkObject), ComPtr<IMoniker>(pmkObjectName)});
    *pdwRegister = cookie;
    return alreadyRegistered ? MK_S_MONIKERALREADYREGISTERED : S_OK;
}

HRESULT RunningObjectTable::Revoke(DWORD dwRegister)
{
    Entry removed; // released after the lock is dropped
    {
        std::lock_guard lock(m_mutex);
        auto it = std::find_if(m_entries.begin(), m_entries.end(),
                               [&](const Entry& e) { return e.cookie == dwRegister; });
        if (it == m_entries.end())
            return E_INVALIDARG;
        removed = std::move(*it);
        m_entries.erase(it);
    }
    return S_OK;
}

HRESULT RunningObjectTable::IsRunning(IMoniker* pmkObjectName)
{
    if (!pmkObjectName)
        return E_INVALIDARG;
    std::lock_guard lock(m_mutex);
    return FindLocked(pmkObjectName) ? S_OK : S_FALSE;
}

HRESULT RunningObjectTable::GetObject(IMoniker* pmkObjectName, IUnknown** ppunkObject)
{
    if (!ppunkObject)
        return E_POINTER;
    *ppunkObject = nullptr;
    if (!pmkObjectName)
        return E_INVALIDARG;
    std::lock_guard lock(m_mutex);
    Entry* entry = FindLocked(pmkObjectName);
    if (!entry)
        return MK_E_UNAVAILABLE;
    return entry->object.CopyTo(ppunkObject);
}

HRESULT RunningObjectTable::EnumRunning(IEnumMoniker** ppenumMoniker)
{
    if (!ppenumMoniker)
        return E_POINTER;
    std::vector<ComPtr<IMoniker>> names;
    {
        std::lock_guard lock(m_mutex);
        for (const Entry& entry : m_entries)
            names.push_back(entry.name);
    }
    *ppenumMoniker = new MonikerEnumerator(std::move(names));
    return S_OK;
}

} // namespace com

HRESULT GetRunningObjectTable(DWORD, IRunningObjectTable** pprot)
{
    if (!pprot)
        return E_POINTER;
    com::RunningObjectTable& table = com::RunningObjectTable::Instance();
    table.AddRef();
    *pprot = &table;
    return S_OK;
}
