#pragma once

// Test media made with ffmpeg, and ffmpeg runs whose output the tests compare
// against. Clips are made once per build tree (a directory the build names) and
// shared by the tests; they are written under a temporary name and renamed, so
// tests running in parallel never see half a file.

#include <cstdint>
#include <string>
#include <vector>

namespace media
{

// The path of clip `name`, making it first with `ffmpeg -y <inputsAndOptions> <path>`
// when it does not exist yet. Empty when ffmpeg fails.
std::string Clip(const std::string& name, const std::string& inputsAndOptions);

// A fresh path in the media directory for a test's own output.
std::string ScratchPath(const std::string& name);

// Runs a shell command and returns its standard output; *pExitStatus (when
// given) receives its exit status, -1 when it did not exit normally.
std::vector<uint8_t> CaptureOutput(const std::string& command, int* pExitStatus = nullptr);

// Runs a shell command; its exit status.
int Run(const std::string& command);

// The whole content of a file (empty when it cannot be read).
std::vector<uint8_t> ReadFile(const std::string& path);

// The number of pictures in a file's first video stream, as ffprobe counts them.
int VideoFrameCount(const std::string& path);

// Shell-quotes a path.
std::string Quote(const std::string& text);

} // namespace media
