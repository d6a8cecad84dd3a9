// c3gen: writes a sample C3 stream built with the library: 29.97 pictures per second in an
// I/B/B/P pattern, each packet carrying two 3224-byte audio frames with 0xDEADCAFE headers.
// The payloads are placeholders: a picture start code then filler, and silent audio.
#include "c3stream/buffer_rw.h"
#include "c3stream/c3_stream.h"
#include "c3stream/es_audio.h"
#include "c3stream/timestamps.h"

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace
{
using Bytes = std::vector<std::uint8_t>;

constexpr double kFrameSeconds = 1001.0 / 30000.0;
constexpr char kPattern[] = "IBBPBBPBBPBB";
constexpr std::uint32_t kAudioUnits = 2;
constexpr std::uint32_t kAudioUnitLength = 3224;
// 48 kHz, 16-bit stereo.
constexpr double kAudioBytesPerSecond = 48000.0 * 4;

Bytes VideoPlaceholder(std::uint32_t nType)
{
    const std::uint32_t cbLength = nType == kPictureI ? 20000 : nType == kPictureP ? 8000 : 4000;
    Bytes bytes(cbLength, static_cast<std::uint8_t>(0x10 * nType));
    const std::uint8_t pictureStart[] = {0x00, 0x00, 0x01, 0x00};
    std::copy(std::begin(pictureStart), std::end(pictureStart), bytes.begin());
    return bytes;
}

// The packet's audio: frames of a 24-byte header and silent samples.
void FillAudio(Bytes& audio, double dStart)
{
    const std::uint32_t cbSamples = kAudioUnitLength - kAudioFrameHeaderLength;
    CBufferWriter writer(audio.data(), audio.size());
    CAudioFrameHeader header;
    header.m_byParam1 = 2;
    header.m_byParam2 = 16;
    header.m_byParam3 = 0;
    header.m_cbPayloadLength = cbSamples;
    for (std::uint32_t k = 0; k < kAudioUnits; ++k)
    {
        header.m_time.m_dSeconds = dStart + k * cbSamples / kAudioBytesPerSecond;
        header.Write(writer);
        writer.Fill(0, cbSamples);
    }
}

CC3Packet MakePacket(std::uint32_t nType, const Bytes& video, const Bytes& audio,
                     std::uint64_t cbPrevious, double dTime)
{
    auto pHeader = std::make_unique<CC3Header>();
    pHeader->m_cbHeaderLength = kC3HeaderLength;
    pHeader->m_cbVideoLength = static_cast<std::uint32_t>(video.size());
    pHeader->m_cbAudioLength = static_cast<std::uint32_t>(audio.size());
    pHeader->m_nFlags = nType | (kAudioUnits << 3);
    pHeader->m_cbPreviousLength = static_cast<std::uint32_t>(cbPrevious);
    pHeader->m_timestamp.m_dSeconds = dTime;
    auto pVideo = std::make_unique<CC3VideoData>();
    pVideo->SetData(video.data(), pHeader->m_cbVideoLength);
    auto pAudio = std::make_unique<CC3AudioData>();
    pAudio->SetData(audio.data(), pHeader->m_cbAudioLength);
    CC3Packet packet;
    packet.SetHeader(std::move(pHeader));
    packet.AddChild(std::move(pVideo));
    packet.AddChild(std::move(pAudio));
    return packet;
}

bool WriteSample(const std::string& strPath, unsigned long nPackets)
{
    std::ofstream out(strPath, std::ios::binary | std::ios::trunc);
    const Bytes videos[] = {
        {}, VideoPlaceholder(kPictureI), VideoPlaceholder(kPictureP), VideoPlaceholder(kPictureB)};
    Bytes audio(kAudioUnits * kAudioUnitLength);
    Bytes packetBytes;
    std::uint64_t cbPrevious = 0;
    for (unsigned long i = 0; i < nPackets && out; ++i)
    {
        const char chType = kPattern[i % (sizeof kPattern - 1)];
        const std::uint32_t nType = chType == 'I'   ? kPictureI
                                    : chType == 'P' ? kPictureP
                                                    : kPictureB;
        const double dTime = i * kFrameSeconds;
        FillAudio(audio, dTime);
        CC3Packet packet = MakePacket(nType, videos[nType], audio, cbPrevious, dTime);
        cbPrevious = packet.C3Header()->TotalLength();
        packetBytes.resize(cbPrevious);
        CBufferWriter writer(packetBytes.data(), packetBytes.size());
        packet.Write(writer);
        out.write(reinterpret_cast<const char*>(packetBytes.data()),
                  static_cast<std::streamsize>(packetBytes.size()));
    }
    out.close();
    return static_cast<bool>(out);
}

bool ParseArguments(int argc, char** argv, unsigned long& nPackets, std::string& strPath)
{
    for (int i = 1; i < argc; ++i)
    {
        const std::string strArg = argv[i];
        if (strArg == "--packets" && i + 1 < argc)
            nPackets = std::strtoul(argv[++i], nullptr, 10);
        else if (strPath.empty() && !strArg.starts_with("--"))
            strPath = strArg;
        else
            return false;
    }
    return !strPath.empty();
}
} // namespace

int main(int argc, char** argv)
{
    // Under a file-size limit the write fails and is reported, rather than killing us.
    std::signal(SIGXFSZ, SIG_IGN);
    unsigned long nPackets = 300;
    std::string strPath;
    if (!ParseArguments(argc, argv, nPackets, strPath))
    {
        std::cerr << "usage: c3gen [--packets N] FILE.c3s   (N defaults to 300)\n";
        return 2;
    }
    if (!WriteSample(strPath, nPackets))
    {
        std::cerr << "c3gen: cannot write " << strPath << "\n";
        return 1;
    }
    return 0;
}
