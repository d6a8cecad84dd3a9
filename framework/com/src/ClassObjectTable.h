#pragma once
// Class factories registered in-process with CoRegisterClassObject.

#include "com/ComPtr.h"

#include <mutex>
#include <vector>

namespace com
{

class ClassObjectTable
{
public:
    static ClassObjectTable& Instance();

    DWORD Register(REFCLSID clsid, IUnknown* factory);
    bool Revoke(DWORD cookie);
    /// The registered factory for clsid, or null.
    ComPtr<IUnknown> Find(REFCLSID clsid);

private:
    struct Entry
    {
        DWORD cookie;
        CLSID clsid;
        ComPtr<IUnknown> factory;
    };

    std::mutex m_mutex;
    std::vector<Entry> m_entries;
    DWORD m_nextCookie = 1;
};

} // namespace com
