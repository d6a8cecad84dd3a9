#include "GraphContext.h"

#include "AppSettings.h"

#include <com/ComRuntime.h>
#include <com/StringConvert.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdint>
#include <filesystem>

#include <unistd.h>

namespace
{
bool HasPeer(IPin* pPin)
{
    ComPtr<IPin> pPeer;
    return SUCCEEDED(pPin->ConnectedTo(&pPeer)) && pPeer;
}

// The pin's direction from its PIN_INFO, dropping the filter reference it carries.
HRESULT PinDirection(IPin* pPin, PIN_DIRECTION* pDirection)
{
    PIN_INFO info{};
    const HRESULT hr = pPin->QueryPinInfo(&info);
    if (SUCCEEDED(hr))
    {
        if (info.pFilter)
            info.pFilter->Release();
        *pDirection = info.dir;
    }
    return hr;
}

// The reader plays a single file it cannot open as an empty stream (a missing
// segment of a list is skipped the same way); a start must refuse such a
// source instead. Segment lists are the reader's to check.
HRESULT CheckSourceReadable(const std::string& name)
{
    std::string lower = name;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (lower.find(".kvx") != std::string::npos)
        return S_OK;
    FILE* pFile = std::fopen(name.c_str(), "rb");
    if (!pFile)
        return HResultFromErrno(errno);
    std::fclose(pFile);
    return S_OK;
}

// Whether the moniker names one of the devices the utility tests, by the exact
// friendly name in its property bag.
bool IsTestedDevice(IMoniker* pMoniker)
{
    const std::string name = FriendlyNameOf(pMoniker);
    return name == "Orvastation" || name == "Quillbox";
}

std::string FormatResult(const char* pszFormat, HRESULT hr)
{
    char line[128];
    std::snprintf(line, sizeof(line), pszFormat, unsigned(hr));
    return line;
}

// The wide form of a file name, refused when longer than the filters take.
HRESULT WideFileName(const std::string& name, std::wstring* pWide)
{
    *pWide = Utf8ToWide(name);
    return pWide->size() < kMaxPathChars ? S_OK : HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
}
} // namespace

GraphContext::~GraphContext()
{
    StopGraph();
    RemoveCaptureFilters();
    RemovePlaybackFilters();
    DestroyCaptureGraph();
}

bool GraphContext::FindCaptureDevice()
{
    m_pDeviceMoniker = FindTestedDevice(m_Report);
    if (!m_pDeviceMoniker)
        return false;
    CreateCaptureGraph();
    return true;
}

// A device that cannot be bound still gets its graph and its event routing, so that
// a later start can bind it again; it only misses the running object table entry.
bool GraphContext::CreateCaptureGraph()
{
    if (!m_pCaptureBuilder &&
        FAILED(CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&m_pCaptureBuilder))))
    {
        m_Report.Diagnostic("Cannot instantiate graph builder");
        return false;
    }
    BindDeviceFilter();
    if (!m_pGraph && FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                             IID_PPV_ARGS(&m_pGraph))))
    {
        m_Report.Diagnostic("Cannot instantiate filtergraph");
        return false;
    }
    // Events are taken whatever fails after this, so a later start that binds the
    // device still reports its end.
    if (!m_pMediaEvent)
        m_pGraph->QueryInterface(IID_PPV_ARGS(&m_pMediaEvent));
    if (m_pDeviceFilter)
        AddGraphToRot();
    if (m_pCaptureBuilder->SetFiltergraph(m_pGraph.Get()) != S_OK)
    {
        m_Report.Diagnostic("Cannot give graph to builder");
        return false;
    }
    return m_pDeviceFilter && AddDeviceFilter() == S_OK;
}

HRESULT GraphContext::CreateGraph()
{
    HRESULT hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IGraphBuilder, reinterpret_cast<void**>(&m_pGraph));
    if (FAILED(hr))
    {
        m_Report.Diagnostic("Cannot instantiate filtergraph");
        return hr;
    }
    hr = m_pGraph->QueryInterface(IID_IMediaEventEx, reinterpret_cast<void**>(&m_pMediaEvent));
    return hr;
}

