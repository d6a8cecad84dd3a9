#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// Sample media made by ffmpeg at test time, in a temporary folder that goes with the object.
class FfmpegMedia
{
public:
    // True when ffmpeg can be run.
    static bool Available();

    FfmpegMedia();
    ~FfmpegMedia();
    FfmpegMedia(const FfmpegMedia&) = delete;
    FfmpegMedia& operator=(const FfmpegMedia&) = delete;

    std::filesystem::path Folder() const { return m_folder; }

    // An MPEG-2 video elementary stream of the test pattern: nFrames pictures of strSize at
    // strRate frames per second ("25", "30000/1001"), groups of 12 with 2 B-pictures.
    Bytes Mpeg2Video(const std::string& strRate, int nFrames,
                     const std::string& strSize = "352x288") const;
    // dSeconds of a 48 kHz 16-bit stereo tone, little-endian.
    Bytes Pcm(double dSeconds) const;
    // The MD5 of each picture ffmpeg decodes from an MPEG-2 elementary stream, in order.
    std::vector<std::string> FrameMd5(const Bytes& stream) const;

    std::filesystem::path Write(const std::string& strName, const Bytes& bytes) const;
    static Bytes Read(const std::filesystem::path& path);

private:
    // Runs ffmpeg quietly with the arguments; false when it fails.
    static bool Ffmpeg(const std::string& strArguments);

    std::filesystem::path m_folder;
};
