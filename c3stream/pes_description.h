#pragma once

#include "c3stream/buffer_rw.h"

#include <cstdint>
#include <memory>

// Every field of a PES packet and of its optional fields in one flat record, for applications
// that fill or inspect a packet as a whole.
struct CPesDescription
{
    std::uint32_t nStreamId = 0;
    std::uint32_t nPacketLength = 3;
    std::uint32_t nScramblingControl = 0;
    std::uint32_t nPriority = 0;
    std::uint32_t nDataAlignment = 0;
    std::uint32_t nCopyright = 0;
    std::uint32_t nOriginalOrCopy = 0;
    std::uint32_t nPtsDtsFlags = 0;
    std::uint32_t nEscrFlag = 0;
    std::uint32_t nEsRateFlag = 0;
    std::uint32_t nTrickModeFlag = 0;
    std::uint32_t nAdditionalCopyInfoFlag = 0;
    std::uint32_t nCrcFlag = 0;
    std::uint32_t nExtensionFlag = 0;
    std::uint32_t nHeaderDataLength = 0;
    std::uint32_t nStuffingLength = 0;
    const std::uint8_t* pPayload = nullptr;
    std::uint32_t nPayloadLength = 0;
    CBufferReader payloadReader;

    std::uint32_t nHasOptionalFields = 0;
    double dPts = 0.0;
    double dDts = 0.0;
    double dEscr = 0.0;
    std::uint32_t nEsRate = 0;
    std::uint32_t nTrickMode = 0;
    std::uint32_t nAdditionalCopyInfo = 0;
    std::uint32_t nPreviousCrc = 0;
    std::uint32_t nPrivateDataFlag = 0;
    std::uint32_t nPackHeaderFieldFlag = 0;
    std::uint32_t nSequenceCounterFlag = 0;
    std::uint32_t nPstdBufferFlag = 0;
    std::uint32_t nExtensionReserved = 7;
    std::uint32_t nExtensionFlag2 = 0;
    std::uint32_t nPrivateData[4] = {};
    std::uint32_t nPackFieldLength = 0;
    // Passes to the packet on SetFromDescription; GetDescription hands out a copy, so the
    // packet and the record never own the same array.
    std::unique_ptr<std::uint8_t[]> pPackHeader;
    std::uint32_t nSequenceCounter = 0;
    std::uint32_t nMpeg1Mpeg2Identifier = 0;
    std::uint32_t nOriginalStuffLength = 0;
    std::uint32_t nPstdBufferScale = 0;
    std::uint32_t nPstdBufferSize = 0;
    std::uint32_t nExtensionFieldLength = 0;
};
