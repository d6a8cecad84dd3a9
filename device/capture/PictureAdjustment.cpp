#include "PictureAdjustment.h"

#include "CaptureLimits.h"

#include <cmath>

extern "C"
{
#include <libavutil/pixdesc.h>
}

namespace
{
// Maps value in range to low .. neutral .. high, with the range's default at neutral.
double MapAroundDefault(std::int32_t value, CaptureLimits::Range range, double low, double neutral,
                        double high)
{
    if (value <= range.defaultValue)
    {
        const int span = range.defaultValue - range.min;
        return span ? low + (neutral - low) * (value - range.min) / span : neutral;
    }
    return neutral +
           (high - neutral) * (value - range.defaultValue) / (range.max - range.defaultValue);
}

// A filter option value in thousandths, written as an expression without a decimal
// point, so no locale can misread it.
std::string Thousandths(double value)
{
    return std::to_string(std::lround(value * 1000)) + "/1000";
}
} // namespace

PictureFilterValues MapPictureSettings(const CaptureSettings& settings)
{
    using namespace CaptureLimits;
    PictureFilterValues values;
    values.brightness = MapAroundDefault(settings.brightness, kBrightness, -0.3, 0, 0.3);
    values.contrast = MapAroundDefault(settings.contrast, kContrast, 0, 1, 2);
    values.saturation = MapAroundDefault(settings.saturation, kSaturation, 0, 1, 2);
    // One step of hue turns the colours by 1/128 of a full turn.
    values.hueDegrees = MapAroundDefault(settings.hue, kHue, 0, 0, 360.0 * kHue.max / 128);
    values.sharpen = MapAroundDefault(settings.sharpness, kSharpness, 0, 0, 1.5);
    return values;
}

void PictureAdjustment::Configure(const CaptureSettings& settings)
{
    const PictureFilterValues values = MapPictureSettings(settings);
    if (values == m_Values && settings.adjustPicture == m_bAdjust && settings.width == m_Width &&
        settings.height == m_Height)
        return;
    m_Values = values;
    m_bAdjust = settings.adjustPicture;
    m_Width = settings.width;
    m_Height = settings.height;
    m_bStale = true;
}

bool PictureAdjustment::Process(AVFrame* pPicture, AVFrame* pAdjusted, std::string* pError)
{
    const InputFormat input{pPicture->width, pPicture->height, pPicture->format};
    if ((m_bStale || !(input == m_BuiltFor)) && !Build(input, pError))
        return false;
    return m_Chain.Push(pPicture, pError) && m_Chain.Take(pAdjusted, 0, pError);
}

bool PictureAdjustment::Build(const InputFormat& input, std::string* pError)
{
    m_Chain.Reset();
    const char* pixelFormat = av_get_pix_fmt_name(static_cast<AVPixelFormat>(input.pixelFormat));
    if (!pixelFormat)
        return ffmpeg::Fail(pError, "a picture has no known pixel format");
    const bool built = m_Chain.Append("buffer",
                                      {{"width", std::to_string(input.width)},
                                       {"height", std::to_string(input.height)},
                                       {"pix_fmt", pixelFormat},
                                       {"time_base", "1/90000"}},
                                      pError) &&
                       (!m_bAdjust || AppendAmplifier(pError)) &&
                       m_Chain.Append("scale",
                                      {{"w", std::to_string(m_Width)},
                                       {"h", std::to_string(m_Height)},
                                       {"flags", "bilinear"}},
                                      pError) &&
                       m_Chain.Append("format", {{"pix_fmts", "yuv420p"}}, pError) &&
                       m_Chain.Append("buffersink", {}, pError) && m_Chain.Configure(pError);
    if (!built)
    {
        m_Chain.Reset();
        return false;
    }
    m_BuiltFor = input;
    m_bStale = false;
    return true;
}

bool PictureAdjustment::AppendAmplifier(std::string* pError)
{
    const PictureFilterValues neutral;
    const PictureFilterValues& v = m_Values;
    if ((v.brightness != neutral.brightness || v.contrast != neutral.contrast ||
         v.saturation != neutral.saturation) &&
        !m_Chain.Append("eq",
                        {{"brightness", Thousandths(v.brightness)},
                         {"contrast", Thousandths(v.contrast)},
                         {"saturation", Thousandths(v.saturation)}},
                        pError))
        return false;
    if (v.hueDegrees != neutral.hueDegrees &&
        !m_Chain.Append("hue", {{"h", Thousandths(v.hueDegrees)}}, pError))
        return false;
    return v.sharpen == neutral.sharpen ||
           m_Chain.Append("unsharp", {{"luma_amount", Thousandths(v.sharpen)}}, pError);
}
