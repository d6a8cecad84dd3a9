#include "c3stream/c3_stream_checker.h"

#include "c3stream/c3_stream.h"

std::optional<CViolation> CStreamChecker::CheckPacket(std::uint64_t nOffset,
                                                      const CC3Packet& packet)
{
    const CC3Header& header = *packet.C3Header();
    const std::optional<CViolation> headerViolation = CheckHeader(nOffset, header);
    if ((header.m_cbVideoLength != 0 && !packet.VideoData()) ||
        (header.m_cbAudioLength != 0 && !packet.AudioData()))
    {
        return CViolation{nOffset,
                          "payload of " + std::to_string(header.TotalLength() - kC3HeaderLength) +
                              " bytes runs past the end of the file",
                          true};
    }
    return headerViolation;
}

std::optional<CViolation> CStreamChecker::CheckHeader(std::uint64_t nOffset,
                                                      const CC3Header& header)
{
    const std::uint64_t cbExpectedPrevious = m_cbPreviousTotal;
    const bool bCheckPrevious = m_bPreviousKnown;
    m_cbPreviousTotal = header.TotalLength();
    m_bPreviousKnown = true;

    if (header.m_cbHeaderLength != kC3HeaderLength)
        return CViolation{nOffset, "header length " + std::to_string(header.m_cbHeaderLength) +
                                       ", expected " + std::to_string(kC3HeaderLength)};
    if (bCheckPrevious && header.m_cbPreviousLength != cbExpectedPrevious)
        return CViolation{nOffset, "previous length " + std::to_string(header.m_cbPreviousLength) +
                                       ", expected " + std::to_string(cbExpectedPrevious)};
    return std::nullopt;
}

CViolation CStreamChecker::NotAPacket(std::uint64_t nOffset, std::size_t cbLeft)
{
    return {nOffset, "no packet marker; " + std::to_string(cbLeft) + " bytes left", true};
}

CViolation CStreamChecker::CutHeader(std::uint64_t nOffset)
{
    return {nOffset, "packet header cut short by the end of the file", true};
}
