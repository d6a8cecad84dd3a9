#include "TestPattern.h"

#include <filesystem>

namespace
{
// DejaVu comes with Debian's fonts-dejavu-core; without it fontconfig picks a font.
constexpr const char* kFontFile = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

FilterChain::Option FontOption()
{
    std::error_code error;
    if (std::filesystem::exists(kFontFile, error))
        return {"fontfile", kFontFile};
    return {"font", "Sans:bold"};
}

const char* InputName(int input)
{
    return input == 1 ? "S-Video" : "Composite";
}
} // namespace

TestPattern::TestPattern(const VideoStandard& standard, std::string deviceName)
    : m_Standard(standard), m_DeviceName(std::move(deviceName))
{
}

bool TestPattern::Next(AVFrame* pPicture, std::string* pError)
{
    if (!m_Chain.IsConfigured() && !Build(pError))
        return false;
    if (!m_Chain.Take(pPicture, 0, pError))
        return false;
    ++m_nPictures;
    return true;
}

bool TestPattern::SelectInput(int input, std::string* pError)
{
    if (input == m_Input && m_Chain.IsConfigured())
        return true;
    m_Input = input;
    return Build(pError);
}

bool TestPattern::Build(std::string* pError)
{
    m_Chain.Reset();
    const std::string rate =
        std::to_string(m_Standard.rateNum) + "/" + std::to_string(m_Standard.rateDen);
    const std::string label =
        m_DeviceName.empty() ? InputName(m_Input) : m_DeviceName + "  " + InputName(m_Input);
    const std::string frameNumber = std::to_string(m_nPictures);
    return m_Chain.Append(m_Input == 1 ? "smptebars" : "testsrc2",
                          {{"size", "720x" + std::to_string(m_Standard.lines)}, {"rate", rate}},
                          pError) &&
           m_Chain.Append("format", {{"pix_fmts", "yuv420p"}}, pError) &&
           m_Chain.Append("noise", {{"c0_strength", "4"}, {"c0_flags", "t"}}, pError) &&
           AppendCaption({{"text", label}, {"expansion", "none"}, {"fontsize", "28"}, {"y", "48"}},
                         pError) &&
           AppendCaption({{"text", "%{frame_num}"},
                          {"start_number", frameNumber},
                          {"fontsize", "40"},
                          {"y", "h-th-40"}},
                         pError) &&
           // The ball crosses the picture and back every six seconds; n counts on from
           // the frame number.
           m_Chain.Append("drawtext",
                          {FontOption(),
                           {"text", "\u25CF"},
                           {"expansion", "none"},
                           {"fontsize", "72"},
                           {"fontcolor", "yellow"},
                           {"start_number", frameNumber},
                           {"x", "(w-tw)*abs(mod(n/(3*" + rate + "),2)-1)"},
                           {"y", "(h-th)/2"}},
                          pError) &&
           m_Chain.Append("buffersink", {}, pError) && m_Chain.Configure(pError);
}

bool TestPattern::AppendCaption(std::initializer_list<FilterChain::Option> options,
                                std::string* pError)
{
    std::vector<FilterChain::Option> all = {FontOption(),        {"fontcolor", "white"},
                                            {"box", "1"},        {"boxcolor", "black@0.6"},
                                            {"boxborderw", "8"}, {"x", "32"}};
    all.insert(all.end(), options);
    return m_Chain.Append("drawtext", all, pError);
}
