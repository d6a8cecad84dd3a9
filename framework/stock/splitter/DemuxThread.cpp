#include "DemuxThread.h"

#include <algorithm>

namespace
{
constexpr std::chrono::milliseconds kWaitSlice{250};
constexpr size_t kLpcmHeaderSize = 3;
} // namespace

void DemuxThread::Start(ProgramStreamDemuxer* pDemuxer, const std::array<Route, kMaxRoutes>& routes,
                        size_t cRoutes)
{
    Stop();
    m_pDemuxer = pDemuxer;
    m_Routes = routes;
    m_cRoutes = std::min(cRoutes, kMaxRoutes);
    m_bStop = false;
    m_Thread = std::thread([this] { Run(); });
}

void DemuxThread::Stop()
{
    m_bStop = true;
    for (size_t i = 0; i < m_cRoutes; ++i)
        m_Routes[i].pQueue->Close();
    if (m_Thread.joinable())
        m_Thread.join();
    m_cRoutes = 0;
}

void DemuxThread::Run()
{
    if (FAILED(m_pDemuxer->Rewind()))
    {
        m_OnError(E_FAIL);
        EndAllQueues();
        return;
    }
    AVPacket* pPacket = av_packet_alloc();
    if (!pPacket)
    {
        m_OnError(E_OUTOFMEMORY);
        return;
    }
    bool bEnded = false;
    while (!m_bStop)
    {
        // Once no output takes packets any more, the rest of the source is not read.
        if (NoRouteTakesPackets())
        {
            bEnded = true;
            break;
        }
        const int err = m_pDemuxer->ReadPacket(pPacket);
        if (err < 0)
        {
            if (err != AVERROR_EOF)
                m_OnError(E_FAIL);
            bEnded = true;
            break;
        }
        const Route* pRoute = RouteOf(pPacket->stream_index);
        const bool bGoOn = !pRoute || Store(*pRoute, *pPacket);
        av_packet_unref(pPacket);
        if (!bGoOn)
            break;
    }
    av_packet_free(&pPacket);
    if (bEnded)
        EndAllQueues();
}

const DemuxThread::Route* DemuxThread::RouteOf(int nStreamIndex) const
{
    for (size_t i = 0; i < m_cRoutes; ++i)
    {
        if (m_Routes[i].pStream->index == nStreamIndex)
            return &m_Routes[i];
    }
    return nullptr;
}

bool DemuxThread::NoRouteTakesPackets() const
{
    for (size_t i = 0; i < m_cRoutes; ++i)
    {
        if (!m_Routes[i].pQueue->IsDiscarding())
            return false;
    }
    return true;
}

void DemuxThread::EndAllQueues()
{
    for (size_t i = 0; i < m_cRoutes; ++i)
        m_Routes[i].pQueue->EndOfStream();
}

bool DemuxThread::Store(const Route& route, const AVPacket& packet)
{
    const BYTE* pData = packet.data;
    size_t cbData = packet.size > 0 ? size_t(packet.size) : 0;
    if (route.bStripLpcmHeader)
    {
        const size_t cbSkip = std::min(cbData, kLpcmHeaderSize);
        pData += cbSkip;
        cbData -= cbSkip;
    }
    if (cbData == 0)
        return true;
    PacketInfo info;
    const REFERENCE_TIME tStart = m_pDemuxer->TimeOf(route.pStream, packet.pts);
    if (tStart != ProgramStreamDemuxer::kNoTime)
    {
        info.tStart = tStart;
        info.dwFlags |= PacketInfo::kHasTime;
    }
    if (packet.flags & AV_PKT_FLAG_KEY)
        info.dwFlags |= PacketInfo::kSyncPoint;

    // A packet bigger than a queue record goes in pieces; the first one carries
    // the time and the sync point.
    const size_t cbMaxPiece = route.pQueue->MaxPayload();
    if (cbMaxPiece == 0)
        return false;
    while (cbData > 0)
    {
        const size_t cbPiece = std::min(cbData, cbMaxPiece);
        if (!PutWaiting(route, info, pData, cbPiece))
            return false;
        info = PacketInfo{};
        pData += cbPiece;
        cbData -= cbPiece;
    }
    return true;
}

bool DemuxThread::PutWaiting(const Route& route, const PacketInfo& info, const BYTE* pData,
                             size_t cbData)
{
    std::chrono::milliseconds stalled{0};
    uint64_t cbConsumed = route.pQueue->BytesConsumed();
    for (;;)
    {
        switch (route.pQueue->Put(info, pData, cbData, kWaitSlice))
        {
        case PacketQueue::PutResult::Stored:
        case PacketQueue::PutResult::Discarded:
            return true;
        case PacketQueue::PutResult::Closed:
            return false;
        case PacketQueue::PutResult::TimedOut:
            break;
        }
        if (m_bStop)
            return false;
        const uint64_t cbNowConsumed = route.pQueue->BytesConsumed();
        if (cbNowConsumed != cbConsumed || !OtherOutputsStarving(route))
        {
            cbConsumed = cbNowConsumed;
            stalled = std::chrono::milliseconds{0};
            continue;
        }
        stalled += kWaitSlice;
        if (stalled >= kStallLimit)
        {
            m_OnError(VFW_E_BUFFER_OVERFLOW);
            return false;
        }
    }
}

bool DemuxThread::OtherOutputsStarving(const Route& route) const
{
    bool bAnyOther = false;
    for (size_t i = 0; i < m_cRoutes; ++i)
    {
        if (&m_Routes[i] == &route)
            continue;
        if (!m_Routes[i].pQueue->IsConsumerStarving())
            return false;
        bAnyOther = true;
    }
    return bAnyOther;
}
