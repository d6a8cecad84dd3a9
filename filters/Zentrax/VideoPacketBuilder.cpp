#include "VideoPacketBuilder.h"

#include "c3stream/buffer_rw.h"
#include "c3stream/c3_stream.h"
#include "c3stream/singleton_manager.h"

#include <cstring>

namespace
{
constexpr std::uint8_t kVideoStreamId = 0xE0;
constexpr std::uint16_t kPesStuffing = 9;
constexpr std::size_t kScratchLength = 64;
constexpr std::size_t kPayloadAlignment = 4;

// Audio units the muxer puts behind each packet: 2 from 29 frames per second on, else 4.
constexpr double kTwoUnitRate = 29.0;
constexpr std::uint32_t kAudioUnitsShift = 3;

bool IsPictureType(std::uint32_t nType)
{
    return nType == kPictureI || nType == kPictureP || nType == kPictureB;
}
} // namespace

// The PES header is the same for every I-unit but for its times, so it is built once.
VideoPacketBuilder::VideoPacketBuilder(Scanner& scanner) : m_scanner(scanner)
{
    m_pes.m_byStreamId = kVideoStreamId;
    m_pes.m_nPacketLength = 0;
    m_pes.m_byPtsDtsFlags = kPesPtsAndDts;
    m_pes.m_cbStuffing = kPesStuffing;
    m_pes.m_pOptionalFields =
        CSingletonManager::Instance().PesFactory()->CreateOptionalFields(m_pes);
    m_pes.m_byHeaderDataLength =
        static_cast<std::uint8_t>(m_pes.m_pOptionalFields->Length() + kPesStuffing);
}

bool VideoPacketBuilder::Build(UnitBuffer& unit)
{
    const bool bBeforeFirstI = m_scanner.ParseUnit(unit.pData, unit.cbActual);
    const std::uint32_t nType = m_scanner.PictureType();
    if (bBeforeFirstI || m_scanner.FrameRate() <= 0.0 || !IsPictureType(nType))
        return false;

    const std::size_t cbPicture = unit.cbActual;
    const std::size_t cbPadding =
        (kPayloadAlignment - cbPicture % kPayloadAlignment) % kPayloadAlignment;
    std::uint8_t pes[kScratchLength];
    const std::size_t cbPes = nType == kPictureI ? WritePesHeader(pes, sizeof(pes)) : 0;
    const std::size_t cbVideo = cbPes + cbPicture + cbPadding;
    if (kC3HeaderLength + cbVideo > unit.cbSize)
        return false;

    std::uint8_t header[kScratchLength];
    const std::size_t cbHeader = WritePacketHeader(header, cbVideo);
    std::memmove(unit.pData + cbHeader + cbPes, unit.pData, cbPicture);
    std::memcpy(unit.pData, header, cbHeader);
    std::memcpy(unit.pData + cbHeader, pes, cbPes);
    std::memset(unit.pData + cbHeader + cbPes + cbPicture, 0, cbPadding);
    unit.cbActual = cbHeader + cbVideo;
    m_cbPrevPacket = static_cast<std::uint32_t>(unit.cbActual);
    return true;
}

std::size_t VideoPacketBuilder::WritePesHeader(std::uint8_t* pOut, std::size_t cbOut)
{
    m_pes.m_pOptionalFields->m_pts.m_dSeconds = m_scanner.DisplayTime();
    m_pes.m_pOptionalFields->m_dts.m_dSeconds = m_scanner.DecodeTime();
    CBufferWriter writer(pOut, cbOut);
    m_pes.Write(writer);
    return static_cast<std::size_t>(writer.Position() - writer.Begin());
}

std::size_t VideoPacketBuilder::WritePacketHeader(std::uint8_t* pOut, std::size_t cbVideo)
{
    const std::uint32_t nAudioUnits = m_scanner.FrameRate() < kTwoUnitRate ? 4 : 2;
    CC3Header header;
    header.m_cbHeaderLength = kC3HeaderLength;
    header.m_cbVideoLength = static_cast<std::uint32_t>(cbVideo);
    header.m_cbAudioLength = 0;
    header.m_nFlags = (nAudioUnits << kAudioUnitsShift) | m_scanner.PictureType();
    header.m_cbPreviousLength = m_cbPrevPacket;
    header.m_timestamp.m_dSeconds = m_scanner.DisplayTime();
    CBufferWriter writer(pOut, kC3HeaderLength);
    header.Write(writer);
    return kC3HeaderLength;
}
