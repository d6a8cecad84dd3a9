#include "GraphContext.h"

#include "AppSettings.h"

#include <com/ComRuntime.h>
#include <com/StringConvert.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <filesystem>

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
    RemovePlaybackFilters();
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
        m_Report.Diagnostic("Cannot Enumerate Upstream Filter's Pins");
        return hr;
    }
    ComPtr<IPin> pOutput;
    while (pEnum->Next(1, &pOutput, nullptr) == S_OK)
    {
        PIN_DIRECTION direction;
        hr = PinDirection(pOutput.Get(), &direction);
        if (FAILED(hr))
        {
            m_Report.Diagnostic("Cannot Obtain Upstream Filter's PIN_INFO");
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

HRESULT GraphContext::RunGraph()
{
    HRESULT hr =
        m_pGraph->QueryInterface(IID_IMediaControl, reinterpret_cast<void**>(&m_pMediaControl));
    if (FAILED(hr))
        return hr;
    hr = m_pMediaControl->Run();
    return hr == S_OK || hr == S_FALSE ? S_OK : (FAILED(hr) ? hr : E_FAIL);
}

void GraphContext::StopGraph()
{
    if (!m_pMediaControl)
        return;
    m_pMediaControl->Pause();
    m_pMediaControl->Stop();
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
