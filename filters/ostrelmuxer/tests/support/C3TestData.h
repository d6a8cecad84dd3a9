#pragma once

#include "c3stream/c3_stream.h"

#include <cstdint>
#include <vector>

using Bytes = std::vector<uint8_t>;

// Audio unit lengths the transformation filter makes: 2 units of 3224 bytes per video
// unit at 29 frames per second or more, 4 of 1944 below.
inline constexpr uint32_t kAudioUnitForTwo = 3224;
inline constexpr uint32_t kAudioUnitForFour = 1944;
inline uint32_t AudioUnitLength(uint32_t nAudioPerVideo)
{
    return nAudioPerVideo == 2 ? kAudioUnitForTwo : kAudioUnitForFour;
}

// Inputs as the transformation filter delivers them: video samples that are C3 packets
// without audio (flags carry the audio unit count), and audio units with 0xDEADCAFE
// headers. Each payload carries its index, so the output shows what went where.
struct MuxInput
{
    uint32_t nAudioPerVideo = 2;
    std::vector<Bytes> video;
    std::vector<Bytes> audio;
};

Bytes MakeVideoPacket(uint32_t nIndex, uint32_t cbVideo, uint32_t nAudioPerVideo,
                      uint32_t nPictureType, uint32_t cbPrevious);
Bytes MakeAudioUnit(uint32_t nIndex, uint32_t cbUnit);
// nPackets video packets of cbVideo bytes of video each, a previous-length chain starting
// at 0, and nAudioPerVideo audio units per packet.
MuxInput MakeMuxInput(uint32_t nPackets, uint32_t cbVideo, uint32_t nAudioPerVideo);

// A C3 stream read back with CC3Stream::Read: the packets, and the bytes the read
// consumed (the whole input when it is well formed).
struct ParsedStream
{
    std::vector<CC3Packet*> packets;
    std::size_t cbRead = 0;
    std::unique_ptr<CC3Stream> stream;
};
ParsedStream ReadC3Stream(const Bytes& bytes);

Bytes PayloadOf(const CC3Payload* pPayload);
