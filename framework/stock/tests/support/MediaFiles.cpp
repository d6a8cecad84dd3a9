#include "MediaFiles.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sys/wait.h>
#include <unistd.h>

namespace media
{

namespace
{
std::filesystem::path MediaDirectory()
{
    std::filesystem::path dir(STOCK_TEST_MEDIA_DIR);
    std::filesystem::create_directories(dir);
    return dir;
}
} // namespace

std::string Quote(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

int Run(const std::string& command)
{
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Clip(const std::string& name, const std::string& inputsAndOptions)
{
    const std::filesystem::path path = MediaDirectory() / name;
    if (std::filesystem::exists(path))
        return path.string();
    const std::string temporary = path.string() + ".part" + std::to_string(getpid());
    const std::string command = "ffmpeg -nostdin -hide_banner -loglevel fatal -y " +
                                inputsAndOptions + " " + Quote(temporary);
    if (Run(command) != 0)
    {
        std::filesystem::remove(temporary);
        return {};
    }
    std::filesystem::rename(temporary, path);
    return path.string();
}

int VideoFrameCount(const std::string& path)
{
    const std::vector<uint8_t> out = CaptureOutput(
        "ffprobe -v error -select_streams v:0 -count_frames -show_entries stream=nb_read_frames "
        "-of csv=p=0 " +
        Quote(path));
    return std::atoi(std::string(out.begin(), out.end()).c_str());
}

std::string ScratchPath(const std::string& name)
{
    const std::filesystem::path path =
        MediaDirectory() / ("scratch-" + std::to_string(getpid()) + "-" + name);
    std::filesystem::remove(path);
    return path.string();
}

std::vector<uint8_t> CaptureOutput(const std::string& command, int* pExitStatus)
{
    std::vector<uint8_t> output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
    {
        if (pExitStatus)
            *pExitStatus = -1;
        return output;
    }
    std::array<uint8_t, 65536> buffer;
    size_t n = 0;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
        output.insert(output.end(), buffer.begin(), buffer.begin() + long(n));
    const int status = pclose(pipe);
    if (pExitStatus)
        *pExitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return output;
}

std::vector<uint8_t> ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

} // namespace media
