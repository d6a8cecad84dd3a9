#include "LpcmEncoder.h"

extern "C"
{
#include <libavutil/channel_layout.h>
}

LpcmEncoder::LpcmEncoder(std::uint32_t sampleRate) : m_SampleRate(int(sampleRate))
{
}

bool LpcmEncoder::Open(std::string* pError)
{
    auto setup = [this](AVCodecContext& context, AVDictionary**)
    {
        context.sample_fmt = AV_SAMPLE_FMT_S16;
        context.sample_rate = m_SampleRate;
        context.time_base = TimeBase();
        av_channel_layout_default(&context.ch_layout, 2);
    };
    return m_BigEndian.Open(AV_CODEC_ID_PCM_S16BE, setup, pError) &&
           m_LittleEndian.Open(AV_CODEC_ID_PCM_S16LE, setup, pError);
}

bool LpcmEncoder::Encode(const AVFrame* pSound, ProgramStreamMuxer& muxer, std::string* pError)
{
    StreamEncoder& encoder = m_bByteSwap ? m_LittleEndian : m_BigEndian;
    return encoder.Encode(pSound, muxer, ProgramStreamMuxer::kAudioStream, pError);
}
