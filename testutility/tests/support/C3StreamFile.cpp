#include "C3StreamFile.h"

namespace
{
constexpr uint32_t kPacketMarker = 0x8888CAFE;
constexpr uint32_t kAudioMarker = 0xDEADCAFE;
constexpr size_t kPacketHeader = 28;
constexpr size_t kAudioHeader = 24;

uint32_t BigEndian32(const uint8_t* p)
{
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3];
}
} // namespace

bool C3StreamFile::Parse(const std::vector<uint8_t>& bytes)
{
    size_t offset = 0;
    while (offset < bytes.size())
    {
        if (bytes.size() - offset < kPacketHeader || BigEndian32(&bytes[offset]) != kPacketMarker)
            return false;
        const uint8_t* pHeader = &bytes[offset];
        C3PacketView packet;
        packet.videoLength = BigEndian32(pHeader + 8);
        packet.audioLength = BigEndian32(pHeader + 12);
        packet.pictureType = BigEndian32(pHeader + 16) & 0x7;
        const size_t cbPacket = kPacketHeader + size_t(packet.videoLength) + packet.audioLength;
        if (bytes.size() - offset < cbPacket)
            return false;
        TakeVideo(pHeader + kPacketHeader, packet.videoLength);
        TakeAudio(pHeader + kPacketHeader + packet.videoLength, packet.audioLength, &packet);
        m_Packets.push_back(packet);
        offset += cbPacket;
    }
    return true;
}

void C3StreamFile::TakeVideo(const uint8_t* pData, size_t cb)
{
    // An I-picture's unit opens with a PES header (stream 0xE0).
    if (cb >= 9 && pData[0] == 0 && pData[1] == 0 && pData[2] == 1 && pData[3] == 0xE0)
    {
        const size_t cbPes = 9 + size_t(pData[8]);
        pData += std::min(cbPes, cb);
        cb -= std::min(cbPes, cb);
    }
    m_Video.insert(m_Video.end(), pData, pData + cb);
}

void C3StreamFile::TakeAudio(const uint8_t* pData, size_t cb, C3PacketView* pPacket)
{
    size_t offset = 0;
    while (offset + kAudioHeader <= cb && BigEndian32(pData + offset) == kAudioMarker)
    {
        const size_t cbPayload = BigEndian32(pData + offset + 20);
        if (offset + kAudioHeader + cbPayload > cb)
            break;
        const uint8_t* pPcm = pData + offset + kAudioHeader;
        for (size_t i = 0; i + 1 < cbPayload; i += 2)
        {
            m_Audio.push_back(pPcm[i + 1]);
            m_Audio.push_back(pPcm[i]);
        }
        m_cbAudioUnit = cbPayload;
        ++pPacket->audioUnits;
        offset += kAudioHeader + cbPayload;
    }
    pPacket->audioUnitsWhole = offset == cb;
}
