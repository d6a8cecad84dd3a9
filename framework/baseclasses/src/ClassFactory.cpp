#include "ClassFactory.h"

std::atomic<LONG> CClassFactory::m_cLocked{0};

CClassFactory::CClassFactory(const CFactoryTemplate* pTemplate)
    : CBaseObject(NAME("Class factory")), m_pTemplate(pTemplate)
{
}

HRESULT CClassFactory::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory)
    {
        *ppv = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG CClassFactory::AddRef()
{
    return static_cast<ULONG>(++m_cRef);
}

ULONG CClassFactory::Release()
{
    const LONG lRef = --m_cRef;
    if (lRef == 0)
        delete this;
    return static_cast<ULONG>(lRef);
}

HRESULT CClassFactory::CreateInstance(LPUNKNOWN pUnkOuter, REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (pUnkOuter && riid != IID_IUnknown)
        return E_NOINTERFACE;

    HRESULT hr = S_OK;
    CUnknown* pObject = m_pTemplate->CreateInstance(pUnkOuter, &hr);
    if (!pObject)
        return E_OUTOFMEMORY;
    if (FAILED(hr))
    {
        delete pObject;
        return hr;
    }
    // Hold the object while asking, so a failed request destroys it.
    pObject->NonDelegatingAddRef();
    hr = pObject->NonDelegatingQueryInterface(riid, ppv);
    pObject->NonDelegatingRelease();
    return hr;
}

HRESULT CClassFactory::LockServer(BOOL fLock)
{
    if (fLock)
        ++m_cLocked;
    else
        --m_cLocked;
    return S_OK;
}
