#pragma once

// The --preview option of capture and play: none, video, audio or both.

#include <optional>
#include <string>

struct PreviewChoice
{
    bool bVideo = false;
    bool bAudio = false;
};

std::optional<PreviewChoice> ParsePreview(const std::string& text);
