#include "CaptureGraph.h"

#include "DeploymentClasses.h"

#include <LmrFileWriterUUIDS.h>

#include <string>

namespace
{
const char* const kCaptureError = "Error occurred during Capture";
const char* const kUnableToOpen = "Unable to Open file";

constexpr REFERENCE_TIME kNtscFrameTime = 333667;
constexpr REFERENCE_TIME kPalFrameTime = 400000;
} // namespace

AM_MEDIA_TYPE* DemuxPinType::Get()
{
    mt.pbFormat = reinterpret_cast<BYTE*>(&format);
    return &mt;
}

std::optional<DemuxPinType> CaptureGraph::VideoOutType(const AppSettings& settings)
{
    REFERENCE_TIME frameTime = 0;
    if (settings.tvStandard == 1)
        frameTime = kNtscFrameTime;
    else if (settings.tvStandard == 16 || settings.tvStandard == 64)
        frameTime = kPalFrameTime;
    else
        return std::nullopt;
    DemuxPinType type;
    type.mt = {MEDIATYPE_Video, MEDIASUBTYPE_MPEG2_VIDEO, 1, 0, 1, FORMAT_MPEG2Video, nullptr,
               sizeof(MPEG2VIDEOINFO), nullptr};
    MPEG2VIDEOINFO& info = type.format.video;
    info.hdr.rcSource = {0, 0, settings.width, settings.height};
    info.hdr.dwBitRate = DWORD(settings.bitRate);
    info.hdr.AvgTimePerFrame = frameTime;
    info.hdr.dwPictAspectRatioX = 4;
    info.hdr.dwPictAspectRatioY = 3;
    info.hdr.bmiHeader.biWidth = settings.width;
    info.hdr.bmiHeader.biHeight = settings.height;
    info.dwProfile = AM_MPEG2Profile_Main;
    info.dwLevel = AM_MPEG2Level_Main;
    return type;
}

DemuxPinType CaptureGraph::AudioOutType(const AppSettings& settings)
{
    DemuxPinType type;
    type.mt = {MEDIATYPE_Audio, MEDIASUBTYPE_DVD_LPCM_AUDIO, 1, 0, 2, FORMAT_WaveFormatEx, nullptr,
               sizeof(WAVEFORMATEX), nullptr};
    const auto rate = DWORD(settings.sampleRate);
    type.format.audio = {0, 2, rate, 4 * rate, 4, 16, 0};
    return type;
}

StartResult CaptureGraph::Start(bool bVideoPreview, bool bAudioPreview)
{
    bAudioPreview = bAudioPreview && bVideoPreview;
    m_Host.ShowBanner(kBanner);
    m_Host.BeginOperation(kCaptureStopCommand);
    const HRESULT hr = m_Context.RebindDeviceFilter();
    if (FAILED(hr))
        return StartFailure(hr, "binding the device filter");
    StartResult result = Build(bVideoPreview, bAudioPreview);
    if (result.Succeeded())
        result = RunGraph(bVideoPreview, kCaptureTimer);
    if (!result.Succeeded())
    {
        m_Host.ShowMessage(kCaptureError);
        Stop();
    }
    return result;
}