HRESULT GraphContext::RebindDeviceFilter()
{
    if (m_pDeviceFilter)
    {
        if (m_pGraph)
            m_pGraph->RemoveFilter(m_pDeviceFilter.Get());
        m_pDeviceFilter.Reset();
    }
    HRESULT hr = BindDeviceFilter();
    if (!m_pDeviceFilter)
        return FAILED(hr) ? hr : E_FAIL;
    if (!m_pGraph)
        return E_POINTER;
    hr = AddDeviceFilter();
    return hr == S_OK ? S_OK : (FAILED(hr) ? hr : E_FAIL);
}

HRESULT GraphContext::BindDeviceFilter()
{
    HRESULT hr = E_POINTER;
    if (m_pDeviceMoniker)
        hr = m_pDeviceMoniker->BindToObject(nullptr, nullptr, IID_PPV_ARGS(&m_pDeviceFilter));
    if (!m_pDeviceFilter)
        m_Report.Diagnostic(FormatResult("Error %x: Cannot create video capture filter", hr));
    return hr;
}

HRESULT GraphContext::AddDeviceFilter()
{
    const HRESULT hr = m_pGraph->AddFilter(m_pDeviceFilter.Get(), nullptr);
    if (hr != S_OK)
        m_Report.Diagnostic(FormatResult("Error %x: Cannot add vidcap to filtergraph", hr));
    return hr;
}

void GraphContext::PublishTo(AppSettings& settings) const
{
    settings.graphContext = {m_pCaptureBuilder.Get(), m_pDeviceFilter.Get(),
                             m_pDeviceMoniker.Get(), m_pGraph.Get()};
}

// The entry "FilterGraph %08x pid %08x" lets a graph viewer find the running graph.
void GraphContext::AddGraphToRot()
{
    ComPtr<IRunningObjectTable> pTable;
    if (FAILED(GetRunningObjectTable(0, &pTable)))
        return;
    char name[64];
    std::snprintf(name, sizeof(name), "FilterGraph %08x pid %08x",
                  unsigned(reinterpret_cast<std::uintptr_t>(m_pGraph.Get())), unsigned(getpid()));
    ComPtr<IMoniker> pMoniker;
    if (SUCCEEDED(CreateItemMoniker(L"!", Utf8ToWide(name).c_str(), &pMoniker)))
        pTable->Register(0, m_pGraph.Get(), pMoniker.Get(), &m_dwRotRegister);
}

void GraphContext::RemoveGraphFromRot()
{
    ComPtr<IRunningObjectTable> pTable;
    if (m_dwRotRegister && SUCCEEDED(GetRunningObjectTable(0, &pTable)))
        pTable->Revoke(m_dwRotRegister);
    m_dwRotRegister = 0;
}

// As the main window's destruction: the events, the table entry, the device filter
// and everything still joined to it, the graph, the builder and the moniker.
void GraphContext::DestroyCaptureGraph()
{
    m_pMediaEvent.Reset();
    RemoveGraphFromRot();
    if (m_pDeviceFilter && m_pGraph)
    {
        RemoveDownstream(m_pDeviceFilter.Get());
        m_pGraph->RemoveFilter(m_pDeviceFilter.Get());
    }
    m_pDeviceFilter.Reset();
    m_pGraph.Reset();
    m_pCaptureBuilder.Reset();
    m_pDeviceMoniker.Reset();
}

void GraphContext::RemoveDownstream(IBaseFilter* pFilter)
{
    ComPtr<IEnumPins> pPins;
    if (FAILED(pFilter->EnumPins(&pPins)))
        return;
    ComPtr<IPin> pPin;
    while (pPins->Next(1, &pPin, nullptr) == S_OK)
    {
        ComPtr<IPin> pPeer;
        if (FAILED(pPin->ConnectedTo(&pPeer)) || !pPeer)
            continue;
        PIN_INFO info{};
        if (FAILED(pPeer->QueryPinInfo(&info)))
            continue;
        ComPtr<IBaseFilter> pPeerFilter;
        pPeerFilter.Attach(info.pFilter);
        if (info.dir != PINDIR_INPUT)
            continue;
        RemoveDownstream(pPeerFilter.Get());
        m_pGraph->Disconnect(pPeer.Get());
        m_pGraph->Disconnect(pPin.Get());
        m_pGraph->RemoveFilter(pPeerFilter.Get());
    }
}

