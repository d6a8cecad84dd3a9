#pragma once

// CBasePin: the IPin behaviour shared by input and output pins.
//
// A pin shares its filter's identity: AddRef and Release go to the filter, so a
// pin lives as long as its filter, which owns and deletes it. Connection calls
// hold the pin lock (the filter lock the pin was given).
//
// Connect (on an output pin) with a complete media type tries that type only.
// With a partial type or none it tries the receiving pin's types, then its own
// (GetMediaType by index until it answers anything but S_OK), keeping those that
// match the partial type, until one connection attempt succeeds. An attempt
// runs CheckConnect, CheckMediaType, SetMediaType, the receiver's
// ReceiveConnection and CompleteConnect; a failure undoes it with BreakConnect.

#include "BaseTypes.h"
#include "MediaType.h"
#include "Unknown.h"

#include <dshow/dshow.h>

#include <atomic>
#include <string>

class CBaseFilter;
class CCritSec;

class CBasePin : public CUnknown, public IPin, public IQualityControl
{
public:
    CBasePin(LPCTSTR pObjectName, CBaseFilter* pFilter, CCritSec* pLock, HRESULT* phr,
             LPCWSTR pName, PIN_DIRECTION dir);
    ~CBasePin() override;

    DECLARE_IUNKNOWN

    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    // References count on the owning filter.
    ULONG NonDelegatingAddRef() override;
    ULONG NonDelegatingRelease() override;

    // IPin
    HRESULT Connect(IPin* pReceivePin, const AM_MEDIA_TYPE* pmt) override;
    HRESULT ReceiveConnection(IPin* pConnector, const AM_MEDIA_TYPE* pmt) override;
    HRESULT Disconnect() override;
    HRESULT ConnectedTo(IPin** pPin) override;
    HRESULT ConnectionMediaType(AM_MEDIA_TYPE* pmt) override;
    HRESULT QueryPinInfo(PIN_INFO* pInfo) override;
    HRESULT QueryDirection(PIN_DIRECTION* pPinDir) override;
    HRESULT QueryId(LPWSTR* Id) override;
    HRESULT QueryAccept(const AM_MEDIA_TYPE* pmt) override;
    HRESULT EnumMediaTypes(IEnumMediaTypes** ppEnum) override;
    HRESULT QueryInternalConnections(IPin** apPin, ULONG* nPin) override;
    HRESULT EndOfStream() override;
    // Records the segment; derived pins pass it on.
    HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) override;

    // IQualityControl: quality messages are passed to the sink if one is set,
    // else ignored (E_NOTIMPL).
    HRESULT Notify(IBaseFilter* pSender, Quality q) override;
    HRESULT SetSink(IQualityControl* piqc) override;

    // Hooks of the connection protocol.
    // CheckConnect: may the pin connect to pPin? (the base checks the direction)
    virtual HRESULT CheckConnect(IPin* pPin);
    // BreakConnect: undo what CheckConnect and CompleteConnect set up.
    virtual HRESULT BreakConnect();
    // CompleteConnect: the peer has accepted; finish (allocators, ...).
    virtual HRESULT CompleteConnect(IPin* pReceivePin);
    // CheckMediaType: S_OK when the type is acceptable.
    virtual HRESULT CheckMediaType(const CMediaType* pmt) = 0;
    // SetMediaType: records the agreed type.
    virtual HRESULT SetMediaType(const CMediaType* pmt);
    // GetMediaType: the pin's preferred types by position; anything but S_OK
    // (VFW_S_NO_MORE_ITEMS past the last) ends the list. The base has none.
    virtual HRESULT GetMediaType(int iPosition, CMediaType* pMediaType);

    // State hooks called by the filter (under the filter lock).
    virtual HRESULT Active() { return S_OK; }
    virtual HRESULT Inactive() { return S_OK; }
    virtual HRESULT Run(REFERENCE_TIME /*tStart*/) { return S_OK; }

    BOOL IsConnected() const { return m_Connected != nullptr; }
    IPin* GetConnected() const { return m_Connected; }
    BOOL IsStopped() const;
    const CMediaType& CurrentMediaType() const { return m_mt; }
    LPCWSTR Name() const { return m_Name.c_str(); }

    REFERENCE_TIME CurrentStartTime() const { return m_tStart; }
    REFERENCE_TIME CurrentStopTime() const { return m_tStop; }
    double CurrentRate() const { return m_dRate; }

    LONG GetMediaTypeVersion() const { return m_TypeVersion; }
    void IncrementTypeVersion() { ++m_TypeVersion; }

protected:
    // The connection protocol, under the pin lock.
    virtual HRESULT AgreeMediaType(IPin* pReceivePin, const CMediaType* pmt);
    virtual HRESULT AttemptConnection(IPin* pReceivePin, const CMediaType* pmt);
    HRESULT TryMediaTypes(IPin* pReceivePin, const CMediaType* pmt, IEnumMediaTypes* pEnum);
    HRESULT DisconnectInternal();

    CBaseFilter* const m_pFilter;
    CCritSec* const m_pLock;
    const PIN_DIRECTION m_dir;
    IPin* m_Connected = nullptr; // holds a reference
    CMediaType m_mt;
    REFERENCE_TIME m_tStart = 0;
    REFERENCE_TIME m_tStop = 0;
    double m_dRate = 1.0;
    std::atomic<BOOL> m_bRunTimeError{FALSE}; // set on a streaming thread
    BOOL m_bCanReconnectWhenActive = FALSE;
    BOOL m_bTryMyTypesFirst = FALSE;
    IQualityControl* m_pQSink = nullptr; // no reference
    LONG m_TypeVersion = 1;

private:
    const std::wstring m_Name;
};
