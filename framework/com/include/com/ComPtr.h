#pragma once
// ComPtr<T>: owns one reference to an interface and releases it on destruction.

#include "com/Unknown.h"

#include <utility>

template <class T> class ComPtr
{
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    /// Takes an additional reference to p.
    ComPtr(T* p) : m_p(p) { AddRefIfSet(); }
    ComPtr(const ComPtr& other) : m_p(other.m_p) { AddRefIfSet(); }
    ComPtr(ComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    template <class U>
    requires std::is_convertible_v<U*, T*> ComPtr(const ComPtr<U>& other) : m_p(other.Get())
    {
        AddRefIfSet();
    }
    ~ComPtr() { Reset(); }

    ComPtr& operator=(ComPtr other) noexcept
    {
        std::swap(m_p, other.m_p);
        return *this;
    }

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    T& operator*() const { return *m_p; }
    explicit operator bool() const { return m_p != nullptr; }

    /// Releases the reference held and clears the pointer.
    void Reset()
    {
        if (T* p = std::exchange(m_p, nullptr))
            p->Release();
    }

    /// Takes ownership of a reference the caller already holds.
    void Attach(T* p)
    {
        Reset();
        m_p = p;
    }

    /// Gives up ownership without releasing.
    [[nodiscard]] T* Detach() { return std::exchange(m_p, nullptr); }

    /// For out parameters: releases what is held, then exposes the slot.
    T** ReleaseAndGetAddressOf()
    {
        Reset();
        return &m_p;
    }
    T** operator&() { return ReleaseAndGetAddressOf(); }

    /// Exposes the slot without releasing (for in-out parameters).
    T** GetAddressOf() { return &m_p; }

    /// Hands an added reference to an out parameter.
    HRESULT CopyTo(T** pp) const
    {
        if (!pp)
            return E_POINTER;
        *pp = m_p;
        if (m_p)
            m_p->AddRef();
        return S_OK;
    }

    /// QueryInterface for another interface type, into an out slot (with a ComPtr
    /// target, pass &target).
    template <class U> HRESULT As(U** out) const
    {
        if (!out)
            return E_POINTER;
        *out = nullptr;
        if (!m_p)
            return E_POINTER;
        return m_p->QueryInterface(IidOf<U>(), reinterpret_cast<void**>(out));
    }

    friend bool operator==(const ComPtr& a, const ComPtr& b) { return a.m_p == b.m_p; }
    friend bool operator==(const ComPtr& a, std::nullptr_t) { return a.m_p == nullptr; }

private:
    void AddRefIfSet()
    {
        if (m_p)
            m_p->AddRef();
    }

    T* m_p = nullptr;
};
