#pragma once
// The filter graph manager.
//
// Membership and connections (FilterGraph.cpp): filters are held in the order they
// were added; the graph holds a reference to each, and a filter must not hold one
// to the graph. Pins are connected directly (no intermediate filters).
//
// Run state (FilterGraphControl.cpp): state changes go to every filter downstream
// first. Pause from Stopped gives every filter the graph's reference clock (the
// system clock) and counts the renderers; Run from Stopped pauses first; Stop from
// Running pauses first. Run passes the reference time of stream time 0, a little
// ahead of now, and keeps stream time across Pause.
//
// Events (FilterGraphControl.cpp): filters report through IMediaEventSink::Notify
// on any thread; the graph queues events for the application (GraphEventQueue) and
// sends EC_COMPLETE once every renderer has (RendererCompletion), unless the
// application cancelled that default handling.
//
// Position (FilterGraphSeeking.cpp): IMediaSeeking and IMediaPosition ask the
// filters that expose IMediaSeeking, renderers first.
//
// Video window (FilterGraph.cpp): IVideoWindow is answered while the graph holds
// a filter that has it (a video renderer), and forwards to that filter.
//
// Locking: m_lock (recursive) guards membership, connections and state, and is held
// while filters change state. Notify never takes it, so streaming threads can
// report while the application thread stops the graph.

