#include "LoopedDecoder.h"

#include <algorithm>
#include <cstdlib>

extern "C"
{
#include <libavutil/mathematics.h>
}

bool LoopedDecoder::Open(const std::string& path, AVMediaType type, std::string* pError)
{
    m_Path = path;
    const std::string quoted = "source file \"" + path + "\"";
    AVFormatContext* pInput = nullptr;
    int result = avformat_open_input(&pInput, path.c_str(), nullptr, nullptr);
    if (result < 0)
        return ffmpeg::Fail(pError, "cannot open the " + quoted, result);
    m_pInput.reset(pInput);
    if ((result = avformat_find_stream_info(pInput, nullptr)) < 0)
        return ffmpeg::Fail(pError, "cannot read the streams of the " + quoted, result);
    const AVCodec* pCodec = nullptr;
    const int iStream = av_find_best_stream(pInput, type, -1, -1, &pCodec, 0);
    if (iStream == AVERROR_STREAM_NOT_FOUND)
        return true;
    if (iStream < 0)
        return ffmpeg::Fail(pError, "no decoder for the " +
                                        std::string(av_get_media_type_string(type)) + " of the " +
                                        quoted);
    m_pStream = pInput->streams[iStream];
    for (unsigned i = 0; i < pInput->nb_streams; ++i)
        pInput->streams[i]->discard = int(i) == iStream ? AVDISCARD_DEFAULT : AVDISCARD_ALL;

    const AVRational timeBase = m_pStream->time_base;
    if (pInput->start_time != AV_NOPTS_VALUE)
        m_StartTime = av_rescale_q(pInput->start_time, AV_TIME_BASE_Q, timeBase);
    if (pInput->duration > 0)
        m_FileDuration = av_rescale_q(pInput->duration, AV_TIME_BASE_Q, timeBase);
    m_pPacket = ffmpeg::AllocatePacket();
    return OpenDecoder(*m_pStream, pError);
}

bool LoopedDecoder::OpenDecoder(const AVStream& stream, std::string* pError)
{
    const AVCodec* pCodec = avcodec_find_decoder(stream.codecpar->codec_id);
    if (!pCodec)
        return ffmpeg::Fail(pError, "no decoder for the codec of source file \"" + m_Path + "\"");
    m_pDecoder.reset(avcodec_alloc_context3(pCodec));
    if (!m_pDecoder)
        throw std::bad_alloc();
    int result = avcodec_parameters_to_context(m_pDecoder.get(), stream.codecpar);
    if (result >= 0)
    {
        m_pDecoder->pkt_timebase = stream.time_base;
        m_pDecoder->thread_count = 1;
        result = avcodec_open2(m_pDecoder.get(), pCodec, nullptr);
    }
    if (result < 0)
    {
        m_pDecoder.reset();
        return ffmpeg::Fail(pError, "cannot decode source file \"" + m_Path + "\"", result);
    }
    return true;
}

AVRational LoopedDecoder::TimeBase() const
{
    return m_pStream ? m_pStream->time_base : AVRational{1, 1};
}

bool LoopedDecoder::Next(AVFrame* pFrame, std::string* pError)
{
    for (;;)
    {
        const int result = avcodec_receive_frame(m_pDecoder.get(), pFrame);
        if (result >= 0)
        {
            Stamp(pFrame);
            return true;
        }
        if (result != AVERROR_EOF && result != AVERROR(EAGAIN))
            return ffmpeg::Fail(pError, "cannot decode source file \"" + m_Path + "\"", result);
        const bool fed = result == AVERROR(EAGAIN) && FeedDecoder();
        if (!fed && !StartNextPass(pError))
            return false;
    }
}

bool LoopedDecoder::FeedDecoder()
{
    if (m_bDraining)
        return false;
    for (;;)
    {
        // A read error ends the pass like the end of the file: what was read plays.
        if (av_read_frame(m_pInput.get(), m_pPacket.get()) < 0)
        {
            m_bDraining = true;
            avcodec_send_packet(m_pDecoder.get(), nullptr);
            return true;
        }
        const bool ours = m_pPacket->stream_index == m_pStream->index;
        // A packet the decoder refuses is broken: it is skipped.
        const bool taken = ours && avcodec_send_packet(m_pDecoder.get(), m_pPacket.get()) >= 0;
        av_packet_unref(m_pPacket.get());
        if (taken)
            return true;
    }
}

bool LoopedDecoder::StartNextPass(std::string* pError)
{
    if (!m_bFrameInPass)
        return ffmpeg::Fail(pError, "source file \"" + m_Path + "\" holds no " +
                                        av_get_media_type_string(m_pDecoder->codec_type) +
                                        " that decodes");
    const std::int64_t start = m_pInput->start_time == AV_NOPTS_VALUE ? 0 : m_pInput->start_time;
    if (av_seek_frame(m_pInput.get(), -1, start, AVSEEK_FLAG_BACKWARD) < 0 &&
        av_seek_frame(m_pInput.get(), -1, 0, AVSEEK_FLAG_BYTE) < 0)
        return ffmpeg::Fail(pError, "cannot loop source file \"" + m_Path +
                                        "\": it cannot go back to its start");
    avcodec_flush_buffers(m_pDecoder.get());
    m_PassOffset += PassLength();
    m_PassEnd = m_PassOffset;
    m_bFrameInPass = false;
    m_bDraining = false;
    return true;
}

std::int64_t LoopedDecoder::PassLength() const
{
    // A file's stated duration that is far off what the stream held (a cut file whose
    // header tells the whole length) would stretch every pass by the difference.
    const std::int64_t ownLength = m_PassEnd - m_PassOffset;
    const std::int64_t tolerance = av_rescale_q(1, AVRational{1, 1}, TimeBase());
    const bool durationFits =
        m_FileDuration > 0 && std::abs(m_FileDuration - ownLength) <= tolerance;
    return durationFits ? m_FileDuration : ownLength;
}

void LoopedDecoder::Stamp(AVFrame* pFrame)
{
    std::int64_t pts = pFrame->best_effort_timestamp;
    if (pts == AV_NOPTS_VALUE)
        pts = m_PassEnd - m_PassOffset + m_StartTime;
    pFrame->pts = pts - m_StartTime + m_PassOffset;
    std::int64_t duration = pFrame->pkt_duration;
    if (duration <= 0 && pFrame->sample_rate > 0)
        duration = av_rescale_q(pFrame->nb_samples, AVRational{1, pFrame->sample_rate}, TimeBase());
    m_PassEnd = std::max(m_PassEnd, pFrame->pts + std::max<std::int64_t>(duration, 1));
    m_bFrameInPass = true;
}
