#include "ConversionGraph.h"

#include "DeploymentClasses.h"

#include <LmrFileReaderUUIDS.h>
#include <LmrFileWriterUUIDS.h>
#include <OstrelMuxerUUIDS.h>
#include <ZentraxUUIDS.h>

namespace
{
const char* const kUnableToOpen = "Unable to Open file";
const char* const kPlaybackError = "Error occurred during Playback";

StartResult Failure(HRESULT hr, std::string step)
{
    return StartResult{FAILED(hr) ? hr : E_FAIL, std::move(step)};
}
} // namespace

StartResult ConversionGraph::Start()
{
    m_Settings.convertMode = 1;
    StartResult result = Build();
    if (result.Succeeded())
    {
        const HRESULT hr = m_Context.RunGraph();
        if (FAILED(hr))
            result = Failure(hr, "running the graph");
    }
    m_Settings.convertMode = 0;
    if (!result.Succeeded())
    {
        m_Report.ShowMessage(kPlaybackError);
        Stop();
    }
    return result;
}

StartResult ConversionGraph::Build()
{
    FilterSlots& slots = m_Context.Slots();
    HRESULT hr = m_Context.AddNewFilter(CLSID_LmrFileReader, L"File Reader", slots.pFileReader);
    if (FAILED(hr))
        return Failure(hr, "creating File Reader");
    hr = m_Context.LoadSourceFile(m_Settings.convertSource);
    if (FAILED(hr))
    {
        m_Report.ShowMessage(kUnableToOpen);
        return Failure(hr, "loading " + m_Settings.convertSource);
    }
    StartResult result = AddFilters();
    if (result.Succeeded())
        result = ConnectAll();
    return result;
}

StartResult ConversionGraph::AddFilters()
{
    FilterSlots& slots = m_Context.Slots();
    const struct
    {
        const GUID& clsid;
        LPCWSTR pName;
        const char* pszName;
        ComPtr<IBaseFilter>& slot;
    } filters[] = {
        {kClsidMpegSplitter, L"Mpeg Splitter", "Mpeg Splitter", slots.pMpegSplitter},
        {CLSID_InfTee, L"Infinite Tee", "Infinite Tee", slots.pInfTee},
        {CLSID_InfTee, L"Infinite 2 Tee", "Infinite 2 Tee", slots.pInfTee2},
        {kClsidAudioDecoder, L"Audio Decoder", "Audio Decoder", slots.pAudioDecoder},
        {CLSID_Zentrax, L"Zentrax Filter", "Zentrax Filter", slots.pTransform},
        {CLSID_OstrelMuxer, L"Ostrel Muxer", "Ostrel Muxer", slots.pMuxer},
        {CLSID_ACMWrapper, L"ACM Wrapper", "ACM Wrapper", slots.pAcmWrapper},
        {CLSID_LmrFileWriter, L"Dump File", "Dump File", slots.pDumpFile},
    };
    for (const auto& filter : filters)
    {
        const HRESULT hr = m_Context.AddNewFilter(filter.clsid, filter.pName, filter.slot);
        if (FAILED(hr))
            return Failure(hr, std::string("creating ") + filter.pszName);
    }
    // The start does not depend on whether the writer could create the file.
    m_hrOutputFile = m_Context.SetOutputFile(m_Settings.convertTarget);
    return {};
}

StartResult ConversionGraph::ConnectAll()
{
    FilterSlots& slots = m_Context.Slots();
    const struct
    {
        IBaseFilter* pUpstream;
        IBaseFilter* pDownstream;
        const char* pszUpstream;
        const char* pszDownstream;
    } connections[] = {
        {slots.pFileReader.Get(), slots.pMpegSplitter.Get(), "File Reader", "Mpeg Splitter"},
        {slots.pMpegSplitter.Get(), slots.pInfTee.Get(), "Mpeg Splitter", "Infinite Tee"},
        {slots.pMpegSplitter.Get(), slots.pInfTee2.Get(), "Mpeg Splitter", "Infinite 2 Tee"},
        {slots.pInfTee.Get(), slots.pTransform.Get(), "Infinite Tee", "Zentrax Filter"},
        {slots.pInfTee2.Get(), slots.pAudioDecoder.Get(), "Infinite 2 Tee", "Audio Decoder"},
        {slots.pTransform.Get(), slots.pMuxer.Get(), "Zentrax Filter", "Ostrel Muxer"},
        {slots.pMuxer.Get(), slots.pDumpFile.Get(), "Ostrel Muxer", "Dump File"},
        {slots.pAudioDecoder.Get(), slots.pAcmWrapper.Get(), "Audio Decoder", "ACM Wrapper"},
        {slots.pAcmWrapper.Get(), slots.pTransform.Get(), "ACM Wrapper", "Zentrax Filter"},
        {slots.pTransform.Get(), slots.pMuxer.Get(), "Zentrax Filter", "Ostrel Muxer"},
    };
    for (const auto& c : connections)
    {
        const HRESULT hr = m_Context.ConnectFilters(c.pUpstream, c.pDownstream);
        if (FAILED(hr))
            return Failure(hr,
                           std::string("connecting ") + c.pszUpstream + " to " + c.pszDownstream);
    }
    return {};
}

void ConversionGraph::Stop()
{
    m_Context.StopGraph();
    if (IMediaEventEx* pEvent = m_Context.MediaEvent())
    {
        LONG code = 0;
        pEvent->WaitForCompletion(INFINITE, &code); // the stopped graph answers at once
    }
    m_Context.RemovePlaybackFilters();
    m_Context.ReleaseMediaControl();
}
