#pragma once
// ComObject<Interfaces...>: reference counting and QueryInterface for a class
// that implements the listed interfaces. An object starts with one reference,
// owned by whoever created it (MakeComObject hands it to a ComPtr).

#include "com/ComPtr.h"
#include "com/Unknown.h"

#include <atomic>
#include <utility>

template <class First, class... Rest> class ComObject : public First, public Rest...
{
public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (riid == IID_IUnknown)
            *ppv = static_cast<IUnknown*>(static_cast<First*>(this));
        else if (!FindListed<First, Rest...>(riid, ppv))
            *ppv = QueryExtraInterface(riid);
        if (!*ppv)
            return E_NOINTERFACE;
        static_cast<IUnknown*>(*ppv)->AddRef();
        return S_OK;
    }

    ULONG AddRef() override { return ++m_refs; }

    ULONG Release() override
    {
        ULONG remaining = --m_refs;
        if (remaining == 0)
        {
            // Keep the count off zero while the destructor runs, so that an
            // AddRef/Release pair made during teardown cannot delete twice.
            m_refs = 1;
            delete this;
        }
        return remaining;
    }

protected:
    ComObject() = default;
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;
    virtual ~ComObject() = default;

    /// Answers identifiers beyond the listed interfaces (such as their base
    /// interfaces); the result is AddRef'd by QueryInterface.
    virtual void* QueryExtraInterface(REFIID) { return nullptr; }

private:
    template <class Interface, class... More> bool FindListed(REFIID riid, void** ppv)
    {
        if (riid == IidOf<Interface>())
        {
            *ppv = static_cast<Interface*>(this);
            return true;
        }
        if constexpr (sizeof...(More) > 0)
            return FindListed<More...>(riid, ppv);
        return false;
    }

    std::atomic<ULONG> m_refs{1};
};

/// Creates an object and hands its first reference to a ComPtr.
template <class T, class... Args> ComPtr<T> MakeComObject(Args&&... args)
{
    ComPtr<T> object;
    object.Attach(new T(std::forward<Args>(args)...));
    return object;
}
