#include "VolumeStage.h"

VolumeStage::VolumeStage(std::uint32_t sampleRate) : m_SampleRate(std::to_string(sampleRate))
{
}

void VolumeStage::Configure(const CaptureSettings& settings)
{
    if (settings.volume == m_Volume && settings.mute == m_bMute)
        return;
    m_Volume = settings.volume;
    m_bMute = settings.mute;
    m_Chain.Reset();
}

bool VolumeStage::Push(AVFrame* pSound, std::string* pError)
{
    if (!m_Chain.IsConfigured() && !Build(pError))
        return false;
    return m_Chain.Push(pSound, pError);
}

bool VolumeStage::Pull(AVFrame* pSound, int nSamples, std::string* pError)
{
    return m_Chain.Take(pSound, nSamples, pError);
}

bool VolumeStage::Build(std::string* pError)
{
    m_Chain.Reset();
    return m_Chain.Append("abuffer",
                          {{"sample_fmt", "s16"},
                           {"sample_rate", m_SampleRate},
                           {"channel_layout", "stereo"},
                           {"time_base", "1/" + m_SampleRate}},
                          pError) &&
           m_Chain.Append("volume", {{"volume", m_bMute ? "0" : std::to_string(m_Volume) + "dB"}},
                          pError) &&
           AppendSoundSink(m_Chain, m_SampleRate, pError) && m_Chain.Configure(pError);
}
