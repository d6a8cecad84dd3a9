#pragma once

// COM for the lifetime of one command.

#include <com/ComRuntime.h>

class ComScope
{
public:
    ComScope() : m_hr(CoInitialize(nullptr)) {}
    ~ComScope()
    {
        if (SUCCEEDED(m_hr))
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

    HRESULT Result() const { return m_hr; }

private:
    const HRESULT m_hr;
};
