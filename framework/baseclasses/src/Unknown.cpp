#include "Unknown.h"

CUnknown::CUnknown(LPCTSTR pName, LPUNKNOWN pUnk)
    : CBaseObject(pName), m_pUnk(pUnk ? pUnk : &m_InnerUnknown)
{
}

CUnknown::CUnknown(LPCTSTR pName, LPUNKNOWN pUnk, HRESULT* /*phr*/) : CUnknown(pName, pUnk)
{
}

HRESULT CUnknown::NonDelegatingQueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IUnknown)
        return GetInterface(&m_InnerUnknown, ppv);
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG CUnknown::NonDelegatingAddRef()
{
    return static_cast<ULONG>(++m_cRef);
}

ULONG CUnknown::NonDelegatingRelease()
{
    const LONG lRef = --m_cRef;
    if (lRef == 0)
    {
        // Keep the count above zero while the destructor runs, so that an
        // AddRef/Release pair made by it cannot delete the object twice.
        m_cRef = 1;
        delete this;
        return 0;
    }
    return static_cast<ULONG>(lRef);
}

HRESULT CUnknown::CInnerUnknown::QueryInterface(REFIID riid, void** ppv)
{
    return m_object.NonDelegatingQueryInterface(riid, ppv);
}

ULONG CUnknown::CInnerUnknown::AddRef()
{
    return m_object.NonDelegatingAddRef();
}

ULONG CUnknown::CInnerUnknown::Release()
{
    return m_object.NonDelegatingRelease();
}

HRESULT GetInterface(LPUNKNOWN pUnk, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = pUnk;
    pUnk->AddRef();
    return S_OK;
}
