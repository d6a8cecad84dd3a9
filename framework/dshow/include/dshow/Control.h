#pragma once
// Application-side graph control: run state, events and position.

#include "com/Unknown.h"
#include "dshow/Events.h"
#include "dshow/Filters.h"
#include "dshow/Uuids.h"

#include <functional>

using OAFilterState = LONG; ///< a FILTER_STATE value
using REFTIME = double;     ///< seconds

struct IMediaControl : IUnknown
{
    /// S_FALSE when the graph is still on its way to running.
    virtual HRESULT Run() = 0;
    virtual HRESULT Pause() = 0;
    virtual HRESULT Stop() = 0;
    virtual HRESULT GetState(LONG msTimeout, OAFilterState* pfs) = 0;
    /// Pauses, waits for the filters to cue, then stops.
    virtual HRESULT StopWhenReady() = 0;

protected:
    ~IMediaControl() = default;
};
DECLARE_INTERFACE_IID(IMediaControl, IID_IMediaControl);

struct IMediaEvent : IUnknown
{
    /// Takes the oldest queued event; E_ABORT when none arrived within msTimeout.
    /// Free the parameters with FreeEventParams.
    virtual HRESULT GetEvent(LONG* lEventCode, LONG_PTR* lParam1, LONG_PTR* lParam2,
                             LONG msTimeout) = 0;
    /// Waits for EC_COMPLETE, EC_USERABORT or EC_ERRORABORT, discarding other events;
    /// E_ABORT on timeout, VFW_E_WRONG_STATE when the graph is not running.
    virtual HRESULT WaitForCompletion(LONG msTimeout, LONG* pEvCode) = 0;
    virtual HRESULT CancelDefaultHandling(LONG lEvCode) = 0;
    virtual HRESULT RestoreDefaultHandling(LONG lEvCode) = 0;
    virtual HRESULT FreeEventParams(LONG lEvCode, LONG_PTR lParam1, LONG_PTR lParam2) = 0;

protected:
    ~IMediaEvent() = default;
};
DECLARE_INTERFACE_IID(IMediaEvent, IID_IMediaEvent);

/// Called each time an event is queued for the application, on the thread that
/// queued it and with no graph lock held. It stands in for the window message of
/// SetNotifyWindow: it should only post a note to the application's own thread,
/// which then drains the queue with GetEvent(..., 0).
using GraphNotifyCallback = std::function<void()>;

struct IMediaEventEx : IMediaEvent
{
    /// An empty callback stops notification.
    virtual HRESULT SetNotifyCallback(GraphNotifyCallback callback) = 0;
    /// AM_MEDIAEVENT_NONOTIFY: events are neither queued nor notified.
    virtual HRESULT SetNotifyFlags(LONG lNoNotifyFlags) = 0;
    virtual HRESULT GetNotifyFlags(LONG* lplNoNotifyFlags) = 0;

protected:
    ~IMediaEventEx() = default;
};
DECLARE_INTERFACE_IID(IMediaEventEx, IID_IMediaEventEx);

/// What filters report events through; the graph answers it to QueryInterface.
struct IMediaEventSink : IUnknown
{
    virtual HRESULT Notify(LONG EventCode, LONG_PTR EventParam1, LONG_PTR EventParam2) = 0;

protected:
    ~IMediaEventSink() = default;
};
DECLARE_INTERFACE_IID(IMediaEventSink, IID_IMediaEventSink);

