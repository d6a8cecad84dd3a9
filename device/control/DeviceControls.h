#pragma once
// The interfaces an application configures the device through, as one part of the
// device filter (its IUnknown is the filter's):
// - IKsPropertySet: the driver's property sets (KsPropertyHandler);
// - IAMVideoProcAmp: brightness, contrast, hue, saturation and sharpness, set by hand
//   only, in the ranges the device offers; values outside a property's range are
//   clamped into it;
// - IAMAnalogVideoDecoder: the video standard, NTSC M or PAL B, D or G (others:
//   E_INVALIDARG); the rest of the interface reports a locked signal and otherwise
//   E_NOTIMPL;
// - IAMCrossbar: one output (0, the video decoder) fed by input 0 (Composite) or
//   input 1 (S-Video); other pin indexes give E_INVALIDARG.
// Every change goes through the device state, so it is stored and reaches a
// running capture.

#include "KsPropertyHandler.h"

#include "streams.h"

class CDeviceControls : public CUnknown,
                        public IKsPropertySet,
                        public IAMVideoProcAmp,
                        public IAMAnalogVideoDecoder,
                        public IAMCrossbar
{
public:
    CDeviceControls(LPUNKNOWN pOwner, DeviceState& state,
                    std::function<DeviceCounters()> liveCounts);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    static bool IsControlInterface(REFIID riid);

    // IKsPropertySet
    HRESULT Set(REFGUID guidPropSet, DWORD dwPropID, LPVOID pInstanceData, DWORD cbInstanceData,
                LPVOID pPropData, DWORD cbPropData) override;
    HRESULT Get(REFGUID guidPropSet, DWORD dwPropID, LPVOID pInstanceData, DWORD cbInstanceData,
                LPVOID pPropData, DWORD cbPropData, DWORD* pcbReturned) override;
    HRESULT QuerySupported(REFGUID guidPropSet, DWORD dwPropID, DWORD* pTypeSupport) override;

    // IAMVideoProcAmp
    HRESULT GetRange(LONG Property, LONG* pMin, LONG* pMax, LONG* pSteppingDelta, LONG* pDefault,
                     LONG* pCapsFlags) override;
    HRESULT Set(LONG Property, LONG lValue, LONG Flags) override;
    HRESULT Get(LONG Property, LONG* lValue, LONG* Flags) override;

    // IAMAnalogVideoDecoder
    HRESULT get_AvailableTVFormats(LONG* lAnalogVideoStandard) override;
    HRESULT put_TVFormat(LONG lAnalogVideoStandard) override;
    HRESULT get_TVFormat(LONG* plAnalogVideoStandard) override;
    HRESULT get_HorizontalLocked(LONG* plLocked) override;
    HRESULT put_VCRHorizontalLocking(LONG lVCRHorizontalLocking) override;
    HRESULT get_VCRHorizontalLocking(LONG* plVCRHorizontalLocking) override;
    HRESULT get_NumberOfLines(LONG* plNumberOfLines) override;
    HRESULT put_OutputEnable(LONG lOutputEnable) override;
    HRESULT get_OutputEnable(LONG* plOutputEnable) override;

    // IAMCrossbar
    HRESULT get_PinCounts(LONG* OutputPinCount, LONG* InputPinCount) override;
    HRESULT CanRoute(LONG OutputPinIndex, LONG InputPinIndex) override;
    HRESULT Route(LONG OutputPinIndex, LONG InputPinIndex) override;
    HRESULT get_IsRoutedTo(LONG OutputPinIndex, LONG* InputPinIndex) override;
    HRESULT get_CrossbarPinInfo(BOOL IsInputPin, LONG PinIndex, LONG* PinIndexRelated,
                                LONG* PhysicalType) override;

private:
    // The HRESULT of a settings change.
    HRESULT Apply(const DeviceState::Rule& rule);

    DeviceState& m_state;
    KsPropertyHandler m_properties;
};
