#pragma once
// The device's picture amplifier and scaler: brightness, contrast and saturation (eq),
// hue (hue) and sharpness (unsharp), then the scaler to the frame size in the
// encoder's pixel format. A filter whose value is neutral is left out, so the
// defaults cost only the scaling. New values rebuild the small chain before the next
// picture; so does a picture of another size or format.

#include "CaptureSource.h"
#include "FilterChain.h"

// The filters' parameters for the amplifier's values. Each maps piecewise linearly
// around the amplifier's default, which gives the filter's neutral value.
struct PictureFilterValues
{
    double brightness = 0; // eq: -0.3 (dark) .. 0 .. +0.3 (bright)
    double contrast = 1;   // eq: 0 (flat grey) .. 1 .. 2
    double saturation = 1; // eq: 0 (grey) .. 1 .. 2
    double hueDegrees = 0; // hue: 0 .. 357 degrees of rotation
    double sharpen = 0;    // unsharp luma amount: 0 .. 1.5

    bool operator==(const PictureFilterValues&) const = default;
};
PictureFilterValues MapPictureSettings(const CaptureSettings& settings);

class PictureAdjustment
{
public:
    // The frame size and amplifier values from the next picture on.
    void Configure(const CaptureSettings& settings);

    // Adjusts and scales pPicture into pAdjusted; takes pPicture's reference.
    bool Process(AVFrame* pPicture, AVFrame* pAdjusted, std::string* pError);

private:
    struct InputFormat
    {
        int width = 0;
        int height = 0;
        int pixelFormat = -1;
        bool operator==(const InputFormat&) const = default;
    };

    bool Build(const InputFormat& input, std::string* pError);
    bool AppendAmplifier(std::string* pError);

    FilterChain m_Chain;
    PictureFilterValues m_Values;
    bool m_bAdjust = true;
    int m_Width = 0;
    int m_Height = 0;
    InputFormat m_BuiltFor;
    bool m_bStale = true;
};
