#pragma once

// CEnumPins: enumerates a filter's pins by index. It holds a reference on the
// filter and notices when the filter's set of pins changed (pin version), which
// gives VFW_E_ENUM_OUT_OF_SYNC until Reset.

#include "BaseTypes.h"

#include <dshow/dshow.h>

#include <atomic>

class CBaseFilter;

class CEnumPins : public IEnumPins
{
public:
    CEnumPins(CBaseFilter* pFilter, const CEnumPins* pEnumPins);
    virtual ~CEnumPins();
    CEnumPins(const CEnumPins&) = delete;
    CEnumPins& operator=(const CEnumPins&) = delete;

    HRESULT QueryInterface(REFIID riid, void** ppv) override;
    ULONG AddRef() override;
    ULONG Release() override;

    HRESULT Next(ULONG cPins, IPin** ppPins, ULONG* pcFetched) override;
    HRESULT Skip(ULONG cPins) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumPins** ppEnum) override;

private:
    bool AreWeOutOfSync() const;

    CBaseFilter* const m_pFilter; // holds a reference
    std::atomic<LONG> m_cRef{0};
    int m_Position = 0;
    LONG m_Version;
};
