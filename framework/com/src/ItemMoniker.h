#pragma once
// Item monikers: a delimiter and an item name, such as "!" and
// "FilterGraph 0000abcd pid 00001234". Two item monikers are equal when their
// display names match without regard to letter case.

#include "com/ComObject.h"
#include "com/Moniker.h"

#include <string>

namespace com
{

class ItemMoniker final : public ComObject<IMoniker>
{
public:
    ItemMoniker(std::wstring delimiter, std::wstring item);

    /// Binds through the running object table.
    HRESULT BindToObject(IBindCtx* pbc, IMoniker* pmkToLeft, REFIID riidResult,
                         void** ppvResult) override;
    HRESULT BindToStorage(IBindCtx* pbc, IMoniker* pmkToLeft, REFIID riid, void** ppvObj) override;
    HRESULT GetDisplayName(IBindCtx* pbc, IMoniker* pmkToLeft, LPOLESTR* ppszDisplayName) override;
    HRESULT IsEqual(IMoniker* pmkOtherMoniker) override;
    HRESULT Hash(DWORD* pdwHash) override;
    HRESULT IsRunning(IBindCtx* pbc, IMoniker* pmkToLeft, IMoniker* pmkNewlyRunning) override;

private:
    std::wstring m_displayName;
};

} // namespace com
