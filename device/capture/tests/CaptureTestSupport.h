#pragma once

// Runs of the capture source into memory, and what ffprobe, ffmpeg and a walk over the
// program stream's packs make of the bytes.

#include "CaptureSource.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace capture_test
{

struct Capture
{
    Capture() = default;
    Capture(Capture&&) = default;
    ~Capture(); // removes the scratch file

    std::vector<std::uint8_t> bytes;
    std::int64_t framesEncoded = 0;
    std::string path;  // the bytes written to a scratch file, for ffprobe
    std::string error; // empty when every frame and the finish succeeded
};

// Called before frame `frame` is encoded.
using BeforeFrame = std::function<void(CaptureSource& source, int frame)>;

// Encodes nFrames frames with settings and finishes the stream.
Capture CaptureFrames(const CaptureSettings& settings, int nFrames, const std::string& name,
                      const BeforeFrame& beforeFrame = {});

// ffprobe's -show_entries for the first stream of a kind ("v" or "a"), as key=value.
std::map<std::string, std::string> ProbeStream(const std::string& path, const char* kind,
                                               const std::string& entries);
// Mean luma (0..255) of each decoded picture.
std::vector<double> MeanLuma(const std::string& path);
// Mean audio level in dBFS over the whole file.
double MeanVolume(const std::string& path);
// Messages ffmpeg's decoders print for the whole file; empty when it decodes cleanly.
std::string DecodeErrors(const std::string& path);
// Mean chroma saturation of each decoded picture.
std::vector<double> MeanSaturation(const std::string& path);
// The video packets' sizes in bytes and their picture types ('I', 'P', 'B'), in order.
std::vector<double> VideoPacketSizes(const std::string& path);
std::string PictureTypes(const std::string& path);
// Bit rate in bit/s of frames [first, end) of packet sizes at frameRate.
double BitRate(const std::vector<double>& sizes, std::size_t first, std::size_t end,
               double frameRate);

// One PES packet of a program stream.
struct PesPacket
{
    std::uint8_t streamId = 0;
    std::uint8_t substream = 0; // the first payload byte of private stream 1
    std::size_t payload = 0;    // offset of the payload (after the PES header)
    std::size_t payloadSize = 0;
};

struct ProgramStream
{
    std::size_t packs = 0;
    std::size_t mpeg2Packs = 0; // pack headers with MPEG-2's '01' marker
    bool endCode = false;       // the last four bytes are the program end code
    bool intact = false;        // every byte belongs to a pack, header or packet
    std::vector<PesPacket> packets;
};
ProgramStream WalkProgramStream(const std::vector<std::uint8_t>& bytes);
// The LPCM sample bytes of private stream 1 substream 0xA0, in order.
std::vector<std::uint8_t> LpcmSamples(const std::vector<std::uint8_t>& bytes);

} // namespace capture_test
