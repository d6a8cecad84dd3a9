#include "PlaybackGraph.h"

#include "DeploymentClasses.h"

#include <LmrFileReaderUUIDS.h>
#include <LmrFileWriterUUIDS.h>
#include <OstrelMuxerUUIDS.h>
#include <ZentraxUUIDS.h>

namespace
{
const char* const kUnableToOpen = "Unable to Open file";
const char* const kPlaybackError = "Error occurred during Playback";
} // namespace

bool PlaybackGraph::IsC3Operation() const
{
    return m_Settings.playbackKind == PlaybackKind::C3S || m_Settings.convertMode == 1;
}

bool PlaybackGraph::IsMpegGraph() const
{
    return m_Settings.convertMode == 1 || m_Settings.playbackKind == PlaybackKind::Mpeg;
}

StartResult PlaybackGraph::Start(bool bVideoPreview, bool bAudioPreview)
{
    const bool bC3Operation = IsC3Operation();
    m_Host.ShowBanner(bC3Operation ? kConvertBanner : kDownloadBanner);
    m_Host.BeginOperation(bC3Operation ? kC3StreamStopCommand : kPlaybackStopCommand);
    // The command line converts without a capture device.
    if (m_Context.DeviceMoniker())
    {
        const HRESULT hr = m_Context.RebindDeviceFilter();
        if (FAILED(hr))
            return StartFailure(hr, "binding the device filter");
    }
    StartResult result = Build(bVideoPreview, bAudioPreview);
    if (result.Succeeded())
        result = RunGraph(bVideoPreview, kPlaybackTimer);
    if (!result.Succeeded())
    {
        m_Host.ShowMessage(kPlaybackError);
        Stop(bC3Operation ? kC3StreamStopCommand : kPlaybackStopCommand);
    }
    return result;
}

StartResult PlaybackGraph::Build(bool bVideoPreview, bool bAudioPreview)
{
    FilterSlots& slots = m_Context.Slots();
    const NewFilter reader[] = {{CLSID_LmrFileReader, L"File Reader", slots.pFileReader}};
    StartResult result = AddFilters(reader);
    if (!result.Succeeded())
        return result;
    const std::string& source =
        m_Settings.convertMode == 1 ? m_Settings.convertSource : m_Settings.playbackFile;
    const HRESULT hr = m_Context.LoadSourceFile(source);
    if (FAILED(hr))
    {
        m_Host.ShowMessage(kUnableToOpen);
        return StartFailure(hr, "loading " + source);
    }
    if (!IsMpegGraph())
        result = BuildC3StreamGraph();
    else
    {
        result = AddMpegFilters(bVideoPreview, bAudioPreview);
        if (result.Succeeded())
            result = ConnectMpegGraph(bVideoPreview, bAudioPreview);
    }
    if (result.Succeeded())
        SetupVideoWindow(Sizing::Playback);
    return result;
}

StartResult PlaybackGraph::BuildC3StreamGraph()
{
    FilterSlots& slots = m_Context.Slots();
    const NewFilter filters[] = {
        {kClsidAsyncPuller, L"Async Puller", slots.pAsyncPuller},
        {CLSID_InfTee, L"Infinite Tee", slots.pInfTee},
    };
    StartResult result = AddFilters(filters);
    if (!result.Succeeded())
        return result;
    const Connection connections[] = {
        {slots.pFileReader.Get(), slots.pAsyncPuller.Get(), "File Reader", "Async Puller"},
        {slots.pAsyncPuller.Get(), slots.pInfTee.Get(), "Async Puller", "Infinite Tee"},
        {slots.pInfTee.Get(), m_Context.DeviceFilter(), "Infinite Tee", "the device"},
    };
    return ConnectAll(connections);
}

