#include "ClassObjectTable.h"

#include <algorithm>

namespace com
{

ClassObjectTable& ClassObjectTable::Instance()
{
    // Never destroyed: registrations may outlive static destruction order.
    static auto* table = new ClassObjectTable;
    return *table;
}

DWORD ClassObjectTable::Register(REFCLSID clsid, IUnknown* factory)
{
    std::lock_guard lock(m_mutex);
    DWORD cookie = m_nextCookie++;
    m_entries.push_back({cookie, clsid, ComPtr<IUnknown>(factory)});
    return cookie;
}

bool ClassObjectTable::Revoke(DWORD cookie)
{
    ComPtr<IUnknown> released; // released after the lock is dropped
    std::lock_guard lock(m_mutex);
    auto it = std::find_if(m_entries.begin(), m_entries.end(),
                           [&](const Entry& e) { return e.cookie == cookie; });
    if (it == m_entries.end())
        return false;
    released = std::move(it->factory);
    m_entries.erase(it);
    return true;
}

ComPtr<IUnknown> ClassObjectTable::Find(REFCLSID clsid)
{
    std::lock_guard lock(m_mutex);
    // The latest registration wins, so a test can stand in for a class.
    for (auto it = m_entries.rbegin(); it != m_entries.rend(); ++it)
        if (it->clsid == clsid)
            return it->factory;
    return nullptr;
}

} // namespace com
