#include "c3stream/pes.h"
#include "c3stream/singleton_manager.h"

#include <algorithm>

namespace
{
template <class T> T Narrow(std::uint32_t nValue)
{
    return static_cast<T>(nValue);
}

void SetOptionalFields(CPesOptionalFields& fields, CPesDescription& description)
{
    fields.m_pts.m_dSeconds = description.dPts;
    fields.m_dts.m_dSeconds = description.dDts;
    fields.m_escr.m_dSeconds = description.dEscr;
    fields.m_nEsRate = description.nEsRate;
    fields.m_byTrickMode = Narrow<std::uint8_t>(description.nTrickMode);
    fields.m_byAdditionalCopyInfo = Narrow<std::uint8_t>(description.nAdditionalCopyInfo);
    fields.m_nPreviousCrc = Narrow<std::uint16_t>(description.nPreviousCrc);
    fields.m_bPrivateDataFlag = description.nPrivateDataFlag != 0;
    fields.m_bPackHeaderFieldFlag = description.nPackHeaderFieldFlag != 0;
    fields.m_bSequenceCounterFlag = description.nSequenceCounterFlag != 0;
    fields.m_bPstdBufferFlag = description.nPstdBufferFlag != 0;
    fields.m_byExtensionReserved = Narrow<std::uint8_t>(description.nExtensionReserved);
    fields.m_bExtensionFlag2 = description.nExtensionFlag2 != 0;
    std::copy(std::begin(description.nPrivateData), std::end(description.nPrivateData),
              std::begin(fields.m_nPrivateData));
    fields.m_byPackFieldLength = Narrow<std::uint8_t>(description.nPackFieldLength);
    fields.m_pPackHeader = std::move(description.pPackHeader);
    fields.m_bySequenceCounter = Narrow<std::uint8_t>(description.nSequenceCounter);
    fields.m_bMpeg1Mpeg2Identifier = description.nMpeg1Mpeg2Identifier != 0;
    fields.m_byOriginalStuffLength = Narrow<std::uint8_t>(description.nOriginalStuffLength);
    fields.m_bPstdBufferScale = description.nPstdBufferScale != 0;
    fields.m_nPstdBufferSize = Narrow<std::uint16_t>(description.nPstdBufferSize);
    fields.m_byExtensionFieldLength = Narrow<std::uint8_t>(description.nExtensionFieldLength);
}

void GetOptionalFields(const CPesOptionalFields& fields, CPesDescription& description)
{
    description.dPts = fields.m_pts.m_dSeconds;
    description.dDts = fields.m_dts.m_dSeconds;
    description.dEscr = fields.m_escr.m_dSeconds;
    description.nEsRate = fields.m_nEsRate;
    description.nTrickMode = fields.m_byTrickMode;
    description.nAdditionalCopyInfo = fields.m_byAdditionalCopyInfo;
    description.nPreviousCrc = fields.m_nPreviousCrc;
    description.nPrivateDataFlag = fields.m_bPrivateDataFlag;
    description.nPackHeaderFieldFlag = fields.m_bPackHeaderFieldFlag;
    description.nSequenceCounterFlag = fields.m_bSequenceCounterFlag;
    description.nPstdBufferFlag = fields.m_bPstdBufferFlag;
    description.nExtensionReserved = fields.m_byExtensionReserved;
    description.nExtensionFlag2 = fields.m_bExtensionFlag2;
    std::copy(std::begin(fields.m_nPrivateData), std::end(fields.m_nPrivateData),
              std::begin(description.nPrivateData));
    description.nPackFieldLength = fields.m_byPackFieldLength;
    description.pPackHeader.reset();
    if (fields.m_pPackHeader)
    {
        description.pPackHeader = std::make_unique<std::uint8_t[]>(fields.m_byPackFieldLength);
        std::copy_n(fields.m_pPackHeader.get(), fields.m_byPackFieldLength,
                    description.pPackHeader.get());
    }
    description.nSequenceCounter = fields.m_bySequenceCounter;
    description.nMpeg1Mpeg2Identifier = fields.m_bMpeg1Mpeg2Identifier;
    description.nOriginalStuffLength = fields.m_byOriginalStuffLength;
    description.nPstdBufferScale = fields.m_bPstdBufferScale;
    description.nPstdBufferSize = fields.m_nPstdBufferSize;
    description.nExtensionFieldLength = fields.m_byExtensionFieldLength;
}
} // namespace

void CPesPacket::SetFromDescription(CPesDescription& description)
{
    m_byStreamId = Narrow<std::uint8_t>(description.nStreamId);
    m_nPacketLength = Narrow<std::uint16_t>(description.nPacketLength);
    m_byScramblingControl = Narrow<std::uint8_t>(description.nScramblingControl);
    m_bPriority = description.nPriority != 0;
    m_bDataAlignment = description.nDataAlignment != 0;
    m_bCopyright = description.nCopyright != 0;
    m_bOriginalOrCopy = description.nOriginalOrCopy != 0;
    m_byPtsDtsFlags = Narrow<std::uint8_t>(description.nPtsDtsFlags);
    m_bEscrFlag = description.nEscrFlag != 0;
    m_bEsRateFlag = description.nEsRateFlag != 0;
    m_bTrickModeFlag = description.nTrickModeFlag != 0;
    m_bAdditionalCopyInfoFlag = description.nAdditionalCopyInfoFlag != 0;
    m_bCrcFlag = description.nCrcFlag != 0;
    m_bExtensionFlag = description.nExtensionFlag != 0;
    m_byHeaderDataLength = Narrow<std::uint8_t>(description.nHeaderDataLength);
    m_cbStuffing = Narrow<std::uint16_t>(description.nStuffingLength);
    m_pPayload = description.pPayload;
    m_cbPayload = Narrow<std::uint16_t>(description.nPayloadLength);
    m_payloadReader = description.payloadReader;

    m_pOptionalFields.reset();
    CPesFactory* pFactory = CSingletonManager::Instance().PesFactory();
    if (description.nHasOptionalFields == 1 && pFactory)
        m_pOptionalFields = pFactory->CreateOptionalFields(*this);
    if (m_pOptionalFields)
        SetOptionalFields(*m_pOptionalFields, description);
}

void CPesPacket::GetDescription(CPesDescription& description) const
{
    description.nStreamId = m_byStreamId;
    description.nPacketLength = m_nPacketLength;
    description.nScramblingControl = m_byScramblingControl;
    description.nPriority = m_bPriority;
    description.nDataAlignment = m_bDataAlignment;
    description.nCopyright = m_bCopyright;
    description.nOriginalOrCopy = m_bOriginalOrCopy;
    description.nPtsDtsFlags = m_byPtsDtsFlags;
    description.nEscrFlag = m_bEscrFlag;
    description.nEsRateFlag = m_bEsRateFlag;
    description.nTrickModeFlag = m_bTrickModeFlag;
    description.nAdditionalCopyInfoFlag = m_bAdditionalCopyInfoFlag;
    description.nCrcFlag = m_bCrcFlag;
    description.nExtensionFlag = m_bExtensionFlag;
    description.nHeaderDataLength = m_byHeaderDataLength;
    description.nStuffingLength = m_cbStuffing;
    description.pPayload = m_pPayload;
    description.nPayloadLength = m_cbPayload;
    description.payloadReader = m_payloadReader;

    description.nHasOptionalFields = m_pOptionalFields ? 1 : 0;
    if (m_pOptionalFields)
        GetOptionalFields(*m_pOptionalFields, description);
}
