#pragma once
// The virtual capture device's filter: a capture pin (CCapturePin), a playback pin
// (CPlaybackPin) and the device's controls (CDeviceControls), over the state of the
// device it is bound to (DeviceState).
//
// Bound through a device moniker, IPersistPropertyBag::Load hands the filter its
// registration's property bag: its name and the values it keeps under its own
// registry key, so one class serves every registered device. A filter created any
// other way works on defaults kept in memory.
//
// The counters of a run are added to the device's stored totals at Stop, so
// another process can read what the last run counted; until then the status block
// adds them itself. The filter reports itself a source, and a renderer while its
// playback pin is connected, so the graph waits for its EC_COMPLETE in playback.
//
// A device told to fail its binding refuses Load, so the moniker's BindToObject
// fails; one told to refuse graphs fails JoinFilterGraph, so AddFilter fails (leaving
// a graph always works). Each refusal is counted.

#include "CapturePin.h"
#include "DeviceControls.h"
#include "PlaybackPin.h"

#include "streams.h"

#include <memory>

class CDeviceFilter : public CBaseFilter, public IPersistPropertyBag, public IAMFilterMiscFlags
{
public:
    CDeviceFilter(LPUNKNOWN pUnk, HRESULT* phr, CaptureSourceFactory factory);
    ~CDeviceFilter() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    int GetPinCount() override { return 2; }
    CBasePin* GetPin(int n) override;

    HRESULT Stop() override;
    HRESULT Pause() override;
    // Paused, a live source cannot cue: VFW_S_CANT_CUE.
    HRESULT GetState(DWORD dwMSecs, FILTER_STATE* State) override;
    HRESULT JoinFilterGraph(IFilterGraph* pGraph, LPCWSTR pName) override;

    // IPersist (through both IBaseFilter and IPersistPropertyBag)
    HRESULT GetClassID(CLSID* pClsID) override;
    // IPersistPropertyBag
    HRESULT InitNew() override;
    HRESULT Load(IPropertyBag* pPropBag, IErrorLog* pErrorLog) override;
    // The device keeps its values itself; nothing to save.
    HRESULT Save(IPropertyBag* pPropBag, BOOL fClearDirty, BOOL fSaveAllProperties) override;

    // IAMFilterMiscFlags
    ULONG GetMiscFlags() override;

    DeviceState& State() { return m_state; }

private:
    // The counts of the run under way, until they are stored.
    DeviceCounters UnstoredRunCounts();
    void StoreRunCounts();

    CCritSec m_csFilter;
    DeviceState m_state;
    CDeviceControls m_controls;
    std::unique_ptr<CCapturePin> m_pCapturePin;
    std::unique_ptr<CPlaybackPin> m_pPlaybackPin;
    std::atomic<bool> m_bRunStored{true};
    std::atomic<bool> m_bLive{false}; // capturing: paused, the filter cannot cue
};
