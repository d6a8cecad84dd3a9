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
    m_StartTime = m_pFormat->start_time == AV_NOPTS_VALUE ? 0 : m_pFormat->start_time;
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
    m_StartTime = 0;
}

HRESULT ProgramStreamDemuxer::Rewind()
{
    if (!m_pFormat)
        return E_UNEXPECTED;
    return av_seek_frame(m_pFormat, -1, 0, AVSEEK_FLAG_BYTE) < 0 ? E_FAIL : S_OK;
}

int ProgramStreamDemuxer::ReadPacket(AVPacket* pPacket)
{
    for (;;)
    {
        const int err = av_read_frame(m_pFormat, pPacket);
        if (err < 0)
            return err;
        const AVStream* pStream = m_pFormat->streams[pPacket->stream_index];
        if (pStream == m_pVideo || pStream == m_pAudio)
            return 0;
        av_packet_unref(pPacket);
    }
}

REFERENCE_TIME ProgramStreamDemuxer::TimeOf(const AVStream* pStream, int64_t ts) const
{
    if (ts == AV_NOPTS_VALUE)
        return kNoTime;
    return av_rescale_q(ts, pStream->time_base, kReferenceTimeBase) -
           av_rescale_q(m_StartTime, AV_TIME_BASE_Q, kReferenceTimeBase);
}

int64_t ProgramStreamDemuxer::BitRate() const
{
    return m_pFormat ? m_pFormat->bit_rate : 0;
}
