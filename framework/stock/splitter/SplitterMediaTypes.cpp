#include "SplitterMediaTypes.h"

#include <algorithm>
#include <cstring>
#include <numeric>

namespace
{
constexpr WORD kWaveFormatDolbyAc3 = 0x2000;
constexpr size_t kMaxSequenceHeader = 4096;

REFERENCE_TIME FrameDuration(const AVStream& stream)
{
    const AVRational rate =
        stream.avg_frame_rate.num > 0 ? stream.avg_frame_rate : stream.r_frame_rate;
    if (rate.num <= 0 || rate.den <= 0)
        return 0;
    return av_rescale(UNITS, rate.den, rate.num);
}

// The picture aspect ratio from the sample aspect ratio, reduced.
void PictureAspect(const AVCodecParameters& par, DWORD* pX, DWORD* pY)
{
    AVRational sar = par.sample_aspect_ratio;
    if (sar.num <= 0 || sar.den <= 0)
        sar = AVRational{1, 1};
    int64_t x = int64_t(par.width) * sar.num;
    int64_t y = int64_t(par.height) * sar.den;
    const int64_t g = std::gcd(x, y);
    *pX = DWORD(g ? x / g : 4);
    *pY = DWORD(g ? y / g : 3);
}

// The fields VIDEOINFOHEADER and VIDEOINFOHEADER2 share.
template <class THeader> void FillVideoHeader(const AVStream& stream, THeader* pHeader)
{
    const AVCodecParameters& par = *stream.codecpar;
    pHeader->rcSource = RECT{0, 0, par.width, par.height};
    pHeader->rcTarget = pHeader->rcSource;
    pHeader->dwBitRate = DWORD(std::clamp<int64_t>(par.bit_rate, 0, UINT32_MAX));
    pHeader->AvgTimePerFrame = FrameDuration(stream);
    pHeader->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    pHeader->bmiHeader.biWidth = par.width;
    pHeader->bmiHeader.biHeight = par.height;
}

// FFmpeg numbers the MPEG-2 profiles from High (1) to Simple (5), the format
// block from Simple (1) to High (5).
DWORD Mpeg2Profile(int profile)
{
    return profile >= 1 && profile <= 5 ? DWORD(6 - profile) : AM_MPEG2Profile_Main;
}

DWORD Mpeg2Level(int level)
{
    switch (level)
    {
    case 10:
        return AM_MPEG2Level_Low;
    case 6:
        return AM_MPEG2Level_High1440;
    case 4:
        return AM_MPEG2Level_High;
    default:
        return AM_MPEG2Level_Main;
    }
}

ULONG SequenceHeaderSize(const AVCodecParameters& par)
{
    return ULONG(
        std::min<size_t>(par.extradata ? size_t(par.extradata_size) : 0, kMaxSequenceHeader));
}

HRESULT BuildMpeg2Video(const AVStream& stream, CMediaType* pmt)
{
    const AVCodecParameters& par = *stream.codecpar;
    const ULONG cbSequence = SequenceHeaderSize(par);
    auto* pInfo = reinterpret_cast<MPEG2VIDEOINFO*>(pmt->AllocFormatBuffer(
        std::max<ULONG>(SIZE_MPEG2VIDEOINFO(cbSequence), sizeof(MPEG2VIDEOINFO))));
    if (!pInfo)
        return E_OUTOFMEMORY;
    FillVideoHeader(stream, &pInfo->hdr);
    PictureAspect(par, &pInfo->hdr.dwPictAspectRatioX, &pInfo->hdr.dwPictAspectRatioY);
    pInfo->dwProfile = Mpeg2Profile(par.profile);
    pInfo->dwLevel = Mpeg2Level(par.level);
    pInfo->cbSequenceHeader = cbSequence;
    if (cbSequence)
        std::memcpy(pInfo->dwSequenceHeader, par.extradata, cbSequence);
    pmt->SetSubtype(&MEDIASUBTYPE_MPEG2_VIDEO);
    pmt->SetFormatType(&FORMAT_MPEG2Video);
    return S_OK;
}

HRESULT BuildMpeg1Video(const AVStream& stream, CMediaType* pmt)
{
    const AVCodecParameters& par = *stream.codecpar;
    const ULONG cbSequence = SequenceHeaderSize(par);
    auto* pInfo = reinterpret_cast<MPEG1VIDEOINFO*>(pmt->AllocFormatBuffer(
        std::max<ULONG>(SIZE_MPEG1VIDEOINFO(cbSequence), sizeof(MPEG1VIDEOINFO))));
    if (!pInfo)
        return E_OUTOFMEMORY;
    FillVideoHeader(stream, &pInfo->hdr);
    pInfo->cbSequenceHeader = cbSequence;
    if (cbSequence)
        std::memcpy(pInfo->bSequenceHeader, par.extradata, cbSequence);
    pmt->SetSubtype(&MEDIASUBTYPE_MPEG1Payload);
    pmt->SetFormatType(&FORMAT_MPEGVideo);
    return S_OK;
}

const GUID* AudioSubtype(AVCodecID codecId)
{
    switch (codecId)
    {
    case AV_CODEC_ID_AC3:
        return &MEDIASUBTYPE_DOLBY_AC3;
    case AV_CODEC_ID_PCM_DVD:
        return &MEDIASUBTYPE_DVD_LPCM_AUDIO;
    default:
        return &MEDIASUBTYPE_MPEG1Payload;
    }
}

WORD AudioFormatTag(AVCodecID codecId)
{
    switch (codecId)
    {
    case AV_CODEC_ID_AC3:
        return kWaveFormatDolbyAc3;
    case AV_CODEC_ID_PCM_DVD:
        return 0;
    case AV_CODEC_ID_MP3:
        return WAVE_FORMAT_MPEGLAYER3;
    default:
        return WAVE_FORMAT_MPEG;
    }
}
} // namespace

