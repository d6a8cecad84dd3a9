#pragma once
// Pins, filters, their enumerators, the reference clock and the filter graph.
//
// Threading: IMediaFilter state changes, IFilterGraph and IPin connection calls
// come from the application thread; streaming calls (see Samples.h) come from the
// filters' streaming threads.

#include "com/Unknown.h"
#include "dshow/MediaType.h"
#include "dshow/Uuids.h"

struct IBaseFilter;
struct IFilterGraph;
struct IEnumMediaTypes;
struct IReferenceClock;

inline constexpr int MAX_PIN_NAME = 128;
inline constexpr int MAX_FILTER_NAME = 128;

enum PIN_DIRECTION
{
    PINDIR_INPUT = 0,
    PINDIR_OUTPUT = 1,
};

enum FILTER_STATE
{
    State_Stopped = 0,
    State_Paused = 1,
    State_Running = 2,
};

/// pFilter carries a reference the caller releases.
struct PIN_INFO
{
    IBaseFilter* pFilter;
    PIN_DIRECTION dir;
    WCHAR achName[MAX_PIN_NAME];
};

/// pGraph carries a reference the caller releases (null when not in a graph).
struct FILTER_INFO
{
    WCHAR achName[MAX_FILTER_NAME];
    IFilterGraph* pGraph;
};

struct IPin : IUnknown
{
    /// Output pins: connect to pReceivePin, with pmt (may be partial) or any type.
    virtual HRESULT Connect(IPin* pReceivePin, const AM_MEDIA_TYPE* pmt) = 0;
    /// Input pins: accept a connection from pConnector with the complete type pmt.
    virtual HRESULT ReceiveConnection(IPin* pConnector, const AM_MEDIA_TYPE* pmt) = 0;
    /// S_FALSE when not connected.
    virtual HRESULT Disconnect() = 0;
    /// VFW_E_NOT_CONNECTED (and null) when there is no peer.
    virtual HRESULT ConnectedTo(IPin** pPin) = 0;
    virtual HRESULT ConnectionMediaType(AM_MEDIA_TYPE* pmt) = 0;
    virtual HRESULT QueryPinInfo(PIN_INFO* pInfo) = 0;
    virtual HRESULT QueryDirection(PIN_DIRECTION* pPinDir) = 0;
    /// Id allocated with CoTaskMemAlloc.
    virtual HRESULT QueryId(LPWSTR* Id) = 0;
    /// S_OK when the type is acceptable, else S_FALSE.
    virtual HRESULT QueryAccept(const AM_MEDIA_TYPE* pmt) = 0;
    virtual HRESULT EnumMediaTypes(IEnumMediaTypes** ppEnum) = 0;
    virtual HRESULT QueryInternalConnections(IPin** apPin, ULONG* nPin) = 0;
    virtual HRESULT EndOfStream() = 0;
    virtual HRESULT BeginFlush() = 0;
    virtual HRESULT EndFlush() = 0;
    virtual HRESULT NewSegment(REFERENCE_TIME tStart, REFERENCE_TIME tStop, double dRate) = 0;

protected:
    ~IPin() = default;
};
DECLARE_INTERFACE_IID(IPin, IID_IPin);

struct IEnumPins : IUnknown
{
    /// S_OK when cPins pins were returned, else S_FALSE; VFW_E_ENUM_OUT_OF_SYNC when
    /// the filter's pins changed since Reset.
    virtual HRESULT Next(ULONG cPins, IPin** ppPins, ULONG* pcFetched) = 0;
    virtual HRESULT Skip(ULONG cPins) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumPins** ppEnum) = 0;

protected:
    ~IEnumPins() = default;
};
DECLARE_INTERFACE_IID(IEnumPins, IID_IEnumPins);

struct IEnumMediaTypes : IUnknown
{
    /// Each type is allocated with CreateMediaType; free with DeleteMediaType.
    virtual HRESULT Next(ULONG cMediaTypes, AM_MEDIA_TYPE** ppMediaTypes, ULONG* pcFetched) = 0;
    virtual HRESULT Skip(ULONG cMediaTypes) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumMediaTypes** ppEnum) = 0;

protected:
    ~IEnumMediaTypes() = default;
};
DECLARE_INTERFACE_IID(IEnumMediaTypes, IID_IEnumMediaTypes);

struct IMediaFilter : IPersist
{
    virtual HRESULT Stop() = 0;
    virtual HRESULT Pause() = 0;
    /// tStart: reference time that corresponds to stream time 0.
    virtual HRESULT Run(REFERENCE_TIME tStart) = 0;
    /// VFW_S_STATE_INTERMEDIATE while a transition is not complete.
    virtual HRESULT GetState(DWORD dwMilliSecsTimeout, FILTER_STATE* State) = 0;
    virtual HRESULT SetSyncSource(IReferenceClock* pClock) = 0;
    virtual HRESULT GetSyncSource(IReferenceClock** pClock) = 0;

protected:
    ~IMediaFilter() = default;
};
DECLARE_INTERFACE_IID(IMediaFilter, IID_IMediaFilter);

