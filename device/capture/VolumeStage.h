#pragma once
// The device's audio level: a gain in dB (volume) or silence when muted, on 16-bit
// stereo. New values rebuild the small chain before the next samples. The stage also
// cuts the sound into the short pieces the program stream carries.

#include "CaptureSource.h"
#include "ContentSources.h"

#include <cstdint>

class VolumeStage
{
public:
    explicit VolumeStage(std::uint32_t sampleRate);

    // The gain from the next samples on.
    void Configure(const CaptureSettings& settings);

    // Takes pSound's reference.
    bool Push(AVFrame* pSound, std::string* pError);
    // The next nSamples of what was pushed.
    bool Pull(AVFrame* pSound, int nSamples, std::string* pError);

private:
    bool Build(std::string* pError);

    const std::string m_SampleRate;
    FilterChain m_Chain;
    std::int32_t m_Volume = 0;
    bool m_bMute = false;
};