struct IMediaPosition : IUnknown
{
    virtual HRESULT get_Duration(REFTIME* plength) = 0;
    virtual HRESULT put_CurrentPosition(REFTIME llTime) = 0;
    virtual HRESULT get_CurrentPosition(REFTIME* pllTime) = 0;
    virtual HRESULT get_StopTime(REFTIME* pllTime) = 0;
    virtual HRESULT put_StopTime(REFTIME llTime) = 0;
    virtual HRESULT get_PrerollTime(REFTIME* pllTime) = 0;
    virtual HRESULT put_PrerollTime(REFTIME llTime) = 0;
    virtual HRESULT put_Rate(double dRate) = 0;
    virtual HRESULT get_Rate(double* pdRate) = 0;
    virtual HRESULT CanSeekForward(LONG* pCanSeekForward) = 0;
    virtual HRESULT CanSeekBackward(LONG* pCanSeekBackward) = 0;

protected:
    ~IMediaPosition() = default;
};
DECLARE_INTERFACE_IID(IMediaPosition, IID_IMediaPosition);

// IMediaSeeking capabilities.
enum AM_SEEKING_SeekingCapabilities : DWORD
{
    AM_SEEKING_CanSeekAbsolute = 0x1,
    AM_SEEKING_CanSeekForwards = 0x2,
    AM_SEEKING_CanSeekBackwards = 0x4,
    AM_SEEKING_CanGetCurrentPos = 0x8,
    AM_SEEKING_CanGetStopPos = 0x10,
    AM_SEEKING_CanGetDuration = 0x20,
    AM_SEEKING_CanPlayBackwards = 0x40,
    AM_SEEKING_CanDoSegments = 0x80,
    AM_SEEKING_Source = 0x100,
};

// IMediaSeeking::SetPositions flags.
enum AM_SEEKING_SEEKING_FLAGS : DWORD
{
    AM_SEEKING_NoPositioning = 0x0,
    AM_SEEKING_AbsolutePositioning = 0x1,
    AM_SEEKING_RelativePositioning = 0x2,
    AM_SEEKING_IncrementalPositioning = 0x3,
    AM_SEEKING_PositioningBitsMask = 0x3,
    AM_SEEKING_SeekToKeyFrame = 0x4,
    AM_SEEKING_ReturnTime = 0x8,
    AM_SEEKING_Segment = 0x10,
    AM_SEEKING_NoFlush = 0x20,
};

struct IMediaSeeking : IUnknown
{
    virtual HRESULT GetCapabilities(DWORD* pCapabilities) = 0;
    /// Keeps in *pCapabilities the asked capabilities that are supported; S_FALSE
    /// when only some are.
    virtual HRESULT CheckCapabilities(DWORD* pCapabilities) = 0;
    virtual HRESULT IsFormatSupported(const GUID* pFormat) = 0;
    virtual HRESULT QueryPreferredFormat(GUID* pFormat) = 0;
    virtual HRESULT GetTimeFormat(GUID* pFormat) = 0;
    virtual HRESULT IsUsingTimeFormat(const GUID* pFormat) = 0;
    virtual HRESULT SetTimeFormat(const GUID* pFormat) = 0;
    virtual HRESULT GetDuration(LONGLONG* pDuration) = 0;
    virtual HRESULT GetStopPosition(LONGLONG* pStop) = 0;
    virtual HRESULT GetCurrentPosition(LONGLONG* pCurrent) = 0;
    virtual HRESULT ConvertTimeFormat(LONGLONG* pTarget, const GUID* pTargetFormat, LONGLONG Source,
                                      const GUID* pSourceFormat) = 0;
    virtual HRESULT SetPositions(LONGLONG* pCurrent, DWORD dwCurrentFlags, LONGLONG* pStop,
                                 DWORD dwStopFlags) = 0;
    virtual HRESULT GetPositions(LONGLONG* pCurrent, LONGLONG* pStop) = 0;
    virtual HRESULT GetAvailable(LONGLONG* pEarliest, LONGLONG* pLatest) = 0;
    virtual HRESULT SetRate(double dRate) = 0;
    virtual HRESULT GetRate(double* pdRate) = 0;
    virtual HRESULT GetPreroll(LONGLONG* pllPreroll) = 0;

protected:
    ~IMediaSeeking() = default;
};
DECLARE_INTERFACE_IID(IMediaSeeking, IID_IMediaSeeking);
