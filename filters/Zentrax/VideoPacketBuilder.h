#pragma once

#include "Scanner.h"
#include "UnitStore.h"

#include "c3stream/pes.h"

#include <cstddef>
#include <cstdint>

// Wraps one picture unit, in place in its own buffer, as a C3 packet with video only: the
// 28-byte packet header, for I-pictures a PES header carrying PTS and DTS, then the unit's
// bytes and zero padding up to a multiple of 4 bytes. The muxer appends the audio later.
class VideoPacketBuilder
{
public:
    // Room the headers and the padding need in the buffer behind a unit's bytes.
    static constexpr std::size_t kHeaderRoom = 60;

    explicit VideoPacketBuilder(Scanner& scanner);

    // Parses the unit with the scanner and wraps it. False when it is not to be delivered: a
    // picture before the first I-picture, no frame rate yet, no picture type of 1 to 3, or no
    // room for the headers.
    bool Build(UnitBuffer& unit);

    // Total length of the last packet built, which the next one records; 0 again after Restart.
    std::uint32_t PreviousLength() const { return m_cbPrevPacket; }
    void Restart() { m_cbPrevPacket = 0; }

private:
    // Each writes its header into pOut and returns its length.
    std::size_t WritePesHeader(std::uint8_t* pOut, std::size_t cbOut);
    std::size_t WritePacketHeader(std::uint8_t* pOut, std::size_t cbVideo);

    Scanner& m_scanner;
    CPesPacket m_pes;
    std::uint32_t m_cbPrevPacket = 0;
};