StartResult PlaybackGraph::AddMpegFilters(bool bVideoPreview, bool bAudioPreview)
{
    FilterSlots& slots = m_Context.Slots();
    const NewFilter filters[] = {
        {kClsidMpegSplitter, L"Mpeg Splitter", slots.pMpegSplitter},
        {CLSID_InfTee, L"Infinite Tee", slots.pInfTee},
        {CLSID_InfTee, L"Infinite 2 Tee", slots.pInfTee2},
        {kClsidAudioDecoder, L"Audio Decoder", slots.pAudioDecoder},
        {CLSID_Zentrax, L"Zentrax Filter", slots.pTransform},
        {CLSID_OstrelMuxer, L"Ostrel Muxer", slots.pMuxer},
        {CLSID_ACMWrapper, L"ACM Wrapper", slots.pAcmWrapper},
    };
    StartResult result = AddFilters(filters);
    if (result.Succeeded())
        result = AddPreviewFilters(bVideoPreview, bAudioPreview, L"Audio Decoder 2",
                                   slots.pAudioDecoder2);
    if (result.Succeeded() && m_Settings.convertMode == 1)
    {
        const NewFilter writer[] = {{CLSID_LmrFileWriter, L"Dump File", slots.pDumpFile}};
        result = AddFilters(writer);
        // The start does not depend on whether the writer could create the file.
        if (result.Succeeded())
            m_hrOutputFile = m_Context.SetOutputFile(m_Settings.convertTarget);
    }
    return result;
}

StartResult PlaybackGraph::ConnectMpegGraph(bool bVideoPreview, bool bAudioPreview)
{
    FilterSlots& slots = m_Context.Slots();
    const bool bConvert = m_Settings.convertMode == 1;
    IBaseFilter* pMuxerTarget = bConvert ? slots.pDumpFile.Get() : m_Context.DeviceFilter();
    const Connection connections[] = {
        {slots.pFileReader.Get(), slots.pMpegSplitter.Get(), "File Reader", "Mpeg Splitter"},
        {slots.pMpegSplitter.Get(), slots.pInfTee.Get(), "Mpeg Splitter", "Infinite Tee"},
        {slots.pMpegSplitter.Get(), slots.pInfTee2.Get(), "Mpeg Splitter", "Infinite 2 Tee"},
        {slots.pInfTee.Get(), slots.pTransform.Get(), "Infinite Tee", "Zentrax Filter"},
        {slots.pInfTee2.Get(), slots.pAudioDecoder.Get(), "Infinite 2 Tee", "Audio Decoder"},
        {slots.pTransform.Get(), slots.pMuxer.Get(), "Zentrax Filter", "Ostrel Muxer"},
        {slots.pMuxer.Get(), pMuxerTarget, "Ostrel Muxer", bConvert ? "Dump File" : "the device"},
        {slots.pAudioDecoder.Get(), slots.pAcmWrapper.Get(), "Audio Decoder", "ACM Wrapper"},
        {slots.pAcmWrapper.Get(), slots.pTransform.Get(), "ACM Wrapper", "Zentrax Filter"},
        {slots.pTransform.Get(), slots.pMuxer.Get(), "Zentrax Filter", "Ostrel Muxer"},
    };
    StartResult result = ConnectAll(connections);
    if (result.Succeeded() && bVideoPreview)
    {
        const Connection video[] = {
            {slots.pInfTee.Get(), slots.pVideoDecoder.Get(), "Infinite Tee", "Video Decoder"},
            {slots.pVideoDecoder.Get(), slots.pVideoRenderer.Get(), "Video Decoder",
             "Video Renderer"},
        };
        result = ConnectAll(video);
    }
    if (result.Succeeded() && bAudioPreview)
    {
        const Connection audio[] = {
            {slots.pInfTee2.Get(), slots.pAudioDecoder2.Get(), "Infinite 2 Tee", "Audio Decoder 2"},
            {slots.pAudioDecoder2.Get(), slots.pAudioRenderer.Get(), "Audio Decoder 2",
             "Audio Renderer"},
        };
        result = ConnectAll(audio);
    }
    return result;
}

void PlaybackGraph::Stop(int stopCommand)
{
    StopGraphAndWindow(kPlaybackTimer);
    m_Context.RemovePlaybackFilters();
    m_Context.ReleaseMediaControl();
    m_Host.EndOperation(stopCommand);
}
