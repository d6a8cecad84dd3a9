#pragma once
// A file whose picture and sound replace the test pattern and the tone: its best video
// stream and best audio stream, decoded and looped, converted to the device's frame
// rate (fps, which repeats or drops pictures) and to 16-bit stereo at the device's
// sampling rate (aresample, which also fills gaps with silence and trims overlaps, so
// the sound keeps to the picture over every loop). A file without sound gives silence;
// a file without a picture is refused.

#include "ContentSources.h"
#include "GeneratedSound.h"
#include "LoopedStream.h"
#include "VideoStandard.h"

#include <memory>

class SourceFile : public PictureSource, public SoundSource
{
public:
    SourceFile(const VideoStandard& standard, std::uint32_t sampleRate);

    bool Open(const std::string& path, std::string* pError);

    bool Next(AVFrame* pPicture, std::string* pError) override;
    bool SelectInput(int, std::string*) override { return true; }
    bool Next(AVFrame* pSound, int nSamples, std::string* pError) override;

private:
    const VideoStandard& m_Standard;
    const std::uint32_t m_SampleRate;
    LoopedStream m_Picture;
    LoopedStream m_Sound;
    std::unique_ptr<GeneratedSound> m_pSilence; // when the file has no sound
};
