#include "SourceFile.h"

extern "C"
{
#include <libavutil/channel_layout.h>
#include <libavutil/pixdesc.h>
#include <libavutil/samplefmt.h>
}

namespace
{
std::string Fraction(int numerator, int denominator)
{
    return std::to_string(numerator) + "/" + std::to_string(denominator);
}

std::string ChannelLayoutOf(const AVFrame& frame)
{
    AVChannelLayout layout{};
    if (frame.ch_layout.order == AV_CHANNEL_ORDER_UNSPEC)
        av_channel_layout_default(&layout, frame.ch_layout.nb_channels);
    else
        av_channel_layout_copy(&layout, &frame.ch_layout);
    char text[128] = {};
    av_channel_layout_describe(&layout, text, sizeof text);
    av_channel_layout_uninit(&layout);
    return text;
}

const char* NameOr(const char* name, const char* fallback)
{
    return name ? name : fallback;
}
} // namespace

SourceFile::SourceFile(const VideoStandard& standard, std::uint32_t sampleRate)
    : m_Standard(standard), m_SampleRate(sampleRate)
{
}

bool SourceFile::Open(const std::string& path, std::string* pError)
{
    const std::string rate = Fraction(m_Standard.rateNum, m_Standard.rateDen);
    auto buildPicture =
        [rate](FilterChain& chain, const AVFrame& first, AVRational timeBase, std::string* pError)
    {
        const AVRational aspect =
            first.sample_aspect_ratio.num > 0 ? first.sample_aspect_ratio : AVRational{1, 1};
        return chain.Append(
                   "buffer",
                   {{"width", std::to_string(first.width)},
                    {"height", std::to_string(first.height)},
                    {"pix_fmt", NameOr(av_get_pix_fmt_name(AVPixelFormat(first.format)), "none")},
                    {"time_base", Fraction(timeBase.num, timeBase.den)},
                    {"pixel_aspect", Fraction(aspect.num, aspect.den)}},
                   pError) &&
               chain.Append("fps", {{"fps", rate}, {"start_time", "0"}}, pError) &&
               chain.Append("buffersink", {}, pError);
    };
    const std::string sampleRate = std::to_string(m_SampleRate);
    auto buildSound = [sampleRate](FilterChain& chain, const AVFrame& first, AVRational timeBase,
                                   std::string* pError)
    {
        // Gaps over 20 ms are filled with silence, overlaps trimmed; smaller drifts are
        // evened out by stretching.
        return chain.Append("abuffer",
                            {{"sample_fmt",
                              NameOr(av_get_sample_fmt_name(AVSampleFormat(first.format)), "none")},
                             {"sample_rate", std::to_string(first.sample_rate)},
                             {"channel_layout", ChannelLayoutOf(first)},
                             {"time_base", Fraction(timeBase.num, timeBase.den)}},
                            pError) &&
               chain.Append("aresample",
                            {{"osr", sampleRate},
                             {"async", "1"},
                             {"min_hard_comp", "20/1000"},
                             {"first_pts", "0"}},
                            pError) &&
               AppendSoundSink(chain, sampleRate, pError);
    };
    if (!m_Picture.Open(path, AVMEDIA_TYPE_VIDEO, buildPicture, pError) ||
        !m_Sound.Open(path, AVMEDIA_TYPE_AUDIO, buildSound, pError))
        return false;
    if (!m_Picture.HasStream())
        return ffmpeg::Fail(pError, "source file \"" + path + "\" has no picture");
    if (!m_Sound.HasStream())
        m_pSilence = std::make_unique<GeneratedSound>(GeneratedSound::Kind::Silence, m_SampleRate);
    return true;
}

bool SourceFile::Next(AVFrame* pPicture, std::string* pError)
{
    return m_Picture.Next(pPicture, 0, pError);
}

bool SourceFile::Next(AVFrame* pSound, int nSamples, std::string* pError)
{
    if (m_pSilence)
        return m_pSilence->Next(pSound, nSamples, pError);
    return m_Sound.Next(pSound, nSamples, pError);
}
