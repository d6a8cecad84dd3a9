#pragma once

#include "c3stream/processor_interfaces.h"

#include <cstdint>
#include <iosfwd>

// Walks packets one at a time: prints a line per packet when given a stream for it, and keeps
// the totals for the summary.
class CStreamSummary : public IProcessor
{
public:
    explicit CStreamSummary(std::ostream* pLines) : m_pLines(pLines) {}

    void PrintHeading() const;
    // The file offset of the packet about to be walked.
    void BeginPacket(std::uint64_t nOffset) { m_nOffset = nOffset; }
    void PrintTotals(std::ostream& out) const;

    bool ProcessHeader(CC3Header& header) override;
    bool ProcessVideoData(CC3VideoData& video) override;
    bool ProcessAudioData(CC3AudioData& audio) override;
    bool ProcessPacket(CC3Packet& packet) override;

private:
    std::ostream* m_pLines;
    std::uint64_t m_nOffset = 0;
    std::uint64_t m_nPackets = 0;
    // Packets by picture type: other, I, P, B.
    std::uint64_t m_anByType[4] = {};
    std::uint64_t m_cbVideo = 0;
    std::uint64_t m_cbAudio = 0;
    double m_dFirstTime = 0.0;
    double m_dLastTime = 0.0;
};
