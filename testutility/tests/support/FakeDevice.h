#pragma once

// A scripted capture device filter for the core's tests: a driver whose property
// buffers the test fills, that records every Set byte for byte, and that can fail
// a Get. It also answers the decoder, amplifier and crossbar interfaces.

#include "streams.h"

#include <DeviceControlProperties.h>

#include <cstdint>
#include <cstring>
#include <map>
#include <set>
#include <utility>
#include <vector>

// Orders GUIDs for the property maps.
inline bool operator<(const GUID& a, const GUID& b)
{
    return std::memcmp(&a, &b, sizeof(GUID)) < 0;
}

class CFakeDevice : public CBaseFilter,
                    public IKsPropertySet,
                    public IAMVideoProcAmp,
                    public IAMAnalogVideoDecoder,
                    public IAMCrossbar
{
public:
    using Bytes = std::vector<std::uint8_t>;
    using PropertyKey = std::pair<GUID, DWORD>;

    struct SetCall
    {
        GUID set;
        DWORD id;
        Bytes data; // empty for a Set with no data
    };

    struct Range
    {
        LONG min;
        LONG max;
    };

    CFakeDevice();

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    int GetPinCount() override { return 0; }
    CBasePin* GetPin(int) override { return nullptr; }

    // The driver's answer to a Get of that property: these bytes from offset 24 on.
    void SetPayload(const GUID& set, DWORD id, const Bytes& payload);
    void FailGet(const GUID& set, DWORD id) { m_FailingGets.insert({set, id}); }
    // Each Get of the private set answers with what the device holds.
    void SetEncoder(std::int32_t bitRate, std::int32_t peak, std::uint32_t vbr, std::uint32_t width,
                    std::uint32_t height, std::uint32_t mpeg1);
    void SetSizes(const std::vector<std::pair<std::uint32_t, std::uint32_t>>& sizes);
    void SetRates(const std::vector<std::uint32_t>& rates, std::int32_t volumeMin,
                  std::int32_t volumeMax);
    void SetProcAmp(LONG property, std::int32_t value, std::uint32_t flags, std::uint32_t caps,
                    Range range);

    const std::vector<SetCall>& Sets() const { return m_Sets; }
    LONG TvFormat() const { return m_lTvFormat; }
    LONG RoutedInput() const { return m_lRoutedInput; }

    // IKsPropertySet
    HRESULT Set(REFGUID guidPropSet, DWORD dwPropID, LPVOID pInstanceData, DWORD cbInstanceData,
                LPVOID pPropData, DWORD cbPropData) override;
    HRESULT Get(REFGUID guidPropSet, DWORD dwPropID, LPVOID pInstanceData, DWORD cbInstanceData,
                LPVOID pPropData, DWORD cbPropData, DWORD* pcbReturned) override;
    HRESULT QuerySupported(REFGUID, DWORD, DWORD* pTypeSupport) override;

    // IAMVideoProcAmp
    HRESULT GetRange(LONG Property, LONG* pMin, LONG* pMax, LONG* pSteppingDelta, LONG* pDefault,
                     LONG* pCapsFlags) override;
    HRESULT Set(LONG, LONG, LONG) override { return E_NOTIMPL; }
    HRESULT Get(LONG, LONG*, LONG*) override { return E_NOTIMPL; }

    // IAMAnalogVideoDecoder
    HRESULT get_AvailableTVFormats(LONG* pFormats) override;
    HRESULT put_TVFormat(LONG lFormat) override;
    HRESULT get_TVFormat(LONG* plFormat) override;
    HRESULT get_HorizontalLocked(LONG*) override { return E_NOTIMPL; }
    HRESULT put_VCRHorizontalLocking(LONG) override { return E_NOTIMPL; }
    HRESULT get_VCRHorizontalLocking(LONG*) override { return E_NOTIMPL; }
    HRESULT get_NumberOfLines(LONG*) override { return E_NOTIMPL; }
    HRESULT put_OutputEnable(LONG) override { return E_NOTIMPL; }
    HRESULT get_OutputEnable(LONG*) override { return E_NOTIMPL; }

    // IAMCrossbar
    HRESULT get_PinCounts(LONG* pOutputs, LONG* pInputs) override;
    HRESULT CanRoute(LONG, LONG) override { return S_OK; }
    HRESULT Route(LONG lOutput, LONG lInput) override;
    HRESULT get_IsRoutedTo(LONG lOutput, LONG* plInput) override;
    HRESULT get_CrossbarPinInfo(BOOL, LONG, LONG*, LONG*) override { return E_NOTIMPL; }

private:
    CCritSec m_csFilter;
    std::map<PropertyKey, Bytes> m_Payloads;
    std::set<PropertyKey> m_FailingGets;
    std::map<LONG, Range> m_Ranges;
    std::vector<SetCall> m_Sets;
    LONG m_lTvFormat = AnalogVideo_NTSC_M;
    LONG m_lRoutedInput = 0;
};