StartResult CaptureGraph::Build(bool bVideoPreview, bool bAudioPreview)
{
    FilterSlots& slots = m_Context.Slots();
    StartResult result = AddCaptureFilters(bVideoPreview, bAudioPreview);
    if (!result.Succeeded())
        return result;
    const Connection toFile[] = {
        {m_Context.DeviceFilter(), slots.pInfTee.Get(), "the device", "Infinite Tee"},
        {slots.pInfTee.Get(), slots.pDumpFile.Get(), "Infinite Tee", "Dump File"},
    };
    result = ConnectAll(toFile);
    if (!result.Succeeded())
        return result;
    const HRESULT hr = m_Context.SetOutputFile(m_Settings.captureFile);
    if (FAILED(hr))
    {
        m_Host.ShowMessage(kUnableToOpen);
        return StartFailure(hr, "naming " + m_Settings.captureFile);
    }
    if (bVideoPreview)
    {
        CreateDemuxVideoPin();
        const Connection video[] = {
            {slots.pInfTee.Get(), slots.pDemux.Get(), "Infinite Tee", "Demux"},
            {slots.pDemux.Get(), slots.pVideoDecoder.Get(), "Demux", "Video Decoder"},
            {slots.pVideoDecoder.Get(), slots.pVideoRenderer.Get(), "Video Decoder",
             "Video Renderer"},
        };
        result = ConnectAll(video);
    }
    if (result.Succeeded() && bAudioPreview)
    {
        CreateDemuxAudioPin();
        const Connection audio[] = {
            {slots.pDemux.Get(), slots.pAudioDecoder.Get(), "Demux", "Aduio Decoder"},
            {slots.pAudioDecoder.Get(), slots.pAudioRenderer.Get(), "Aduio Decoder",
             "Audio Renderer"},
        };
        result = ConnectAll(audio);
    }
    if (result.Succeeded())
        SetupVideoWindow(Sizing::Capture);
    return result;
}

StartResult CaptureGraph::AddCaptureFilters(bool bVideoPreview, bool bAudioPreview)
{
    FilterSlots& slots = m_Context.Slots();
    const NewFilter sink[] = {
        {CLSID_InfTee, L"Infinite Tee", slots.pInfTee},
        {CLSID_LmrFileWriter, L"Dump File", slots.pDumpFile},
    };
    StartResult result = AddFilters(sink);
    if (!result.Succeeded())
        return result;
    SetSegmentSize();
    if (bVideoPreview || bAudioPreview)
    {
        const NewFilter demux[] = {{CLSID_MPEG2Demultiplexer, L"Demux", slots.pDemux}};
        result = AddFilters(demux);
        if (!result.Succeeded())
            return result;
        slots.pDemux->QueryInterface(IID_PPV_ARGS(&m_Context.DemuxControl()));
    }
    return AddPreviewFilters(bVideoPreview, bAudioPreview, L"Aduio Decoder", slots.pAudioDecoder);
}

// The writer cuts the capture into segments of the file size limit.
void CaptureGraph::SetSegmentSize()
{
    ComPtr<IMultiFileWriterControl> pControl;
    if (SUCCEEDED(m_Context.Slots().pDumpFile->QueryInterface(IID_IMultiFileWriterControl,
                                                              reinterpret_cast<void**>(&pControl))) &&
        m_Settings.fileSizeLimitMB != 0)
        pControl->SetSegmentSizeKB(DWORD(m_Settings.fileSizeLimitMB) << 10);
}

void CaptureGraph::CreateDemuxVideoPin()
{
    if (std::optional<DemuxPinType> type = VideoOutType(m_Settings))
        CreateDemuxPin(*type, L"Video Out", 0xE0, 0, 0);
}

// Private stream 1, substream 0xA0; the payload follows a 7-byte header.
void CaptureGraph::CreateDemuxAudioPin()
{
    CreateDemuxPin(AudioOutType(m_Settings), L"Audio Out", 0xBD, 0xA0, 7);
}

void CaptureGraph::CreateDemuxPin(DemuxPinType type, const wchar_t* pszName, ULONG streamId,
                                  ULONG substream, int dataOffset)
{
    IMpeg2Demultiplexer* pDemux = m_Context.DemuxControl().Get();
    if (!pDemux)
        return;
    std::wstring name = pszName;
    ComPtr<IPin> pPin;
    if (FAILED(pDemux->CreateOutputPin(type.Get(), name.data(), &pPin)))
        return;
    ComPtr<IMPEG2StreamIdMap> pMap;
    if (SUCCEEDED(pPin->QueryInterface(IID_PPV_ARGS(&pMap))))
        pMap->MapStreamId(streamId, MPEG2_PROGRAM_ELEMENTARY_STREAM, substream, dataOffset);
}

void CaptureGraph::Stop()
{
    StopGraphAndWindow(kCaptureTimer);
    m_Context.RemoveCaptureFilters();
    m_Context.ReleaseMediaControl();
    m_Host.EndOperation(kCaptureStopCommand);
}
