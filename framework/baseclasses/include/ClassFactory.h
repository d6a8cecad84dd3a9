#pragma once

// CClassFactory: the IClassFactory handed out by DllGetClassObject for one
// factory template. Factories and LockServer locks count towards
// DllCanUnloadNow.

#include "FactoryTemplate.h"

#include <atomic>

class CClassFactory : public IClassFactory, public CBaseObject
{
public:
    explicit CClassFactory(const CFactoryTemplate* pTemplate);

    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override;
    ULONG Release() override;

    // An outer IUnknown may ask only for IUnknown. A failure reported by the
    // template's create function destroys the new object and is returned.
    HRESULT CreateInstance(LPUNKNOWN pUnkOuter, REFIID riid, void** ppv) override;
    HRESULT LockServer(BOOL fLock) override;

    // TRUE while some client holds the module with LockServer.
    static BOOL IsLocked() { return m_cLocked > 0; }

private:
    const CFactoryTemplate* const m_pTemplate;
    std::atomic<LONG> m_cRef{0};
    static std::atomic<LONG> m_cLocked;
};
