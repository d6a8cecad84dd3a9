#pragma once
// The process's running object table.

#include "com/ComObject.h"
#include "com/Moniker.h"

#include <mutex>
#include <string>
#include <vector>

namespace com
{

class RunningObjectTable final : public ComObject<IRunningObjectTable>
{
public:
    /// The one table of the process (never destroyed).
    static RunningObjectTable& Instance();

    HRESULT Register(DWORD grfFlags, IUnknown* punkObject, IMoniker* pmkObjectName,
                     DWORD* pdwRegister) override;
    HRESULT Revoke(DWORD dwRegister) override;
    HRESULT IsRunning(IMoniker* pmkObjectName) override;
    HRESULT GetObject(IMoniker* pmkObjectName, IUnknown** ppunkObject) override;
    HRESULT EnumRunning(IEnumMoniker** ppenumMoniker) override;

private:
    struct Entry
    {
        DWORD cookie;
        ComPtr<IUnknown> object;
        ComPtr<IMoniker> name;
    };

    /// The entry whose moniker equals name, or null. Caller holds m_mutex.
    Entry* FindLocked(IMoniker* name);

    std::mutex m_mutex;
    std::vector<Entry> m_entries;
    DWORD m_nextCookie = 1;
};

} // namespace com
