#pragma once

// CEnumMediaTypes: enumerates a pin's preferred media types through its
// GetMediaType(position); the list ends at the first position that does not
// answer S_OK. It holds a reference on the pin (and so on its filter) and gets
// out of step (VFW_E_ENUM_OUT_OF_SYNC) when the pin's type version changes.

#include "BaseTypes.h"

#include <dshow/dshow.h>

#include <atomic>

class CBasePin;

class CEnumMediaTypes : public IEnumMediaTypes
{
public:
    CEnumMediaTypes(CBasePin* pPin, const CEnumMediaTypes* pEnumMediaTypes);
    virtual ~CEnumMediaTypes();
    CEnumMediaTypes(const CEnumMediaTypes&) = delete;
    CEnumMediaTypes& operator=(const CEnumMediaTypes&) = delete;

    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT Next(ULONG cMediaTypes, AM_MEDIA_TYPE** ppMediaTypes, ULONG* pcFetched) override;
    HRESULT Skip(ULONG cMediaTypes) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumMediaTypes** ppEnum) override;

private:
    bool AreWeOutOfSync() const;

    CBasePin* const m_pPin; // holds a reference
    std::atomic<LONG> m_cRef{0};
    int m_Position = 0;
    LONG m_Version;
};
