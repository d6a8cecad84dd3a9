#pragma once
// The picture the device shows without a source file, at the standard's full size:
// Composite shows a moving colour test picture (testsrc2), S-Video colour bars
// (smptebars). Both carry a little temporal noise, as an analog signal does, a ball
// bouncing across, the device's and the input's names and the frame number. The
// frame number and the ball go on where they were when the input changes.

#include "ContentSources.h"
#include "FilterChain.h"
#include "VideoStandard.h"

#include <cstdint>

class TestPattern : public PictureSource
{
public:
    TestPattern(const VideoStandard& standard, std::string deviceName);

    bool Next(AVFrame* pPicture, std::string* pError) override;
    bool SelectInput(int input, std::string* pError) override;

private:
    bool Build(std::string* pError);
    // White text in a dark box at the left; options give the text and where it goes.
    bool AppendCaption(std::initializer_list<FilterChain::Option> options, std::string* pError);

    const VideoStandard& m_Standard;
    const std::string m_DeviceName;
    FilterChain m_Chain;
    int m_Input = 0;
    std::int64_t m_nPictures = 0;
};
