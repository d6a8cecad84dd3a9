#include "PreviewOption.h"

std::optional<PreviewChoice> ParsePreview(const std::string& text)
{
    if (text == "none")
        return PreviewChoice{false, false};
    if (text == "video")
        return PreviewChoice{true, false};
    if (text == "audio")
        return PreviewChoice{false, true};
    if (text == "both")
        return PreviewChoice{true, true};
    return std::nullopt;
}
