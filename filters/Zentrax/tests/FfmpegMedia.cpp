#include "FfmpegMedia.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace fs = std::filesystem;

bool FfmpegMedia::Available()
{
    return std::system("ffmpeg -version >/dev/null 2>&1") == 0;
}

bool FfmpegMedia::Ffmpeg(const std::string& strArguments)
{
    return std::system(("ffmpeg -v error -y " + strArguments + " >/dev/null 2>&1").c_str()) == 0;
}

FfmpegMedia::FfmpegMedia()
{
    std::string pattern = (fs::temp_directory_path() / "zentrax-media-XXXXXX").string();
    if (::mkdtemp(pattern.data()))
        m_folder = pattern;
}

FfmpegMedia::~FfmpegMedia()
{
    std::error_code ignored;
    if (!m_folder.empty())
        fs::remove_all(m_folder, ignored);
}

Bytes FfmpegMedia::Mpeg2Video(const std::string& strRate, int nFrames,
                              const std::string& strSize) const
{
    const fs::path file = m_folder / "source.m2v";
    const bool bMade = Ffmpeg("-f lavfi -i testsrc=size=" + strSize + ":rate=" + strRate +
                              " -frames:v " + std::to_string(nFrames) +
                              " -c:v mpeg2video -g 12 -bf 2 -q:v 4 -f mpeg2video " + file.string());
    return bMade ? Read(file) : Bytes();
}

Bytes FfmpegMedia::Pcm(double dSeconds) const
{
    const fs::path file = m_folder / "source.pcm";
    const bool bMade =
        Ffmpeg("-f lavfi -i sine=frequency=440:sample_rate=48000 -ac 2 -t " +
               std::to_string(dSeconds) + " -f s16le -c:a pcm_s16le " + file.string());
    return bMade ? Read(file) : Bytes();
}

std::vector<std::string> FfmpegMedia::FrameMd5(const Bytes& stream) const
{
    const fs::path input = Write("decode.m2v", stream);
    const fs::path output = m_folder / "decode.framemd5";
    std::vector<std::string> md5s;
    if (!Ffmpeg("-f mpegvideo -i " + input.string() + " -f framemd5 " + output.string()))
        return md5s;
    std::ifstream lines(output);
    std::string line;
    while (std::getline(lines, line))
    {
        if (line.empty() || line[0] == '#')
            continue;
        md5s.push_back(line.substr(line.find_last_of(',') + 1));
    }
    return md5s;
}

fs::path FfmpegMedia::Write(const std::string& strName, const Bytes& bytes) const
{
    const fs::path path = m_folder / strName;
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return path;
}

Bytes FfmpegMedia::Read(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}
