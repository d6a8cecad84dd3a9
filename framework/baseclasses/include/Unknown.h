#pragma once

// CUnknown: the reference-counted base of the base classes' COM objects.
//
// Every object has a non-delegating IUnknown (INonDelegatingUnknown) that owns
// its reference count and answers its interfaces, and an owner: the outer object
// when it is aggregated, else itself. The IUnknown methods of each interface an
// object exposes go to the owner (DECLARE_IUNKNOWN), so all parts of an
// aggregate share one identity and one reference count.
//
// The object's own IUnknown (what QueryInterface(IID_IUnknown) returns when it
// is not aggregated, and what an outer object holds when it is) is a small inner
// object that forwards to the non-delegating methods.
//
// Reference counts are atomic; AddRef and Release may be called from any thread.

#include "BaseObject.h"

#include <com/HResult.h>
#include <com/Unknown.h>

#include <atomic>

struct INonDelegatingUnknown
{
    virtual HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) = 0;
    virtual ULONG NonDelegatingAddRef() = 0;
    virtual ULONG NonDelegatingRelease() = 0;

protected:
    ~INonDelegatingUnknown() = default;
};
typedef INonDelegatingUnknown* PNDUNKNOWN;

class CUnknown : public INonDelegatingUnknown, public CBaseObject
{
public:
    CUnknown(LPCTSTR pName, LPUNKNOWN pUnk);
    CUnknown(LPCTSTR pName, LPUNKNOWN pUnk, HRESULT* phr);
    ~CUnknown() override = default;
    CUnknown(const CUnknown&) = delete;
    CUnknown& operator=(const CUnknown&) = delete;

    // The IUnknown that every interface of this object delegates to.
    LPUNKNOWN GetOwner() const { return m_pUnk; }

    // Answers IID_IUnknown with the object's own IUnknown; derived classes add
    // their interfaces and call this for the rest.
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    ULONG NonDelegatingAddRef() override;
    ULONG NonDelegatingRelease() override;

protected:
    std::atomic<LONG> m_cRef{0};

private:
    // The object's own IUnknown, forwarding to the non-delegating methods.
    class CInnerUnknown : public IUnknown
    {
    public:
        explicit CInnerUnknown(CUnknown& object) : m_object(object) {}
        virtual ~CInnerUnknown() = default;
        HRESULT QueryInterface(REFIID riid, void** ppv) override;
        ULONG AddRef() override;
        ULONG Release() override;

    private:
        CUnknown& m_object;
    };

    CInnerUnknown m_InnerUnknown{*this};
    const LPUNKNOWN m_pUnk;
};

// Hands out pUnk through ppv with a reference added.
HRESULT GetInterface(LPUNKNOWN pUnk, void** ppv);

// The IUnknown methods of an interface implemented by a CUnknown: all go to the owner.
#define DECLARE_IUNKNOWN                                                                           \
    HRESULT QueryInterface(REFIID riid, void** ppv) override                                       \
    {                                                                                              \
        return GetOwner()->QueryInterface(riid, ppv);                                              \
    }                                                                                              \
    ULONG AddRef() override                                                                        \
    {                                                                                              \
        return GetOwner()->AddRef();                                                               \
    }                                                                                              \
    ULONG Release() override                                                                       \
    {                                                                                              \
        return GetOwner()->Release();                                                              \
    }
