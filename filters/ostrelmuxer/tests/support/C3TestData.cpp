#include "C3TestData.h"

#include "c3stream/buffer_rw.h"

namespace
{
void Fill(Bytes& bytes, std::size_t from, uint32_t nIndex)
{
    for (std::size_t i = from; i < bytes.size(); ++i)
        bytes[i] = static_cast<uint8_t>(nIndex * 7 + i);
}
} // namespace

Bytes MakeVideoPacket(uint32_t nIndex, uint32_t cbVideo, uint32_t nAudioPerVideo,
                      uint32_t nPictureType, uint32_t cbPrevious)
{
    Bytes packet(kC3HeaderLength + cbVideo);
    CC3Header header;
    header.m_cbHeaderLength = kC3HeaderLength;
    header.m_cbVideoLength = cbVideo;
    header.m_nFlags = (nAudioPerVideo << 3) | nPictureType;
    header.m_cbPreviousLength = cbPrevious;
    header.m_timestamp = CSecondsTime(nIndex / 25.0);
    CBufferWriter writer(packet.data(), packet.size());
    header.Write(writer);
    Fill(packet, kC3HeaderLength, nIndex);
    if (cbVideo >= 4)
        CBufferWriter(packet.data() + kC3HeaderLength, 4).WriteBytes(nIndex, 4);
    return packet;
}

Bytes MakeAudioUnit(uint32_t nIndex, uint32_t cbUnit)
{
    Bytes unit(cbUnit);
    Fill(unit, 0, nIndex);
    if (cbUnit >= 8)
    {
        CBufferWriter writer(unit.data(), 8);
        writer.WriteBytes(0xDEADCAFE, 4);
        writer.WriteBytes(nIndex, 4);
    }
    return unit;
}

MuxInput MakeMuxInput(uint32_t nPackets, uint32_t cbVideo, uint32_t nAudioPerVideo)
{
    MuxInput input;
    input.nAudioPerVideo = nAudioPerVideo;
    uint32_t cbPrevious = 0;
    for (uint32_t i = 0; i < nPackets; ++i)
    {
        input.video.push_back(MakeVideoPacket(i, cbVideo, nAudioPerVideo, 1 + i % 3, cbPrevious));
        cbPrevious = kC3HeaderLength + cbVideo;
        for (uint32_t k = 0; k < nAudioPerVideo; ++k)
            input.audio.push_back(
                MakeAudioUnit(i * nAudioPerVideo + k, AudioUnitLength(nAudioPerVideo)));
    }
    return input;
}

ParsedStream ReadC3Stream(const Bytes& bytes)
{
    ParsedStream parsed;
    parsed.stream = std::make_unique<CC3Stream>();
    if (bytes.empty())
        return parsed;
    CBufferReader reader(bytes.data(), bytes.size());
    parsed.stream->Read(reader);
    parsed.cbRead = bytes.size() - reader.Remaining();
    for (const auto& pChild : parsed.stream->Children())
        parsed.packets.push_back(static_cast<CC3Packet*>(pChild.get()));
    return parsed;
}

Bytes PayloadOf(const CC3Payload* pPayload)
{
    if (!pPayload || !pPayload->Data())
        return {};
    return Bytes(pPayload->Data(), pPayload->Data() + pPayload->Length());
}
