#include "stream_summary.h"

#include "c3stream/c3_stream.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <ostream>

namespace
{
const char kTypeLetters[] = "?IPB";

std::uint32_t TypeIndex(const CC3Header& header)
{
    const std::uint32_t nType = header.PictureType();
    return nType >= kPictureI && nType <= kPictureB ? nType : 0;
}
} // namespace

void CStreamSummary::PrintHeading() const
{
    if (m_pLines)
        *m_pLines << "      offset type      video      audio   previous          time\n";
}

bool CStreamSummary::ProcessHeader(CC3Header& header)
{
    const double dTime = header.m_timestamp.m_dSeconds;
    m_dFirstTime = m_nPackets == 0 ? dTime : std::min(m_dFirstTime, dTime);
    m_dLastTime = m_nPackets == 0 ? dTime : std::max(m_dLastTime, dTime);
    ++m_anByType[TypeIndex(header)];
    if (m_pLines)
    {
        char szLine[128];
        std::snprintf(szLine, sizeof szLine, "%12" PRIu64 " %-4c %10u %10u %10u %13.6f\n",
                      m_nOffset, kTypeLetters[TypeIndex(header)], header.m_cbVideoLength,
                      header.m_cbAudioLength, header.m_cbPreviousLength, dTime);
        *m_pLines << szLine;
    }
    return true;
}

bool CStreamSummary::ProcessVideoData(CC3VideoData& video)
{
    m_cbVideo += video.Length();
    return true;
}

bool CStreamSummary::ProcessAudioData(CC3AudioData& audio)
{
    m_cbAudio += audio.Length();
    return true;
}

bool CStreamSummary::ProcessPacket(CC3Packet&)
{
    ++m_nPackets;
    return true;
}

void CStreamSummary::PrintTotals(std::ostream& out) const
{
    out << "packets      " << m_nPackets << " (I " << m_anByType[kPictureI] << ", P "
        << m_anByType[kPictureP] << ", B " << m_anByType[kPictureB] << ", other " << m_anByType[0]
        << ")\n"
        << "video bytes  " << m_cbVideo << "\n"
        << "audio bytes  " << m_cbAudio << "\n";
    char szDuration[64];
    // The span from the earliest to the latest packet time.
    std::snprintf(szDuration, sizeof szDuration, "duration     %.6f s\n",
                  m_dLastTime - m_dFirstTime);
    out << szDuration;
}
