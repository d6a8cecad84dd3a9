#include "StreamEncoder.h"

bool StreamEncoder::Open(AVCodecID codecId, const Setup& setup, std::string* pError)
{
    const AVCodec* pCodec = avcodec_find_encoder(codecId);
    if (!pCodec)
        return ffmpeg::Fail(pError,
                            std::string("FFmpeg lacks the encoder ") + avcodec_get_name(codecId));
    m_pContext.reset(avcodec_alloc_context3(pCodec));
    if (!m_pContext)
        throw std::bad_alloc();
    if (!m_pPacket)
        m_pPacket = ffmpeg::AllocatePacket();
    AVDictionary* pOptions = nullptr;
    setup(*m_pContext, &pOptions);
    const int result = avcodec_open2(m_pContext.get(), pCodec, &pOptions);
    av_dict_free(&pOptions);
    if (result < 0)
    {
        m_pContext.reset();
        return ffmpeg::Fail(pError, std::string("cannot open the ") + pCodec->name + " encoder",
                            result);
    }
    return true;
}

bool StreamEncoder::Encode(const AVFrame* pFrame, ProgramStreamMuxer& muxer, int stream,
                           std::string* pError)
{
    int result = avcodec_send_frame(m_pContext.get(), pFrame);
    if (result < 0)
        return ffmpeg::Fail(
            pError, std::string("the ") + m_pContext->codec->name + " encoder refused a frame",
            result);
    while ((result = avcodec_receive_packet(m_pContext.get(), m_pPacket.get())) >= 0)
    {
        const bool written = muxer.Write(m_pPacket.get(), stream, m_pContext->time_base, pError);
        av_packet_unref(m_pPacket.get());
        if (!written)
            return false;
    }
    if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
        return true;
    return ffmpeg::Fail(pError, std::string("the ") + m_pContext->codec->name + " encoder failed",
                        result);
}
