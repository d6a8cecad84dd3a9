#include "PreviewPins.h"

#include <cstring>
#include <string>

CMediaType ProgramStreamType()
{
    CMediaType mt;
    mt.SetType(&MEDIATYPE_Stream);
    mt.SetSubtype(&MEDIASUBTYPE_MPEG2_PROGRAM);
    return mt;
}

CMediaType DemuxVideoType(LONG width, LONG height, REFERENCE_TIME avgTimePerFrame)
{
    CMediaType mt;
    mt.SetType(&MEDIATYPE_Video);
    mt.SetSubtype(&MEDIASUBTYPE_MPEG2_VIDEO);
    mt.SetFormatType(&FORMAT_MPEG2Video);
    mt.SetSampleSize(1);
    mt.SetTemporalCompression(FALSE);
    auto* pInfo = reinterpret_cast<MPEG2VIDEOINFO*>(mt.AllocFormatBuffer(sizeof(MPEG2VIDEOINFO)));
    std::memset(pInfo, 0, sizeof(MPEG2VIDEOINFO));
    pInfo->hdr.rcSource = RECT{0, 0, width, height};
    pInfo->hdr.dwBitRate = 6000000;
    pInfo->hdr.AvgTimePerFrame = avgTimePerFrame;
    pInfo->hdr.dwPictAspectRatioX = 4;
    pInfo->hdr.dwPictAspectRatioY = 3;
    pInfo->hdr.bmiHeader.biWidth = width;
    pInfo->hdr.bmiHeader.biHeight = height;
    pInfo->dwProfile = 2;
    pInfo->dwLevel = 2;
    return mt;
}

CMediaType DemuxAudioType(DWORD nSamplesPerSec)
{
    CMediaType mt;
    mt.SetType(&MEDIATYPE_Audio);
    mt.SetSubtype(&MEDIASUBTYPE_DVD_LPCM_AUDIO);
    mt.SetFormatType(&FORMAT_WaveFormatEx);
    mt.SetSampleSize(2);
    mt.SetTemporalCompression(FALSE);
    auto* pWave = reinterpret_cast<WAVEFORMATEX*>(mt.AllocFormatBuffer(sizeof(WAVEFORMATEX)));
    std::memset(pWave, 0, sizeof(WAVEFORMATEX));
    pWave->nChannels = 2;
    pWave->nSamplesPerSec = nSamplesPerSec;
    pWave->nAvgBytesPerSec = 4 * nSamplesPerSec;
    pWave->nBlockAlign = 4;
    pWave->wBitsPerSample = 16;
    return mt;
}

IPin* CreateMappedPin(IMpeg2Demultiplexer* pDemux, const CMediaType& mt, const wchar_t* pName,
                      ULONG streamId, ULONG substream, int dataOffset)
{
    CMediaType type(mt);
    std::wstring name(pName);
    IPin* pPin = nullptr;
    if (FAILED(pDemux->CreateOutputPin(&type, name.data(), &pPin)))
        return nullptr;
    IMPEG2StreamIdMap* pMap = nullptr;
    if (SUCCEEDED(pPin->QueryInterface(IID_IMPEG2StreamIdMap, reinterpret_cast<void**>(&pMap))))
    {
        pMap->MapStreamId(streamId, MPEG2_PROGRAM_ELEMENTARY_STREAM, substream, dataOffset);
        pMap->Release();
    }
    pPin->Release(); // the demultiplexer keeps its pins
    return pPin;
}

IPin* CreateVideoOut(IMpeg2Demultiplexer* pDemux, LONG width, LONG height)
{
    return CreateMappedPin(pDemux, DemuxVideoType(width, height, 333667), L"Video Out", 0xE0, 0, 0);
}

IPin* CreateAudioOut(IMpeg2Demultiplexer* pDemux, DWORD nSamplesPerSec)
{
    return CreateMappedPin(pDemux, DemuxAudioType(nSamplesPerSec), L"Audio Out", 0xBD, 0xA0, 7);
}
