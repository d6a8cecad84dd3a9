#include "VideoEncoder.h"

namespace
{
// The video buffer verifier's size at MPEG-2 main level, in bits.
constexpr int kVbvBufferBits = 1835008;
} // namespace

VideoEncoder::VideoEncoder(const CaptureSettings& settings, const VideoStandard& standard)
    : m_Standard(standard), m_Width(settings.width), m_Height(settings.height),
      m_bMpeg1(settings.mpeg1), m_Rates(RatesOf(settings)), m_WantedRates(m_Rates)
{
}

VideoEncoder::Rates VideoEncoder::RatesOf(const CaptureSettings& settings)
{
    return {settings.bitRate, settings.vbr ? settings.peakBitRate : settings.bitRate, settings.vbr};
}

bool VideoEncoder::Open(std::string* pError)
{
    return OpenAt(0, pError);
}

void VideoEncoder::SetBitRates(const CaptureSettings& settings)
{
    m_WantedRates = RatesOf(settings);
}

bool VideoEncoder::Encode(AVFrame* pPicture, std::int64_t frameNumber, ProgramStreamMuxer& muxer,
                          std::string* pError)
{
    const bool startsGop = frameNumber % m_Standard.gopLength == 0;
    if (startsGop && !(m_WantedRates == m_Rates))
    {
        m_Rates = m_WantedRates;
        if (!Drain(muxer, pError) || !OpenAt(frameNumber, pError))
            return false;
    }
    pPicture->pts = frameNumber;
    // GOPs follow the frame number, also across a reopened encoder.
    pPicture->pict_type = startsGop ? AV_PICTURE_TYPE_I : AV_PICTURE_TYPE_NONE;
    return m_Encoder.Encode(pPicture, muxer, ProgramStreamMuxer::kVideoStream, pError);
}

bool VideoEncoder::Drain(ProgramStreamMuxer& muxer, std::string* pError)
{
    if (!m_Encoder.IsOpen())
        return true;
    const bool drained = m_Encoder.Encode(nullptr, muxer, ProgramStreamMuxer::kVideoStream, pError);
    m_Encoder.Close();
    return drained;
}

bool VideoEncoder::OpenAt(std::int64_t frameNumber, std::string* pError)
{
    return m_Encoder.Open(
        m_bMpeg1 ? AV_CODEC_ID_MPEG1VIDEO : AV_CODEC_ID_MPEG2VIDEO,
        [&](AVCodecContext& context, AVDictionary** ppOptions)
        { Setup(context, ppOptions, frameNumber); },
        pError);
}

void VideoEncoder::Setup(AVCodecContext& context, AVDictionary** ppOptions,
                         std::int64_t frameNumber) const
{
    context.width = m_Width;
    context.height = m_Height;
    context.pix_fmt = AV_PIX_FMT_YUV420P;
    context.time_base = TimeBase();
    context.framerate = {m_Standard.rateNum, m_Standard.rateDen};
    // Every frame size fills a 4:3 screen, as the analog picture did.
    av_reduce(&context.sample_aspect_ratio.num, &context.sample_aspect_ratio.den, 4LL * m_Height,
              3LL * m_Width, 255);
    context.gop_size = m_Standard.gopLength;
    context.max_b_frames = 0;
    context.flags |= AV_CODEC_FLAG_CLOSED_GOP;
    context.thread_count = 1;
    if (!m_bMpeg1)
    {
        context.profile = FF_PROFILE_MPEG2_MAIN;
        context.level = 8; // main level
    }
    context.bit_rate = m_Rates.bitRate;
    context.rc_max_rate = m_Rates.peakBitRate;
    context.rc_min_rate = m_Rates.vbr ? 0 : m_Rates.bitRate;
    context.rc_buffer_size = kVbvBufferBits;
    // A GOP starts only where the frame number says: no extra I-pictures at cuts.
    av_dict_set(ppOptions, "sc_threshold", "1000000000", 0);
    av_dict_set_int(ppOptions, "timecode_frame_start", frameNumber, 0);
    if (m_Standard.rateDen == 1001)
        av_dict_set(ppOptions, "drop_frame_timecode", "1", 0);
}