HRESULT GraphContext::AddNewFilter(REFCLSID clsid, LPCWSTR pName, ComPtr<IBaseFilter>& slot)
{
    slot.Reset();
    const HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                        reinterpret_cast<void**>(&slot));
    if (FAILED(hr))
        return hr;
    m_pGraph->AddFilter(slot.Get(), pName);
    return hr;
}

HRESULT GraphContext::ConnectFilters(IBaseFilter* pUpstream, IBaseFilter* pDownstream)
{
    if (!pUpstream || !pDownstream)
        return E_POINTER;
    ComPtr<IEnumPins> pEnum;
    HRESULT hr = pUpstream->EnumPins(&pEnum);
    if (FAILED(hr))
    {
        m_Report.DebugOutput("Cannot Enumerate Upstream Filter's Pins");
        return hr;
    }
    ComPtr<IPin> pOutput;
    while (pEnum->Next(1, &pOutput, nullptr) == S_OK)
    {
        PIN_DIRECTION direction;
        hr = PinDirection(pOutput.Get(), &direction);
        if (FAILED(hr))
        {
            m_Report.DebugOutput("Cannot Obtain Upstream Filter's PIN_INFO");
            return hr;
        }
        if (direction != PINDIR_OUTPUT || HasPeer(pOutput.Get()))
            continue;
        bool bConnected = false;
        hr = ConnectToFreeInput(pOutput.Get(), pDownstream, &bConnected);
        if (FAILED(hr) || bConnected)
            return hr;
    }
    return E_FAIL;
}

HRESULT GraphContext::ConnectToFreeInput(IPin* pOutput, IBaseFilter* pDownstream, bool* pbConnected)
{
    ComPtr<IEnumPins> pEnum;
    HRESULT hr = pDownstream->EnumPins(&pEnum);
    if (FAILED(hr))
        return hr;
    ComPtr<IPin> pInput;
    while (pEnum->Next(1, &pInput, nullptr) == S_OK)
    {
        PIN_DIRECTION direction;
        if (FAILED(PinDirection(pInput.Get(), &direction)) || direction != PINDIR_INPUT ||
            HasPeer(pInput.Get()))
            continue;
        if (SUCCEEDED(m_pGraph->ConnectDirect(pOutput, pInput.Get(), nullptr)))
        {
            *pbConnected = true;
            return S_OK;
        }
    }
    return S_OK;
}

HRESULT GraphContext::SetOutputFile(const std::string& name)
{
    // Only a file of that name is replaced; a directory is left for the writer to refuse.
    std::error_code error;
    if (!std::filesystem::is_directory(name, error))
        std::remove(name.c_str());
    if (!m_Slots.pDumpFile)
        return E_POINTER;
    ComPtr<IFileSinkFilter> pSink;
    HRESULT hr =
        m_Slots.pDumpFile->QueryInterface(IID_IFileSinkFilter, reinterpret_cast<void**>(&pSink));
    if (FAILED(hr))
        return hr;
    std::wstring wideName;
    hr = WideFileName(name, &wideName);
    if (FAILED(hr))
        return hr;
    return pSink->SetFileName(wideName.c_str(), nullptr);
}

HRESULT GraphContext::LoadSourceFile(const std::string& name)
{
    if (!m_Slots.pFileReader)
        return E_POINTER;
    ComPtr<IFileSourceFilter> pSource;
    HRESULT hr = m_Slots.pFileReader->QueryInterface(IID_IFileSourceFilter,
                                                     reinterpret_cast<void**>(&pSource));
    std::wstring wideName;
    if (SUCCEEDED(hr))
        hr = WideFileName(name, &wideName);
    if (SUCCEEDED(hr))
        hr = CheckSourceReadable(name);
    if (SUCCEEDED(hr))
        hr = pSource->Load(wideName.c_str(), nullptr);
    if (FAILED(hr))
        m_Report.Diagnostic("\nError Loading the Playback File.");
    return hr;
}

