#include "GeneratedSound.h"

GeneratedSound::GeneratedSound(Kind kind, std::uint32_t sampleRate)
    : m_Kind(kind), m_SampleRate(std::to_string(sampleRate))
{
}

bool GeneratedSound::Next(AVFrame* pSound, int nSamples, std::string* pError)
{
    if (!m_Chain.IsConfigured() && !Build(pError))
        return false;
    return m_Chain.Take(pSound, nSamples, pError);
}

bool GeneratedSound::Build(std::string* pError)
{
    m_Chain.Reset();
    // sine makes one channel; pan copies it to both at full level.
    const bool sourced =
        m_Kind == Kind::Tone
            ? m_Chain.Append("sine", {{"frequency", "1000"}, {"sample_rate", m_SampleRate}},
                             pError) &&
                  m_Chain.Append("pan", {{"args", "stereo|c0=c0|c1=c0"}}, pError)
            : m_Chain.Append("anullsrc",
                             {{"channel_layout", "stereo"}, {"sample_rate", m_SampleRate}}, pError);
    return sourced && AppendSoundSink(m_Chain, m_SampleRate, pError) && m_Chain.Configure(pError);
}