HRESULT BuildVideoType(const AVStream& stream, CMediaType* pmt)
{
    pmt->InitMediaType();
    pmt->SetType(&MEDIATYPE_Video);
    pmt->SetVariableSize();
    pmt->SetTemporalCompression(TRUE);
    return stream.codecpar->codec_id == AV_CODEC_ID_MPEG1VIDEO ? BuildMpeg1Video(stream, pmt)
                                                               : BuildMpeg2Video(stream, pmt);
}

HRESULT BuildAudioType(const AVStream& stream, CMediaType* pmt)
{
    const AVCodecParameters& par = *stream.codecpar;
    pmt->InitMediaType();
    pmt->SetType(&MEDIATYPE_Audio);
    pmt->SetSubtype(AudioSubtype(par.codec_id));
    pmt->SetFormatType(&FORMAT_WaveFormatEx);
    pmt->SetVariableSize();
    auto* pWave = reinterpret_cast<WAVEFORMATEX*>(pmt->AllocFormatBuffer(sizeof(WAVEFORMATEX)));
    if (!pWave)
        return E_OUTOFMEMORY;
    const bool bLpcm = par.codec_id == AV_CODEC_ID_PCM_DVD;
    pWave->wFormatTag = AudioFormatTag(par.codec_id);
    pWave->nChannels = WORD(par.ch_layout.nb_channels);
    pWave->nSamplesPerSec = DWORD(par.sample_rate);
    pWave->wBitsPerSample = bLpcm ? 16 : 0;
    pWave->nBlockAlign = bLpcm ? WORD(2 * pWave->nChannels) : 1;
    pWave->nAvgBytesPerSec = bLpcm ? pWave->nSamplesPerSec * pWave->nBlockAlign
                                   : DWORD(std::clamp<int64_t>(par.bit_rate / 8, 0, UINT32_MAX));
    pWave->cbSize = 0;
    return S_OK;
}
