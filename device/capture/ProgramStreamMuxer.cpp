#include "ProgramStreamMuxer.h"

#include <exception>

extern "C"
{
#include <libavutil/mem.h>
#include <libavutil/opt.h>
}

namespace
{
// Bytes reach the sink at least after every frame (Flush); a full buffer goes sooner.
constexpr int kIoBufferSize = 64 * 1024;
constexpr unsigned kProgramEndCode = 0x000001B9;
} // namespace

ProgramStreamMuxer::ProgramStreamMuxer(CaptureSource::ByteSink sink) : m_Sink(std::move(sink))
{
}

ProgramStreamMuxer::~ProgramStreamMuxer()
{
    avformat_free_context(m_pFormat);
    if (m_pIo)
        av_freep(&m_pIo->buffer);
    avio_context_free(&m_pIo);
}

bool ProgramStreamMuxer::Open(const AVCodecContext& video, const AVCodecContext& audio,
                              std::int64_t muxRate, std::string* pError)
{
    int result = avformat_alloc_output_context2(&m_pFormat, nullptr, "vob", nullptr);
    if (result < 0)
        return ffmpeg::Fail(pError, "FFmpeg lacks the DVD program stream muxer", result);
    auto* pBuffer = static_cast<unsigned char*>(av_malloc(kIoBufferSize));
    if (pBuffer)
        m_pIo = avio_alloc_context(pBuffer, kIoBufferSize, 1, this, nullptr, WriteToSink, nullptr);
    if (!m_pIo)
    {
        av_free(pBuffer);
        throw std::bad_alloc();
    }
    m_pFormat->pb = m_pIo;
    m_pFormat->flags |= AVFMT_FLAG_CUSTOM_IO;
    if (!AddStream(video, pError) || !AddStream(audio, pError))
        return false;
    AVDictionary* pOptions = nullptr;
    av_dict_set_int(&pOptions, "muxrate", muxRate, 0);
    result = avformat_write_header(m_pFormat, &pOptions);
    av_dict_free(&pOptions);
    return Check(result, "cannot start the program stream", pError) && Flush(pError);
}

bool ProgramStreamMuxer::AddStream(const AVCodecContext& encoder, std::string* pError)
{
    AVStream* pStream = avformat_new_stream(m_pFormat, nullptr);
    if (!pStream)
        throw std::bad_alloc();
    pStream->time_base = encoder.time_base;
    const int result = avcodec_parameters_from_context(pStream->codecpar, &encoder);
    if (result < 0)
        return ffmpeg::Fail(pError, "cannot describe a stream to the muxer", result);
    return true;
}

bool ProgramStreamMuxer::Write(AVPacket* pPacket, int stream, AVRational timeBase,
                               std::string* pError)
{
    pPacket->stream_index = stream;
    av_packet_rescale_ts(pPacket, timeBase, m_pFormat->streams[stream]->time_base);
    return Check(av_interleaved_write_frame(m_pFormat, pPacket), "cannot multiplex a packet",
                 pError);
}

bool ProgramStreamMuxer::Flush(std::string* pError)
{
    avio_flush(m_pIo);
    return Check(m_pIo->error, "cannot hand the program stream on", pError);
}

bool ProgramStreamMuxer::Finish(std::string* pError)
{
    if (!Check(av_write_trailer(m_pFormat), "cannot end the program stream", pError))
        return false;
    // libavformat leaves the end code out (it hinders joining streams); a capture ends
    // its program, so it writes one.
    avio_wb32(m_pIo, kProgramEndCode);
    return Flush(pError);
}

bool ProgramStreamMuxer::Check(int result, const char* what, std::string* pError)
{
    if (m_bSinkStopped)
        return ffmpeg::Fail(pError, m_SinkError);
    if (result < 0)
        return ffmpeg::Fail(pError, what, result);
    return true;
}

#if LIBAVFORMAT_VERSION_MAJOR >= 61
int ProgramStreamMuxer::WriteToSink(void* pOpaque, const std::uint8_t* pData, int cbData)
#else
int ProgramStreamMuxer::WriteToSink(void* pOpaque, std::uint8_t* pData, int cbData)
#endif
{
    auto* pThis = static_cast<ProgramStreamMuxer*>(pOpaque);
    if (pThis->m_bSinkStopped)
        return AVERROR(EPIPE);
    // The sink is the caller's code: nothing it throws may cross FFmpeg's C frames.
    try
    {
        if (pThis->m_Sink(pData, static_cast<std::size_t>(cbData)))
            return cbData;
        pThis->m_SinkError = "the receiver stopped taking the program stream";
    }
    catch (const std::exception& e)
    {
        pThis->m_SinkError = std::string("the receiver of the program stream failed: ") + e.what();
    }
    catch (...)
    {
        pThis->m_SinkError = "the receiver of the program stream failed";
    }
    pThis->m_bSinkStopped = true;
    return AVERROR(EPIPE);
}