struct IBaseFilter : IMediaFilter
{
    virtual HRESULT EnumPins(IEnumPins** ppEnum) = 0;
    virtual HRESULT FindPin(LPCWSTR Id, IPin** ppPin) = 0;
    virtual HRESULT QueryFilterInfo(FILTER_INFO* pInfo) = 0;
    /// Called by the graph when the filter is added (pGraph set) or removed (null).
    /// The filter must not hold a reference to the graph.
    virtual HRESULT JoinFilterGraph(IFilterGraph* pGraph, LPCWSTR pName) = 0;
    virtual HRESULT QueryVendorInfo(LPWSTR* pVendorInfo) = 0;

protected:
    ~IBaseFilter() = default;
};
DECLARE_INTERFACE_IID(IBaseFilter, IID_IBaseFilter);

/// Stands in for the Win32 event and semaphore handles given to
/// IReferenceClock::AdviseTime and AdvisePeriodic: the clock calls Signal when an
/// advise time arrives. The clock never calls Signal after Unadvise has returned.
struct IClockSignal
{
    virtual void Signal() = 0;

protected:
    ~IClockSignal() = default;
};
using HEVENT = IClockSignal*;
using HSEMAPHORE = IClockSignal*;

struct IReferenceClock : IUnknown
{
    /// Current time in 100-ns units; never goes backwards.
    virtual HRESULT GetTime(REFERENCE_TIME* pTime) = 0;
    /// Signals hEvent once at baseTime + streamTime.
    virtual HRESULT AdviseTime(REFERENCE_TIME baseTime, REFERENCE_TIME streamTime, HEVENT hEvent,
                               DWORD_PTR* pdwAdviseCookie) = 0;
    /// Signals hSemaphore at startTime and then every periodTime.
    virtual HRESULT AdvisePeriodic(REFERENCE_TIME startTime, REFERENCE_TIME periodTime,
                                   HSEMAPHORE hSemaphore, DWORD_PTR* pdwAdviseCookie) = 0;
    virtual HRESULT Unadvise(DWORD_PTR dwAdviseCookie) = 0;

protected:
    ~IReferenceClock() = default;
};
DECLARE_INTERFACE_IID(IReferenceClock, IID_IReferenceClock);

struct IEnumFilters : IUnknown
{
    virtual HRESULT Next(ULONG cFilters, IBaseFilter** ppFilter, ULONG* pcFetched) = 0;
    virtual HRESULT Skip(ULONG cFilters) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(IEnumFilters** ppEnum) = 0;

protected:
    ~IEnumFilters() = default;
};
DECLARE_INTERFACE_IID(IEnumFilters, IID_IEnumFilters);

struct IFilterGraph : IUnknown
{
    /// A name already in use gets a numbered suffix (VFW_S_DUPLICATE_NAME); a null
    /// name gets a generated one.
    virtual HRESULT AddFilter(IBaseFilter* pFilter, LPCWSTR pName) = 0;
    virtual HRESULT RemoveFilter(IBaseFilter* pFilter) = 0;
    virtual HRESULT EnumFilters(IEnumFilters** ppEnum) = 0;
    virtual HRESULT FindFilterByName(LPCWSTR pName, IBaseFilter** ppFilter) = 0;
    virtual HRESULT ConnectDirect(IPin* ppinOut, IPin* ppinIn, const AM_MEDIA_TYPE* pmt) = 0;
    virtual HRESULT Reconnect(IPin* ppin) = 0;
    virtual HRESULT Disconnect(IPin* ppin) = 0;
    virtual HRESULT SetDefaultSyncSource() = 0;

protected:
    ~IFilterGraph() = default;
};
DECLARE_INTERFACE_IID(IFilterGraph, IID_IFilterGraph);

struct IGraphBuilder : IFilterGraph
{
    /// Connects the pins directly (no intermediate filters are inserted).
    virtual HRESULT Connect(IPin* ppinOut, IPin* ppinIn) = 0;
    virtual HRESULT Render(IPin* ppinOut) = 0;
    virtual HRESULT RenderFile(LPCWSTR lpcwstrFile, LPCWSTR lpcwstrPlayList) = 0;
    virtual HRESULT AddSourceFilter(LPCWSTR lpcwstrFileName, LPCWSTR lpcwstrFilterName,
                                    IBaseFilter** ppFilter) = 0;
    virtual HRESULT SetLogFile(DWORD_PTR hFile) = 0;
    virtual HRESULT Abort() = 0;
    virtual HRESULT ShouldOperationContinue() = 0;

protected:
    ~IGraphBuilder() = default;
};
DECLARE_INTERFACE_IID(IGraphBuilder, IID_IGraphBuilder);

// IAMFilterMiscFlags::GetMiscFlags values.
inline constexpr ULONG AM_FILTER_MISC_FLAGS_IS_RENDERER = 0x1;
inline constexpr ULONG AM_FILTER_MISC_FLAGS_IS_SOURCE = 0x2;

struct IAMFilterMiscFlags : IUnknown
{
    virtual ULONG GetMiscFlags() = 0;

protected:
    ~IAMFilterMiscFlags() = default;
};
DECLARE_INTERFACE_IID(IAMFilterMiscFlags, IID_IAMFilterMiscFlags);
