#pragma once

// The options of the commands that run an operation on the device (capture and
// play): --seconds N, --preview MODE, for capture --size-limit MB, and one file.

#include "PreviewOption.h"

#include <chrono>
#include <optional>
#include <string>
#include <vector>

struct OperationOptions
{
    std::optional<std::chrono::milliseconds> limit;
    std::optional<int> sizeLimitMB;
    PreviewChoice preview;
    std::string file;
};

enum class OperationCommand
{
    Capture, // takes --size-limit; an audio preview only with the video
    Play,
};

// Null after a usage error (*pExit holds its status).
std::optional<OperationOptions> ParseOperationOptions(OperationCommand command,
                                                      const std::vector<std::string>& args,
                                                      int* pExit);
