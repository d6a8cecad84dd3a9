// Module unit of the stock filters: the class factory table and registration
// data of the stand-ins for the operating system's own filters. Each filter is
// registered under the class identifier the platform documents for it, which
// is also what the applications create it by.

#include "StockFilterFactory.h"
#include "audio/AcmWrapperFilter.h"
#include "audio/AudioDecoderFilter.h"
#include "audio/AudioRendererFilter.h"
#include "demux/Mpeg2DemuxFilter.h"
#include "puller/AsyncPullerFilter.h"
#include "splitter/MpegSplitterFilter.h"
#include "tee/InfTeeFilter.h"
#include "video/VideoDecoderFilter.h"
#include "video/VideoRendererFilter.h"

#include "streams.h"

namespace
{
WCHAR szInput[] = L"Input";
WCHAR szOutput[] = L"Output";
WCHAR szVideo[] = L"Video";
WCHAR szAudio[] = L"Audio";

const AMOVIESETUP_MEDIATYPE sudAnyType[] = {{&MEDIATYPE_NULL, &MEDIASUBTYPE_NULL}};
const AMOVIESETUP_PIN sudTeePins[] = {
    {szInput, FALSE, FALSE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, sudAnyType},
    {szOutput, FALSE, TRUE, FALSE, TRUE, &CLSID_NULL, nullptr, 1, sudAnyType},
};
const AMOVIESETUP_FILTER sudInfTee = {&CLSID_InfTee, L"Infinite Pin Tee Filter", MERIT_DO_NOT_USE,
                                      NUMELMS(sudTeePins), sudTeePins};

const AMOVIESETUP_MEDIATYPE sudSplitterInTypes[] = {
    {&MEDIATYPE_Stream, &MEDIASUBTYPE_MPEG2_PROGRAM},
    {&MEDIATYPE_Stream, &MEDIASUBTYPE_MPEG1System}};
const AMOVIESETUP_MEDIATYPE sudSplitterVideoTypes[] = {
    {&MEDIATYPE_Video, &MEDIASUBTYPE_MPEG2_VIDEO}, {&MEDIATYPE_Video, &MEDIASUBTYPE_MPEG1Payload}};
const AMOVIESETUP_MEDIATYPE sudSplitterAudioTypes[] = {
    {&MEDIATYPE_Audio, &MEDIASUBTYPE_MPEG1Payload},
    {&MEDIATYPE_Audio, &MEDIASUBTYPE_DOLBY_AC3},
    {&MEDIATYPE_Audio, &MEDIASUBTYPE_DVD_LPCM_AUDIO}};
const AMOVIESETUP_PIN sudSplitterPins[] = {
    {szInput, FALSE, FALSE, FALSE, FALSE, &CLSID_NULL, nullptr, NUMELMS(sudSplitterInTypes),
     sudSplitterInTypes},
    {szVideo, FALSE, TRUE, TRUE, FALSE, &CLSID_NULL, nullptr, NUMELMS(sudSplitterVideoTypes),
     sudSplitterVideoTypes},
    {szAudio, FALSE, TRUE, TRUE, FALSE, &CLSID_NULL, nullptr, NUMELMS(sudSplitterAudioTypes),
     sudSplitterAudioTypes},
};
const AMOVIESETUP_FILTER sudMpegSplitter = {&CLSID_MPEG1Splitter, L"MPEG-I Stream Splitter",
                                            MERIT_NORMAL, NUMELMS(sudSplitterPins),
                                            sudSplitterPins};

const AMOVIESETUP_MEDIATYPE sudPcmType[] = {{&MEDIATYPE_Audio, &MEDIASUBTYPE_PCM}};
const AMOVIESETUP_PIN sudDecoderPins[] = {
    {szInput, FALSE, FALSE, FALSE, FALSE, &CLSID_NULL, nullptr, NUMELMS(sudSplitterAudioTypes),
     sudSplitterAudioTypes},
    {szOutput, FALSE, TRUE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, sudPcmType},
};
const AMOVIESETUP_FILTER sudAudioDecoder = {&CLSID_CMpegAudioCodec, L"MPEG Audio Decoder",
                                            MERIT_NORMAL, NUMELMS(sudDecoderPins), sudDecoderPins};

const AMOVIESETUP_PIN sudAcmPins[] = {
    {szInput, FALSE, FALSE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, sudPcmType},
    {szOutput, FALSE, TRUE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, sudPcmType},
};
const AMOVIESETUP_FILTER sudAcmWrapper = {&CLSID_ACMWrapper, L"ACM Wrapper", MERIT_NORMAL,
                                          NUMELMS(sudAcmPins), sudAcmPins};
const AMOVIESETUP_MEDIATYPE sudStreamType[] = {{&MEDIATYPE_Stream, &MEDIASUBTYPE_NULL}};
const AMOVIESETUP_PIN sudPullerPins[] = {
    {szInput, FALSE, FALSE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, sudStreamType},
    {szOutput, FALSE, TRUE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, sudStreamType},
};
const AMOVIESETUP_FILTER sudAsyncPuller = {&CLSID_AsyncPuller, L"Async Puller", MERIT_DO_NOT_USE,
                                           NUMELMS(sudPullerPins), sudPullerPins};

const AMOVIESETUP_MEDIATYPE sudDemuxInTypes[] = {{&MEDIATYPE_Stream, &MEDIASUBTYPE_MPEG2_PROGRAM},
                                                 {&MEDIATYPE_Stream, &MEDIASUBTYPE_MPEG1System}};
// Outputs are made on request, so only the input is registered.
const AMOVIESETUP_PIN sudDemuxPins[] = {
    {szInput, FALSE, FALSE, FALSE, FALSE, &CLSID_NULL, nullptr, NUMELMS(sudDemuxInTypes),
     sudDemuxInTypes},
};
const AMOVIESETUP_FILTER sudMpeg2Demux = {&CLSID_MPEG2Demultiplexer, L"MPEG-2 Demultiplexer",
                                          MERIT_DO_NOT_USE, NUMELMS(sudDemuxPins), sudDemuxPins};

const AMOVIESETUP_MEDIATYPE sudMpegVideoTypes[] = {{&MEDIATYPE_Video, &MEDIASUBTYPE_MPEG2_VIDEO},
                                                   {&MEDIATYPE_Video, &MEDIASUBTYPE_MPEG1Payload},
                                                   {&MEDIATYPE_Video, &MEDIASUBTYPE_MPEG1Packet}};
const AMOVIESETUP_MEDIATYPE sudRgb32Type[] = {{&MEDIATYPE_Video, &MEDIASUBTYPE_RGB32}};
const AMOVIESETUP_PIN sudVideoDecoderPins[] = {
    {szInput, FALSE, FALSE, FALSE, FALSE, &CLSID_NULL, nullptr, NUMELMS(sudMpegVideoTypes),
     sudMpegVideoTypes},
    {szOutput, FALSE, TRUE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, sudRgb32Type},
};
const AMOVIESETUP_FILTER sudVideoDecoder = {&CLSID_CMpegVideoCodec, L"MPEG Video Decoder",
                                            MERIT_NORMAL, NUMELMS(sudVideoDecoderPins),
                                            sudVideoDecoderPins};

const AMOVIESETUP_PIN sudVideoRendererPins[] = {
    {szInput, TRUE, FALSE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, sudRgb32Type},
};
const AMOVIESETUP_FILTER sudVideoRenderer = {&CLSID_VideoRenderer, L"Video Renderer", MERIT_NORMAL,
                                             NUMELMS(sudVideoRendererPins), sudVideoRendererPins};

const AMOVIESETUP_PIN sudAudioRendererPins[] = {
    {szInput, TRUE, FALSE, FALSE, FALSE, &CLSID_NULL, nullptr, 1, sudPcmType},
};
const AMOVIESETUP_FILTER sudAudioRenderer = {&CLSID_DSoundRender, L"Audio Renderer", MERIT_NORMAL,
                                             NUMELMS(sudAudioRendererPins), sudAudioRendererPins};
} // namespace

