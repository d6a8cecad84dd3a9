#include "LoopedStream.h"

bool LoopedStream::Open(const std::string& path, AVMediaType type, ChainBuilder builder,
                        std::string* pError)
{
    m_Builder = std::move(builder);
    m_pDecoded = ffmpeg::AllocateFrame();
    return m_Decoder.Open(path, type, pError);
}

bool LoopedStream::Next(AVFrame* pFrame, int nSamples, std::string* pError)
{
    for (;;)
    {
        if (m_Chain.IsConfigured())
        {
            const FilterChain::Pulled pulled = nSamples
                                                   ? m_Chain.PullSamples(pFrame, nSamples, pError)
                                                   : m_Chain.Pull(pFrame, pError);
            if (pulled != FilterChain::Pulled::NeedsInput)
                return pulled == FilterChain::Pulled::Frame;
        }
        if (!Feed(pError))
            return false;
    }
}

LoopedStream::Format LoopedStream::FormatOf(const AVFrame& frame)
{
    return {frame.width, frame.height, frame.format, frame.sample_rate,
            frame.ch_layout.nb_channels};
}

bool LoopedStream::Feed(std::string* pError)
{
    if (!m_Decoder.Next(m_pDecoded.get(), pError))
        return false;
    const Format format = FormatOf(*m_pDecoded);
    if (!m_Chain.IsConfigured() || !(format == m_ChainFormat))
    {
        m_Chain.Reset();
        if (!m_Builder(m_Chain, *m_pDecoded, m_Decoder.TimeBase(), pError) ||
            !m_Chain.Configure(pError))
        {
            m_Chain.Reset();
            return false;
        }
        m_ChainFormat = format;
    }
    return m_Chain.Push(m_pDecoded.get(), pError);
}