#include "GraphEventQueue.h"
#include "GraphTopology.h"
#include "RendererCompletion.h"
#include "VideoWindowForwarder.h"
#include "com/ComObject.h"
#include "dshow/Control.h"
#include "dshow/Filters.h"

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace graph
{

class FilterGraph final : public ComObject<IGraphBuilder, IMediaControl, IMediaEventEx,
                                           IMediaEventSink, IMediaSeeking, IMediaPosition>
{
public:
    FilterGraph() = default;
    ~FilterGraph() override;

    // IFilterGraph
    HRESULT AddFilter(IBaseFilter* pFilter, LPCWSTR pName) override;
    HRESULT RemoveFilter(IBaseFilter* pFilter) override;
    HRESULT EnumFilters(IEnumFilters** ppEnum) override;
    HRESULT FindFilterByName(LPCWSTR pName, IBaseFilter** ppFilter) override;
    HRESULT ConnectDirect(IPin* ppinOut, IPin* ppinIn, const AM_MEDIA_TYPE* pmt) override;
    HRESULT Reconnect(IPin* ppin) override;
    HRESULT Disconnect(IPin* ppin) override;
    HRESULT SetDefaultSyncSource() override;

    // IGraphBuilder
    HRESULT Connect(IPin* ppinOut, IPin* ppinIn) override;
    HRESULT Render(IPin* ppinOut) override;
    HRESULT RenderFile(LPCWSTR lpcwstrFile, LPCWSTR lpcwstrPlayList) override;
    HRESULT AddSourceFilter(LPCWSTR lpcwstrFileName, LPCWSTR lpcwstrFilterName,
                            IBaseFilter** ppFilter) override;
    HRESULT SetLogFile(DWORD_PTR hFile) override;
    HRESULT Abort() override;
    HRESULT ShouldOperationContinue() override;

    // IMediaControl
    HRESULT Run() override;
    HRESULT Pause() override;
    HRESULT Stop() override;
    HRESULT GetState(LONG msTimeout, OAFilterState* pfs) override;
    HRESULT StopWhenReady() override;

    // IMediaEvent, IMediaEventEx
    HRESULT GetEvent(LONG* lEventCode, LONG_PTR* lParam1, LONG_PTR* lParam2,
                     LONG msTimeout) override;
    HRESULT WaitForCompletion(LONG msTimeout, LONG* pEvCode) override;
    HRESULT CancelDefaultHandling(LONG lEvCode) override;
    HRESULT RestoreDefaultHandling(LONG lEvCode) override;
    HRESULT FreeEventParams(LONG lEvCode, LONG_PTR lParam1, LONG_PTR lParam2) override;
    HRESULT SetNotifyCallback(GraphNotifyCallback callback) override;
    HRESULT SetNotifyFlags(LONG lNoNotifyFlags) override;
    HRESULT GetNotifyFlags(LONG* lplNoNotifyFlags) override;

    // IMediaEventSink
    HRESULT Notify(LONG EventCode, LONG_PTR EventParam1, LONG_PTR EventParam2) override;

    // IMediaSeeking
    HRESULT GetCapabilities(DWORD* pCapabilities) override;
    HRESULT CheckCapabilities(DWORD* pCapabilities) override;
    HRESULT IsFormatSupported(const GUID* pFormat) override;
    HRESULT QueryPreferredFormat(GUID* pFormat) override;
    HRESULT GetTimeFormat(GUID* pFormat) override;
    HRESULT IsUsingTimeFormat(const GUID* pFormat) override;
    HRESULT SetTimeFormat(const GUID* pFormat) override;
    HRESULT GetDuration(LONGLONG* pDuration) override;
    HRESULT GetStopPosition(LONGLONG* pStop) override;
    HRESULT GetCurrentPosition(LONGLONG* pCurrent) override;
    HRESULT ConvertTimeFormat(LONGLONG* pTarget, const GUID* pTargetFormat, LONGLONG Source,
                              const GUID* pSourceFormat) override;
    HRESULT SetPositions(LONGLONG* pCurrent, DWORD dwCurrentFlags, LONGLONG* pStop,
                         DWORD dwStopFlags) override;
    HRESULT GetPositions(LONGLONG* pCurrent, LONGLONG* pStop) override;
    HRESULT GetAvailable(LONGLONG* pEarliest, LONGLONG* pLatest) override;
    HRESULT SetRate(double dRate) override;
    HRESULT GetRate(double* pdRate) override;
    HRESULT GetPreroll(LONGLONG* pllPreroll) override;

    // IMediaPosition
    HRESULT get_Duration(REFTIME* plength) override;
    HRESULT put_CurrentPosition(REFTIME llTime) override;
    HRESULT get_CurrentPosition(REFTIME* pllTime) override;
    HRESULT get_StopTime(REFTIME* pllTime) override;
    HRESULT put_StopTime(REFTIME llTime) override;
    HRESULT get_PrerollTime(REFTIME* pllTime) override;
    HRESULT put_PrerollTime(REFTIME llTime) override;
    HRESULT put_Rate(double dRate) override;
    HRESULT get_Rate(double* pdRate) override;
    HRESULT CanSeekForward(LONG* pCanSeekForward) override;
    HRESULT CanSeekBackward(LONG* pCanSeekBackward) override;

protected:
    void* QueryExtraInterface(REFIID riid) override;

private:
    struct Member
    {
        ComPtr<IBaseFilter> filter;
        std::wstring name;
    };

    IFilterGraph* AsFilterGraph() { return static_cast<IGraphBuilder*>(this); }

    // Membership (FilterGraph.cpp)
    FilterList FiltersLocked();
    /// The first member that answers IVideoWindow, or null.
    ComPtr<IVideoWindow> FindVideoWindow();
    bool ContainsLocked(IBaseFilter* filter);
    bool NameTakenLocked(const std::wstring& name);
    std::wstring UniqueNameLocked(std::wstring name);
    void DetachLocked(IBaseFilter* filter);

    // Run state (FilterGraphControl.cpp)
    HRESULT PauseLocked();
    HRESULT StopLocked();
    /// Applies a state change to every filter, downstream first. Stops at the first
    /// failure unless toAll; S_FALSE when some filter is still on its way.
    HRESULT ChangeStates(const std::function<HRESULT(IBaseFilter*)>& change, bool toAll);
    void UseClockLocked();
    FilterList RenderersLocked();
    REFERENCE_TIME StreamTimeLocked();

    // Position (FilterGraphSeeking.cpp)
    using SeekingCall = std::function<HRESULT(IMediaSeeking*)>;
    /// Asks the seekable filters in turn until one succeeds.
    HRESULT AskSeekers(const SeekingCall& call);
    /// Tells every seekable renderer (or the first seekable filter if no renderer is).
    HRESULT TellSeekers(const SeekingCall& call);
    /// Calls an IMediaSeeking getter and converts its 100-ns result to seconds.
    HRESULT InSeconds(HRESULT (FilterGraph::*get)(LONGLONG*), REFTIME* seconds);

    std::recursive_mutex m_lock;
    std::vector<Member> m_members;
    FILTER_STATE m_state = State_Stopped;
    ComPtr<IReferenceClock> m_clock;
    REFERENCE_TIME m_runStart = 0; ///< reference time of stream time 0
    REFERENCE_TIME m_pausedStreamTime = 0;
    GraphEventQueue m_events;
    RendererCompletion m_completion;
    std::atomic<bool> m_completeHandledByApplication{false};
    VideoWindowForwarder m_videoWindow{*static_cast<IGraphBuilder*>(this),
                                       [this] { return FindVideoWindow(); }};
};

} // namespace graph
