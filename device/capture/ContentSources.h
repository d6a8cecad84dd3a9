#pragma once
// Where the device's picture and sound come from: the test pattern and tone, or a
// looped source file. Each call gives the content of the next span of stream time.

#include "FilterChain.h"

#include <string>

class PictureSource
{
public:
    virtual ~PictureSource() = default;
    // The next picture at the device's frame rate, in any size and pixel format.
    virtual bool Next(AVFrame* pPicture, std::string* pError) = 0;
    // Switches to the pattern of input (1 S-Video, 0 Composite); content that does not
    // depend on the input ignores it.
    virtual bool SelectInput(int input, std::string* pError) = 0;
};

class SoundSource
{
public:
    virtual ~SoundSource() = default;
    // The next nSamples samples: 16-bit stereo at the device's sampling rate.
    virtual bool Next(AVFrame* pSound, int nSamples, std::string* pError) = 0;
};

// Ends a chain in the sound format sources give: 16-bit stereo at sampleRate (Hz).
bool AppendSoundSink(FilterChain& chain, const std::string& sampleRate, std::string* pError);
