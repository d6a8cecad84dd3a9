#pragma once
// Sound made by libavfilter: the device's 1 kHz line-up tone (a sine at -18 dBFS on
// both channels) or silence, 16-bit stereo at the sampling rate.

#include "ContentSources.h"
#include "FilterChain.h"

#include <cstdint>

class GeneratedSound : public SoundSource
{
public:
    enum class Kind
    {
        Tone,
        Silence,
    };
    GeneratedSound(Kind kind, std::uint32_t sampleRate);

    bool Next(AVFrame* pSound, int nSamples, std::string* pError) override;

private:
    bool Build(std::string* pError);

    const Kind m_Kind;
    const std::string m_SampleRate;
    FilterChain m_Chain;
};
