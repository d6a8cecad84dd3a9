#pragma once

// The utility's graph context: the capture device (its moniker and its filter),
// the capture graph builder, the one filter graph of the program's life with its
// control and event interfaces and its running object table entry, and one slot
// per filter an operation puts into the graph. The graph operations that every
// start shares live here: binding the device filter again, creating a filter into
// its slot, joining two filters, naming the writer's file, loading the reader's
// file, running, stopping, and taking filters out again.
//
// Everything runs on the application thread.

#include "AppSettings.h"
#include "UserReport.h"

#include <com/ComPtr.h>
#include <dshow/dshow.h>

#include <string>

// The filters the operations put into the graph; empty while idle. The capture
// graph uses the tee, the writer, the demultiplexer and the preview filters.
struct FilterSlots
{
    ComPtr<IBaseFilter> pDemux;
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
    // Takes everything down as the main window's destruction does.
    ~GraphContext();
    GraphContext(const GraphContext&) = delete;
    GraphContext& operator=(const GraphContext&) = delete;

    // Start-up: finds the capture device among the video input devices (the first
    // named "Orvastation" or "Quillbox" in enumeration order), then creates the
    // graph around it. False, after the user's message, when the program cannot go
    // on; a device whose filter cannot be bound still gives true.
    bool FindCaptureDevice();
    // Creates the capture graph builder and the graph, binds the device filter and
    // adds it, registers the graph in the running object table and takes its event
    // interface. Each failure is one diagnostic line and false.
    bool CreateCaptureGraph();
    // Without a capture device (the command line's conversion): the graph alone.
    HRESULT CreateGraph();
    // The first step of every start: a fresh instance of the device filter replaces
    // the one in the graph. A failure is a diagnostic line and ends the start.
    HRESULT RebindDeviceFilter();
    // Gives the settings record the interfaces a device read or the settings dialog use.
    void PublishTo(AppSettings& settings) const;

    IGraphBuilder* Graph() const { return m_pGraph.Get(); }
    IMediaEventEx* MediaEvent() const { return m_pMediaEvent.Get(); }
    IMediaControl* MediaControl() const { return m_pMediaControl.Get(); }
    ICaptureGraphBuilder2* CaptureBuilder() const { return m_pCaptureBuilder.Get(); }
    IBaseFilter* DeviceFilter() const { return m_pDeviceFilter.Get(); }
    IMoniker* DeviceMoniker() const { return m_pDeviceMoniker.Get(); }
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

    // Takes the graph's IMediaControl for the operation; null when it has none.
    IMediaControl* TakeMediaControl();
    // Pause, then Stop, when the graph has been run.
    void StopGraph();
    // The graph's video window while an operation with a renderer runs, and the
    // demultiplexer's control while the Demux slot is filled.
    ComPtr<IVideoWindow>& VideoWindow() { return m_pVideoWindow; }
    ComPtr<IMpeg2Demultiplexer>& DemuxControl() { return m_pDemuxControl; }

    // Removes the slot's filter from the graph and empties the slot.
    void RemoveFromGraph(ComPtr<IBaseFilter>& slot);
    // Removes every capture filter, then every playback and conversion filter, in
    // the order the stop routines have always used.
    void RemoveCaptureFilters();
    void RemovePlaybackFilters();
    void ReleaseMediaControl() { m_pMediaControl.Reset(); }
    // Waits for the stopped graph to settle (it answers at once).
    void WaitForCompletion();

private:
    // Tries every free input pin of pDownstream for pOutput; S_OK once one connects.
    HRESULT ConnectToFreeInput(IPin* pOutput, IBaseFilter* pDownstream, bool* pbConnected);
    HRESULT BindDeviceFilter();
    HRESULT AddDeviceFilter();
    void AddGraphToRot();
    void RemoveGraphFromRot();
    // Disconnects and removes every filter downstream of pFilter.
    void RemoveDownstream(IBaseFilter* pFilter);
    void DestroyCaptureGraph();

    UserReport& m_Report;
    ComPtr<ICaptureGraphBuilder2> m_pCaptureBuilder;
    ComPtr<IBaseFilter> m_pDeviceFilter;
    ComPtr<IMoniker> m_pDeviceMoniker;
    ComPtr<IGraphBuilder> m_pGraph;
    DWORD m_dwRotRegister = 0;
    ComPtr<IMediaControl> m_pMediaControl;
    ComPtr<IMediaEventEx> m_pMediaEvent;
    ComPtr<IVideoWindow> m_pVideoWindow;
    ComPtr<IMpeg2Demultiplexer> m_pDemuxControl;
    FilterSlots m_Slots;
};

// The moniker of the device the utility tests: the first video input device named
// "Orvastation" or "Quillbox" in enumeration order. Null, after the user's message,
// when there is none.
ComPtr<IMoniker> FindTestedDevice(UserReport& report);

// The friendly name in a device moniker's property bag, or an empty string.
std::string FriendlyNameOf(IMoniker* pMoniker);
