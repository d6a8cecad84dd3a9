#pragma once

// The utility's graph context: the one filter graph, its control and event
// interfaces, and one slot per filter an operation puts into it. The graph
// operations that every start shares live here: creating a filter into its slot,
// joining two filters, naming the writer's file, loading the reader's file,
// running, stopping, and taking filters out again.
//
// Everything runs on the application thread.

#include "UserReport.h"

#include <com/ComPtr.h>
#include <dshow/dshow.h>

#include <string>

// The filters of the playback and conversion graphs; empty while idle.
struct FilterSlots
{
    ComPtr<IBaseFilter> pFileReader;
    ComPtr<IBaseFilter> pAsyncPuller;
    ComPtr<IBaseFilter> pMpegSplitter;
    ComPtr<IBaseFilter> pInfTee;
    ComPtr<IBaseFilter> pInfTee2;
    ComPtr<IBaseFilter> pAudioDecoder;
    ComPtr<IBaseFilter> pAudioDecoder2;
    ComPtr<IBaseFilter> pAcmWrapper;
    ComPtr<IBaseFilter> pTransform;
    ComPtr<IBaseFilter> pMuxer;
    ComPtr<IBaseFilter> pVideoDecoder;
    ComPtr<IBaseFilter> pVideoRenderer;
    ComPtr<IBaseFilter> pAudioRenderer;
    ComPtr<IBaseFilter> pDumpFile;
};

class GraphContext
{
public:
    explicit GraphContext(UserReport& report) : m_Report(report) {}
    ~GraphContext();
    GraphContext(const GraphContext&) = delete;
    GraphContext& operator=(const GraphContext&) = delete;

    // Creates the filter graph and takes its event interface.
    HRESULT CreateGraph();

    IGraphBuilder* Graph() const { return m_pGraph.Get(); }
    IMediaEventEx* MediaEvent() const { return m_pMediaEvent.Get(); }
    IMediaControl* MediaControl() const { return m_pMediaControl.Get(); }
    FilterSlots& Slots() { return m_Slots; }

    // Creates the filter of class clsid in-process and adds it to the graph under
    // pName; the slot holds it. The result of AddFilter is not used.
    HRESULT AddNewFilter(REFCLSID clsid, LPCWSTR pName, ComPtr<IBaseFilter>& slot);

    // Joins the first free output pin of pUpstream that connects to a free input
    // pin of pDownstream, directly and with no media type; E_FAIL when no pair
    // connects. Called again for the same pair it joins the next free pair.
    HRESULT ConnectFilters(IBaseFilter* pUpstream, IBaseFilter* pDownstream);

    // Deletes the file (never a directory), then names it to "Dump File"
    // (IFileSinkFilter).
    HRESULT SetOutputFile(const std::string& name);
    // Loads the file into "File Reader" (IFileSourceFilter).
    HRESULT LoadSourceFile(const std::string& name);

    // Takes the graph's IMediaControl and runs the graph; S_OK or S_FALSE when
    // it runs.
    HRESULT RunGraph();
    // Pause, then Stop, when the graph has been run.
    void StopGraph();

    // Removes the slot's filter from the graph and empties the slot.
    void RemoveFromGraph(ComPtr<IBaseFilter>& slot);
    // Removes every playback and conversion filter, in the order the stop
    // routines have always used.
    void RemovePlaybackFilters();
    void ReleaseMediaControl() { m_pMediaControl.Reset(); }

private:
    // Tries every free input pin of pDownstream for pOutput; S_OK once one connects.
    HRESULT ConnectToFreeInput(IPin* pOutput, IBaseFilter* pDownstream, bool* pbConnected);

    UserReport& m_Report;
    ComPtr<IGraphBuilder> m_pGraph;
    ComPtr<IMediaControl> m_pMediaControl;
    ComPtr<IMediaEventEx> m_pMediaEvent;
    FilterSlots m_Slots;
};
