#pragma once
// Moniker for one filter registration in a category (what the system device
// enumerator hands out). Its display name is "@device:sw:{category}\instance".
// BindToObject creates the registered CLSID in-process and, when the object
// has IPersistPropertyBag, loads it from the registration's property bag, so one
// class can serve several devices. BindToStorage gives that property bag
// ("FriendlyName", "CLSID", "FilterData", and whatever else the device stored).

#include "com/ComObject.h"
#include "com/Moniker.h"

#include <string>

namespace graph
{

class DeviceMoniker final : public ComObject<IMoniker>
{
public:
    DeviceMoniker(const CLSID& category, std::wstring instance);

    HRESULT BindToObject(IBindCtx* pbc, IMoniker* pmkToLeft, REFIID riidResult,
                         void** ppvResult) override;
    HRESULT BindToStorage(IBindCtx* pbc, IMoniker* pmkToLeft, REFIID riid, void** ppvObj) override;
    HRESULT GetDisplayName(IBindCtx* pbc, IMoniker* pmkToLeft, LPOLESTR* ppszDisplayName) override;
    HRESULT IsEqual(IMoniker* pmkOtherMoniker) override;
    HRESULT Hash(DWORD* pdwHash) override;
    HRESULT IsRunning(IBindCtx* pbc, IMoniker* pmkToLeft, IMoniker* pmkNewlyRunning) override;

private:
    std::wstring m_keyPath;
    std::wstring m_displayName;
};

} // namespace graph