IMediaControl* GraphContext::TakeMediaControl()
{
    if (FAILED(m_pGraph->QueryInterface(IID_PPV_ARGS(&m_pMediaControl))))
        m_pMediaControl.Reset();
    return m_pMediaControl.Get();
}

void GraphContext::StopGraph()
{
    if (!m_pMediaControl)
        return;
    m_pMediaControl->Pause();
    m_pMediaControl->Stop();
}

void GraphContext::RemoveCaptureFilters()
{
    using Slot = ComPtr<IBaseFilter> FilterSlots::*;
    static constexpr Slot kOrder[] = {
        &FilterSlots::pInfTee,       &FilterSlots::pDumpFile,      &FilterSlots::pDemux,
        &FilterSlots::pVideoDecoder, &FilterSlots::pVideoRenderer, &FilterSlots::pAudioDecoder,
        &FilterSlots::pAudioRenderer};
    for (Slot slot : kOrder)
    {
        RemoveFromGraph(m_Slots.*slot);
        if (slot == &FilterSlots::pDemux)
            m_pDemuxControl.Reset();
    }
}

void GraphContext::WaitForCompletion()
{
    if (m_pMediaEvent)
    {
        LONG code = 0;
        m_pMediaEvent->WaitForCompletion(INFINITE, &code);
    }
}

void GraphContext::RemovePlaybackFilters()
{
    using Slot = ComPtr<IBaseFilter> FilterSlots::*;
    static constexpr Slot kOrder[] = {
        &FilterSlots::pFileReader,    &FilterSlots::pAsyncPuller,  &FilterSlots::pMpegSplitter,
        &FilterSlots::pInfTee,        &FilterSlots::pInfTee2,      &FilterSlots::pAudioDecoder,
        &FilterSlots::pAudioDecoder2, &FilterSlots::pAcmWrapper,   &FilterSlots::pTransform,
        &FilterSlots::pMuxer,         &FilterSlots::pVideoDecoder, &FilterSlots::pVideoRenderer,
        &FilterSlots::pAudioRenderer, &FilterSlots::pDumpFile};
    for (Slot slot : kOrder)
        RemoveFromGraph(m_Slots.*slot);
}

void GraphContext::RemoveFromGraph(ComPtr<IBaseFilter>& slot)
{
    if (slot && m_pGraph)
        m_pGraph->RemoveFilter(slot.Get());
    slot.Reset();
}

ComPtr<IMoniker> FindTestedDevice(UserReport& report)
{
    ComPtr<ICreateDevEnum> pDevices;
    if (CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER,
                         IID_PPV_ARGS(&pDevices)) != S_OK)
    {
        report.ShowMessage("Error Creating Device Enumerator");
        return nullptr;
    }
    ComPtr<IEnumMoniker> pMonikers;
    if (pDevices->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, &pMonikers, 0) != S_OK)
    {
        report.ShowMessage("Sorry, you have no video capture hardware");
        return nullptr;
    }
    pMonikers->Reset();
    ComPtr<IMoniker> pMoniker;
    while (pMonikers->Next(1, &pMoniker, nullptr) == S_OK)
        if (IsTestedDevice(pMoniker.Get()))
            return pMoniker;
    report.ShowError("Marvek/Tellin Device not Found");
    return nullptr;
}

std::string FriendlyNameOf(IMoniker* pMoniker)
{
    ComPtr<IPropertyBag> pBag;
    if (!pMoniker || FAILED(pMoniker->BindToStorage(nullptr, nullptr, IID_PPV_ARGS(&pBag))))
        return {};
    VARIANT name;
    VariantInit(&name);
    name.vt = VT_BSTR;
    std::string text;
    if (SUCCEEDED(pBag->Read(L"FriendlyName", &name, nullptr)) && name.vt == VT_BSTR)
        text = WideToUtf8(name.bstrVal ? name.bstrVal : L"");
    VariantClear(&name);
    return text;
}
