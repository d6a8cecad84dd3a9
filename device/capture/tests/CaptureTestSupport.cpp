#include "CaptureTestSupport.h"

#include "MediaFiles.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace capture_test
{

Capture::~Capture()
{
    if (!path.empty())
        std::filesystem::remove(path);
}

Capture CaptureFrames(const CaptureSettings& settings, int nFrames, const std::string& name,
                      const BeforeFrame& beforeFrame)
{
    Capture capture;
    auto sink = [&capture](const std::uint8_t* pData, std::size_t cbData)
    {
        capture.bytes.insert(capture.bytes.end(), pData, pData + cbData);
        return true;
    };
    std::unique_ptr<CaptureSource> pSource = CaptureSource::Create(settings, sink, &capture.error);
    if (!pSource)
        return capture;
    for (int frame = 0; frame < nFrames && capture.error.empty(); ++frame)
    {
        if (beforeFrame)
            beforeFrame(*pSource, frame);
        pSource->EncodeNextFrame(&capture.error);
    }
    std::string finishError;
    if (!pSource->Finish(&finishError) && capture.error.empty())
        capture.error = finishError;
    capture.framesEncoded = pSource->FramesEncoded();
    capture.path = media::ScratchPath(name + ".mpg");
    std::ofstream(capture.path, std::ios::binary)
        .write(reinterpret_cast<const char*>(capture.bytes.data()),
               static_cast<std::streamsize>(capture.bytes.size()));
    return capture;
}

namespace
{
std::string Output(const std::string& command)
{
    const std::vector<std::uint8_t> output = media::CaptureOutput(command);
    return std::string(output.begin(), output.end());
}

// Values after `key` on each line that holds it.
std::vector<double> ValuesAfter(const std::string& text, const std::string& key)
{
    std::vector<double> values;
    for (std::size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + 1))
        values.push_back(std::stod(text.substr(at + key.size())));
    return values;
}
} // namespace

std::map<std::string, std::string> ProbeStream(const std::string& path, const char* kind,
                                               const std::string& entries)
{
    std::istringstream lines(Output("ffprobe -v error -count_frames -select_streams " +
                                    std::string(kind) + ":0 -show_entries stream=" + entries +
                                    " -of default=noprint_wrappers=1 " + media::Quote(path)));
    std::map<std::string, std::string> values;
    for (std::string line; std::getline(lines, line);)
        if (const std::size_t equals = line.find('='); equals != std::string::npos)
            values[line.substr(0, equals)] = line.substr(equals + 1);
    return values;
}

namespace
{
std::vector<double> PictureStatistic(const std::string& path, const std::string& key)
{
    return ValuesAfter(Output("ffmpeg -v error -nostdin -i " + media::Quote(path) +
                              " -vf signalstats,metadata=print:key=lavfi.signalstats." + key +
                              ":file=- -f null -"),
                       key + "=");
}
} // namespace

std::vector<double> MeanLuma(const std::string& path)
{
    return PictureStatistic(path, "YAVG");
}

std::vector<double> MeanSaturation(const std::string& path)
{
    return PictureStatistic(path, "SATAVG");
}

double MeanVolume(const std::string& path)
{
    const std::vector<double> values =
        ValuesAfter(Output("ffmpeg -hide_banner -nostats -nostdin -i " + media::Quote(path) +
                           " -af volumedetect -f null - 2>&1"),
                    "mean_volume:");
    return values.empty() ? 0 : values.front();
}

std::string DecodeErrors(const std::string& path)
{
    return Output("ffmpeg -v error -nostdin -i " + media::Quote(path) + " -f null - 2>&1");
}

std::vector<double> VideoPacketSizes(const std::string& path)
{
    std::istringstream lines(Output("ffprobe -v error -select_streams v:0 -show_entries "
                                    "packet=size -of csv=p=0 " +
                                    media::Quote(path)));
    std::vector<double> sizes;
    for (std::string line; std::getline(lines, line);)
        sizes.push_back(std::stod(line));
    return sizes;
}

std::string PictureTypes(const std::string& path)
{
    std::string types = Output("ffprobe -v error -select_streams v:0 -show_entries "
                               "frame=pict_type -of csv=p=0 " +
                               media::Quote(path));
    std::erase_if(types, [](char c) { return c != 'I' && c != 'P' && c != 'B'; });
    return types;
}

double BitRate(const std::vector<double>& sizes, std::size_t first, std::size_t end,
               double frameRate)
{
    double bytes = 0;
    for (std::size_t i = first; i < end && i < sizes.size(); ++i)
        bytes += sizes[i];
    return bytes * 8 * frameRate / double(end - first);
}

ProgramStream WalkProgramStream(const std::vector<std::uint8_t>& b)
{
    ProgramStream ps;
    std::size_t at = 0;
    auto startCode = [&](std::size_t i)
    { return i + 4 <= b.size() && b[i] == 0 && b[i + 1] == 0 && b[i + 2] == 1; };
    while (startCode(at))
    {
        const std::uint8_t id = b[at + 3];
        if (id == 0xB9)
        {
            ps.endCode = at + 4 == b.size();
            at += 4;
            break;
        }
        if (id == 0xBA)
        {
            if (at + 14 > b.size())
                break;
            ++ps.packs;
            ps.mpeg2Packs += (b[at + 4] >> 6) == 1;
            at += 14 + (b[at + 13] & 7);
            continue;
        }
        if (at + 6 > b.size())
            break;
        const std::size_t length = std::size_t(b[at + 4]) << 8 | b[at + 5];
        if (id == 0xE0 || id == 0xBD)
        {
            const std::size_t headerEnd = at + 9 + b[at + 8];
            PesPacket packet{id, 0, headerEnd, at + 6 + length - headerEnd};
            if (id == 0xBD && headerEnd < b.size())
                packet.substream = b[headerEnd];
            ps.packets.push_back(packet);
        }
        at += 6 + length;
    }
    ps.intact = at == b.size();
    return ps;
}

std::vector<std::uint8_t> LpcmSamples(const std::vector<std::uint8_t>& bytes)
{
    // Substream id, frame count, first access unit pointer, then three bytes of LPCM
    // header before the samples.
    constexpr std::size_t kLpcmHeader = 7;
    std::vector<std::uint8_t> samples;
    for (const PesPacket& packet : WalkProgramStream(bytes).packets)
        if (packet.streamId == 0xBD && packet.substream == 0xA0 && packet.payloadSize > kLpcmHeader)
            samples.insert(samples.end(), bytes.begin() + long(packet.payload + kLpcmHeader),
                           bytes.begin() + long(packet.payload + packet.payloadSize));
    return samples;
}

} // namespace capture_test
