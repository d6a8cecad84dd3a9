#include "ProgramStreamDemuxer.h"

extern "C"
{
#include <libavutil/mathematics.h>
}

namespace
{
// How far the probe reads to find every stream: enough for an audio stream that
// starts several seconds after the video.
constexpr int64_t kProbeBytes = 32 * 1024 * 1024;
constexpr int64_t kProbeDuration = 7 * int64_t(AV_TIME_BASE);

constexpr AVRational kReferenceTimeBase{1, int(UNITS)};
constexpr int64_t kStampRate = 90000;
constexpr int64_t kStampWrap = int64_t(1) << 33;

// libavformat's MPEG-PS demultiplexer names a stream by its PES stream id with
// the start code prefix's last byte (0x1E0 for the first video stream), or by
// the substream byte for private stream 1 (0x80 AC-3, 0xA0 LPCM).
constexpr int kStartCodePrefixFlag = 0x100;
constexpr uint8_t kPrivateStream1 = 0xBD;
constexpr size_t kSubstreamHeader = 3; // frame count and first access unit
constexpr size_t kLpcmHeader = 3;      // quantisation, rate, channels, dynamic range

bool IsUsableVideo(const AVCodecParameters& par)
{
    return (par.codec_id == AV_CODEC_ID_MPEG1VIDEO || par.codec_id == AV_CODEC_ID_MPEG2VIDEO) &&
           par.width > 0 && par.height > 0;
}

bool IsUsableAudio(const AVCodecParameters& par)
{
    switch (par.codec_id)
    {
    case AV_CODEC_ID_MP1:
    case AV_CODEC_ID_MP2:
    case AV_CODEC_ID_MP3:
    case AV_CODEC_ID_AC3:
        break;
    case AV_CODEC_ID_PCM_DVD:
        if (par.bits_per_coded_sample != 16 && par.bits_per_raw_sample != 16)
            return false;
        break;
    default:
        return false;
    }
    return par.sample_rate > 0 && par.ch_layout.nb_channels > 0;
}
} // namespace

ProgramStreamDemuxer::~ProgramStreamDemuxer()
{
    Close();
}

HRESULT ProgramStreamDemuxer::Open(IAsyncReader* pReader)
{
    Close();
    HRESULT hr = m_Io.Open(pReader);
    if (FAILED(hr))
        return hr;
    m_pFormat = avformat_alloc_context();
    if (!m_pFormat)
    {
        Close();
        return E_OUTOFMEMORY;
    }
    m_pFormat->pb = m_Io.Context();
    // The probe's packets are not kept: streaming starts again from the first byte.
    m_pFormat->flags |= AVFMT_FLAG_CUSTOM_IO | AVFMT_FLAG_NOBUFFER;
    m_pFormat->probesize = kProbeBytes;
    m_pFormat->max_analyze_duration = kProbeDuration;
    const AVInputFormat* pFormat = av_find_input_format("mpeg");
    // On failure avformat_open_input frees the context itself.
    if (avformat_open_input(&m_pFormat, "", pFormat, nullptr) < 0 ||
        avformat_find_stream_info(m_pFormat, nullptr) < 0)
    {
        Close();
        return VFW_E_INVALID_FILE_FORMAT;
    }
    ChooseStreams();
    if (!m_pVideo && !m_pAudio)
    {
        Close();
        return VFW_E_INVALID_FILE_FORMAT;
    }
    m_StartStamp = m_pFormat->start_time == AV_NOPTS_VALUE
                       ? 0
                       : av_rescale(m_pFormat->start_time, kStampRate, AV_TIME_BASE);
    m_rtDuration = m_pFormat->duration > 0
                       ? av_rescale_q(m_pFormat->duration, AV_TIME_BASE_Q, kReferenceTimeBase)
                       : 0;
    return S_OK;
}

void ProgramStreamDemuxer::ChooseStreams()
{
    for (unsigned i = 0; i < m_pFormat->nb_streams; ++i)
    {
        AVStream* pStream = m_pFormat->streams[i];
        if (!m_pVideo && IsUsableVideo(*pStream->codecpar))
            m_pVideo = pStream;
        else if (!m_pAudio && IsUsableAudio(*pStream->codecpar))
            m_pAudio = pStream;
        else
            pStream->discard = AVDISCARD_ALL;
    }
}

void ProgramStreamDemuxer::Close()
{
    avformat_close_input(&m_pFormat);
    m_Io.Close();
    m_pVideo = m_pAudio = nullptr;
    m_rtDuration = 0;
    m_StartStamp = 0;
}

ProgramStreamDemuxer::PesIdentity ProgramStreamDemuxer::IdentityOf(const AVStream& stream)
{
    PesIdentity identity;
    if (stream.id & kStartCodePrefixFlag)
    {
        identity.streamId = uint8_t(stream.id);
        return identity;
    }
    identity.streamId = kPrivateStream1;
    identity.substream = uint8_t(stream.id);
    const AVCodecID codecId = stream.codecpar->codec_id;
    identity.cbSubstreamHeader =
        kSubstreamHeader + (codecId == AV_CODEC_ID_PCM_DVD ? kLpcmHeader : 0);
    identity.bRawAc3 = codecId == AV_CODEC_ID_AC3;
    return identity;
}

REFERENCE_TIME ProgramStreamDemuxer::TimeOfStamp(int64_t stamp) const
{
    int64_t ticks = (stamp - m_StartStamp) & (kStampWrap - 1);
    if (ticks >= kStampWrap / 2)
        ticks -= kStampWrap;
    return av_rescale(ticks, UNITS, kStampRate);
}

int64_t ProgramStreamDemuxer::BitRate() const
{
    return m_pFormat ? m_pFormat->bit_rate : 0;
}