CFactoryTemplate g_Templates[] = {
    {L"Infinite Pin Tee Filter", &CLSID_InfTee, CreateStockFilter<CInfTeeFilter>, nullptr,
     &sudInfTee},
    {L"MPEG-I Stream Splitter", &CLSID_MPEG1Splitter, CreateStockFilter<CMpegSplitterFilter>,
     nullptr, &sudMpegSplitter},
    {L"MPEG Audio Decoder", &CLSID_CMpegAudioCodec, CreateStockFilter<CAudioDecoderFilter>, nullptr,
     &sudAudioDecoder},
    {L"ACM Wrapper", &CLSID_ACMWrapper, CreateStockFilter<CAcmWrapperFilter>, nullptr,
     &sudAcmWrapper},
    {L"Async Puller", &CLSID_AsyncPuller, CreateStockFilter<CAsyncPullerFilter>, nullptr,
     &sudAsyncPuller},
    {L"MPEG-2 Demultiplexer", &CLSID_MPEG2Demultiplexer, CreateStockFilter<CMpeg2DemuxFilter>,
     nullptr, &sudMpeg2Demux},
    {L"MPEG Video Decoder", &CLSID_CMpegVideoCodec, CreateStockFilter<CVideoDecoderFilter>, nullptr,
     &sudVideoDecoder},
    {L"Video Renderer", &CLSID_VideoRenderer, CreateStockFilter<CVideoRendererFilter>, nullptr,
     &sudVideoRenderer},
    {L"Audio Renderer", &CLSID_DSoundRender, CreateStockFilter<CAudioRendererFilter>, nullptr,
     &sudAudioRenderer},
};
int g_cTemplates = NUMELMS(g_Templates);
